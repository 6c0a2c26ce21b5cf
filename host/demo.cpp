// tunebell_player.exe: runs the plug-in as the player would, through a short
// playlist, and checks that each track brings up its popup.
//
//   tunebell_player.exe [--shots DIR] [--ini DIR] [--plugin PATH]
//
// --shots saves each popup as DIR\NN-name.bmp. Exits 0 when every step worked.
#include "host/player.h"

#include <stdio.h>
#include <string.h>

enum {
    kMaxPopups = 64,
    kPopupDeadlineMs = 3000,
    kSettleDeadlineMs = 1500,
    kSettleStillMs = 60,
    // The plug-in drops track events closer together than 400 ms.
    kEventGapMs = 450,
    kShotPadding = 4
};

struct DemoEvent {
    const char *name;     // for the screenshot file
    bool tagsChanged;     // 3004 instead of 3003
    PlayerTrack track;
};

static const DemoEvent kScript[] = {
    { "first-track", false, { 0, "Northbound Trains - Paper Lanterns", 205, 44, 192, 2 } },
    { "no-title", false, { 1, NULL, 187, 48, 320, 2 } },
    { "no-length-mono", false, { 2, "Lena Ostrova - Radio Static (Extended Mix)", -1, 22, 64, 1 } },
    { "long-track", false, { 3, "The Quiet Harbour - Low Tide", 3599, 96, 1411, 2 } },
    { "tag-update", true, { 3, "The Quiet Harbour - Low Tide (Remastered)", 3599, 96, 1411, 2 } },
};

struct Options {
    const char *shotsDir;
    const char *iniDir;
    const char *pluginPath;
};

// What the popup for one event must show.
struct PopupSearch {
    char titleLine[512];
    char infoLine[128];
    HWND found;
};

static void Say(const char *format, const char *a = "", const char *b = "")
{
    printf(format, a, b);
    fflush(stdout);
}

static bool ParseOptions(int argc, char **argv, Options *options)
{
    options->shotsDir = NULL;
    options->iniDir = NULL;
    options->pluginPath = NULL;
    for (int i = 1; i < argc; i++) {
        const char **target = NULL;
        if (strcmp(argv[i], "--shots") == 0)
            target = &options->shotsDir;
        else if (strcmp(argv[i], "--ini") == 0)
            target = &options->iniDir;
        else if (strcmp(argv[i], "--plugin") == 0)
            target = &options->pluginPath;
        if (!target || i + 1 >= argc)
            return false;
        *target = argv[++i];
    }
    return true;
}

static void DefaultIniDir(char *out, int size)
{
    GetModuleFileNameA(NULL, out, size);
    char *slash = strrchr(out, '\\');
    char *name = slash ? slash + 1 : out;
    lstrcpynA(name, "demo\\ini", size - (int)(name - out));
}

// The popups stay up long enough to be captured; the rest stays default.
static bool WriteDemoSettings(const char *iniDir)
{
    char path[MAX_PATH];
    snprintf(path, sizeof path, "%s\\plugins\\tunebell.ini", iniDir);
    return WritePrivateProfileStringA("Tunebell", "Seconds", "10", path) != FALSE;
}

static void ExpectedLines(const PlayerTrack *track, PopupSearch *search)
{
    snprintf(search->titleLine, sizeof search->titleLine, " %02d. %s ",
             track->position + 1, track->title ? track->title : "Unknown");
    int length = track->length < 0 ? 0 : track->length;
    snprintf(search->infoLine, sizeof search->infoLine,
             " %02d:%02d [%d KHz - %d Kbit - %s] ", length / 60, length % 60,
             track->sampleRate, track->bitRate,
             track->channels == 2 ? "Stereo" : "Mono");
    search->found = NULL;
}

static bool ExpectedPopupShown(void *ctx)
{
    PopupSearch *search = (PopupSearch *)ctx;
    HWND popups[kMaxPopups];
    int count = PlayerFindPopups(popups, kMaxPopups);
    for (int i = 0; i < count && i < kMaxPopups; i++) {
        if (IsWindowVisible(popups[i]) &&
            PlayerHasChildText(popups[i], search->titleLine) &&
            PlayerHasChildText(popups[i], search->infoLine)) {
            search->found = popups[i];
            return true;
        }
    }
    return false;
}

// Whether a popup has finished fading in and moving: fully opaque, and in
// the same place for a little while.
struct SettleWatch {
    HWND popup;
    RECT last;
    DWORD lastMove;
};

static bool PopupSettled(void *ctx)
{
    SettleWatch *watch = (SettleWatch *)ctx;
    RECT now;
    if (!GetWindowRect(watch->popup, &now))
        return true;
    if (!EqualRect(&now, &watch->last)) {
        watch->last = now;
        watch->lastMove = GetTickCount();
        return false;
    }
    if (GetWindowLongA(watch->popup, GWL_EXSTYLE) & WS_EX_LAYERED) {
        BYTE alpha = 255;
        DWORD flags = 0;
        if (GetLayeredWindowAttributes(watch->popup, NULL, &alpha, &flags) &&
            (flags & LWA_ALPHA) && alpha != 255)
            return false;
    }
    return GetTickCount() - watch->lastMove >= kSettleStillMs;
}

