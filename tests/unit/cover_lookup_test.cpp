// Where a track's cover is found, on real files in a folder of their own:
// the tag first, then the folder's pictures in their order, passing over
// what does not decode; decoded with the imaging component on this thread.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "cover/cache.h"
#include "cover/decode.h"
#include "cover/folder.h"
#include "cover/lookup.h"
#include "host/pictures.h"
#include "host/tag_builder.h"

static const COLORREF kRed = RGB(220, 20, 20), kGreen = RGB(20, 200, 20), kBlue = RGB(20, 20, 220),
                      kGrey = RGB(128, 128, 128), kNone = 0xFFFFFFFF;

// A cover's pixel (BGRA) close enough to a colour for a JPEG of one colour.
static bool Near(DWORD bgra, COLORREF colour)
{
    int d[3] = { (int)(bgra >> 16 & 0xFF) - GetRValue(colour), (int)(bgra >> 8 & 0xFF) - GetGValue(colour),
                 (int)(bgra & 0xFF) - GetBValue(colour) };
    return abs(d[0]) <= 8 && abs(d[1]) <= 8 && abs(d[2]) <= 8;
}

// The cover thread's cache and decoder, here the test's thread's.
static CoverCache gCache;
static CoverDecoder gDecoder;

// The pixel in the middle of the cover found for the track (BGRA), or kNone,
// looked up at the tick `now`.
static DWORD CoverMiddle(const std::string &track, DWORD now = 0)
{
    WCHAR path[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, track.c_str(), -1, path, MAX_PATH);
    LONG stop = 0;
    CoverLookup lookup = { &gCache, &gDecoder, now, &stop };
    CoverImage *image = FindCover(&lookup, path, 64, true);
    DWORD middle = image ? image->pixels[image->height / 2 * image->width + image->width / 2] : kNone;
    FreeCoverImage(image);
    return middle;
}

static bool Shows(const std::string &track, DWORD now, COLORREF colour)
{
    DWORD found = CoverMiddle(track, now);
    return colour == kNone ? found == kNone : found != kNone && Near(found, colour);
}

struct FolderFile {
    const char *name;
    Bytes bytes;
    bool directory;
};

static Bytes Jpeg(COLORREF c) { return MakePicture(PICTURE_JPEG, 40, 40, c); }
static Bytes Png(COLORREF c) { return MakePicture(PICTURE_PNG, 40, 40, c); }
static Bytes Bmp(COLORREF c) { return MakePicture(PICTURE_BMP, 40, 40, c); }
static Bytes Mp3With(const Bytes &picture)
{
    return Id3Tag(3, 0, Id3Frame(3, "APIC", PictureFrameData(3, 0, 3, "", picture))) + Be(0xFFFB9000, 4) + Be(0, 400);
}

// A folder of its own below the temp folder, for one test.
static std::string MakeRoot(const char *name)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string root = std::string(temp) + name + std::to_string(GetCurrentProcessId());
    EXPECT_TRUE(CreateDirectoryA(root.c_str(), NULL));
    return root;
}

