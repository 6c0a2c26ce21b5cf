// Where popups go, how big they are, and how they appear: sizes at 96 dpi
// with fixed text sizes, the corners and the stacking, fades and slides.
#include "tests/e2e/support.h"

using PopupLayout = PlayerTest;

namespace {

// A child's place in the popup's client area; kAbsent: no such child.
struct Box {
    int x, y, w, h;
};
const Box kAbsent = { -1, -1, -1, -1 };

// Sizes are given for 96 dpi and a 16-pixel small icon.
bool ScreenAsMeasured()
{
    HDC screen = GetDC(NULL);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(NULL, screen);
    return dpi == 96 && GetSystemMetrics(SM_CXSMICON) == 16;
}

void ExpectChild(HWND child, const Box &box, const char *what)
{
    if (box.x == kAbsent.x) {
        EXPECT_EQ(child, (HWND)NULL) << what;
        return;
    }
    ASSERT_NE(child, (HWND)NULL) << what;
    EXPECT_TRUE(RectAtSized(ChildRect(child), box.x, box.y, box.w, box.h)) << what;
}

}  // namespace

TEST_F(PopupLayout, FixedSizesByStyleAndTime)
{
    if (!ScreenAsMeasured())
        GTEST_SKIP() << "the sizes below hold at 96 dpi with 16-pixel small icons";
    const struct Row {
        const char *name;
        int style, displayTime;
        int w, h;                                // the popup
        Box back, icon, title, info, time;       // its children
    } rows[] = {
        { "beveled, with the time", 0, 1, 151, 36,
          { 1, 1, 149, 34 }, { 3, 1, 16, 34 }, { 23, 3, 80, 14 }, { 23, 19, 125, 14 }, { 113, 3, 35, 14 } },
        { "flat, with the time", 1, 1, 172, 36,
          { 1, 1, 170, 34 }, { 3, 1, 16, 34 }, { 23, 3, 101, 14 }, { 23, 19, 146, 14 }, { 134, 3, 35, 14 } },
        { "beveled, without the time", 0, 0, 151, 36,
          { 1, 1, 149, 34 }, { 3, 1, 16, 34 }, { 23, 3, 80, 14 }, { 23, 19, 125, 14 }, kAbsent },
    };
    SetIni({ { "Seconds", 0 }, { "DynamicResize", 0 } });
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        SetIni({ { "Style", row.style }, { "DisplayTime", row.displayTime } });
        ASSERT_TRUE(Load());
        HWND popup = ShowPopup({ 0, "Song", 205, 44, 192, 2 });
        ASSERT_NE(popup, (HWND)NULL);
        RECT r = WindowRectOf(popup);
        EXPECT_TRUE(RectAtSized(r, r.left, r.top, row.w, row.h));
        PopupParts parts = ReadPopupParts(popup);
        ExpectChild(parts.back, row.back, "back");
        ExpectChild(parts.icon, row.icon, "icon");
        ExpectChild(parts.title, row.title, "title");
        ExpectChild(parts.info, row.info, "info");
        ExpectChild(parts.time, row.time, "time");
        QuitAndUnload();
    }
}

namespace {

// An older popup and a younger one with a longer title: a different width
// when popups are sized to their texts.
const std::vector<PlayerTrack> kTwoTracks = {
    { 0, "Older", 205, 44, 192, 2 }, { 1, "Younger title that is rather longer", 205, 44, 192, 2 },
};

}  // namespace

TEST_F(PopupLayout, UpperLeftRowRunsRightwards)
{
    SetIni({ { "Seconds", 0 }, { "Position", 0 }, { "Spreading", 0 } });
    ASSERT_TRUE(Load());
    std::vector<HWND> popups = ShowPopups(kTwoTracks);
    ASSERT_EQ(popups.size(), 2u);
    RECT area = WorkArea(), a = WindowRectOf(popups[0]), b = WindowRectOf(popups[1]);
    EXPECT_TRUE(RectIs(a, area.left + 2, area.top + 2, kAnyEdge, kAnyEdge));
    EXPECT_TRUE(RectIs(b, a.right + 2, area.top + 2, kAnyEdge, kAnyEdge));
}

