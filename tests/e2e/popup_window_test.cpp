// The popup window: what it is made of, how it is shown, its colours, how
// it closes, how many there may be, and what quit does to open ones.
#include "tests/e2e/support.h"

#include <stdio.h>

#include <string>

using PopupWindow = PlayerTest;

static std::string ClockText(const SYSTEMTIME &t)
{
    char text[8];
    snprintf(text, sizeof text, "%02d:%02d", t.wHour, t.wMinute);
    return text;
}

TEST_F(PopupWindow, IsATopmostToolWindowOfStaticChildren)
{
    SetIni({ { "Seconds", 0 }, { "DisplayTime", 1 } });
    ASSERT_TRUE(Load());
    SYSTEMTIME before, after;
    GetLocalTime(&before);
    HWND popup = ShowPopup({ 2, "Lena Ostrova - Radio Static", 187, 48, 320, 2 });
    ASSERT_NE(popup, (HWND)NULL);
    GetLocalTime(&after);

    LONG exStyle = GetWindowLongA(popup, GWL_EXSTYLE);
    LONG style = GetWindowLongA(popup, GWL_STYLE);
    EXPECT_EQ(exStyle & (WS_EX_TOPMOST | WS_EX_TOOLWINDOW), WS_EX_TOPMOST | WS_EX_TOOLWINDOW);
    EXPECT_EQ(style & (WS_POPUP | WS_CHILD | WS_CAPTION), WS_POPUP);
    EXPECT_EQ(GetWindow(popup, GW_OWNER), (HWND)NULL);

    PopupParts parts = ReadPopupParts(popup);
    EXPECT_EQ(parts.children, 5);
    ASSERT_NE(parts.back, (HWND)NULL);
    ASSERT_NE(parts.title, (HWND)NULL) << "no child in the bold font";
    ASSERT_NE(parts.icon, (HWND)NULL);
    ASSERT_NE(parts.info, (HWND)NULL);
    ASSERT_NE(parts.time, (HWND)NULL);
    HWND children[5] = { parts.back, parts.title, parts.icon, parts.info, parts.time };
    for (HWND child : children) {
        char className[32] = "";
        GetClassNameA(child, className, sizeof className);
        EXPECT_STRCASEEQ(className, "static");
        EXPECT_TRUE(IsWindowVisible(child));
    }
    EXPECT_EQ(WindowText(parts.title), TitleLine(2, "Lena Ostrova - Radio Static"));
    EXPECT_EQ(WindowText(parts.info), InfoLine(187, 48, 320, 2));
    EXPECT_GE(FontWeightOf(parts.title), FW_BOLD);
    EXPECT_LT(FontWeightOf(parts.info), FW_BOLD);
    std::string time = WindowText(parts.time);
    EXPECT_TRUE(time == ClockText(before) || time == ClockText(after)) << time;

    DWORD_PTR icon = 0;
    ASSERT_TRUE(SendMessageTimeoutA(parts.icon, STM_GETICON, 0, 0, SMTO_NORMAL, 2000, &icon));
    ASSERT_NE(icon, 0u) << "the icon static shows no icon";
    ICONINFO info;
    ASSERT_TRUE(GetIconInfo((HICON)icon, &info));
    BITMAP bitmap;
    GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    EXPECT_EQ(bitmap.bmWidth, 16);
    EXPECT_EQ(bitmap.bmHeight, info.hbmColor ? 16 : 32);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
}

TEST_F(PopupWindow, WithoutShowTextHasNoInformationLine)
{
    SetIni({ { "Seconds", 0 }, { "ShowText", 0 } });
    ASSERT_TRUE(Load());
    HWND popup = ShowPopup(kSong);
    ASSERT_NE(popup, (HWND)NULL);
    PopupParts parts = ReadPopupParts(popup);
    EXPECT_EQ(parts.children, 3);
    EXPECT_NE(parts.back, (HWND)NULL);
    EXPECT_NE(parts.icon, (HWND)NULL);
    ASSERT_NE(parts.title, (HWND)NULL);
    EXPECT_EQ(WindowText(parts.title), TitleLine(0, "Song"));
    EXPECT_EQ(parts.info, (HWND)NULL);
    EXPECT_FALSE(PlayerHasChildText(popup, InfoLine(100, 44, 128, 2).c_str()));
}

