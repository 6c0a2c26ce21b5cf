// The demo's part on controlling the player from a popup: the pointer rests
// on a popup and its buttons show, Next is pressed and the next track's
// popup comes, and the wheel turns the volume down.
#include "host/demo_support.h"

static const PlayerTrack kTracks[] = {
    { 7, "Northbound Trains - Harbour Lights", 241, 44, 192, 2, NULL },
    { 8, "Lena Ostrova - Paper Moon", 198, 48, 256, 2, NULL },
    { 9, "The Quiet Harbour - Salt Roads", 305, 44, 320, 2, NULL },
};

enum { kButtonDeadlineMs = 2000 };

// The visible child of the popup with this text, or NULL.
static HWND Control(HWND popup, const char *text)
{
    HWND children[32];
    int count = PlayerChildWindows(popup, children, 32);
    for (int i = 0; i < count && i < 32; i++) {
        char now[64];
        if (IsWindowVisible(children[i]) && PlayerWindowText(children[i], now, sizeof now) &&
            lstrcmpA(now, text) == 0)
            return children[i];
    }
    return NULL;
}

static bool ButtonsShow(HWND popup)
{
    return Control(popup, "Previous") && (Control(popup, "Pause") || Control(popup, "Play")) &&
           Control(popup, "Next");
}

static POINT CentreOf(HWND window)
{
    RECT r;
    GetWindowRect(window, &r);
    POINT centre = { (r.left + r.right) / 2, (r.top + r.bottom) / 2 };
    return centre;
}

static bool Shot(const char *shotsDir, const char *name, const HWND *popups, int count)
{
    if (!shotsDir)
        return true;
    RECT area = AreaAround(popups, count);
    return SaveScreenArea(shotsDir, name, &area);
}

static bool RestOnPopup(const char *shotsDir, HWND *popup)
{
    PopupSearch search;
    ExpectedLines(kTracks[0], &search);
    PlayerStartTrack(kTracks[0]);
    if (!WaitUntil([&] { return ExpectedPopupShown(&search); }, kPopupDeadlineMs)) {
        Say("demo: controls -> FAILED: no popup for \"%s\"\n", kTracks[0].title);
        return false;
    }
    *popup = search.found;
    WaitUntilSettled(*popup);
    RECT r;
    GetWindowRect(*popup, &r);
    PlayerMovePointer(r.left - 20, r.top + 10);
    PlayerMovePointer(r.left + 10, r.top + 10);
    PlayerMovePointer(r.left + 24, r.top + 14);
    if (!WaitUntil([&] { return ButtonsShow(*popup); }, kButtonDeadlineMs)) {
        Say("demo: controls -> FAILED: no buttons on the popup the pointer rests on\n");
        return false;
    }
    Say("demo: pointer rests on the popup \"%s\" -> buttons \"Previous\", \"%s\", \"Next\"\n",
        search.titleLine.c_str(), Control(*popup, "Pause") ? "Pause" : "Play");
    return Shot(shotsDir, "controls", popup, 1);
}

static bool PressNext(const char *shotsDir, HWND popup)
{
    HWND next = Control(popup, "Next");
    POINT at = CentreOf(next);
    PlayerMovePointer(at.x, at.y);
    PlayerLeftButton(true);
    PlayerPumpFor(200);
    bool ok = Shot(shotsDir, "controls-pressed", &popup, 1);
    int from = PlayerCommandCount();
    PlayerLeftButton(false);

    PopupSearch search;
    ExpectedLines(kTracks[1], &search);
    if (!ok || !WaitUntil([&] { return ExpectedPopupShown(&search); }, kPopupDeadlineMs)) {
        Say("demo: Next -> FAILED: no popup for the next track \"%s\"\n", kTracks[1].title);
        return false;
    }
    bool told = false;
    for (int i = from; i < PlayerCommandCount(); i++) {
        PlayerCommand command;
        told = told || (PlayerCommandAt(i, &command) && command.command == PLAYER_BUTTON_NEXT);
    }
    if (!told || !IsWindowVisible(popup) || !ButtonsShow(popup)) {
        Say("demo: Next -> FAILED: %s\n", !told ? "the player was not told 40048" : "the popup or its buttons went");
        return false;
    }
    WaitUntilSettled(search.found);
    Say("demo: Next pressed -> the player got 40048 and plays \"%s\"; its popup came, the pressed one stays\n",
        search.titleLine.c_str());
    HWND both[2] = { popup, search.found };
    return Shot(shotsDir, "controls-next", both, 2);
}

static bool TurnTheWheel(const char *shotsDir, HWND popup)
{
    int before = PlayerVolume();
    PlayerTurnWheel(-WHEEL_DELTA);
    PlayerTurnWheel(-WHEEL_DELTA);
    int wanted = before - 16;
    char level[32];
    wsprintfA(level, "Volume %d%%", (wanted * 100 + 127) / 255);
    if (!WaitUntil([&] { return PlayerVolume() == wanted && Control(popup, level); }, kButtonDeadlineMs)) {
        Say("demo: wheel -> FAILED: the volume is %d, not %d, or no bar \"%s\"\n", PlayerVolume(), wanted, level);
        return false;
    }
    Say("demo: two notches of the wheel down -> volume %d to %d, the bar says \"%s\"\n", before, wanted, level);
    return Shot(shotsDir, "controls-volume", &popup, 1);
}

bool RunControlsDemo(const char *shotsDir, const char *pluginPath)
{
    DeleteFileA(PlayerSettingsFile().c_str());
    if (!WriteDemoSettings() || !PlayerLoadPlugin(pluginPath)) {
        Say("demo: controls -> FAILED: cannot set up the plug-in\n");
        return false;
    }
    PlayerSetPlaylist(kTracks, 3);
    PlayerSetVolume(200);
    PlayerMovePointer(40, 40);
    HWND popup = NULL;
    bool ok = RestOnPopup(shotsDir, &popup) && PressNext(shotsDir, popup) && TurnTheWheel(shotsDir, popup);
    if (ok) {
        PlayerMovePointer(40, 40);
        ok = WaitUntil([&] { return !Control(popup, "Next"); }, kButtonDeadlineMs);
        Say(ok ? "demo: pointer off the popup -> the buttons went\n"
               : "demo: pointer off the popup -> FAILED: the buttons stayed\n");
    }
    return ShutDownPlugin(pluginPath) && ok;
}
