// The demo's part on where and when popups show: a popup the pointer rests
// on stays past its time and goes its seconds after the pointer leaves, and
// a track that starts behind a full-screen film shows nothing, while the
// hot key still does.
#include "host/demo_support.h"


static const PlayerTrack kHeldTrack = { 5, "Northbound Trains - Slow Ferry", 262, 44, 192, 2, NULL };
static const PlayerTrack kFilmTrack = { 6, "Lena Ostrova - Night Signals", 219, 48, 256, 2, NULL };

enum {
    kSeconds = 2,
    kRestMs = 3500,          // well past the popup's own time
    kCloseDeadlineMs = 5000
};

static bool Gone(HWND popup)
{
    return !IsWindow(popup) || !IsWindowVisible(popup);
}

static bool Show(const PlayerTrack &track, bool hotKey, PopupSearch *search)
{
    ExpectedLines(track, search);
    if (hotKey) {
        PlayerSetTrack(track);
        PlayerPressHotKey(MOD_CONTROL, VK_F12);
    } else {
        PlayerStartTrack(track);
    }
    return WaitUntil([&] { return ExpectedPopupShown(search); }, kPopupDeadlineMs);
}

static bool HeldUnderThePointer(const char *shotsDir)
{
    PlayerMovePointer(40, 40);
    PopupSearch search;
    if (!Show(kHeldTrack, false, &search)) {
        Say("demo: held popup -> FAILED: no popup for \"%s\"\n", kHeldTrack.title);
        return false;
    }
    WaitUntilSettled(search.found);
    RECT r;
    GetWindowRect(search.found, &r);
    // Onto the popup as a hand moves a mouse: in steps.
    PlayerMovePointer(r.left - 20, r.top + 10);
    PlayerMovePointer(r.left + 10, r.top + 10);
    PlayerMovePointer(r.left + 24, r.top + 14);
    PlayerPumpFor(kRestMs);
    if (!IsWindowVisible(search.found)) {
        Say("demo: held popup -> FAILED: it closed after %d s with the pointer on it\n", kSeconds);
        return false;
    }
    Say("demo: pointer on the popup \"%s\" -> still open after %.1f s of its %d\n", search.titleLine.c_str(),
        kRestMs / 1000.0, kSeconds);
    if (shotsDir) {
        RECT area = r;
        InflateRect(&area, 12, 12);
        if (!SaveScreenArea(shotsDir, "held-under-pointer", &area))
            return false;
    }
    PlayerMovePointer(40, 40);
    DWORD left = GetTickCount();
    if (!WaitUntil([&] { return Gone(search.found); }, kCloseDeadlineMs)) {
        Say("demo: held popup -> FAILED: still open %d ms after the pointer left\n", kCloseDeadlineMs);
        return false;
    }
    Say("demo: pointer off the popup -> it closed %.1f s later\n", (GetTickCount() - left) / 1000.0);
    return true;
}

static bool QuietBehindAFilm(const char *shotsDir)
{
    HWND film = PlayerShowFullScreenWindow();
    if (!film) {
        Say("demo: full screen -> FAILED: no full-screen window in front\n");
        return false;
    }
    PopupSearch search;
    // As long as a popup is given to show up anywhere else.
    if (Show(kFilmTrack, false, &search)) {
        Say("demo: track behind a full-screen window -> FAILED: a popup showed\n");
        PlayerCloseFullScreenWindow(film);
        return false;
    }
    Say("demo: track \"%s\" starts behind a full-screen window -> no popup\n", kFilmTrack.title);

    bool ok = Show(kFilmTrack, true, &search);
    if (ok) {
        WaitUntilSettled(search.found);
        Say("demo: Ctrl+F12 over the full-screen window -> popup \"%s\"\n", search.titleLine.c_str());
        if (shotsDir) {
            RECT area;
            GetWindowRect(search.found, &area);
            InflateRect(&area, 12, 12);
            ok = SaveScreenArea(shotsDir, "hot-key-over-full-screen", &area);
        }
        PostMessageA(search.found, 0x601, 0, 0);   // UM_POPUP_CLOSE
    } else {
        Say("demo: Ctrl+F12 over the full-screen window -> FAILED: no popup\n");
    }
    PlayerCloseFullScreenWindow(film);
    return ok;
}

bool RunWhereWhenDemo(const char *shotsDir, const char *pluginPath)
{
    DeleteFileA(PlayerSettingsFile().c_str());
    if (!PlayerWriteSetting("Seconds", kSeconds) || !PlayerLoadPlugin(pluginPath)) {
        Say("demo: where and when -> FAILED: cannot set up the plug-in\n");
        return false;
    }
    bool ok = HeldUnderThePointer(shotsDir) && QuietBehindAFilm(shotsDir);
    return ShutDownPlugin(pluginPath) && ok;
}
