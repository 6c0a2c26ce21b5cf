// Where and when popups show: quiet over a full-screen program, held while
// the pointer rests on them, announced to screen readers, and the settings
// that choose all this. Xvfb has one monitor: the choice among monitors is
// the unit tests' business.
#include "host/dialog_driver.h"
#include "res/resource.h"
#include "tests/e2e/support.h"

#include <vector>

namespace {

// A point well away from the lower right corner, where popups go.
void PointerAway()
{
    ASSERT_TRUE(PlayerMovePointer(40, 40));
}

struct AlertLog {
    std::vector<HWND> windows;
};
AlertLog gAlerts;

void CALLBACK OnAlert(HWINEVENTHOOK, DWORD event, HWND window, LONG, LONG, DWORD, DWORD)
{
    if (event == EVENT_SYSTEM_ALERT)
        gAlerts.windows.push_back(window);
}

}  // namespace

using WhereWhen = PlayerTest;

TEST_F(WhereWhen, AFullScreenWindowKeepsTrackAndTagPopupsQuietButNotTheHotKeys)
{
    PlayerSetTrack(kSong);
    ASSERT_TRUE(Load());
    HWND film = PlayerShowFullScreenWindow();
    ASSERT_NE(film, (HWND)NULL) << "no full-screen window in front";

    int from = PlayerCommandCount();
    DWORD start = GetTickCount();
    PlayerStartTrack();
    PumpUntil(start, kEventGapMs);
    PlayerTagsChanged();
    PlayerPressHotKey(MOD_CONTROL, VK_F12);
    ASSERT_TRUE(WaitForVisiblePopups(1));
    // The worker serves its events one after the other, each after its
    // settle wait: a popup for the events before the hot key would have come.
    PlayerPumpFor(700);
    EXPECT_EQ(VisiblePopups().size(), 1u);
    EXPECT_EQ(CountCommands(PLAYER_CMD_POSITION, from), 1) << "the player was asked for a quiet event's track";
    EXPECT_EQ(GetForegroundWindow(), film);

    PlayerCloseFullScreenWindow(film);
    PlayerStartTrack();
    EXPECT_TRUE(WaitForVisiblePopups(2)) << "no popup once the full-screen window was gone";
}

TEST_F(WhereWhen, WithQuietOffPopupsShowOverAFullScreenWindow)
{
    SetIni("QuietInFullscreen", 0);
    PlayerSetTrack(kSong);
    ASSERT_TRUE(Load());
    HWND film = PlayerShowFullScreenWindow();
    ASSERT_NE(film, (HWND)NULL);
    EXPECT_NE(ShowPopup(), (HWND)NULL);
    PlayerCloseFullScreenWindow(film);
}

TEST_F(WhereWhen, APopupThePointerMovesOntoStaysAndClosesItsSecondsAfterThePointerLeaves)
{
    SetIni("Seconds", 1);
    ASSERT_TRUE(Load());
    HWND popup = ShowPopupUnderMovingPointer();
    ASSERT_NE(popup, (HWND)NULL);
    PlayerPumpFor(2500);
    ASSERT_TRUE(IsWindowVisible(popup)) << "closed on time with the pointer on it";
    PointerAway();
    DWORD left = GetTickCount();
    ASSERT_TRUE(WaitForPopupClosed(popup, 4000));
    DWORD after = GetTickCount() - left;
    EXPECT_GE(after, 900u);
    EXPECT_LE(after, 2500u);
}

TEST_F(WhereWhen, APopupAppearingUnderAStillPointerClosesOnTime)
{
    SetIni("Seconds", 1);
    ASSERT_TRUE(Load());
    // Inside the place the popup will take in the lower right corner.
    RECT area = WorkArea();
    POINT still = { area.right - 12, area.bottom - 12 };
    ASSERT_TRUE(PlayerMovePointer(still.x, still.y));
    HWND popup = ShowPopup();
    ASSERT_NE(popup, (HWND)NULL);
    DWORD shown = GetTickCount();
    RECT r = WindowRectOf(popup);
    ASSERT_TRUE(PtInRect(&r, still));
    ASSERT_TRUE(WaitForPopupClosed(popup, 4000)) << "held by a pointer that never moved";
    EXPECT_LE(GetTickCount() - shown, 2000u);
}

