// The demo's album: five tracks of one album made here, three with the
// album's folder.jpg beside them and two with pictures of their own in their
// tags (ID3v2 and MP4), played one after another: the popups stack up with
// their covers.
#include "host/demo_support.h"
#include "host/pictures.h"
#include "host/tag_builder.h"

#include <stdio.h>
#include <string.h>

struct AlbumTrack {
    const char *file;
    PlayerTrack track;
};

static const AlbumTrack kAlbum[] = {
    { "01 Paper Lanterns.mp3", { 0, "Northbound Trains - Paper Lanterns", 205, 44, 192, 2, NULL } },
    { "02 Slow Ferry.mp3", { 1, "Northbound Trains - Slow Ferry", 262, 44, 192, 2, NULL } },
    { "03 Harbour Lights.flac", { 2, "Northbound Trains - Harbour Lights", 238, 44, 1024, 2, NULL } },
    { "04 Ten Bridges.mp3", { 3, "Northbound Trains - Ten Bridges", 187, 44, 256, 2, NULL } },
    { "05 Last Platform.m4a", { 4, "Northbound Trains - Last Platform", 311, 44, 256, 2, NULL } },
};

enum { kAlbumTracks = sizeof kAlbum / sizeof kAlbum[0] };

static std::string gAlbum;

static Bytes Mp3(const Bytes &tag)
{
    Bytes audio = tag;
    for (int frame = 0; frame < 8; frame++)
        audio = audio + Be(0xFFFB9064, 4) + Be(0, 413);
    return audio;
}

bool MakeDemoAlbum()
{
    char exe[MAX_PATH];
    GetModuleFileNameA(NULL, exe, sizeof exe);
    char *slash = strrchr(exe, '\\');
    if (slash)
        slash[1] = 0;
    gAlbum = std::string(exe) + "demo\\music\\Northbound Trains - Paper Lanterns";
    if (!PlayerMakeDirectories(gAlbum.c_str()))
        return false;
    Bytes folder = MakeArtwork(PICTURE_JPEG, 500, RGB(32, 78, 140), RGB(236, 170, 80));
    Bytes single = MakeArtwork(PICTURE_PNG, 300, RGB(150, 30, 60), RGB(250, 220, 120));
    Bytes live = MakeArtwork(PICTURE_JPEG, 400, RGB(20, 110, 90), RGB(200, 240, 230));
    if (folder.empty() || single.empty() || live.empty())
        return false;
    Bytes title = Id3Frame(3, "TIT2", Bytes{ 0 } + Text("Paper Lanterns"));
    const Bytes files[kAlbumTracks] = {
        Mp3(Id3Tag(3, 0, title)),
        Mp3(Bytes()),
        Text("fLaC") + FlacBlock(true, 0, Be(0, 34)) + Be(0xFFF8, 2) + Be(0, 600),
        Mp3(Id3Tag(3, 0, title + Id3Frame(3, "APIC", PictureFrameData(3, 0, 3, "single", single)))),
        Box("ftyp", Text("M4A ") + Be(0, 4)) + Box("mdat", Be(0, 800)) + MoovWithCover(CoverData(live)),
    };
    bool ok = WriteBytesToFile(gAlbum + "\\folder.jpg", folder);
    for (int i = 0; i < kAlbumTracks; i++)
        ok = ok && WriteBytesToFile(gAlbum + "\\" + kAlbum[i].file, files[i]);
    return ok;
}

std::wstring DemoAlbumTrack(int index)
{
    std::string path = gAlbum + "\\" + kAlbum[index].file;
    return std::wstring(path.begin(), path.end());
}

static bool HasCover(HWND popup)
{
    HWND children[16];
    int count = PlayerChildWindows(popup, children, 16);
    for (int i = 0; i < count && i < 16; i++) {
        if ((GetWindowLongA(children[i], GWL_STYLE) & SS_TYPEMASK) == SS_OWNERDRAW)
            return true;
    }
    return false;
}

bool DescribeCover(HWND popup)
{
    bool cover = HasCover(popup);
    Say("demo:   %s\n", cover ? "with its cover" : "with the icon (no cover)");
    return cover;
}

bool RunCoverDemo(const char *shotsDir, const char *pluginPath)
{
    // The defaults, and popups that stay until the album has played.
    DeleteFileA(PlayerSettingsFile().c_str());
    if (!WriteDemoSettings() || !PlayerLoadPlugin(pluginPath)) {
        Say("demo: covers -> FAILED: cannot load %s\n", pluginPath);
        return false;
    }
    std::vector<std::wstring> files;
    for (int i = 0; i < kAlbumTracks; i++)
        files.push_back(DemoAlbumTrack(i));
    PlayerSetPlaylistFiles(files);
    bool ok = true;
    HWND shown[kAlbumTracks];
    for (int i = 0; i < kAlbumTracks && ok; i++) {
        PopupSearch search;
        ExpectedLines(kAlbum[i].track, &search);
        PlayerStartTrack(kAlbum[i].track);
        if (!WaitUntil([&] { return ExpectedPopupShown(&search); }, kPopupDeadlineMs)) {
            Say("demo: album track %d -> FAILED: no popup\n", i + 1);
            ok = false;
            break;
        }
        Say("demo: album track %d \"%s\" -> popup\n", i + 1, kAlbum[i].file);
        if (!DescribeCover(search.found)) {
            Say("demo: album track %d -> FAILED: no cover\n", i + 1);
            ok = false;
        }
        shown[i] = search.found;
        WaitUntilSettled(search.found);
        PlayerPumpFor(kEventGapMs);
    }
    if (ok && shotsDir) {
        RECT area = AreaAround(shown, kAlbumTracks);
        ok = SaveScreenArea(shotsDir, "album-covers", &area);
    }
    return ShutDownPlugin(pluginPath) && ok;
}
