// The demo's layout part: popups in every corner and the centre, in rows and
// columns, in both styles, sliding and fading, and closing up a gap.
#include "host/demo_support.h"

#include <stdio.h>
#include <string.h>

struct Setting {
    const char *key;
    int value;
};

struct LayoutScene {
    const char *name;
    const char *what;
    int popups;
    Setting settings[6];
};

static const LayoutScene kScenes[] = {
    { "upper-left-row", "upper left corner, in a row", 3,
      { { "Position", 0 }, { "Spreading", 0 } } },
    { "lower-left-column", "lower left corner, in a column", 3,
      { { "Position", 1 }, { "Spreading", 1 } } },
    { "lower-right-row", "lower right corner, in a row", 3,
      { { "Position", 2 }, { "Spreading", 0 } } },
    { "upper-right-column", "upper right corner, in a column, with the time", 3,
      { { "Position", 3 }, { "Spreading", 1 }, { "DisplayTime", 1 } } },
    { "centre-cascade", "centre, cascading", 3,
      { { "Position", 4 } } },
    { "beveled-fixed-size", "beveled style, fixed size, with the time", 2,
      { { "Position", 3 }, { "Style", 0 }, { "DynamicResize", 0 }, { "DisplayTime", 1 } } },
    { "flat-fixed-size", "flat style, fixed size, with the time", 2,
      { { "Position", 3 }, { "Style", 1 }, { "DynamicResize", 0 }, { "DisplayTime", 1 } } },
    { "flat-enlarged", "flat style, enlarged by 150 per cent", 2,
      { { "Position", 3 }, { "Style", 1 }, { "EnlargePopup", 1 }, { "Enlargement", 150 } } },
    { "slide", "sliding in from the lower right corner", 2,
      { { "Position", 2 }, { "UseAnimations", 1 } } },
};

static const PlayerTrack kTracks[] = {
    { 0, "Northbound Trains - Paper Lanterns", 205, 44, 192, 2, NULL },
    { 1, "Lena Ostrova - Radio Static", 187, 48, 320, 2, NULL },
    { 2, "The Quiet Harbour - Low Tide (Extended)", 3599, 22, 64, 1, NULL },
};

static bool WriteScene(const Setting *settings, int count)
{
    DeleteFileA(PlayerSettingsFile().c_str());
    bool ok = WriteDemoSettings();
    for (int i = 0; i < count && settings[i].key; i++)
        ok = PlayerWriteSetting(settings[i].key, settings[i].value) && ok;
    return ok;
}

// Plays one track and waits for its popup to be visible and still.
static HWND ShowTrack(const PlayerTrack &track)
{
    PopupSearch search;
    ExpectedLines(track, &search);
    PlayerStartTrack(track);
    if (!WaitUntil([&] { return ExpectedPopupShown(&search); }, kPopupDeadlineMs))
        return NULL;
    WaitUntilSettled(search.found);
    return search.found;
}

// Plays the first `count` tracks, an event gap apart; false when a popup
// did not appear.
static bool ShowTracks(HWND *popups, int count)
{
    for (int i = 0; i < count; i++) {
        if (i > 0)
            PlayerPumpFor(kEventGapMs);
        popups[i] = ShowTrack(kTracks[i]);
        if (!popups[i])
            return false;
    }
    return true;
}

static void DescribePopups(const HWND *popups, int count)
{
    for (int i = 0; i < count; i++) {
        RECT r;
        GetWindowRect(popups[i], &r);
        Say("demo:   popup %d at (%ld,%ld) %ld x %ld\n", i + 1, r.left, r.top,
            r.right - r.left, r.bottom - r.top);
    }
}

static bool RunScene(const LayoutScene *scene, const char *shotsDir, const char *pluginPath)
{
    if (!WriteScene(scene->settings, 6) || !PlayerLoadPlugin(pluginPath)) {
        Say("demo: %s -> FAILED: cannot set up the plug-in\n", scene->what);
        return false;
    }
    Say("demo: %s\n", scene->what);
    HWND popups[3];
    bool ok = ShowTracks(popups, scene->popups);
    if (ok) {
        DescribePopups(popups, scene->popups);
        RECT area = AreaAround(popups, scene->popups);
        if (shotsDir)
            ok = SaveScreenArea(shotsDir, scene->name, &area);
    } else {
        Say("demo: %s -> FAILED: a popup did not appear\n", scene->what);
    }
    return ShutDownPlugin(pluginPath) && ok;
}

