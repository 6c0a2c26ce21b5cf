// The album cover in the popup, with the stand-in player naming files made
// here: from each tag format and from the folder, or, for every file that
// cannot give one, the popup as it is without covers, icon and all.
#include "host/dialog_driver.h"
#include "host/pictures.h"
#include "host/tag_builder.h"
#include "tests/e2e/support.h"

#include <psapi.h>
#include <stdlib.h>

#include <algorithm>

namespace {

const COLORREF kBack = RGB(255, 255, 200);   // the default background
const COLORREF kRed = RGB(220, 20, 20), kGreen = RGB(20, 200, 20), kBlue = RGB(20, 20, 220);
const COLORREF kNoCover = 0xFFFFFFFF;

bool Near(COLORREF a, COLORREF b)
{
    return abs(GetRValue(a) - GetRValue(b)) <= 8 && abs(GetGValue(a) - GetGValue(b)) <= 8
        && abs(GetBValue(a) - GetBValue(b)) <= 8;
}

Bytes Jpeg(COLORREF c) { return MakePicture(PICTURE_JPEG, 40, 40, c); }
Bytes Png(COLORREF c, BYTE alpha = 255) { return MakePicture(PICTURE_PNG, 40, 40, c, alpha); }
Bytes Audio() { return Be(0xFFFB9000, 4) + Be(0, 400); }
Bytes Apic(int version, int type, const Bytes &picture)
{
    return Id3Frame(version, "APIC", PictureFrameData(version, 0, type, "", picture));
}

struct FolderFile {
    const char *name;
    Bytes bytes;
    bool directory;
};

std::wstring Wide(const std::string &s)
{
    return std::wstring(s.begin(), s.end());
}

class Covers : public PlayerTest {
protected:
    void SetUp() override
    {
        PlayerTest::SetUp();
        music = iniDir + "\\Music";
        ASSERT_TRUE(PlayerMakeDirectories(music.c_str()));
    }
    // The popups stay until closed and have their fixed sizes; the plug-in's
    // clock stands, so a popup waits for its cover as long as it takes.
    bool LoadWaitingForCovers()
    {
        SetIni("Seconds", 0);
        SetIni("DynamicResize", 0);
        if (!Load() || !PlayerRedirectPluginClock())
            return false;
        PlayerSetPluginClock(1000000);
        return true;
    }
    // A folder of its own with these files; the track's full name.
    std::string MakeFolder(const std::string &name, const std::vector<FolderFile> &files)
    {
        std::string folder = music + "\\" + name;
        EXPECT_TRUE(PlayerMakeDirectories(folder.c_str()));
        for (const FolderFile &f : files) {
            std::string path = folder + "\\" + f.name;
            EXPECT_TRUE(f.directory ? PlayerMakeDirectories(path.c_str()) : WriteBytesToFile(path, f.bytes)) << path;
        }
        return folder;
    }
    // Plays the entry with this file and returns its popup, once shown.
    HWND Play(const std::wstring &file)
    {
        PlayerSetPlaylistFiles({ file });
        size_t before = VisiblePopups().size();
        PlayerStartTrackPastThrottle({ 0, "Song", 100, 44, 128, 2 });
        if (!WaitForVisiblePopups((int)before + 1))
            return NULL;
        return VisiblePopups()[0];
    }
    void CloseAll()
    {
        for (HWND popup : VisiblePopups())
            PostMessageA(popup, 0x601, 0, 0);   // UM_POPUP_CLOSE
        EXPECT_TRUE(WaitUntil([] { return VisiblePopups().empty(); }));
    }
    std::string music;
};

// The middle of the cover's column, as the popup drew it.
COLORREF CoverMiddle(HWND cover)
{
    RECT r = WindowRectOf(cover);
    return WindowColour(cover, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

// The class of the window on top at the cover's middle, to tell a cover not
// drawn from one hidden by another window.
std::string WindowUnderCoverMiddle(HWND cover)
{
    RECT r = WindowRectOf(cover);
    POINT middle = { (r.left + r.right) / 2, (r.top + r.bottom) / 2 };
    char name[64] = "";
    GetClassNameA(WindowFromPoint(middle), name, sizeof(name));
    return name;
}

void ExpectBox(HWND child, int x, int y, int w, int h, const char *what)
{
    RECT r = ChildRect(child);
    EXPECT_TRUE(r.left == x && r.top == y && r.right - r.left == w && r.bottom - r.top == h)
        << what << " at " << r.left << "," << r.top << " " << r.right - r.left << "x" << r.bottom - r.top;
}

// With the fixed sizes of the beveled style at 96 dpi: a cover of 64 takes
// the icon column's place and makes the popup 68 high, the texts centred in
// it; without one the popup is as it always was.
void ExpectCoverOrDesign(HWND popup, COLORREF colour)
{
    PopupParts parts = ReadPopupParts(popup);
    RECT r = WindowRectOf(popup);
    if (colour == kNoCover) {
        EXPECT_TRUE(parts.icon && !parts.cover);
        EXPECT_EQ(r.right - r.left, 151);
        EXPECT_EQ(r.bottom - r.top, 36);
        ExpectBox(parts.icon, 3, 1, 16, 34, "icon");
        ExpectBox(parts.title, 23, 3, 80, 14, "title");
        return;
    }
    ASSERT_TRUE(parts.cover && !parts.icon);
    EXPECT_EQ(r.right - r.left, 199);
    EXPECT_EQ(r.bottom - r.top, 70);
    ExpectBox(parts.cover, 3, 1, 64, 68, "cover");
    ExpectBox(parts.title, 71, 20, 80, 14, "title");
    EXPECT_TRUE(WaitUntil([&] { return Near(CoverMiddle(parts.cover), colour); }))
        << std::hex << CoverMiddle(parts.cover) << " for " << colour;
    // The picture is 64 x 64 in the middle of the 68 rows: the background
    // shows above it.
    RECT c = WindowRectOf(parts.cover);
    EXPECT_EQ(WindowColour(parts.cover, c.left + 32, c.top), kBack);
    // All repainted, the background first: the cover is drawn over it.
    RedrawWindow(popup, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PlayerPumpFor(50);
    EXPECT_TRUE(Near(CoverMiddle(parts.cover), colour)) << std::hex << CoverMiddle(parts.cover);
}

}  // namespace

TEST_F(Covers, FromEachTagFormatAndTheFolderOrTheDesignsLayout)
{
    Bytes cut = Jpeg(kRed);
    cut.resize(cut.size() - 2);
    Bytes vorbisComments = VorbisComments(std::string("\x03vorbis", 7), { "TITLE=Song", PictureComment(3, Png(kRed)) })
                         + Bytes{ 1 };
    // Red at half opacity over the background: R 220 x 128 / 255 + 127.
    const COLORREF halfRed = RGB(237, 137, 110);
    const struct {
        const char *what;
        std::vector<FolderFile> files;
        const char *track;    // in the case's folder; or, with "://", a stream's address
        COLORREF cover;       // the colour the cover shows, or kNoCover
        bool olderPlayer;     // 214 unknown: the name comes from 211
        bool extended;        // the track named in the form \\?\X:\...
    } cases[] = {
        { "cover.jpg beside the track", { { "song.mp3", Audio() }, { "cover.jpg", Jpeg(kRed) } }, "song.mp3", kRed },
        { "ID3v2.3", { { "song.mp3", Id3Tag(3, 0, Apic(3, 3, Png(kGreen))) + Audio() } }, "song.mp3", kGreen },
        { "several pictures: the front cover", { { "song.mp3", Id3Tag(4, 0, Apic(4, 4, Png(kRed)) + Apic(4, 3, Png(kBlue))) + Audio() } }, "song.mp3", kBlue },
        { "FLAC", { { "song.flac", Text("fLaC") + FlacBlock(true, 6, FlacPictureRecord(3, Jpeg(kGreen))) + Be(0xFFF8, 2) } }, "song.flac", kGreen },
        { "FLAC after an ID3v2 tag", { { "song.flac", Id3Tag(3, 0, Id3Frame(3, "TIT2", Bytes{ 0 } + Text("x"))) + Text("fLaC") + FlacBlock(true, 6, FlacPictureRecord(3, Jpeg(kRed))) } }, "song.flac", kRed },
        { "MP4 with moov after mdat", { { "song.m4a", Box("ftyp", Text("M4A ") + Be(0, 4)) + Box("mdat", Be(0, 500)) + MoovWithCover(CoverData(Jpeg(kBlue))) } }, "song.m4a", kBlue },
        { "Ogg Vorbis, the comment across pages", { { "song.ogg", OggPages({ VorbisIdentification(), vorbisComments }, 3) + OggPages({ Be(0, 200) }, 255) } }, "song.ogg", kRed },
        { "Opus", { { "song.opus", OggPages({ OpusHead(), VorbisComments("OpusTags", { PictureComment(3, Png(kGreen)) }) }, 255) } }, "song.opus", kGreen },
        { "PNG with transparency over the background", { { "song.mp3", Audio() }, { "cover.png", Png(kRed, 128) } }, "song.mp3", halfRed },
        { "the name from 211 when 214 answers 0", { { "song.mp3", Audio() }, { "folder.jpg", Jpeg(kGreen) } }, "song.mp3", kGreen, true },
        { "an extended path: the tag", { { "song.mp3", Id3Tag(3, 0, Apic(3, 3, Png(kBlue))) + Audio() } }, "song.mp3", kBlue, false, true },
        { "an extended path: the folder", { { "song.mp3", Audio() }, { "cover.jpg", Jpeg(kRed) } }, "song.mp3", kRed, false, true },
        { "a damaged JPEG", { { "song.mp3", Audio() }, { "cover.jpg", cut } }, "song.mp3", kNoCover },
        { "an empty file", { { "song.mp3", Audio() }, { "cover.jpg", {} } }, "song.mp3", kNoCover },
        { "a folder named cover.jpg", { { "song.mp3", Audio() }, { "cover.jpg", {}, true } }, "song.mp3", kNoCover },
        { "a track that is not there", { { "cover.jpg", Jpeg(kRed) } }, "gone.mp3", kNoCover },
        { "a stream's address", {}, "http://radio.example/live.mp3", kNoCover },
    };
    ASSERT_TRUE(LoadWaitingForCovers());
    int index = 0;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        std::string folder = MakeFolder("case" + std::to_string(index++), c.files);
        std::string track = strstr(c.track, "://") ? std::string(c.track) : folder + "\\" + c.track;
        if (c.extended)
            track = "\\\\?\\" + track;
        PlayerSetOlder(c.olderPlayer);
        HWND popup = Play(Wide(track));
        ASSERT_NE(popup, (HWND)NULL);
        ExpectCoverOrDesign(popup, c.cover);
        CloseAll();
    }
}

TEST_F(Covers, TurnedOffOrSized)
{
    std::string folder = MakeFolder("album", { { "song.mp3", Audio() }, { "cover.jpg", Jpeg(kBlue) } });
    SetIni("ShowCover", 0);
    ASSERT_TRUE(LoadWaitingForCovers());
    int from = PlayerCommandCount();
    HWND popup = Play(Wide(folder + "\\song.mp3"));
    ASSERT_NE(popup, (HWND)NULL);
    ExpectCoverOrDesign(popup, kNoCover);
    // Nothing is asked for a cover.
    EXPECT_EQ(CountCommands(PLAYER_CMD_WIDE_FILE, from) + CountCommands(PLAYER_CMD_LIST_LENGTH, from), 0);
    QuitAndUnload();

    // A cover of 40 fits the design's height of 34 with its borders.
    SetIni("ShowCover", 1);
    SetIni("CoverSize", 40);
    ASSERT_TRUE(LoadWaitingForCovers());
    PopupParts parts = ReadPopupParts(Play(Wide(folder + "\\song.mp3")));
    ASSERT_TRUE(parts.cover);
    ExpectBox(parts.cover, 3, 1, 40, 44, "cover");
    ExpectBox(parts.title, 47, 8, 80, 14, "title");
}

TEST_F(Covers, TheNextEntrysCoverIsLookedUpAhead)
{
    ASSERT_TRUE(LoadWaitingForCovers());
    std::string folder = MakeFolder("album", { { "1.mp3", Audio() }, { "2.mp3", Audio() }, { "cover.jpg", Jpeg(kRed) } });
    PlayerSetPlaylistFiles({ Wide(folder + "\\1.mp3"), Wide(folder + "\\2.mp3") });
    int from = PlayerCommandCount();
    PlayerStartTrackPastThrottle({ 0, "One", 100, 44, 128, 2 });
    ASSERT_TRUE(WaitForVisiblePopups(1));
    std::vector<ExpectedStep> expected = TrackQueries(0);
    expected.resize(expected.size() - 3);   // the name comes from 214
    expected.push_back({ PLAYER_CMD_WIDE_FILE, 0, kOnWorker });
    expected.push_back({ PLAYER_CMD_LIST_LENGTH, 0, kOnWorker });
    expected.push_back({ PLAYER_CMD_WIDE_FILE, 1, kOnWorker });
    EXPECT_TRUE(SameSequence(CommandsFrom(from), expected));

    // The last entry has none after it.
    from = PlayerCommandCount();
    PlayerStartTrackPastThrottle({ 1, "Two", 100, 44, 128, 2 });
    ASSERT_TRUE(WaitForVisiblePopups(2));
    ExpectCoverOrDesign(VisiblePopups()[0], kRed);
    EXPECT_EQ(CountCommands(PLAYER_CMD_WIDE_FILE, from), 1);
}

TEST_F(Covers, ACoverLateForItsPopupIsLeftOutAndKeptForTheNext)
{
    SetIni("Seconds", 0);
    SetIni("DynamicResize", 0);
    ASSERT_TRUE(LoadPatched());
    // Far longer to decode than a popup waits. Its fine grain shows in the
    // middle pixel where scaling takes one pixel of many (Wine's does).
    const COLORREF grey = RGB(100, 130, 160);
    Bytes large = MakePicture(PICTURE_JPEG, 4000, 4000, grey, 255, true);
    ASSERT_FALSE(large.empty());
    std::string folder = MakeFolder("album", { { "song.mp3", Audio() }, { "cover.jpg", large } });
    HWND first = Play(Wide(folder + "\\song.mp3"));
    ASSERT_NE(first, (HWND)NULL);
    ExpectCoverOrDesign(first, kNoCover);
    CloseAll();
    // The same cover once the plug-in's clock stands: its popup waits.
    PlayerSetPluginClock(PlayerPluginClock());
    HWND second = Play(Wide(folder + "\\song.mp3"));
    ASSERT_NE(second, (HWND)NULL);
    PopupParts parts = ReadPopupParts(second);
    ASSERT_TRUE(parts.cover);
    auto grainy = [](COLORREF a, COLORREF b) {
        return abs(GetRValue(a) - GetRValue(b)) <= 40 && abs(GetGValue(a) - GetGValue(b)) <= 40
            && abs(GetBValue(a) - GetBValue(b)) <= 40;
    };
    EXPECT_TRUE(WaitUntil([&] { return grainy(CoverMiddle(parts.cover), grey); })) << std::hex << CoverMiddle(parts.cover);
}

TEST_F(Covers, PreviewShowsTheCurrentTracksCover)
{
    ASSERT_TRUE(LoadWaitingForCovers());
    std::string folder = MakeFolder("album", { { "song.mp3", Id3Tag(3, 0, Apic(3, 3, Jpeg(kBlue))) + Audio() } });
    PlayerSetPlaylistFiles({ Wide(folder + "\\song.mp3") });
    PlayerSetTrack({ 0, "Song", 100, 44, 128, 2 });
    ASSERT_TRUE(DriveSettingsDialog([&](HWND dialog) {
        Press(dialog, 1033);
        ASSERT_TRUE(WaitForVisiblePopups(1));
        PopupParts parts = ReadPopupParts(VisiblePopups()[0]);
        ASSERT_TRUE(parts.cover);
        EXPECT_TRUE(WaitUntil([&] { return Near(CoverMiddle(parts.cover), kBlue); }))
            << std::hex << CoverMiddle(parts.cover) << " under " << WindowUnderCoverMiddle(parts.cover);
    }));
}

// A cover.bmp written again with another colour but the same length and
// time shows once the plug-in's clock says a minute has passed.
TEST_F(Covers, APictureRewrittenUnseenShowsAMinuteAfterItWasRead)
{
    ASSERT_TRUE(LoadWaitingForCovers());
    std::string folder = MakeFolder("album", { { "song.mp3", Audio() }, { "cover.bmp", MakePicture(PICTURE_BMP, 40, 40, kRed) } });
    ExpectCoverOrDesign(Play(Wide(folder + "\\song.mp3")), kRed);
    CloseAll();
    ASSERT_TRUE(RewriteKeepingTime(folder + "\\cover.bmp", MakePicture(PICTURE_BMP, 40, 40, kBlue)));
    PlayerAdvancePluginClock(60000);
    ExpectCoverOrDesign(Play(Wide(folder + "\\song.mp3")), kBlue);
}

// A JPEG whose frame header gives 12000 x 12000, for which a decoder would
// take 432 MB (its pixels are a small picture's): refused from the header,
// it never reaches the decoder. The peak is the working set's high-water
// mark, which Wine keeps (its peak commit is only the present one).
TEST_F(Covers, APictureTooLargeIsRefusedByItsHeader)
{
    Bytes lying = Jpeg(kRed), frame = { 0xFF, 0xC0 };
    auto at = std::search(lying.begin(), lying.end(), frame.begin(), frame.end());
    ASSERT_TRUE(at + 9 < lying.end());
    at[5] = at[7] = 12000 >> 8, at[6] = at[8] = 12000 & 0xFF;
    ASSERT_TRUE(LoadWaitingForCovers());
    std::string folder = MakeFolder("album", { { "song.mp3", Audio() }, { "cover.jpg", lying } });
    PROCESS_MEMORY_COUNTERS before = { sizeof(before) }, after = { sizeof(after) };
    ASSERT_TRUE(GetProcessMemoryInfo(GetCurrentProcess(), &before, sizeof(before)));
    ExpectCoverOrDesign(Play(Wide(folder + "\\song.mp3")), kNoCover);
    ASSERT_TRUE(GetProcessMemoryInfo(GetCurrentProcess(), &after, sizeof(after)));
    EXPECT_LT(after.PeakWorkingSetSize - before.PeakWorkingSetSize, (SIZE_T)64 << 20);
}

// A JPEG far longer to decode than a popup waits: its fine grain makes the
// decode as slow as a photograph's, and Wine's decoder does not scale it
// while it decodes.
TEST_F(Covers, QuitLeavesALongDecodeToItselfAndANewStartWaitsForNothing)
{
    SetIni("Seconds", 0);
    SetIni("DynamicResize", 0);
    ASSERT_TRUE(LoadPatched());
    Bytes large = MakePicture(PICTURE_JPEG, 5000, 5000, kRed, 255, true);
    ASSERT_FALSE(large.empty());
    std::string timed = MakeFolder("timed", { { "song.mp3", Audio() }, { "cover.jpg", large } });
    std::string left = MakeFolder("left", { { "song.mp3", Audio() }, { "cover.jpg", large } });
    // How long the decode takes here and now: on a standing clock its popup
    // waits for it.
    PlayerSetPluginClock(PlayerPluginClock());
    PlayerSetPlaylistFiles({ Wide(timed + "\\song.mp3") });
    DWORD start = GetTickCount();
    PlayerStartTrackPastThrottle({ 0, "Song", 100, 44, 128, 2 });
    ASSERT_TRUE(WaitForVisiblePopups(1, 60000));
    DWORD decodeMs = GetTickCount() - start;
    CloseAll();

    // On a running clock the popup goes without its cover; the quit leaves
    // the decode to end by itself, and a start right after does not wait.
    ASSERT_TRUE(PlayerRedirectPluginClock());
    ASSERT_NE(Play(Wide(left + "\\song.mp3")), (HWND)NULL);
    QuitAndUnload();
    start = GetTickCount();
    ASSERT_TRUE(LoadWaitingForCovers());
    DWORD loadMs = GetTickCount() - start;
    EXPECT_LT(loadMs, decodeMs / 2) << "the decode took " << decodeMs << " ms";
    // It shows covers of its own meanwhile.
    std::string small = MakeFolder("small", { { "song.mp3", Audio() }, { "cover.jpg", Jpeg(kBlue) } });
    ExpectCoverOrDesign(Play(Wide(small + "\\song.mp3")), kBlue);
    // Each thread, the old one past its decode, frees its covers and lets
    // the module go.
    QuitAndUnload();
    EXPECT_TRUE(WaitUntil([] { return GetModuleHandleA("gen_tunebell.dll") == NULL; }, 60000));
}