// Each case in a folder of its own, the track song.mp3 unless it lacks.
TEST(CoverLookup, TagFirstThenTheFolderInOrder)
{
    Bytes cut = Jpeg(kBlue);
    cut.resize(cut.size() - 2);
    Bytes plain = Be(0xFFFB9000, 4) + Be(0, 400);
    const struct {
        const char *what;
        std::vector<FolderFile> files;
        COLORREF expected;
    } cases[] = {
        { "cover.png before folder.jpg", { { "song.mp3", plain }, { "folder.jpg", Jpeg(kGreen) }, { "cover.png", Png(kRed) } }, kRed },
        { "names in any case", { { "song.mp3", plain }, { "FOLDER.JPG", Jpeg(kGreen) } }, kGreen },
        { "each name's extensions before the next name", { { "song.mp3", plain }, { "album.jpg", Jpeg(kRed) }, { "front.gif", MakePicture(PICTURE_GIF, 1, 1, kGreen) } }, kGreen },
        { "a folder named cover.jpg", { { "song.mp3", plain }, { "cover.jpg", {}, true }, { "front.bmp", MakePicture(PICTURE_BMP, 40, 40, kBlue) } }, kBlue },
        { "a cut JPEG and an empty file passed over", { { "song.mp3", plain }, { "cover.jpg", cut }, { "cover.jpeg", {} }, { "folder.png", Png(kGreen) } }, kGreen },
        { "AlbumArt large before small", { { "song.mp3", plain }, { "AlbumArtSmall.jpg", Jpeg(kGrey) }, { "AlbumArt_{12-34}_Large.jpg", Jpeg(kRed) } }, kRed },
        { "AlbumArtSmall last", { { "song.mp3", plain }, { "AlbumArtSmall.jpg", Jpeg(kGrey) } }, kGrey },
        { "the tag before the folder", { { "song.mp3", Mp3With(Png(kRed)) }, { "cover.jpg", Jpeg(kGreen) } }, kRed },
        { "a second ID3v2 tag after one without a picture", { { "song.mp3", Id3Tag(3, 0, Id3Frame(3, "TIT2", Bytes{ 0 } + Text("Song"))) + Mp3With(Png(kRed)) }, { "cover.jpg", Jpeg(kGreen) } }, kRed },
        { "an ID3v2.4 tag appended at the end, before ID3v1", { { "song.mp3", plain + Id3Tag(4, 0x10, Id3Frame(4, "APIC", PictureFrameData(4, 0, 3, "", Png(kBlue)))) + Text("TAG") + Be(0, 125) }, { "cover.jpg", Jpeg(kGreen) } }, kBlue },
        { "a tag picture that does not decode", { { "song.mp3", Mp3With(cut) }, { "cover.jpg", Jpeg(kGreen) } }, kGreen },
        { "nothing", { { "song.mp3", plain }, { "notes.txt", Text("cover") } }, kNone },
        { "no track", { { "cover.jpg", Jpeg(kGreen) } }, kNone },
    };
    ASSERT_TRUE(StartDecoding(&gDecoder));
    std::string root = MakeRoot("tunebell-cover-");
    int index = 0;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        std::string folder = root + "\\" + std::to_string(index++) + "\\";
        ASSERT_TRUE(CreateDirectoryA(folder.c_str(), NULL));
        for (const FolderFile &f : c.files)
            ASSERT_TRUE(f.directory ? CreateDirectoryA((folder + f.name).c_str(), NULL) != 0
                                    : WriteBytesToFile(folder + f.name, f.bytes));
        DWORD found = CoverMiddle(folder + "song.mp3");
        EXPECT_TRUE(c.expected == kNone ? found == kNone : found != kNone && Near(found, c.expected)) << std::hex << found;
        for (const FolderFile &f : c.files)
            f.directory ? RemoveDirectoryA((folder + f.name).c_str()) : DeleteFileA((folder + f.name).c_str());
        RemoveDirectoryA(folder.c_str());
    }
    RemoveDirectoryA(root.c_str());
    ClearCoverCache(&gCache);
    StopDecoding(&gDecoder);
}

