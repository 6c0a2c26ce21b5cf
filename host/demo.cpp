// tunebell_player.exe: runs the plug-in as the player would, through a short
// playlist, and checks that each track brings up its popup.
//
//   tunebell_player.exe [--shots DIR] [--ini DIR] [--plugin PATH] [--scaled]
//
// --shots saves each popup as DIR\NN-name.bmp. At the end the playlist and
// the layouts run once more on a display scaled to 150 % (144 dpi): the
// program starts itself with --scaled there, and that set of pictures is
// named NN-name-150.bmp. Exits 0 when every step worked.
#include "host/demo_support.h"

#include <stdio.h>
#include <string.h>

#include <string>

struct DemoEvent {
    const char *name;     // for the screenshot file
    bool tagsChanged;     // 3004 instead of 3003
    PlayerTrack track;
};

static const DemoEvent kScript[] = {
    { "first-track", false, { 0, "Northbound Trains - Paper Lanterns", 205, 44, 192, 2, NULL } },
    { "no-title", false, { 1, NULL, 187, 48, 320, 2, NULL } },
    { "no-length-mono", false, { 2, "Lena Ostrova - Radio Static (Extended Mix)", -1, 22, 64, 1, NULL } },
    { "long-track", false, { 3, "The Quiet Harbour - Low Tide", 3599, 96, 1411, 2, NULL } },
    { "tag-update", true, { 3, "The Quiet Harbour - Low Tide (Remastered)", 3599, 96, 1411, 2, NULL } },
};

struct Options {
    const char *shotsDir;
    const char *iniDir;
    const char *pluginPath;
    bool scaled;           // this is the run at 150 %
};

// 150 % of the 96 dpi of an unscaled display.
static const int kScaledDpi = 144;

static bool ParseOptions(int argc, char **argv, Options *options)
{
    options->shotsDir = NULL;
    options->iniDir = NULL;
    options->pluginPath = NULL;
    options->scaled = false;
    for (int i = 1; i < argc; i++) {
        if (strcmp(argv[i], "--scaled") == 0) {
            options->scaled = true;
            continue;
        }
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

static bool RunEvent(const DemoEvent *event, int number, const char *shotsDir)
{
    PopupSearch search;
    ExpectedLines(event->track, &search);
    // The first track is the demo album's, with its cover.
    if (number == 1)
        PlayerSetPlaylistFiles({ DemoAlbumTrack(0) });
    if (event->tagsChanged) {
        PlayerSetTrack(event->track);
        PlayerTagsChanged();
    } else {
        PlayerStartTrack(event->track);
    }

    char label[600];
    snprintf(label, sizeof label, "%s %d \"%s\"",
             event->tagsChanged ? "tag update" : "track", number,
             event->track.title ? event->track.title : "(no title)");
    if (!WaitUntil([&] { return ExpectedPopupShown(&search); }, kPopupDeadlineMs)) {
        printf("demo: %s -> FAILED: no visible popup showing \"%s\" / \"%s\" within %d ms\n",
               label, search.titleLine.c_str(), search.infoLine.c_str(), kPopupDeadlineMs);
        fflush(stdout);
        return false;
    }
    bool settled = WaitUntilSettled(search.found);
    if (number == 1)
        DescribeCover(search.found);
    RECT rect;
    GetWindowRect(search.found, &rect);
    printf("demo: %s -> popup \"%s\" / \"%s\" at (%ld,%ld) %ld x %ld%s\n", label,
           search.titleLine.c_str(), search.infoLine.c_str(), rect.left, rect.top,
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

static void AddArgument(std::string *line, const char *option, const char *value)
{
    *line += std::string(" ") + option + " \"" + value + "\"";
}

// The playlist and the layouts once more, in a copy of this program started
// on a display scaled to 150 %.
static bool RunScaledCopy(const char *shotsDir, const char *iniDir, const char *pluginPath)
{
    char self[MAX_PATH];
    if (!GetModuleFileNameA(NULL, self, sizeof self))
        return false;
    std::string line = std::string("\"") + self + "\" --scaled";
    AddArgument(&line, "--ini", iniDir);
    AddArgument(&line, "--plugin", pluginPath);
    if (shotsDir)
        AddArgument(&line, "--shots", shotsDir);
    Say("demo: once more at 150 %% (%d dpi)\n", kScaledDpi);
    return PlayerRunAtDpi(line.c_str(), kScaledDpi, 300000) == 0;
}

int main(int argc, char **argv)
{
    Options options;
    if (!ParseOptions(argc, argv, &options)) {
        fprintf(stderr, "usage: tunebell_player.exe [--shots DIR] [--ini DIR] [--plugin PATH] [--scaled]\n");
        return 2;
    }
    char iniDir[MAX_PATH];
    if (options.iniDir)
        lstrcpynA(iniDir, options.iniDir, sizeof iniDir);
    else
        DefaultIniDir(iniDir, sizeof iniDir);
    const char *pluginPath = options.pluginPath ? options.pluginPath
                                                : PlayerDefaultPluginPath();

    if (options.scaled) {
        if (PlayerScreenDpi() != kScaledDpi) {
            Say("demo: FAILED: the display is at %d dpi, not %d\n", PlayerScreenDpi(), kScaledDpi);
            return 1;
        }
        gShotSuffix = "-150";
    }
    if (!PlayerStart(iniDir)) {
        Say("demo: FAILED: the player did not start\n");
        return 1;
    }
    Say("demo: player started, INI directory %s\n", PlayerIniDir());
    if (!MakeDemoAlbum()) {
        Say("demo: FAILED: cannot make the demo's album\n");
        PlayerStop();
        return 1;
    }
    if (!WriteDemoSettings()) {
        Say("demo: FAILED: cannot write %s\n", PlayerSettingsFile().c_str());
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
    if (ok && !options.scaled)
        ok = RunUnicodeDemo(options.shotsDir, pluginPath);
    if (ok)
        ok = RunLayoutDemo(options.shotsDir, pluginPath);
    if (ok && !options.scaled)
        ok = RunDialogDemo(options.shotsDir, pluginPath);
    if (ok && !options.scaled)
        ok = RunWhereWhenDemo(options.shotsDir, pluginPath);
    if (ok)
        ok = RunCoverDemo(options.shotsDir, pluginPath);
    if (ok)
        ok = RunControlsDemo(options.shotsDir, pluginPath);
    if (ok)
        ok = RunWindowsLookDemo(options.shotsDir, pluginPath);
    if (ok && !options.scaled)
        ok = RunMediaControlsDemo(pluginPath);
    PlayerStop();
    if (ok && !options.scaled)
        ok = RunScaledCopy(options.shotsDir, iniDir, pluginPath);
    Say(ok ? "demo: all steps worked\n" : "demo: FAILED\n");
    return ok ? 0 : 1;
}
