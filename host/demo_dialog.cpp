// The demo's settings-dialog part: the hot key pressed through the system's
// input, then the dialog opened through the player's configure command,
// worked from a second thread while the player's thread sits in it: a few
// settings changed (two colours through the colour chooser), Preview,
// screenshots, OK, and the saved hot key pressed.
#include "host/demo_support.h"
#include "host/dialog_driver.h"

#include <stdio.h>
#include <string.h>

static const char kPreviewText[] = "Notifies you which song is playing in Winamp!\nCool, isn't it?";
static const PlayerTrack kTrack = { 4, "Marisol Vega - Glass Orchard", 242, 44, 256, 2, NULL };

static const COLORREF kBackColour = RGB(36, 72, 120);
static const COLORREF kTextColour = RGB(255, 236, 160);
static const WORD kNewHotKey = 0x0378;   // Ctrl+Shift+F9 as the hot-key control holds it

enum {
    kDialogDeadlineMs = 5000,
    kPickerColourMessage = 0x1001,   // the swatch's CPM_GETCOLOUR
    kTrackBarSetPos = WM_USER + 5,   // TBM_SETPOS
    kChooserRed = 706                // the chooser's red, green and blue edits
};

// Presses a hot-key control value: Shift, Ctrl and Alt as its flags say.
static void PressHotKey(WORD value)
{
    UINT modifiers = (value & 0x100 ? MOD_SHIFT : 0) | (value & 0x200 ? MOD_CONTROL : 0) |
                     (value & 0x400 ? MOD_ALT : 0);
    PlayerPressHotKey(modifiers, (WORD)(value & 0xFF));
}

// Picks a colour for a swatch the way a user does: a click opens the
// chooser, the numbers go into its red, green and blue fields, OK.
static bool PickColour(HWND dialog, int swatch, COLORREF colour)
{
    // Under Wine a click that comes while the dialog is still settling is
    // now and then lost; a user would click again, and so does the demo.
    HWND chooser = NULL;
    for (int attempt = 0; attempt < 3 && !chooser; attempt++) {
        ClickControl(GetDlgItem(dialog, swatch));
        chooser = WaitForPlayerDialog(NULL, kDialogDeadlineMs / 3);
    }
    if (!chooser)
        return false;
    SetDlgItemInt(chooser, kChooserRed, GetRValue(colour), FALSE);
    SetDlgItemInt(chooser, kChooserRed + 1, GetGValue(colour), FALSE);
    SetDlgItemInt(chooser, kChooserRed + 2, GetBValue(colour), FALSE);
    PostMessageA(chooser, WM_COMMAND, IDOK, 0);
    if (!WaitUntil([&] { return !IsWindow(chooser); }, kDialogDeadlineMs))
        return false;
    // The chooser's window goes before the swatch stores the pick.
    return WaitUntil([&] {
        return (COLORREF)SendDlgItemMessageA(dialog, swatch, kPickerColourMessage, 0, 0) == colour;
    }, kDialogDeadlineMs);
}

static HWND PreviewShown()
{
    HWND popups[kMaxPopups];
    int count = PlayerFindPopups(popups, kMaxPopups);
    for (int i = 0; i < count && i < kMaxPopups; i++) {
        if (IsWindowVisible(popups[i]) && PlayerHasChildText(popups[i], kPreviewText))
            return popups[i];
    }
    return NULL;
}

// --- the script on the second thread -------------------------------------------

static bool Step(bool done, const char *what)
{
    Say(done ? "demo:   %s\n" : "demo:   %s -> FAILED\n", what);
    return done;
}