static bool WaitUntilSettled(HWND popup)
{
    SettleWatch watch;
    watch.popup = popup;
    SetRectEmpty(&watch.last);
    watch.lastMove = GetTickCount();
    return PlayerWaitFor(PopupSettled, &watch, kSettleDeadlineMs);
}

// Whether the popup's pixels have reached the screen: Wine hands a window's
// drawing to the display a little after the window's thread has painted.
static bool PopupOnScreen(void *ctx)
{
    RECT rect;
    if (!GetWindowRect((HWND)ctx, &rect))
        return true;
    HDC screen = GetDC(NULL);
    COLORREF centre = GetPixel(screen, (rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    ReleaseDC(NULL, screen);
    return centre != RGB(0, 0, 0) && centre != CLR_INVALID;
}

static bool SaveShot(const char *shotsDir, int number, const char *name, HWND popup)
{
    RECT rect;
    if (!GetWindowRect(popup, &rect))
        return false;
    PlayerWaitFor(PopupOnScreen, popup, kSettleDeadlineMs);
    InflateRect(&rect, kShotPadding, kShotPadding);
    char path[MAX_PATH];
    snprintf(path, sizeof path, "%s\\%02d-%s.bmp", shotsDir, number, name);
    if (!PlayerSaveScreenshot(&rect, path))
        return false;
    Say("demo:   saved %s\n", path);
    return true;
}

// One track change or tag update, up to its popup being on screen.
static bool RunEvent(const DemoEvent *event, int number, const char *shotsDir)
{
    PopupSearch search;
    ExpectedLines(&event->track, &search);
    PlayerSetTrack(&event->track);
    if (event->tagsChanged)
        PlayerTagsChanged();
    else
        PlayerTrackStarted();

    char label[600];
    snprintf(label, sizeof label, "%s %d \"%s\"",
             event->tagsChanged ? "tag update" : "track", number,
             event->track.title ? event->track.title : "(no title)");
    if (!PlayerWaitFor(ExpectedPopupShown, &search, kPopupDeadlineMs)) {
        printf("demo: %s -> FAILED: no visible popup showing \"%s\" / \"%s\" within %d ms\n",
               label, search.titleLine, search.infoLine, kPopupDeadlineMs);
        fflush(stdout);
        return false;
    }
    bool settled = WaitUntilSettled(search.found);
    RECT rect;
    GetWindowRect(search.found, &rect);
    printf("demo: %s -> popup \"%s\" / \"%s\" at (%ld,%ld) %ld x %ld%s\n", label,
           search.titleLine, search.infoLine, rect.left, rect.top,
           rect.right - rect.left, rect.bottom - rect.top,
           settled ? "" : " (still moving or fading)");
    fflush(stdout);

    if (shotsDir && !SaveShot(shotsDir, number, event->name, search.found)) {
        printf("demo: %s -> FAILED: cannot save the screenshot\n", label);
        fflush(stdout);
        return false;
    }
    PlayerPumpFor(kEventGapMs);
    return true;
}

static bool RunScript(const char *shotsDir)
{
    int count = (int)(sizeof kScript / sizeof kScript[0]);
    for (int i = 0; i < count; i++) {
        if (!RunEvent(&kScript[i], i + 1, shotsDir))
            return false;
    }
    return true;
}

static const char *FileName(const char *path)
{
    const char *name = path;
    for (const char *p = path; *p; p++) {
        if (*p == '\\' || *p == '/')
            name = p + 1;
    }
    return name;
}

// quit(), then FreeLibrary, checking that the plug-in leaves nothing behind.
static bool ShutDownPlugin(const char *pluginPath)
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

int main(int argc, char **argv)
{
    Options options;
    if (!ParseOptions(argc, argv, &options)) {
        fprintf(stderr, "usage: tunebell_player.exe [--shots DIR] [--ini DIR] [--plugin PATH]\n");
        return 2;
    }
    char iniDir[MAX_PATH];
    if (options.iniDir)
        lstrcpynA(iniDir, options.iniDir, sizeof iniDir);
    else
        DefaultIniDir(iniDir, sizeof iniDir);
    const char *pluginPath = options.pluginPath ? options.pluginPath
                                                : PlayerDefaultPluginPath();

    if (!PlayerStart(iniDir)) {
        Say("demo: FAILED: the player did not start\n");
        return 1;
    }
    Say("demo: player started, INI directory %s\n", PlayerIniDir());
    if (!WriteDemoSettings(PlayerIniDir())) {
        Say("demo: FAILED: cannot write %s\\plugins\\tunebell.ini\n", PlayerIniDir());
        PlayerStop();
        return 1;
    }
    if (options.shotsDir && !PlayerMakeDirectories(options.shotsDir)) {
        Say("demo: FAILED: cannot create %s\n", options.shotsDir);
        PlayerStop();
        return 1;
    }

    if (!PlayerLoadPlugin(pluginPath)) {
        Say("demo: FAILED: cannot load %s\n", pluginPath);
        PlayerStop();
        return 1;
    }
    const PlayerPluginRecord *plugin = PlayerPlugin();
    Say("demo: loaded %s: \"%s\"\n", pluginPath,
        plugin->description ? plugin->description : "(no description)");

    bool ok = RunScript(options.shotsDir);
    if (!ShutDownPlugin(pluginPath))
        ok = false;
    PlayerStop();
    Say(ok ? "demo: all steps worked\n" : "demo: FAILED\n");
    return ok ? 0 : 1;
}