TEST_F(PopupWindow, TakesNoFocusAndALeftClickClosesItOnlyOnItsTexts)
{
    SetIni({ { "Seconds", 0 }, { "DynamicResize", 0 } });
    ASSERT_TRUE(Load());

    // The window the user is working in.
    HWND work = CreateWindowExA(0, "static", "work", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100,
                                300, 200, NULL, NULL, GetModuleHandleA(NULL), NULL);
    ASSERT_NE(work, (HWND)NULL);
    SetForegroundWindow(work);
    SetActiveWindow(work);
    PlayerPump();
    ASSERT_EQ(GetForegroundWindow(), work);

    HWND popup = ShowPopup(kSong);
    ASSERT_NE(popup, (HWND)NULL);
    PlayerPumpFor(100);
    EXPECT_EQ(GetForegroundWindow(), work);
    EXPECT_EQ(GetActiveWindow(), work);

    // The frame around the content.
    RECT r = WindowRectOf(popup);
    PlayerClickAt(r.left, (r.top + r.bottom) / 2, false);
    PlayerPumpFor(400);
    EXPECT_TRUE(IsWindowVisible(popup)) << "a click on the frame closed the popup";
    EXPECT_EQ(GetForegroundWindow(), work);

    ClickMiddle(ReadPopupParts(popup).title, false);
    EXPECT_TRUE(WaitForNoPopupWindows());
    EXPECT_EQ(GetForegroundWindow(), work);
    // The fixture destroys the window once the test is over.
}

TEST_F(PopupWindow, StaysUntilRightClickedAndTheOthersCloseTheGap)
{
    // Seconds=0: no close timer.
    SetIni("Seconds", 0);
    ASSERT_TRUE(Load());
    RECT area = WorkArea();
    std::vector<HWND> popups = ShowPopups({ { 0, "Older", 100, 44, 128, 2 }, { 1, "Younger", 100, 44, 128, 2 } });
    ASSERT_EQ(popups.size(), 2u);
    DWORD shown = GetTickCount();
    HWND older = popups[0], younger = popups[1];
    RECT first = WindowRectOf(older);
    EXPECT_TRUE(RectIs(first, kAnyEdge, kAnyEdge, area.right - 2, area.bottom - 2));
    EXPECT_TRUE(RectIs(WindowRectOf(younger), kAnyEdge, kAnyEdge, area.right - 2, first.top - 2));

    PumpUntil(shown, 1500);
    EXPECT_TRUE(IsWindowVisible(older));
    EXPECT_TRUE(IsWindowVisible(younger));

    ClickMiddle(older, true);
    ASSERT_TRUE(WaitForPopupClosed(older));
    EXPECT_TRUE(IsWindowVisible(younger));
    WaitUntil([&] {
        RECT now = WindowRectOf(younger);
        return EqualRect(&now, &first) != FALSE;
    }, 2000);
    EXPECT_TRUE(RectIs(WindowRectOf(younger), first.left, first.top, first.right, first.bottom))
        << "the younger popup is not in the first place";
}

TEST_F(PopupWindow, ClosesByItselfAfterTheSetSeconds)
{
    SetIni("Seconds", 1);
    ASSERT_TRUE(Load());
    HWND popup = ShowPopup(kSong);
    ASSERT_NE(popup, (HWND)NULL);
    DWORD shown = GetTickCount();

    PumpUntil(shown, 500);
    EXPECT_TRUE(IsWindowVisible(popup));
    ASSERT_TRUE(WaitForPopupClosed(popup, 3000));
    DWORD open = GetTickCount() - shown;
    EXPECT_GE(open, 900u);
    EXPECT_LE(open, 2000u);
    EXPECT_TRUE(WaitForNoPopupWindows());
}

