// Where popups go, how big they are, and how they appear: sizes at 96 dpi
// with fixed text sizes, the corners and the stacking, fades and slides.
#include "tests/e2e/support.h"

using PopupLayout = PlayerTest;

// The rectangle's top left corner and its width and height.
static void ExpectOriginAndSize(const RECT &r, int x, int y, int w, int h, const char *what)
{
    EXPECT_EQ(r.left, x) << what;
    EXPECT_EQ(r.top, y) << what;
    EXPECT_EQ(r.right - r.left, w) << what;
    EXPECT_EQ(r.bottom - r.top, h) << what;
}

// Sizes are given for 96 dpi and a 16-pixel small icon.
static bool ScreenAsMeasured()
{
    HDC screen = GetDC(NULL);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(NULL, screen);
    return dpi == 96 && GetSystemMetrics(SM_CXSMICON) == 16;
}

// Shows one track popup and returns it; NULL when none came.
static HWND ShowOnePopup()
{
    PlayerStartTrack({ 0, "Song", 205, 44, 192, 2 });
    if (!WaitForVisiblePopups(1))
        return NULL;
    return VisiblePopups()[0];
}

TEST_F(PopupLayout, FixedSizesByStyleAndTime)
{
    if (!ScreenAsMeasured())
        GTEST_SKIP() << "the sizes below hold at 96 dpi with 16-pixel small icons";
    SetIni("Seconds", 0);
    SetIni("DynamicResize", 0);
    SetIni("Style", 0);
    SetIni("DisplayTime", 1);
    {
        SCOPED_TRACE("beveled, with the time");
        ASSERT_TRUE(Load());
        HWND popup = ShowOnePopup();
        ASSERT_NE(popup, (HWND)NULL);
        RECT r = WindowRectOf(popup);
        EXPECT_EQ(r.right - r.left, 151);
        EXPECT_EQ(r.bottom - r.top, 36);
        PopupParts parts = ReadPopupParts(popup);
        ASSERT_TRUE(parts.back && parts.icon && parts.title && parts.info && parts.time);
        ExpectOriginAndSize(ChildRect(parts.back), 1, 1, 149, 34, "back");
        ExpectOriginAndSize(ChildRect(parts.icon), 3, 1, 16, 34, "icon");
        ExpectOriginAndSize(ChildRect(parts.title), 23, 3, 80, 14, "title");
        ExpectOriginAndSize(ChildRect(parts.info), 23, 19, 125, 14, "info");
        ExpectOriginAndSize(ChildRect(parts.time), 113, 3, 35, 14, "time");
        QuitAndUnload();
    }
    {
        SCOPED_TRACE("flat, with the time");
        SetIni("Style", 1);
        ASSERT_TRUE(Load());
        HWND popup = ShowOnePopup();
        ASSERT_NE(popup, (HWND)NULL);
        RECT r = WindowRectOf(popup);
        EXPECT_EQ(r.right - r.left, 172);
        EXPECT_EQ(r.bottom - r.top, 36);
        PopupParts parts = ReadPopupParts(popup);
        ASSERT_TRUE(parts.title && parts.info && parts.time);
        ExpectOriginAndSize(ChildRect(parts.title), 23, 3, 101, 14, "title");
        ExpectOriginAndSize(ChildRect(parts.info), 23, 19, 146, 14, "info");
        ExpectOriginAndSize(ChildRect(parts.time), 134, 3, 35, 14, "time");
        QuitAndUnload();
    }
    {
        SCOPED_TRACE("beveled, without the time");
        SetIni("Style", 0);
        SetIni("DisplayTime", 0);
        ASSERT_TRUE(Load());
        HWND popup = ShowOnePopup();
        ASSERT_NE(popup, (HWND)NULL);
        RECT r = WindowRectOf(popup);
        EXPECT_EQ(r.right - r.left, 151);
        EXPECT_EQ(r.bottom - r.top, 36);
        EXPECT_EQ(ReadPopupParts(popup).time, (HWND)NULL);
    }
}

// Shows two popups (the second after the throttle) and returns them oldest
// first; asserts both came.
static void ShowTwoPopups(HWND *older, HWND *younger)
{
    *older = *younger = NULL;
    DWORD firstEvent = GetTickCount();
    PlayerStartTrack({ 0, "Older", 205, 44, 192, 2 });
    ASSERT_TRUE(WaitForVisiblePopups(1));
    *older = VisiblePopups()[0];
    PumpUntil(firstEvent, kEventGapMs);
    PlayerStartTrack({ 1, "Younger title that is rather longer", 205, 44, 192, 2 });
    ASSERT_TRUE(WaitForVisiblePopups(2));
    *younger = FindPopupWithTitle(TitleLine(1, "Younger title that is rather longer"));
    ASSERT_NE(*younger, (HWND)NULL);
}