TEST_F(WhereWhen, APopupReplacedUnderAStillPointerClosesOnTime)
{
    SetIni("Seconds", 2);
    ASSERT_TRUE(LoadPatched());
    PointerAway();
    std::vector<HWND> popups = ShowPopups(2);
    ASSERT_EQ(popups.size(), 2u);
    DWORD shown = GetTickCount();
    HWND older = popups[0], younger = popups[1];
    ASSERT_TRUE(WaitUntil([&] { return !WindowText(younger).empty(); }));   // its show done

    // The pointer moves onto the older popup and stands still; the older
    // goes, and the younger takes its place under the pointer.
    RECT r = WindowRectOf(older);
    POINT still = { r.left + 30, r.top + 12 };
    ASSERT_TRUE(PlayerMovePointer(still.x, still.y));
    PostMessageA(older, WM_CONTEXTMENU, (WPARAM)older, 0);
    ASSERT_TRUE(WaitUntil([&] {
        RECT now = WindowRectOf(younger);
        return PtInRect(&now, still) != FALSE;
    })) << "the younger popup did not take the older one's place";
    ASSERT_TRUE(WaitForPopupClosed(younger, 5000)) << "held by a pointer that never moved";
    EXPECT_LE(GetTickCount() - shown, 3500u);
}

TEST_F(WhereWhen, APopupIsNamedByItsLinesAndAlertsWithoutTakingTheFocus)
{
    SetIni("Seconds", 0);
    PlayerSetTrack(PlayerTrack{ 4, "Lena Ostrova - Radio Static", 187, 48, 320, 2 });
    ASSERT_TRUE(Load());
    gAlerts.windows.clear();
    HWINEVENTHOOK hook = SetWinEventHook(EVENT_SYSTEM_ALERT, EVENT_SYSTEM_ALERT, NULL, OnAlert,
                                         GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    ASSERT_NE(hook, (HWINEVENTHOOK)NULL);
    HWND before = GetForegroundWindow();
    HWND popup = ShowPopup();
    ASSERT_NE(popup, (HWND)NULL);
    EXPECT_TRUE(WaitUntil([&] {
        for (HWND window : gAlerts.windows)
            if (window == popup)
                return true;
        return false;
    }, 2000)) << "no alert from the popup";
    UnhookWinEvent(hook);
    EXPECT_EQ(WindowText(popup), TitleLine(4, "Lena Ostrova - Radio Static") + "\n" + InfoLine(187, 48, 320, 2));
    EXPECT_EQ(GetForegroundWindow(), before);
}

// Their place in a new file is the settings dialog's OK test's business.
TEST_F(WhereWhen, TheDialogShowsTheBandsKeysAsReadAndOkSavesThem)
{
    // Out of range: the primary monitor; the low 8 bits: off.
    SetIni({ { "Monitor", 3 }, { "QuietInFullscreen", 256 }, { "Controls", 0 }, { "MediaControls", 0 } });
    ASSERT_TRUE(Load());
    ASSERT_TRUE(DriveSettingsDialog([&](HWND dialog) {
        HWND combo = GetDlgItem(dialog, IDC_MONITOR);
        EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 0);
        ASSERT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 3);
        char text[64] = "";
        SendMessageA(combo, CB_GETLBTEXT, 2, (LPARAM)text);
        EXPECT_STREQ(text, "the monitor with the pointer");
        EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_QUIET_FULLSCREEN), BST_UNCHECKED);
        EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_HOLD_ON_HOVER), BST_CHECKED);
        EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_CONTROLS), BST_UNCHECKED);
        char label[64] = "";
        GetDlgItemTextA(dialog, IDC_CONTROLS, label, sizeof label);
        EXPECT_STREQ(label, "Control the &player from popups");
        // Wine has no media controls of Windows': the box shows the setting,
        // greyed.
        EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_MEDIA_CONTROLS), BST_UNCHECKED);
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_MEDIA_CONTROLS)));
        GetDlgItemTextA(dialog, IDC_MEDIA_CONTROLS, label, sizeof label);
        EXPECT_STREQ(label, "Show the player in Windows' media controls");
        SelectComboItem(dialog, IDC_MONITOR, 2);
        Press(dialog, IDC_QUIET_FULLSCREEN);
        Press(dialog, IDC_HOLD_ON_HOVER);
        Press(dialog, IDC_CONTROLS);
        Press(dialog, IDOK);
    }));
    EXPECT_EQ(PlayerReadSetting("Monitor"), 2);
    EXPECT_EQ(PlayerReadSetting("QuietInFullscreen"), 1);
    EXPECT_EQ(PlayerReadSetting("HoldOnHover"), 0);
    EXPECT_EQ(PlayerReadSetting("Controls"), 1);
    EXPECT_EQ(PlayerReadSetting("MediaControls"), 0);
}
