// The demo's part on the look that follows Windows: light, then dark, as
// the prefix's registry says. Two tracks of the demo's album, each with its
// cover, the older with the clock, the newer with its buttons and the
// volume bar in the accent colour.
#include "host/demo_support.h"
#include "host/theme_registry.h"

static const PlayerTrack kTracks[] = {
    { 0, "Northbound Trains - Paper Lanterns", 205, 44, 192, 2, NULL },
    { 1, "Northbound Trains - Last Platform", 311, 44, 256, 2, NULL },
};

// Windows' own blue, as the accent.
static const int kAccent = (int)0xFFD77800;
static const COLORREF kAccentColour = RGB(0, 120, 215);

static bool ShowTrack(const PlayerTrack &track, HWND *popup)
{
    PopupSearch search;
    ExpectedLines(track, &search);
    PlayerStartTrack(track);
    if (!WaitUntil([&] { return ExpectedPopupShown(&search); }, kPopupDeadlineMs))
        return false;
    *popup = search.found;
    WaitUntilSettled(*popup);
    DescribeCover(*popup);
    return true;
}

static HWND VisibleChild(HWND popup, const char *text)
{
    HWND children[32];
    int count = PlayerChildWindows(popup, children, 32);
    for (int i = 0; i < count && i < 32; i++) {
        char now[64];
        if (IsWindowVisible(children[i]) && PlayerWindowText(children[i], now, sizeof now) && lstrcmpA(now, text) == 0)
            return children[i];
    }
    return NULL;
}

// The bar's level on the screen, in the accent.
static bool LevelShows(HWND bar)
{
    RECT r;
    return bar && GetWindowRect(bar, &r) && ScreenColour(r.left + 1, (r.top + r.bottom) / 2) == kAccentColour;
}

// The pointer rests on the popup until its buttons show; a notch of the
// wheel then shows the volume.
static bool ShowControls(HWND popup)
{
    RECT r;
    GetWindowRect(popup, &r);
    PlayerMovePointer(r.left - 20, r.top + 10);
    PlayerMovePointer(r.left + 10, r.top + 10);
    PlayerMovePointer(r.left + 24, r.top + 14);
    bool buttons = WaitUntil([&] { return PlayerHasChildText(popup, "Next"); }, 2000);
    int wanted = PlayerVolume() - 8;
    char level[32];
    wsprintfA(level, "Volume %d%%", (wanted * 100 + 127) / 255);
    PlayerTurnWheel(-WHEEL_DELTA);
    return buttons && WaitUntil([&] { return PlayerVolume() == wanted && LevelShows(VisibleChild(popup, level)); }, 900);
}

static bool RunMode(const char *shotsDir, const char *pluginPath, bool light)
{
    const char *name = light ? "windows-look-light" : "windows-look-dark";
    DeleteFileA(PlayerSettingsFile().c_str());
    if (!WriteDemoSettings() || !PlayerWriteSetting("WindowsLook", 1) || !PlayerWriteSetting("DisplayTime", 1) ||
        !PlayerLoadPlugin(pluginPath)) {
        Say("demo: %s -> FAILED: cannot set up the plug-in\n", name);
        return false;
    }
    PlayerSetPlaylistFiles({ DemoAlbumTrack(0), DemoAlbumTrack(4) });
    PlayerSetVolume(200);
    PlayerMovePointer(40, 40);
    HWND popups[2] = { NULL, NULL };
    bool ok = ShowTrack(kTracks[0], &popups[0]);
    PlayerPumpFor(kEventGapMs);
    ok = ok && ShowTrack(kTracks[1], &popups[1]) && ShowControls(popups[1]);
    if (ok) {
        Say("demo: Windows look, %s -> two popups with their covers, the newer with its buttons and the volume\n",
            light ? "light" : "dark");
        if (shotsDir) {
            RECT area = AreaAround(popups, 2);
            ok = SaveScreenArea(shotsDir, name, &area);
        }
    } else {
        Say("demo: %s -> FAILED: a popup, its buttons or the volume did not show\n", name);
    }
    PlayerMovePointer(40, 40);
    return ShutDownPlugin(pluginPath) && ok;
}

bool RunWindowsLookDemo(const char *shotsDir, const char *pluginPath)
{
    ThemeRegistry registry;
    registry.SetAccent(kAccent);
    registry.SetModes(1, 1);
    bool ok = RunMode(shotsDir, pluginPath, true);
    registry.SetModes(0, 0);
    return RunMode(shotsDir, pluginPath, false) && ok;
}