// A file another program holds is read again at the next lookup; one
// rewritten with its length and time kept is read again a minute after it
// was read, one rewritten with another length at once.
TEST(CoverLookup, FailedReadsAreNotKeptAndRewritesAreSeen)
{
    ASSERT_TRUE(StartDecoding(&gDecoder));
    std::string root = MakeRoot("tunebell-recheck-");
    std::string beside = root + "\\beside.mp3", cover = root + "\\cover.bmp", tagged = root + "\\tagged\\song.mp3";
    ASSERT_TRUE(CreateDirectoryA((root + "\\tagged").c_str(), NULL));
    ASSERT_TRUE(WriteBytesToFile(beside, Be(0xFFFB9000, 4) + Be(0, 400)) && WriteBytesToFile(cover, Bmp(kRed)));
    ASSERT_TRUE(WriteBytesToFile(tagged, Mp3With(Bmp(kRed))) && WriteBytesToFile(root + "\\tagged\\cover.jpg", Jpeg(kGreen)));
    // Each opened by a program that shares it with nobody (a tagger writing
    // it); the folder's cover shows for the track meanwhile.
    HANDLE held = CreateFileA(cover.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    HANDLE heldTrack = CreateFileA(tagged.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_TRUE(held != INVALID_HANDLE_VALUE && heldTrack != INVALID_HANDLE_VALUE);
    EXPECT_TRUE(Shows(beside, 0, kNone));
    EXPECT_TRUE(Shows(tagged, 0, kGreen));
    CloseHandle(held);
    CloseHandle(heldTrack);
    EXPECT_TRUE(Shows(beside, 1000, kRed)) << "read again once free";
    EXPECT_TRUE(Shows(tagged, 1000, kRed)) << "read again once free";

    ASSERT_TRUE(RewriteKeepingTime(cover, Bmp(kBlue)) && RewriteKeepingTime(tagged, Mp3With(Bmp(kBlue))));
    EXPECT_TRUE(Shows(beside, 1000 + COVER_RECHECK_MS - 1, kRed)) << "taken on trust for a minute";
    EXPECT_TRUE(Shows(beside, 1000 + COVER_RECHECK_MS, kBlue));
    EXPECT_TRUE(Shows(tagged, 1000 + COVER_RECHECK_MS, kBlue));
    // Read again and unchanged, it is trusted for another minute.
    ASSERT_TRUE(RewriteKeepingTime(cover, Bmp(kRed)));
    EXPECT_TRUE(Shows(beside, 1000 + 2 * COVER_RECHECK_MS - 1, kBlue));
    // The picture beside the track is known by its own length and time.
    ASSERT_TRUE(WriteBytesToFile(cover, MakePicture(PICTURE_BMP, 40, 30, kGreen)));
    EXPECT_TRUE(Shows(beside, 1000 + 2 * COVER_RECHECK_MS - 1, kGreen));

    for (const std::string &file : { beside, cover, tagged, root + "\\tagged\\cover.jpg" })
        DeleteFileA(file.c_str());
    RemoveDirectoryA((root + "\\tagged").c_str());
    RemoveDirectoryA(root.c_str());
    ClearCoverCache(&gCache);
    StopDecoding(&gDecoder);
}

TEST(CoverCache, KeepsTheLatestPicturesAndAbsences)
{
    WCHAR path[32];
    FILETIME written = { 1, 2 };
    auto source = [&](int i, int box) {
        wsprintfW(path, L"C:\\music\\%d.jpg", i);
        return CoverSource{ path, 1000, written, box };
    };
    for (int i = 0; i < CACHED_PICTURES + 8; i++) {
        CoverImage *image = NewCoverImage(1, 1);
        ASSERT_TRUE(image);
        CoverSource s = source(i, 64);
        ASSERT_TRUE(KeepCover(&gCache, &s, 1, 0, image));
        // The first stays in use, so it stays.
        CoverSource first = source(0, 64);
        const CoverImage *kept;
        ULONGLONG digest;
        ASSERT_EQ(FindCachedCover(&gCache, &first, 0, &kept, &digest), CACHE_TRUSTED);
    }
    const CoverImage *kept = NULL;
    ULONGLONG digest = 0;
    CoverSource s = source(1, 64);
    EXPECT_EQ(FindCachedCover(&gCache, &s, 0, &kept, &digest), CACHE_UNKNOWN) << "the least lately used gave way";
    s = source(CACHED_PICTURES + 7, 64);
    EXPECT_TRUE(FindCachedCover(&gCache, &s, 0, &kept, &digest) == CACHE_TRUSTED && kept);
    s = source(CACHED_PICTURES + 7, 96);
    EXPECT_EQ(FindCachedCover(&gCache, &s, 0, &kept, &digest), CACHE_UNKNOWN) << "another size is another cover";
    EXPECT_EQ(CachedCoverCount(&gCache), CACHED_PICTURES);

    // An absence is kept apart and pushes no picture out; kept again, a
    // source has one entry, the latest.
    s = source(500, 64);
    ASSERT_TRUE(KeepCover(&gCache, &s, NO_PICTURE_DIGEST, 0, NULL));
    EXPECT_TRUE(FindCachedCover(&gCache, &s, 0, &kept, &digest) == CACHE_TRUSTED && kept == NULL);
    EXPECT_EQ(CachedCoverCount(&gCache), CACHED_PICTURES);
    s = source(CACHED_PICTURES + 7, 64);
    ASSERT_TRUE(KeepCover(&gCache, &s, NO_PICTURE_DIGEST, 5, NULL));
    EXPECT_TRUE(FindCachedCover(&gCache, &s, 5, &kept, &digest) == CACHE_TRUSTED && kept == NULL);
    EXPECT_EQ(CachedCoverCount(&gCache), CACHED_PICTURES - 1);
    // Due a minute after it was read, even when the tick count wrapped.
    EXPECT_EQ(FindCachedCover(&gCache, &s, 5 + COVER_RECHECK_MS, &kept, &digest), CACHE_DUE);
    s = source(501, 64);
    ASSERT_TRUE(KeepCover(&gCache, &s, NO_PICTURE_DIGEST, 0xFFFFFF00u, NULL));
    EXPECT_EQ(FindCachedCover(&gCache, &s, 100, &kept, &digest), CACHE_TRUSTED);
    EXPECT_EQ(FindCachedCover(&gCache, &s, COVER_RECHECK_MS, &kept, &digest), CACHE_DUE);
    ClearCoverCache(&gCache);
    EXPECT_EQ(CachedCoverBytes(&gCache), 0u);
}

TEST(CoverPaths, OnlyLocalAndNetworkPaths)
{
    const struct {
        const WCHAR *path;
        bool looked;
    } cases[] = {
        { L"C:\\Music\\a.mp3", true }, { L"z:/a.mp3", true }, { L"\\\\server\\share\\a.mp3", true },
        { L"http://radio.example/stream", false }, { L"C:a.mp3", false }, { L"\\\\.\\pipe\\x", false },
        { L"\\\\?\\C:\\a.mp3", true }, { L"\\\\?\\UNC\\server\\share\\a.mp3", true },
        { L"\\\\?\\Volume{1}\\a.mp3", false }, { L"\\\\?\\UNC\\server", false }, { L"\\\\server", false },
        { L"\\\\server\\\\a", false }, { L"", false },
        { L"a.mp3", false }, { L"cda://1", false },
    };
    for (const auto &c : cases)
        EXPECT_EQ(IsLocalOrNetworkPath(c.path), c.looked) << c.path;
    EXPECT_EQ(FolderLength(L"C:\\Music\\a.mp3"), 9);
    EXPECT_TRUE(IsAlbumArtLargeName(L"albumart_{X}_large.JPG"));
    EXPECT_FALSE(IsAlbumArtLargeName(L"AlbumArt_Large.jpg"));
    EXPECT_FALSE(IsAlbumArtLargeName(L"AlbumArt_x_Large.jpg.bak"));
}

TEST(CoverSize, FitsTheBoxKeepingTheAspect)
{
    const struct {
        int w, h, box, fitW, fitH;
    } cases[] = {
        { 1000, 1000, 64, 64, 64 }, { 1000, 500, 64, 64, 32 }, { 300, 1000, 64, 19, 64 },
        { 16, 16, 64, 64, 64 }, { 5000, 1, 64, 64, 1 }, { 3, 2, 128, 128, 85 },
    };
    for (const auto &c : cases) {
        int w, h;
        FitInBox(c.w, c.h, c.box, &w, &h);
        EXPECT_EQ(w, c.fitW) << c.w << "x" << c.h;
        EXPECT_EQ(h, c.fitH) << c.w << "x" << c.h;
    }
    EXPECT_TRUE(IsDecodableSize(5000, 5000));
    EXPECT_FALSE(IsDecodableSize(5001, 5000));
    EXPECT_FALSE(IsDecodableSize(10001, 10));
    EXPECT_FALSE(IsDecodableSize(0, 10));
}