static bool WorkTheDialog(HWND dialog, const char *shotsDir)
{
    bool ok = Step(PickColour(dialog, 1027, kBackColour), "background colour picked in the colour chooser") &&
              Step(PickColour(dialog, 1028, kTextColour), "text colour picked in the colour chooser");
    if (!ok)
        return false;
    Press(dialog, 1002);              // display the time
    SelectComboItem(dialog, 1022, 0); // upper left corner
    SelectComboItem(dialog, 1023, 1); // flat style
    Press(dialog, 1019);              // translucent...
    SendDlgItemMessageA(dialog, 1020, kTrackBarSetPos, TRUE, 230);
    SendMessageA(dialog, WM_HSCROLL, 0, (LPARAM)GetDlgItem(dialog, 1020));   // ...at 90 per cent
    SetHotKeyControl(dialog, kNewHotKey);
    Say("demo:   time on, upper left corner, flat style, 90%% opacity, hot key Ctrl+Shift+F9\n");

    Press(dialog, 1033);
    HWND preview = NULL;
    if (!Step(WaitUntil([&] { return (preview = PreviewShown()) != NULL; }, kPopupDeadlineMs),
              "Preview shows a popup with the edited values"))
        return false;
    WaitUntilSettled(preview);

    if (shotsDir) {
        RECT swatch = WindowRectOf(GetDlgItem(dialog, 1027));
        WaitUntil([&] {
            return ScreenColour((swatch.left + swatch.right) / 2, (swatch.top + swatch.bottom) / 2) == kBackColour;
        }, kSettleDeadlineMs);
        RECT area = WindowRectOf(dialog);
        InflateRect(&area, kShotPadding, kShotPadding);
        ok = SaveScreenArea(shotsDir, "dialog-settings", &area);
        area = WindowRectOf(preview);
        InflateRect(&area, 12, 12);
        ok = SaveScreenArea(shotsDir, "dialog-preview", &area) && ok;
    }
    Press(dialog, IDOK);
    return Step(WaitUntil([&] { return !IsWindow(dialog); }, kDialogDeadlineMs), "OK closes the dialog") && ok;
}

// --- the part ----------------------------------------------------------------------

static bool HotKeyShowsTrack(WORD hotKey, const char *what)
{
    PopupSearch search;
    ExpectedLines(kTrack, &search);
    PressHotKey(hotKey);
    bool shown = WaitUntil([&] { return ExpectedPopupShown(&search); }, kPopupDeadlineMs);
    Say(shown ? "demo: %s -> popup \"%s\"\n" : "demo: %s -> FAILED: no popup \"%s\"\n", what,
        search.titleLine.c_str());
    if (shown) {
        WaitUntilSettled(search.found);
        PostMessageA(search.found, 0x601, 0, 0);   // closed at once: the next one starts afresh
    }
    return shown;
}

static bool IniHolds(const char *key, int value)
{
    int saved = PlayerReadSetting(key);
    if (saved != value)
        Say("demo: INI -> FAILED: %s=%d, expected %d\n", key, saved, value);
    return saved == value;
}

bool RunDialogDemo(const char *shotsDir, const char *pluginPath)
{
    DeleteFileA(PlayerSettingsFile().c_str());
    if (!WriteDemoSettings() || !PlayerLoadPlugin(pluginPath)) {
        Say("demo: settings dialog -> FAILED: cannot set up the plug-in\n");
        return false;
    }
    PlayerSetTrack(kTrack);
    bool ok = HotKeyShowsTrack(0x027B, "Ctrl+F12 pressed");

    // The dialog goes to the top of the screen, away from the popups' corners.
    bool worked = false;
    if (!DriveSettingsDialog([&](HWND dialog) {
            Say("demo: settings dialog \"%s\" open\n", kDialogCaption);
            worked = WorkTheDialog(dialog, shotsDir);
        }))
        Say("demo: settings dialog -> FAILED: it did not open\n");
    ok = ok && worked;

    if (ok) {
        ok = IniHolds("DisplayTime", 1) && IniHolds("Position", 0) && IniHolds("Style", 1) &&
             IniHolds("UseTransparency", 1) && IniHolds("Alpha", 230) &&
             IniHolds("DefaultColour", (int)kBackColour) &&
             IniHolds("DefaultTextColour", (int)kTextColour) && IniHolds("HotKey", kNewHotKey);
        if (ok)
            Say("demo: INI -> the INI file holds the edited values\n");
    }
    if (ok)
        ok = HotKeyShowsTrack(kNewHotKey, "saved hot key Ctrl+Shift+F9 pressed");
    return ShutDownPlugin(pluginPath) && ok;
}
