// Popups on a scaled display: every length at the screen's resolution, the
// fonts and the icon made for it, the gaps and the cascade scaled too. The
// table's row for the screen's resolution is checked in this process; the
// rows for 144 and 192 dpi in a child process started on a display scaled
// so (the resolution is read when a program starts).
#include "tests/e2e/support.h"
#include "host/theme_registry.h"
#include "host/pictures.h"
#include "host/plugin_patches.h"
#include "tests/scaled_popups.h"

#include <stdio.h>
#include <stdlib.h>

namespace {

// Set for the child: the resolution it must find, so that a display the
// child was not scaled for fails instead of skipping.
const char kWantedDpi[] = "TUNEBELL_TEST_DPI";

const PlayerTrack kTracks[] = {
    { 0, "Northbound Trains - Paper Lanterns", 205, 44, 192, 2 },
    { 1, "Lena Ostrova - Radio Static", 187, 48, 320, 2 },
    { 2, "The Quiet Harbour - Low Tide (Extended)", 3599, 22, 64, 1 },
    // Wider than the screen at every resolution: cut to it.
    { 3, "Orchestra of the Harbour Town and Friends - Suite for Paper Lanterns, Trains and Radio Static "
         "in Seven Movements, Live at the Old Station Hall (Complete Recording, Remastered)", 3599, 44, 192, 2 },
};

const COLORREF kLightFrame = 0xE0FFFF, kDarkFrame = 0x88BFBF;   // of the default background

const ScaledPopupRow *RowForScreen()
{
    for (const ScaledPopupRow &row : kScaledPopups)
        if (row.dpi == PlayerScreenDpi())
            return &row;
    return NULL;
}

void ExpectChild(HWND child, const ScaledBox &box, const char *what)
{
    RECT r = ChildRect(child);
    EXPECT_EQ(box.x, r.left) << what;
    EXPECT_EQ(box.y, r.top) << what;
    EXPECT_EQ(box.w, r.right - r.left) << what;
    EXPECT_EQ(box.h, r.bottom - r.top) << what;
}

// The size of the icon the icon child shows; 0 without one.
int IconSizeOf(HWND iconStatic)
{
    DWORD_PTR icon = 0;
    ICONINFO info;
    if (!SendMessageTimeoutA(iconStatic, STM_GETICON, 0, 0, SMTO_NORMAL, 2000, &icon) || !icon ||
        !GetIconInfo((HICON)icon, &info))
        return 0;
    BITMAP bitmap;
    int size = GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap) ? bitmap.bmWidth : 0;
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return size;
}

// A point of each frame edge, half way along it, shows the edge's colour
// across the frame's whole width there: h on the left and at the top, the
// rest on the right and at the bottom.
void ExpectFrameDrawn(HWND popup, int frame)
{
    RECT r = WindowRectOf(popup);
    int h = frame / 2, midX = (r.left + r.right) / 2, midY = (r.top + r.bottom) / 2;
    for (int i = 0; i < h; i++) {
        EXPECT_TRUE(WaitForWindowColour(popup, r.left + i, midY, kLightFrame)) << "left, " << i;
        EXPECT_TRUE(WaitForWindowColour(popup, midX, r.top + i, kLightFrame)) << "top, " << i;
    }
    for (int i = 1; i <= frame - h; i++) {
        EXPECT_TRUE(WaitForWindowColour(popup, r.right - i, midY, kDarkFrame)) << "right, " << i;
        EXPECT_TRUE(WaitForWindowColour(popup, midX, r.bottom - i, kDarkFrame)) << "bottom, " << i;
    }
}

struct Corner {
    int position, spreading;
    const char *name;
};

const Corner kCorners[] = {
    { 0, 0, "upper left, in a row" },
    { 1, 1, "lower left, in a column" },
    { 2, 0, "lower right, in a row" },
    { 3, 1, "upper right, in a column" },
};

// The first popup m inside the corner, each further one m beyond the last,
// all on the corner's line.
void ExpectStack(const Corner &corner, const std::vector<RECT> &r, const RECT &a, int m)
{
    bool left = corner.position <= 1, top = corner.position == 0 || corner.position == 3;
    for (size_t i = 0; i < r.size(); i++) {
        SCOPED_TRACE(i);
        bool alongRow = corner.spreading == 0 && i > 0, alongColumn = corner.spreading == 1 && i > 0;
        if (left)
            EXPECT_EQ(r[i].left, alongRow ? r[i - 1].right + m : a.left + m);
        else
            EXPECT_EQ(r[i].right, alongRow ? r[i - 1].left - m : a.right - m);
        if (top)
            EXPECT_EQ(r[i].top, alongColumn ? r[i - 1].bottom + m : a.top + m);
        else
            EXPECT_EQ(r[i].bottom, alongColumn ? r[i - 1].top - m : a.bottom - m);
    }
}

