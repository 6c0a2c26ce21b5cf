// The demo's settings-dialog part: the hot key pressed through the system's
// input, then the dialog opened through the player's configure command,
// worked from a second thread while the player's thread sits in it: a few
// settings changed (two colours through the colour chooser), Preview,
// screenshots, OK, and the saved hot key pressed.
#include "host/demo_support.h"

#include <stdio.h>
#include <string.h>

static const char kCaption[] = "Tunebell Plugin v0.5 ";
static const char kPreviewText[] = "Notifies you which song is playing in Winamp!\nCool, isn't it?";
static const PlayerTrack kTrack = { 4, "Marisol Vega - Glass Orchard", 242, 44, 256, 2, NULL };

static const COLORREF kBackColour = RGB(36, 72, 120);
static const COLORREF kTextColour = RGB(255, 236, 160);
static const WORD kNewHotKey = 0x0378;   // Ctrl+Shift+F9 as the hot-key control holds it

enum {
    kDialogDeadlineMs = 5000,
    kPickerColourMessage = 0x1001,   // the swatch's CPM_GETCOLOUR
    kHotKeySetMessage = WM_USER + 1, // HKM_SETHOTKEY
    kTrackBarSetPos = WM_USER + 5,   // TBM_SETPOS
    kChooserRed = 706                // the chooser's red, green and blue edits
};

// --- waiting and input --------------------------------------------------------

static bool Within(bool (*cond)(void *), void *ctx, DWORD ms)
{
    DWORD start = GetTickCount();
    while (!cond(ctx)) {
        if (GetTickCount() - start >= ms)
            return false;
        Sleep(10);
    }
    return true;
}

// Presses a hot-key control value: Shift, Ctrl and Alt as its flags say.
static void PressHotKey(WORD value)
{
    UINT modifiers = (value & 0x100 ? MOD_SHIFT : 0) | (value & 0x200 ? MOD_CONTROL : 0) |
                     (value & 0x400 ? MOD_ALT : 0);
    PlayerPressHotKey(modifiers, (WORD)(value & 0xFF));
}

// --- the player's dialogs -----------------------------------------------------

struct DialogSearch {
    const char *caption;   // NULL: any but the settings dialog
    HWND found;
};

static bool Wanted(const char *caption, void *ctx)
{
    DialogSearch *search = (DialogSearch *)ctx;
    return search->caption ? strcmp(caption, search->caption) == 0 : strcmp(caption, kCaption) != 0;
}

static bool DialogShown(void *ctx)
{
    DialogSearch *search = (DialogSearch *)ctx;
    search->found = PlayerFindDialog(Wanted, search);
    return search->found != NULL;
}

static bool WindowGone(void *ctx)
{
    return !IsWindow((HWND)ctx);
}

struct SwatchPick {
    HWND swatch;
    COLORREF colour;
};

static bool SwatchHolds(void *ctx)
{
    SwatchPick *pick = (SwatchPick *)ctx;
    return (COLORREF)SendMessageA(pick->swatch, kPickerColourMessage, 0, 0) == pick->colour;
}

// Picks a colour for a swatch the way a user does: a click opens the
// chooser, the numbers go into its red, green and blue fields, OK.
static bool PickColour(HWND dialog, int swatch, COLORREF colour)
{
    // Under Wine a click that comes while the dialog is still settling is
    // now and then lost; a user would click again, and so does the demo.
    DialogSearch chooser = { NULL, NULL };
    bool shown = false;
    for (int attempt = 0; attempt < 3 && !shown; attempt++) {
        PlayerClickWindow(GetDlgItem(dialog, swatch));
        shown = Within(DialogShown, &chooser, kDialogDeadlineMs / 3);
    }
    if (!shown)
        return false;
    SetDlgItemInt(chooser.found, kChooserRed, GetRValue(colour), FALSE);
    SetDlgItemInt(chooser.found, kChooserRed + 1, GetGValue(colour), FALSE);
    SetDlgItemInt(chooser.found, kChooserRed + 2, GetBValue(colour), FALSE);
    PostMessageA(chooser.found, WM_COMMAND, IDOK, 0);
    if (!Within(WindowGone, chooser.found, kDialogDeadlineMs))
        return false;
    // The chooser's window goes before the swatch stores the pick.
    SwatchPick pick = { GetDlgItem(dialog, swatch), colour };
    return Within(SwatchHolds, &pick, kDialogDeadlineMs);
}

static void Select(HWND dialog, int id, int index)
{
    HWND combo = GetDlgItem(dialog, id);
    SendMessageA(combo, CB_SETCURSEL, (WPARAM)index, 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), (LPARAM)combo);
}

struct PreviewSearch {
    HWND found;
};

static bool PreviewShown(void *ctx)
{
    PreviewSearch *search = (PreviewSearch *)ctx;
    HWND popups[kMaxPopups];
    int count = PlayerFindPopups(popups, kMaxPopups);
    for (int i = 0; i < count && i < kMaxPopups; i++) {
        if (IsWindowVisible(popups[i]) && PlayerHasChildText(popups[i], kPreviewText)) {
            search->found = popups[i];
            return true;
        }
    }
    return false;
}

struct SwatchWatch {
    HWND swatch;
    COLORREF colour;
};

