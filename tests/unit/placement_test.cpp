// Where popups go: the corner, the direction, the gap, the centre cascade.
#include <gtest/gtest.h>

#include "popup/placement.h"
#include "tests/scaled_popups.h"
#include "settings/settings.h"

namespace {

const RECT kWork = { 0, 0, 1024, 738 };
const RECT kNone = { 0, 0, 0, 0 };

RECT Place(int position, int spreading, const RECT &previous, int w = 151, int h = 36)
{
    PopupScale scale = BaseScale();
    return PlaceAfter(position, spreading, &kWork, w, h, &previous, &scale);
}

// The rectangle's four edges.
void ExpectEdges(const RECT &r, int left, int top, int right, int bottom)
{
    EXPECT_EQ(left, r.left);
    EXPECT_EQ(top, r.top);
    EXPECT_EQ(right, r.right);
    EXPECT_EQ(bottom, r.bottom);
}

}  // namespace

TEST(Placement, FirstPopupSitsTwoPixelsInsideItsCorner)
{
    ExpectEdges(Place(POSITION_UPPER_LEFT, SPREAD_COLUMN, kNone), 2, 2, 153, 38);
    ExpectEdges(Place(POSITION_LOWER_LEFT, SPREAD_COLUMN, kNone), 2, 700, 153, 736);
    ExpectEdges(Place(POSITION_LOWER_RIGHT, SPREAD_COLUMN, kNone), 871, 700, 1022, 736);
    ExpectEdges(Place(POSITION_UPPER_RIGHT, SPREAD_COLUMN, kNone), 871, 2, 1022, 38);
    ExpectEdges(Place(POSITION_CENTRE, SPREAD_COLUMN, kNone), 436, 351, 587, 387);
    ExpectEdges(Place(POSITION_CENTRE, SPREAD_ROW, kNone), 436, 351, 587, 387);
}

TEST(Placement, LowerRightStacksUpwardsOrLeftwards)
{
    RECT a = Place(POSITION_LOWER_RIGHT, SPREAD_COLUMN, kNone);
    ExpectEdges(Place(POSITION_LOWER_RIGHT, SPREAD_COLUMN, a), 871, 662, 1022, 698);
    ExpectEdges(Place(POSITION_LOWER_RIGHT, SPREAD_ROW, a), 718, 700, 869, 736);
    // Narrower popups in a right-hand column keep the right edge.
    ExpectEdges(Place(POSITION_LOWER_RIGHT, SPREAD_COLUMN, a, 100, 20), 922, 678, 1022, 698);
}

TEST(Placement, EachCornerRunsAwayFromItsEdges)
{
    RECT r = kNone;
    int lefts[3];
    for (int i = 0; i < 3; i++) {
        r = Place(POSITION_UPPER_LEFT, SPREAD_ROW, r);
        lefts[i] = r.left;
        EXPECT_EQ(2, r.top);
    }
    EXPECT_EQ(2, lefts[0]);
    EXPECT_EQ(155, lefts[1]);
    EXPECT_EQ(308, lefts[2]);

    RECT first = Place(POSITION_UPPER_LEFT, SPREAD_COLUMN, kNone);
    ExpectEdges(Place(POSITION_UPPER_LEFT, SPREAD_COLUMN, first, 80, 10), 2, 40, 82, 50);
    first = Place(POSITION_LOWER_LEFT, SPREAD_ROW, kNone);
    ExpectEdges(Place(POSITION_LOWER_LEFT, SPREAD_ROW, first), 155, 700, 306, 736);
    first = Place(POSITION_LOWER_LEFT, SPREAD_COLUMN, kNone);
    ExpectEdges(Place(POSITION_LOWER_LEFT, SPREAD_COLUMN, first), 2, 662, 153, 698);
    first = Place(POSITION_UPPER_RIGHT, SPREAD_ROW, kNone);
    ExpectEdges(Place(POSITION_UPPER_RIGHT, SPREAD_ROW, first), 718, 2, 869, 38);
    first = Place(POSITION_UPPER_RIGHT, SPREAD_COLUMN, kNone);
    ExpectEdges(Place(POSITION_UPPER_RIGHT, SPREAD_COLUMN, first), 871, 40, 1022, 76);
}

TEST(Placement, CentreCascadesBySmallIconWhateverTheSpreading)
{
    RECT first = Place(POSITION_CENTRE, SPREAD_ROW, kNone);
    ExpectEdges(Place(POSITION_CENTRE, SPREAD_ROW, first), 452, 367, 603, 403);
    ExpectEdges(Place(POSITION_CENTRE, SPREAD_COLUMN, first), 452, 367, 603, 403);
}

TEST(Placement, MarginsGapsAndCascadeFollowThePopupsResolution)
{
    for (const ScaledPopupRow &row : kScaledPopups) {
        SCOPED_TRACE(row.dpi);
        PopupScale scale = { row.dpi, row.smallIcon, row.smallIcon };
        int w = row.popup.w, h = row.popup.h, m = row.margin;
        RECT a = PlaceAfter(POSITION_LOWER_RIGHT, SPREAD_COLUMN, &kWork, w, h, &kNone, &scale);
        ExpectEdges(a, 1024 - w - m, 738 - h - m, 1024 - m, 738 - m);
        RECT b = PlaceAfter(POSITION_LOWER_RIGHT, SPREAD_ROW, &kWork, w, h, &a, &scale);
        EXPECT_EQ(a.left - m, b.right);
        a = PlaceAfter(POSITION_CENTRE, SPREAD_ROW, &kWork, w, h, &kNone, &scale);
        b = PlaceAfter(POSITION_CENTRE, SPREAD_ROW, &kWork, w, h, &a, &scale);
        EXPECT_EQ(a.left + row.smallIcon, b.left);
        EXPECT_EQ(a.top + row.smallIcon, b.top);
    }
}

TEST(Placement, LongRunsContinuePastTheScreenEdge)
{
    RECT r = kNone;
    for (int i = 0; i < 30; i++)
        r = Place(POSITION_LOWER_RIGHT, SPREAD_COLUMN, r);
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
    RECT area = { 0, 0, 1024, 738 };
    RECT r = { 871, 700, 1022, 736 };
    EXPECT_FALSE(PlacePopup(gone, &area, &r));
    ExpectEdges(r, 871, 700, 1022, 736);
}