class ScaledPopups : public PlayerTest {
protected:
    // Loads the plug-in and shows the popups of `count` tracks from `first`.
    std::vector<HWND> LoadAndShow(int count, int first = 0)
    {
        if (!LoadPatched())
            return {};
        return ShowPopups(std::vector<PlayerTrack>(kTracks + first, kTracks + first + count));
    }
};

}  // namespace

TEST_F(ScaledPopups, EveryLengthAtTheScreensResolution)
{
    const char *wanted = getenv(kWantedDpi);
    const ScaledPopupRow *row = RowForScreen();
    if (wanted)
        ASSERT_TRUE(row && row->dpi == atoi(wanted)) << "the screen is at " << PlayerScreenDpi() << " dpi";
    if (!row)
        GTEST_SKIP() << "no row for " << PlayerScreenDpi() << " dpi";
    SCOPED_TRACE(row->dpi);
    RECT area = WorkArea();
    SetIni("Seconds", 0);
    {
        SCOPED_TRACE("fixed size");
        SetIni("DynamicResize", 0);
        SetIni("DisplayTime", 1);
        std::vector<HWND> popups = LoadAndShow(1);
        ASSERT_EQ(popups.size(), 1u);
        RECT r = WindowRectOf(popups[0]);
        EXPECT_EQ(r.left, area.right - row->popup.w - row->margin);
        EXPECT_EQ(r.top, area.bottom - row->popup.h - row->margin);
        EXPECT_EQ(r.right - r.left, row->popup.w);
        EXPECT_EQ(r.bottom - r.top, row->popup.h);
        PopupParts parts = ReadPopupParts(popups[0]);
        ASSERT_TRUE(parts.back && parts.icon && parts.title && parts.info && parts.time);
        ExpectChild(parts.back, row->back, "back");
        ExpectChild(parts.icon, row->icon, "icon");
        ExpectChild(parts.title, row->title, "title");
        ExpectChild(parts.info, row->info, "info");
        ExpectChild(parts.time, row->time, "time");
        EXPECT_EQ(IconSizeOf(parts.icon), row->smallIcon);
        EXPECT_EQ(FontHeightOf(parts.title), row->fontHeight);
        EXPECT_EQ(FontHeightOf(parts.info), row->fontHeight);
        EXPECT_EQ(FontHeightOf(parts.time), row->fontHeight);
        ExpectFrameDrawn(popups[0], row->frame);
        QuitAndUnload();
    }
    SetIni("DynamicResize", 1);
    SetIni("DisplayTime", 0);
    for (const Corner &corner : kCorners) {
        SCOPED_TRACE(corner.name);
        SetIni("Position", corner.position);
        SetIni("Spreading", corner.spreading);
        std::vector<HWND> popups = LoadAndShow(3);
        ASSERT_EQ(popups.size(), 3u);
        std::vector<RECT> rects;
        for (HWND popup : popups) {
            rects.push_back(WindowRectOf(popup));
            PopupParts parts = ReadPopupParts(popup);
            ASSERT_TRUE(parts.title && parts.info);
            EXPECT_EQ(ChildRect(parts.title).bottom - ChildRect(parts.title).top, row->textHeight);
            EXPECT_EQ(ChildRect(parts.info).bottom - ChildRect(parts.info).top, row->textHeight);
            EXPECT_EQ(rects.back().bottom - rects.back().top, row->textPopupHeight);
        }
        ExpectStack(corner, rects, area, row->margin);
        QuitAndUnload();
    }
    {
        SCOPED_TRACE("centre, the second popup as wide as the screen takes");
        SetIni("Position", 4);
        std::vector<HWND> popups = LoadAndShow(2, 2);
        ASSERT_EQ(popups.size(), 2u);
        RECT a = WindowRectOf(popups[0]), b = WindowRectOf(popups[1]);
        EXPECT_EQ(b.left, a.left + row->smallIcon);
        EXPECT_EQ(b.top, a.top + row->smallIcon);
        EXPECT_EQ(b.right - b.left, area.right - area.left - 2 * row->margin);
    }
}