TEST_F(PopupLayout, UpperLeftRowRunsRightwards)
{
    SetIni("Seconds", 0);
    SetIni("Position", 0);
    SetIni("Spreading", 0);
    ASSERT_TRUE(Load());
    HWND older, younger;
    ASSERT_NO_FATAL_FAILURE(ShowTwoPopups(&older, &younger));
    RECT area = WorkArea();
    RECT a = WindowRectOf(older), b = WindowRectOf(younger);
    EXPECT_EQ(a.left, area.left + 2);
    EXPECT_EQ(a.top, area.top + 2);
    EXPECT_EQ(b.left, a.right + 2);
    EXPECT_EQ(b.top, area.top + 2);
}

TEST_F(PopupLayout, LowerRightColumnStaysRightAligned)
{
    // The defaults: lower right, stacked upwards.
    SetIni("Seconds", 0);
    ASSERT_TRUE(Load());
    HWND older, younger;
    ASSERT_NO_FATAL_FAILURE(ShowTwoPopups(&older, &younger));
    RECT area = WorkArea();
    RECT a = WindowRectOf(older), b = WindowRectOf(younger);
    // Sized to their texts, so of different widths.
    EXPECT_GT(b.right - b.left, a.right - a.left);
    EXPECT_EQ(a.right, area.right - 2);
    EXPECT_EQ(a.bottom, area.bottom - 2);
    EXPECT_EQ(b.right, area.right - 2);
    EXPECT_EQ(b.bottom, a.top - 2);
}

TEST_F(PopupLayout, CentreCascadesBySmallIcon)
{
    SetIni("Seconds", 0);
    SetIni("Position", 4);
    SetIni("DynamicResize", 0);
    ASSERT_TRUE(Load());
    HWND older, younger;
    ASSERT_NO_FATAL_FAILURE(ShowTwoPopups(&older, &younger));
    RECT area = WorkArea();
    RECT a = WindowRectOf(older), b = WindowRectOf(younger);
    int w = a.right - a.left, h = a.bottom - a.top;
    EXPECT_EQ(a.left, area.left + (area.right - area.left - w) / 2);
    EXPECT_EQ(a.top, area.top + (area.bottom - area.top - h) / 2);
    EXPECT_EQ(b.left, a.left + GetSystemMetrics(SM_CXSMICON));
    EXPECT_EQ(b.top, a.top + GetSystemMetrics(SM_CYSMICON));
}

TEST_F(PopupLayout, FadeEndsAtTheTargetOpacity)
{
    SetIni("Seconds", 0);
    SetIni("Fade", 1);
    SetIni("FadeInTime", 250);
    {
        SCOPED_TRACE("opaque");
        ASSERT_TRUE(Load());
        PlayerStartTrack({ 0, "Song", 205, 44, 192, 2 });
        ASSERT_TRUE(WaitForVisiblePopups(1));
        HWND popup = VisiblePopups()[0];
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
        SetIni("UseTransparency", 1);
        SetIni("Alpha", 128);
        ASSERT_TRUE(Load());
        PlayerStartTrack();
        ASSERT_TRUE(WaitForVisiblePopups(1));
        HWND popup = VisiblePopups()[0];
        EXPECT_TRUE(WaitForAlpha(popup, 128, 2000)) << "opacity " << LayeredAlpha(popup);
        PlayerPumpFor(300);
        EXPECT_EQ(LayeredAlpha(popup), 128);
        QuitAndUnload();
    }
    {
        SCOPED_TRACE("translucent without a fade");
        SetIni("Fade", 0);
        ASSERT_TRUE(Load());
        PlayerStartTrack();
        ASSERT_TRUE(WaitForVisiblePopups(1));
        EXPECT_EQ(LayeredAlpha(VisiblePopups()[0]), 128);
    }
}

TEST_F(PopupLayout, SlideWithFadeLeavesThePopupVisibleAtItsPlace)
{
    SetIni("Seconds", 0);
    SetIni("UseAnimations", 1);
    SetIni("Fade", 1);
    RECT area = WorkArea();
    {
        SCOPED_TRACE("opaque");
        ASSERT_TRUE(Load());
        PlayerStartTrack({ 0, "Song", 205, 44, 192, 2 });
        ASSERT_TRUE(WaitForVisiblePopups(1));
        HWND popup = VisiblePopups()[0];
        EXPECT_TRUE(WaitForAlpha(popup, 255, 2000)) << "opacity " << LayeredAlpha(popup);
        RECT r = WindowRectOf(popup);
        EXPECT_EQ(r.right, area.right - 2);
        EXPECT_EQ(r.bottom, area.bottom - 2);
        QuitAndUnload();
    }
    {
        SCOPED_TRACE("translucent");
        SetIni("UseTransparency", 1);
        SetIni("Alpha", 128);
        ASSERT_TRUE(Load());
        PlayerStartTrack();
        ASSERT_TRUE(WaitForVisiblePopups(1));
        HWND popup = VisiblePopups()[0];
        EXPECT_TRUE(WaitForAlpha(popup, 128, 2000)) << "opacity " << LayeredAlpha(popup);
    }
}