TEST_F(PopupLayout, LowerRightColumnStaysRightAligned)
{
    // The defaults: lower right, stacked upwards.
    SetIni("Seconds", 0);
    ASSERT_TRUE(Load());
    std::vector<HWND> popups = ShowPopups(kTwoTracks);
    ASSERT_EQ(popups.size(), 2u);
    RECT area = WorkArea(), a = WindowRectOf(popups[0]), b = WindowRectOf(popups[1]);
    EXPECT_GT(b.right - b.left, a.right - a.left);
    EXPECT_TRUE(RectIs(a, kAnyEdge, kAnyEdge, area.right - 2, area.bottom - 2));
    EXPECT_TRUE(RectIs(b, kAnyEdge, kAnyEdge, area.right - 2, a.top - 2));
}

TEST_F(PopupLayout, CentreCascadesBySmallIcon)
{
    SetIni({ { "Seconds", 0 }, { "Position", 4 }, { "DynamicResize", 0 } });
    ASSERT_TRUE(Load());
    std::vector<HWND> popups = ShowPopups(kTwoTracks);
    ASSERT_EQ(popups.size(), 2u);
    RECT area = WorkArea(), a = WindowRectOf(popups[0]), b = WindowRectOf(popups[1]);
    int w = a.right - a.left, h = a.bottom - a.top;
    EXPECT_TRUE(RectIs(a, area.left + (area.right - area.left - w) / 2, area.top + (area.bottom - area.top - h) / 2,
                       kAnyEdge, kAnyEdge));
    EXPECT_TRUE(RectIs(b, a.left + GetSystemMetrics(SM_CXSMICON), a.top + GetSystemMetrics(SM_CYSMICON), kAnyEdge,
                       kAnyEdge));
}

TEST_F(PopupLayout, FadeEndsAtTheTargetOpacity)
{
    SetIni({ { "Seconds", 0 }, { "Fade", 1 }, { "FadeInTime", 250 } });
    {
        SCOPED_TRACE("opaque");
        ASSERT_TRUE(Load());
        HWND popup = ShowPopup({ 0, "Song", 205, 44, 192, 2 });
        ASSERT_NE(popup, (HWND)NULL);
        // Watch the fade from the moment the popup shows: the lowest
        // opacity it has while it is visible.
        int lowestSeen = 256;
        WaitUntil([&] {
            int alpha = LayeredAlpha(popup);
            if (IsWindowVisible(popup) && alpha >= 0 && alpha < lowestSeen)
                lowestSeen = alpha;
            return false;
        }, 150);
        EXPECT_LT(lowestSeen, 255) << "the popup did not fade in";
        EXPECT_TRUE(WaitForAlpha(popup, 255, 2000)) << "opacity " << LayeredAlpha(popup);
        QuitAndUnload();
    }
    {
        SCOPED_TRACE("translucent");
        SetIni({ { "UseTransparency", 1 }, { "Alpha", 128 } });
        ASSERT_TRUE(Load());
        HWND popup = ShowPopup();
        ASSERT_NE(popup, (HWND)NULL);
        EXPECT_TRUE(WaitForAlpha(popup, 128, 2000)) << "opacity " << LayeredAlpha(popup);
        PlayerPumpFor(300);
        EXPECT_EQ(LayeredAlpha(popup), 128);
        QuitAndUnload();
    }
    {
        SCOPED_TRACE("translucent without a fade");
        SetIni("Fade", 0);
        ASSERT_TRUE(Load());
        HWND popup = ShowPopup();
        ASSERT_NE(popup, (HWND)NULL);
        EXPECT_EQ(LayeredAlpha(popup), 128);
    }
}

TEST_F(PopupLayout, SlideWithFadeLeavesThePopupVisibleAtItsPlace)
{
    SetIni({ { "Seconds", 0 }, { "UseAnimations", 1 }, { "Fade", 1 } });
    RECT area = WorkArea();
    for (int alpha : { 255, 128 }) {
        SCOPED_TRACE(alpha == 255 ? "opaque" : "translucent");
        SetIni({ { "UseTransparency", alpha != 255 }, { "Alpha", alpha } });
        ASSERT_TRUE(Load());
        HWND popup = ShowPopup({ 0, "Song", 205, 44, 192, 2 });
        ASSERT_NE(popup, (HWND)NULL);
        EXPECT_TRUE(WaitForAlpha(popup, alpha, 2000)) << "opacity " << LayeredAlpha(popup);
        if (alpha == 255)
            EXPECT_TRUE(RectIs(WindowRectOf(popup), kAnyEdge, kAnyEdge, area.right - 2, area.bottom - 2));
        QuitAndUnload();
    }
}