// The cover's side (64 at 96 dpi) scaled as every length: its column, and
// the popup at least that high with the inner borders.
TEST_F(ScaledPopups, ACoverAtTheScreensResolution)
{
    const ScaledPopupRow *row = RowForScreen();
    if (!row)
        GTEST_SKIP() << "no row for " << PlayerScreenDpi() << " dpi";
    std::string folder = iniDir + "\\Album";
    ASSERT_TRUE(PlayerMakeDirectories(folder.c_str()));
    ASSERT_TRUE(WriteBytesToFile(folder + "\\song.mp3", std::vector<unsigned char>(500, 0)));
    ASSERT_TRUE(WriteBytesToFile(folder + "\\cover.png", MakePicture(PICTURE_PNG, 300, 300, RGB(20, 20, 220))));
    SetIni("Seconds", 0);
    SetIni("DynamicResize", 0);
    SetIni("DisplayTime", 1);
    // The plug-in's clock stands: the popup waits for its cover.
    ASSERT_TRUE(Load() && PlayerRedirectPluginClock());
    PlayerSetPluginClock(1000000);
    std::string track = folder + "\\song.mp3";
    PlayerSetPlaylistFiles({ std::wstring(track.begin(), track.end()) });
    PlayerStartTrackPastThrottle(kTracks[0]);
    ASSERT_TRUE(WaitForVisiblePopups(1));
    PopupParts parts = ReadPopupParts(VisiblePopups()[0]);
    ASSERT_TRUE(parts.cover);
    int side = 64 * row->dpi / 96, border = 2 * row->dpi / 96;
    int height = row->back.h > side + 2 * border ? row->back.h : side + 2 * border;
    ExpectChild(parts.cover, { row->icon.x, row->icon.y, side, height }, "cover");
    RECT r = WindowRectOf(parts.cover);
    // Decoded at that side: it fills its column from edge to edge.
    EXPECT_TRUE(WaitForWindowColour(parts.cover, r.left, (r.top + r.bottom) / 2, RGB(20, 20, 220)));
    EXPECT_TRUE(WaitForWindowColour(parts.cover, r.right - 1, (r.top + r.bottom) / 2, RGB(20, 20, 220)));
}

// The look that follows Windows: its border and padding on the screen, the
// children where the table puts them.
TEST_F(ScaledPopups, TheWindowsLooksBorderAndPaddingAtTheScreensResolution)
{
    const WindowsLookRow *row = NULL;
    for (const WindowsLookRow &r : kWindowsLookPopups)
        if (r.dpi == PlayerScreenDpi())
            row = &r;
    if (!row)
        GTEST_SKIP() << "no row for " << PlayerScreenDpi() << " dpi";
    SCOPED_TRACE(row->dpi);
    const COLORREF border = RGB(214, 214, 214), back = RGB(249, 249, 249);
    ThemeRegistry registry;
    registry.SetModes(1, kRemoved);
    SetIni({ { "WindowsLook", 1 }, { "Seconds", 0 }, { "DynamicResize", 0 }, { "DisplayTime", 1 } });
    ASSERT_TRUE(PlayerMovePointer(40, 40));
    std::vector<HWND> popups = LoadAndShow(1);
    ASSERT_EQ(popups.size(), 1u);
    RECT r = WindowRectOf(popups[0]);
    EXPECT_EQ(r.right - r.left, row->popup.w);
    EXPECT_EQ(r.bottom - r.top, row->popup.h);
    PopupParts parts = ReadPopupParts(popups[0]);
    ASSERT_TRUE(parts.back && parts.icon && parts.title && parts.info && parts.time);
    ExpectChild(parts.back, row->back, "back");
    ExpectChild(parts.icon, row->icon, "icon");
    ExpectChild(parts.title, row->title, "title");
    ExpectChild(parts.info, row->info, "info");
    ExpectChild(parts.time, row->time, "time");

    // Across the middle of each side: the border, then the padding's
    // background up to the icon column on the left, the clock on the right.
    int midX = (r.left + r.right) / 2, midY = (r.top + r.bottom) / 2, b = row->border, p = row->padding;
    ASSERT_TRUE(WaitForScreenColour(r.left, midY, border));
    for (int i = 0; i < b + p; i++) {
        SCOPED_TRACE(i);
        COLORREF expected = i < b ? border : back;
        EXPECT_EQ(ScreenColour(r.left + i, midY), expected);
        EXPECT_EQ(ScreenColour(r.right - 1 - i, midY), expected);
        EXPECT_EQ(ScreenColour(midX, r.top + i), expected);
        EXPECT_EQ(ScreenColour(midX, r.bottom - 1 - i), expected);
    }
}

TEST(ScaledDisplays, PopupsAt144And192Dpi)
{
    char self[MAX_PATH];
    ASSERT_GT(GetModuleFileNameA(NULL, self, MAX_PATH), 0u);
    std::string command = std::string("\"") + self + "\" --gtest_filter=ScaledPopups.*";
    for (int dpi : { 144, 192 }) {
        SCOPED_TRACE(dpi);
        char value[8];
        snprintf(value, sizeof value, "%d", dpi);
        SetEnvironmentVariableA(kWantedDpi, value);
        EXPECT_EQ(PlayerRunAtDpi(command.c_str(), dpi, 60000), 0);
    }
    SetEnvironmentVariableA(kWantedDpi, NULL);
}
