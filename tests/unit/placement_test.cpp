// Where popups go: the corner, the direction, the gap, the centre cascade.
#include <gtest/gtest.h>

#include "popup/placement.h"
#include "settings/settings.h"
#include "tests/rect_check.h"
#include "tests/scaled_popups.h"

namespace {

const RECT kWork = { 0, 0, 1024, 738 };
const RECT kNone = { 0, 0, 0, 0 };
const int UL = POSITION_UPPER_LEFT, LL = POSITION_LOWER_LEFT, LR = POSITION_LOWER_RIGHT,
          UR = POSITION_UPPER_RIGHT, CENTRE = POSITION_CENTRE, ROW = SPREAD_ROW, COLUMN = SPREAD_COLUMN;

RECT Place(int position, int spreading, const RECT &previous, int w = 151, int h = 36)
{
    PopupScale scale = BaseScale();
    return PlaceAfter(position, spreading, &kWork, w, h, &previous, &scale);
}

}  // namespace

TEST(Placement, FirstAndSecondPopupOfEveryCornerAndDirection)
{
    // The first popup 2 pixels inside its corner (centred at the centre),
    // the next one 2 pixels on along the direction, or one small icon down
    // and right at the centre whatever the spreading; narrower popups keep
    // the corner's edge.
    const struct Row {
        int position, spreading;
        RECT first;
        int w, h;          // the second popup's size
        RECT second;
    } rows[] = {
        { UL, COLUMN, { 2, 2, 153, 38 }, 80, 10, { 2, 40, 82, 50 } },
        { UL, ROW, { 2, 2, 153, 38 }, 151, 36, { 155, 2, 306, 38 } },
        { LL, ROW, { 2, 700, 153, 736 }, 151, 36, { 155, 700, 306, 736 } },
        { LL, COLUMN, { 2, 700, 153, 736 }, 151, 36, { 2, 662, 153, 698 } },
        { LR, COLUMN, { 871, 700, 1022, 736 }, 151, 36, { 871, 662, 1022, 698 } },
        { LR, ROW, { 871, 700, 1022, 736 }, 151, 36, { 718, 700, 869, 736 } },
        { LR, COLUMN, { 871, 700, 1022, 736 }, 100, 20, { 922, 678, 1022, 698 } },
        { UR, ROW, { 871, 2, 1022, 38 }, 151, 36, { 718, 2, 869, 38 } },
        { UR, COLUMN, { 871, 2, 1022, 38 }, 151, 36, { 871, 40, 1022, 76 } },
        { CENTRE, ROW, { 436, 351, 587, 387 }, 151, 36, { 452, 367, 603, 403 } },
        { CENTRE, COLUMN, { 436, 351, 587, 387 }, 151, 36, { 452, 367, 603, 403 } },
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(::testing::Message() << "position " << row.position << ", spreading " << row.spreading);
        RECT first = Place(row.position, row.spreading, kNone);
        const RECT &f = row.first, &s = row.second;
        EXPECT_TRUE(RectIs(first, f.left, f.top, f.right, f.bottom));
        EXPECT_TRUE(RectIs(Place(row.position, row.spreading, first, row.w, row.h), s.left, s.top, s.right, s.bottom));
    }
}

TEST(Placement, ARowRunsOnAlongItsEdge)
{
    RECT r = kNone;
    const LONG lefts[3] = { 2, 155, 308 };
    for (LONG left : lefts) {
        r = Place(UL, ROW, r);
        EXPECT_TRUE(RectIs(r, left, 2, kAnyEdge, kAnyEdge));
    }
}

TEST(Placement, MarginsGapsAndCascadeFollowThePopupsResolution)
{
    for (const ScaledPopupRow &row : kScaledPopups) {
        SCOPED_TRACE(row.dpi);
        PopupScale scale = { row.dpi, row.smallIcon, row.smallIcon };
        int w = row.popup.w, h = row.popup.h, m = row.margin;
        RECT a = PlaceAfter(LR, COLUMN, &kWork, w, h, &kNone, &scale);
        EXPECT_TRUE(RectIs(a, 1024 - w - m, 738 - h - m, 1024 - m, 738 - m));
        RECT b = PlaceAfter(LR, ROW, &kWork, w, h, &a, &scale);
        EXPECT_TRUE(RectIs(b, kAnyEdge, kAnyEdge, a.left - m, kAnyEdge));
        a = PlaceAfter(CENTRE, ROW, &kWork, w, h, &kNone, &scale);
        b = PlaceAfter(CENTRE, ROW, &kWork, w, h, &a, &scale);
        EXPECT_TRUE(RectAtSized(b, a.left + row.smallIcon, a.top + row.smallIcon, w, h));
    }
}

TEST(Placement, LongRunsContinuePastTheScreenEdge)
{
    RECT r = kNone;
    for (int i = 0; i < 30; i++)
        r = Place(LR, COLUMN, r);
    EXPECT_LT(r.top, 0);
    EXPECT_EQ(1022, r.right);
}

TEST(Placement, AClosedPopupInASnapshotIsSkipped)
{
    // A window that no longer exists has no rectangle: the run goes on from
    // the last popup that is still there.
    HWND gone = CreateWindowExA(0, "static", "", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
    ASSERT_TRUE(gone != NULL);
    DestroyWindow(gone);
    PlacementPass pass = { LR, COLUMN, { 0, 0, 1024, 738 } };
    RECT r = { 871, 700, 1022, 736 };
    EXPECT_FALSE(PlacePopup(gone, &pass, &r));
    EXPECT_TRUE(RectIs(r, 871, 700, 1022, 736));
}
