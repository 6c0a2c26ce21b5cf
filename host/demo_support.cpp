// Pieces the demo's parts share.
#include "host/demo_support.h"

#include <stdarg.h>
#include <stdio.h>
#include <string.h>

const char *gShotSuffix = "";

// A margin around the pictures, as large on a scaled screen as the popups.
static int ShotMargin(int pixels)
{
    return pixels * PlayerScreenDpi() / 96;
}

void Say(const char *format, ...)
{
    va_list args;
    va_start(args, format);
    vprintf(format, args);
    va_end(args);
    fflush(stdout);
}

// The popups stay up long enough to be captured; the rest stays default.
bool WriteDemoSettings()
{
    return PlayerWriteSetting("Seconds", 10);
}

void ExpectedLines(const PlayerTrack &track, PopupSearch *search)
{
    search->titleLine = TitleLine(track.position, track.title);
    search->infoLine = InfoLine(track.length, track.sampleRate, track.bitRate, track.channels);
    search->found = NULL;
}

bool ExpectedPopupShown(PopupSearch *search)
{
    HWND popups[kMaxPopups];
    int count = PlayerFindPopups(popups, kMaxPopups);
    for (int i = 0; i < count && i < kMaxPopups; i++) {
        if (IsWindowVisible(popups[i]) &&
            PlayerHasChildText(popups[i], search->titleLine.c_str()) &&
            PlayerHasChildText(popups[i], search->infoLine.c_str())) {
            search->found = popups[i];
            return true;
        }
    }
    return false;
}

// Waits until a popup has finished fading in and moving: fully opaque, and
// in the same place for a little while.
bool WaitUntilSettled(HWND popup)
{
    RECT last;
    SetRectEmpty(&last);
    DWORD lastMove = GetTickCount();
    return WaitUntil([&] {
        RECT now;
        if (!GetWindowRect(popup, &now))
            return true;
        if (!EqualRect(&now, &last)) {
            last = now;
            lastMove = GetTickCount();
            return false;
        }
        int alpha = LayeredAlpha(popup);
        return (alpha < 0 || alpha == 255) && GetTickCount() - lastMove >= kSettleStillMs;
    }, kSettleDeadlineMs);
}

// Whether the popup's pixels have reached the screen: Wine hands a window's
// drawing to the display a little after the window's thread has painted.
bool PopupOnScreen(HWND popup)
{
    RECT rect;
    if (!GetWindowRect(popup, &rect))
        return true;
    COLORREF centre = ScreenColour((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    return centre != RGB(0, 0, 0) && centre != CLR_INVALID;
}

bool SaveShot(const char *shotsDir, int number, const char *name, HWND popup)
{
    RECT rect;
    if (!GetWindowRect(popup, &rect))
        return false;
    WaitUntil([&] { return PopupOnScreen(popup); }, kSettleDeadlineMs);
    InflateRect(&rect, ShotMargin(kShotPadding), ShotMargin(kShotPadding));
    char path[MAX_PATH];
    snprintf(path, sizeof path, "%s\\%02d-%s%s.bmp", shotsDir, number, name, gShotSuffix);
    if (!PlayerSaveScreenshot(&rect, path))
        return false;
    Say("demo:   saved %s\n", path);
    return true;
}

// One track change or tag update, up to its popup being on screen.
const char *FileName(const char *path)
{
    const char *name = path;
    for (const char *p = path; *p; p++) {
        if (*p == '\\' || *p == '/')
            name = p + 1;
    }
    return name;
}

// quit(), then FreeLibrary, checking that the plug-in leaves nothing behind.
bool ShutDownPlugin(const char *pluginPath)
{
    bool ok = true;
    PlayerQuitPlugin();
    int left = PlayerFindPopups(NULL, 0);
    if (left != 0) {
        printf("demo: quit -> FAILED: %d popup window(s) left\n", left);
        ok = false;
    } else {
        printf("demo: quit -> no popup window left\n");
    }
    if (!PlayerOwnProcInstalled()) {
        printf("demo: quit -> FAILED: the main window is still subclassed\n");
        ok = false;
    }
    fflush(stdout);

    PlayerUnloadPlugin();
    if (GetModuleHandleA(FileName(pluginPath))) {
        printf("demo: unload -> FAILED: %s is still mapped\n", FileName(pluginPath));
        ok = false;
    } else {
        printf("demo: unload -> %s freed\n", FileName(pluginPath));
    }
    fflush(stdout);
    return ok;
}


// Whether every visible popup inside the area has its pixels on the screen.
static bool PopupsInAreaOnScreen(const RECT *area)
{
    HWND popups[kMaxPopups];
    int count = PlayerFindPopups(popups, kMaxPopups);
    for (int i = 0; i < count && i < kMaxPopups; i++) {
        RECT r, overlap;
        if (IsWindowVisible(popups[i]) && GetWindowRect(popups[i], &r) &&
            IntersectRect(&overlap, &r, area) && !PopupOnScreen(popups[i]))
            return false;
    }
    return true;
}

// The smallest screen area around the given popups, with a margin.
RECT AreaAround(const HWND *popups, int count)
{
    RECT area;
    SetRectEmpty(&area);
    for (int i = 0; i < count; i++) {
        RECT r;
        if (GetWindowRect(popups[i], &r))
            UnionRect(&area, &area, &r);
    }
    InflateRect(&area, ShotMargin(12), ShotMargin(12));
    return area;
}

bool SaveScreenArea(const char *shotsDir, const char *name, const RECT *area)
{
    WaitUntil([&] { return PopupsInAreaOnScreen(area); }, kSettleDeadlineMs);
    char path[MAX_PATH];
    snprintf(path, sizeof path, "%s\\%s%s.bmp", shotsDir, name, gShotSuffix);
    if (!PlayerSaveScreenshot(area, path))
        return false;
    Say("demo:   saved %s\n", path);
    return true;
}
