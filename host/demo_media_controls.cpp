// The demo's part on Windows' media controls: the recording double stands
// in for them (Wine has none, and the overlay cannot be drawn here), and
// the demo prints what Windows would show for a track of the album, with
// its cover, and for a loose recording without tags or cover.
#include "host/demo_support.h"
#include "host/media_double.h"
#include "host/pictures.h"

#include <string.h>

static const DWORD kMediaDeadlineMs = 5000;

static const char *const kStatusNames[] = { "closed", "changing", "stopped", "playing", "paused" };

static const char *PictureKind(const std::string &bytes)
{
    if (bytes.compare(0, 3, "\xFF\xD8\xFF") == 0)
        return "JPEG";
    if (bytes.compare(0, 4, "\x89PNG") == 0)
        return "PNG";
    return "picture";
}

// Waits until Windows shows this title, then says what it shows.
static bool SayWhatWindowsShows(const char *title)
{
    bool shown = WaitUntil([&] {
        MediaShown s = MediaShownBy(MediaDoubleCalls());
        return s.title == title && s.timelinesSinceUpdate > 0;
    }, kMediaDeadlineMs);
    MediaShown s = MediaShownBy(MediaDoubleCalls());
    Say("demo:   Windows shows \"%s\" by \"%s\", album \"%s\", track %u, %s\n", s.title.c_str(), s.artist.c_str(),
        s.album.c_str(), s.trackNumber, s.status >= 0 && s.status <= 4 ? kStatusNames[s.status] : "?");
    std::string cover = MediaDoubleThumbnail();
    if (cover.empty())
        Say("demo:   no cover\n");
    else
        Say("demo:   cover: the %s's own %u bytes\n", PictureKind(cover), (unsigned)cover.size());
    Say("demo:   timeline (start, end, position, seek from, seek to; ms): %s\n", s.timeline.c_str());
    return shown;
}

bool RunMediaControlsDemo(const char *pluginPath)
{
    Say("demo: Windows' media controls, played by a stand-in that records what it is told\n");
    if (!RegisterMediaDouble()) {
        Say("demo: media controls -> FAILED: cannot register the stand-in\n");
        return false;
    }
    char exe[MAX_PATH];
    GetModuleFileNameA(NULL, exe, sizeof exe);
    char *slash = strrchr(exe, '\\');
    if (slash)
        slash[1] = 0;
    std::string loose = std::string(exe) + "demo\\music\\Loose";
    std::string recording = loose + "\\field recording.mp3";
    std::vector<unsigned char> silence(2048, 0);
    bool ok = PlayerMakeDirectories(loose.c_str()) && WriteBytesToFile(recording, silence);
    PlayerSetPlaylistFiles({ DemoAlbumTrack(0), std::wstring(recording.begin(), recording.end()) });
    const PlayerTrack tracks[] = {
        { 0, "Northbound Trains - Paper Lanterns", 205, 44, 192, 2, NULL, L"Paper Lanterns", L"Northbound Trains",
          NULL, L"Paper Lanterns", L"1/5" },
        { 1, "field recording", 94, 44, 128, 2, NULL },
    };
    PlayerSetPlaylist(tracks, 2);

    PlayerPatchBeforeInit(PatchPluginForMediaDouble);
    ok = ok && PlayerLoadPlugin(pluginPath);
    if (ok && !MediaDoubleWaitFor("add_ButtonPressed", kMediaDeadlineMs)) {
        Say("demo: media controls -> FAILED: the plug-in did not register\n");
        ok = false;
    }
    if (ok) {
        Say("demo: track 1 (tags, folder.jpg beside it)\n");
        PlayerStartTrack(tracks[0]);
        ok = SayWhatWindowsShows("Paper Lanterns");
    }
    if (ok) {
        Say("demo: track 2 (no tags, no cover)\n");
        PlayerStartTrack(tracks[1]);
        ok = SayWhatWindowsShows("field recording");
    }
    if (ok) {
        Say("demo: Windows' Pause button\n");
        MediaDoublePress(1);
        ok = WaitUntil([] { return MediaShownBy(MediaDoubleCalls()).status == 4; }, kMediaDeadlineMs);
        Say("demo:   the player is %s, Windows shows it paused: %s\n",
            PlayerPlayState() == PLAYER_PAUSED ? "paused" : "not paused", ok ? "yes" : "no");
    }
    if (!ok)
        Say("demo: media controls -> FAILED; the stand-in was told:\n%s", MediaDoubleCalls().c_str());
    if (PlayerPluginModule() && !ShutDownPlugin(pluginPath))
        ok = false;
    PlayerPatchBeforeInit(NULL);
    UnregisterMediaDouble();
    return ok;
}