static bool SwatchOnScreen(void *ctx)
{
    SwatchWatch *watch = (SwatchWatch *)ctx;
    RECT r;
    GetWindowRect(watch->swatch, &r);
    HDC screen = GetDC(NULL);
    COLORREF shown = GetPixel(screen, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    ReleaseDC(NULL, screen);
    return shown == watch->colour;
}

// --- the script on the second thread -------------------------------------------

struct DialogScript {
    const char *shotsDir;
    bool ok;
};

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
    SendDlgItemMessageA(dialog, 1002, BM_CLICK, 0, 0);   // display the time
    Select(dialog, 1022, 0);                             // upper left corner
    Select(dialog, 1023, 1);                             // flat style
    SendDlgItemMessageA(dialog, 1019, BM_CLICK, 0, 0);   // translucent...
    SendDlgItemMessageA(dialog, 1020, kTrackBarSetPos, TRUE, 230);
    SendMessageA(dialog, WM_HSCROLL, 0, (LPARAM)GetDlgItem(dialog, 1020));   // ...at 90 per cent
    HWND hotKey = GetDlgItem(dialog, 1047);
    SendMessageA(hotKey, kHotKeySetMessage, kNewHotKey, 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(1047, EN_CHANGE), (LPARAM)hotKey);
    Say("demo:   time on, upper left corner, flat style, 90%% opacity, hot key Ctrl+Shift+F9\n");

    SendDlgItemMessageA(dialog, 1033, BM_CLICK, 0, 0);
    PreviewSearch preview = { NULL };
    if (!Step(Within(PreviewShown, &preview, kPopupDeadlineMs), "Preview shows a popup with the edited values"))
        return false;
    WaitUntilSettled(preview.found);

    if (shotsDir) {
        SwatchWatch watch = { GetDlgItem(dialog, 1027), kBackColour };
        Within(SwatchOnScreen, &watch, kSettleDeadlineMs);
        RECT area;
        GetWindowRect(dialog, &area);
        InflateRect(&area, kShotPadding, kShotPadding);
        ok = SaveScreenArea(shotsDir, "dialog-settings", &area);
        GetWindowRect(preview.found, &area);
        InflateRect(&area, 12, 12);
        ok = SaveScreenArea(shotsDir, "dialog-preview", &area) && ok;
    }
    SendDlgItemMessageA(dialog, IDOK, BM_CLICK, 0, 0);
    return Step(Within(WindowGone, dialog, kDialogDeadlineMs), "OK closes the dialog") && ok;
}

static DWORD WINAPI DialogScriptThread(LPVOID param)
{
    DialogScript *script = (DialogScript *)param;
    DialogSearch settings = { kCaption, NULL };
    if (!Within(DialogShown, &settings, kDialogDeadlineMs)) {
        Say("demo: settings dialog -> FAILED: it did not open\n");
        return 0;
    }
    Say("demo: settings dialog \"%s\" open\n", kCaption);
    script->ok = WorkTheDialog(settings.found, script->shotsDir);
    // Whatever is left open is cancelled, so that the player gets its thread back.
    while (IsWindow(settings.found)) {
        DialogSearch other = { NULL, NULL };
        PostMessageA(DialogShown(&other) ? other.found : settings.found, WM_COMMAND, IDCANCEL, 0);
        Sleep(100);
    }
    return 0;
}

static bool ScriptEnded(void *ctx)
{
    return WaitForSingleObject((HANDLE)ctx, 0) == WAIT_OBJECT_0;
}

// --- the part ----------------------------------------------------------------------

static bool HotKeyShowsTrack(WORD hotKey, const char *what)
{
    PopupSearch search;
    ExpectedLines(&kTrack, &search);
    PressHotKey(hotKey);
    bool shown = PlayerWaitFor(ExpectedPopupShown, &search, kPopupDeadlineMs);
    Say(shown ? "demo: %s -> popup \"%s\"\n" : "demo: %s -> FAILED: no popup \"%s\"\n", what,
        search.titleLine);
    if (shown) {
        WaitUntilSettled(search.found);
        PostMessageA(search.found, 0x601, 0, 0);   // closed at once: the next one starts afresh
    }
    return shown;
}

static bool IniHolds(const char *key, int value)
{
    char path[MAX_PATH];
    snprintf(path, sizeof path, "%s\\plugins\\tunebell.ini", PlayerIniDir());
    int saved = (int)GetPrivateProfileIntA("Tunebell", key, -1, path);
    if (saved != value)
        Say("demo: INI -> FAILED: %s=%d, expected %d\n", key, saved, value);
    return saved == value;
}

bool RunDialogDemo(const char *shotsDir, const char *pluginPath)
{
    char path[MAX_PATH];
    snprintf(path, sizeof path, "%s\\plugins\\tunebell.ini", PlayerIniDir());
    DeleteFileA(path);
    if (!WriteDemoSettings(PlayerIniDir()) || !PlayerLoadPlugin(pluginPath)) {
        Say("demo: settings dialog -> FAILED: cannot set up the plug-in\n");
        return false;
    }
    PlayerSetTrack(&kTrack);
    bool ok = HotKeyShowsTrack(0x027B, "Ctrl+F12 pressed");

    // The dialog opens centred on the mouse, away from the popups' corners.
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2);
    DialogScript script = { shotsDir, false };
    HANDLE worker = CreateThread(NULL, 0, DialogScriptThread, &script, 0, NULL);
    if (worker) {
        PlayerConfigPlugin();
        while (!PlayerWaitFor(ScriptEnded, worker, 1000)) {
        }
        CloseHandle(worker);
    }
    ok = ok && script.ok;

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