// A slow translucent fade: the popup is caught half way and at its end.
static bool RunFadeScene(const char *shotsDir, const char *pluginPath)
{
    const Setting settings[] = { { "Fade", 1 }, { "FadeInTime", 2000 }, { "UseTransparency", 1 },
                                 { "Alpha", 160 }, { "Position", 2 } };
    if (!WriteScene(settings, 5) || !PlayerLoadPlugin(pluginPath)) {
        Say("demo: fade -> FAILED: cannot set up the plug-in\n");
        return false;
    }
    Say("demo: fading in over 2000 ms to 160 of 255 (translucent)\n");
    PlayerStartTrack(kTracks[0]);
    HWND popup = NULL;
    bool ok = WaitUntil([&] {
        HWND found[4];
        popup = PlayerFindPopups(found, 4) > 0 && IsWindowVisible(found[0]) ? found[0] : NULL;
        return popup != NULL;
    }, kPopupDeadlineMs, 10);
    if (ok) {
        DWORD shown = GetTickCount();
        PlayerPumpFor(1000);
        int half = LayeredAlpha(popup);
        Say("demo:   after %lu ms the opacity is %d\n", GetTickCount() - shown, half);
        if (shotsDir) {
            RECT area = AreaAround(&popup, 1);
            ok = SaveScreenArea(shotsDir, "fade-half-way", &area);
        }
        WaitUntil([&] { return LayeredAlpha(popup) == 160; }, 3000, 10);
        int end = LayeredAlpha(popup);
        Say("demo:   after %lu ms the opacity is %d\n", GetTickCount() - shown, end);
        ok = ok && end == 160 && half > 0 && half < 160;
    }
    if (!ok)
        Say("demo: fade -> FAILED\n");
    return ShutDownPlugin(pluginPath) && ok;
}

// Three popups in a column; the oldest is right-clicked away and the others
// close up the gap.
static bool RunGapScene(const char *shotsDir, const char *pluginPath)
{
    const Setting settings[] = { { "Position", 2 }, { "Spreading", 1 }, { "Seconds", 0 } };
    if (!WriteScene(settings, 3) || !PlayerLoadPlugin(pluginPath)) {
        Say("demo: gap -> FAILED: cannot set up the plug-in\n");
        return false;
    }
    Say("demo: three popups, then the oldest is right-clicked away\n");
    HWND popups[3];
    bool ok = ShowTracks(popups, 3);
    if (ok) {
        RECT area = AreaAround(popups, 3);
        RECT oldest = WindowRectOf(popups[0]);
        PlayerClickAt((oldest.left + oldest.right) / 2, (oldest.top + oldest.bottom) / 2, true);
        // In a right-hand column the first place is known by its lower right corner.
        ok = WaitUntil([&] {
            RECT r = WindowRectOf(popups[1]);
            return !IsWindow(popups[0]) && r.right == oldest.right && r.bottom == oldest.bottom;
        }, kPopupDeadlineMs);
        if (ok) {
            Say("demo:   the oldest closed and the next moved into its place\n");
        } else {
            RECT next = WindowRectOf(popups[1]);
            Say("demo: gap -> FAILED: the oldest is %s; the next is at (%ld,%ld)-(%ld,%ld), not at (%ld,%ld)-(%ld,%ld)\n",
                IsWindow(popups[0]) ? "still open" : "closed", next.left, next.top, next.right,
                next.bottom, oldest.left, oldest.top, oldest.right, oldest.bottom);
        }
        if (ok) {
            PlayerPumpFor(100);
            DescribePopups(popups + 1, 2);
            if (shotsDir)
                ok = SaveScreenArea(shotsDir, "gap-closed", &area);
        }
    }
    return ShutDownPlugin(pluginPath) && ok;
}

bool RunLayoutDemo(const char *shotsDir, const char *pluginPath)
{
    int count = (int)(sizeof kScenes / sizeof kScenes[0]);
    for (int i = 0; i < count; i++) {
        if (!RunScene(&kScenes[i], shotsDir, pluginPath))
            return false;
    }
    return RunFadeScene(shotsDir, pluginPath) && RunGapScene(shotsDir, pluginPath);
}