TEST_F(PopupWindow, ColoursAndFrameFollowTheSettings)
{
    const COLORREF kUnchecked = CLR_INVALID;
    // Rows in this order: the first ones find no colour in the file.
    const struct Row {
        const char *name;
        int defaultColour;   // -1: not in the file
        int useWinColors, style;
        COLORREF back;
        COLORREF light, dark;   // top and left edges; bottom and right edges
    } rows[] = {
        // The default background 0xC8FFFF lightened and darkened.
        { "default, beveled", -1, 0, 0, RGB(255, 255, 200), 0xE0FFFF, 0x88BFBF },
        { "flat", -1, 0, 1, RGB(255, 255, 200), RGB(0, 0, 0), RGB(0, 0, 0) },
        { "DefaultColour=255", 255, 0, 0, RGB(255, 0, 0), kUnchecked, kUnchecked },
        { "UseWinColors=1", 255, 1, 0, GetSysColor(COLOR_BTNFACE), kUnchecked, kUnchecked },
    };
    SetIni({ { "Seconds", 0 }, { "DynamicResize", 0 } });
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        if (row.defaultColour >= 0)
            SetIni("DefaultColour", row.defaultColour);
        SetIni({ { "UseWinColors", row.useWinColors }, { "Style", row.style } });
        ASSERT_TRUE(Load());
        HWND popup = ShowPopup(kSong);
        ASSERT_NE(popup, (HWND)NULL);
        RECT r = WindowRectOf(popup);
        // The middle row lies between the title and the information line.
        int x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
        EXPECT_TRUE(WaitForWindowColour(popup, x, y, row.back))
            << std::hex << "the popup shows 0x" << WindowColour(popup, x, y) << ", expected 0x" << row.back;
        if (row.light != kUnchecked) {
            EXPECT_TRUE(WaitForWindowColour(popup, r.left, y, row.light)) << "left edge";
            EXPECT_TRUE(WaitForWindowColour(popup, x, r.top, row.light)) << "top edge";
            EXPECT_TRUE(WaitForWindowColour(popup, r.right - 1, y, row.dark)) << "right edge";
            EXPECT_TRUE(WaitForWindowColour(popup, x, r.bottom - 1, row.dark)) << "bottom edge";
            // The content starts one pixel in.
            EXPECT_EQ(WindowColour(popup, r.left + 1, y), row.back);
        }
        QuitAndUnload();
    }
}

TEST_F(PopupWindow, NoMoreThan48AreOpenAtOnce)
{
    SetIni("Seconds", 0);
    // Many popups fast: the throttle runs on the test's clock and the
    // worker does not wait before it asks the player.
    ASSERT_TRUE(LoadPatched());
    PlayerSetPluginClock(1000);

    char titles[48][16];
    std::vector<PlayerTrack> tracks;
    for (int i = 0; i < 48; i++) {
        snprintf(titles[i], sizeof titles[i], "Track %d", i);
        tracks.push_back({ i, titles[i], 100, 44, 128, 2 });
    }
    std::vector<HWND> popups = ShowPopups(tracks);
    ASSERT_EQ(popups.size(), 48u);

    int from = PlayerCommandCount();
    PlayerStartTrackPastThrottle({ 48, "Refused", 100, 44, 128, 2 });
    ASSERT_TRUE(WaitForCommand(PLAYER_CMD_WIDE_TITLE, 1, from, 2000));
    PlayerPumpFor(300);
    EXPECT_EQ(PlayerFindPopups(NULL, 0), 48);
    EXPECT_EQ(FindPopupWithTitle(TitleLine(48, "Refused")), (HWND)NULL);

    // The oldest sits in the corner; once it is gone there is room again.
    HWND oldest = FindPopupWithTitle(TitleLine(0, "Track 0"));
    ASSERT_EQ(oldest, popups[0]);
    ClickMiddle(oldest, true);
    ASSERT_TRUE(WaitForVisiblePopups(47));

    HWND accepted = ShowPopup({ 49, "Accepted", 100, 44, 128, 2 });
    ASSERT_NE(accepted, (HWND)NULL);
    EXPECT_EQ(FindPopupWithTitle(TitleLine(49, "Accepted")), accepted);
}

TEST_F(PopupWindow, QuitCutsFadesShort)
{
    SetIni({ { "Seconds", 0 }, { "Fade", 1 }, { "FadeInTime", 5000 }, { "FadeOutTime", 5000 } });

    // Two popups in the middle of their fade-in.
    ASSERT_TRUE(Load());
    PlayerSetTrack(kSong);
    std::vector<HWND> popups = ShowPopups(2);
    ASSERT_EQ(popups.size(), 2u);
    for (HWND popup : popups)
        EXPECT_TRUE(WaitUntil([&] { return MidFade(popup); }, 2000));
    DWORD took = QuitAndUnload();
    EXPECT_LT(took, 2000u);
    EXPECT_TRUE(NoPopupAndBaselineThreads());

    // One popup fading out while another waits.
    SetIni("FadeInTime", 150);
    ASSERT_TRUE(Load());
    popups = ShowPopups(2);
    ASSERT_EQ(popups.size(), 2u);
    HWND fading = popups[0];
    ASSERT_TRUE(WaitForAlpha(fading, 255, 2000));
    ClickMiddle(fading, true);
    ASSERT_TRUE(WaitUntil([&] { return MidFade(fading); }, 2000));
    took = QuitAndUnload();
    EXPECT_LT(took, 2000u);
    EXPECT_TRUE(NoPopupAndBaselineThreads());
}
