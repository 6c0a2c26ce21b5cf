// A track's picture as stored, undecoded, on real files in a folder of their
// own: the bytes of the picture the popup's cover comes from, or none.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "cover/cover.h"
#include "host/pictures.h"
#include "host/tag_builder.h"

namespace {

struct PlacedFile {
    const char *name;
    Bytes bytes;
};

Bytes Mp3With(const Bytes &picture)
{
    return Id3Tag(3, 0, Id3Frame(3, "APIC", PictureFrameData(3, 0, 3, "", picture))) + Be(0xFFFB9000, 4) + Be(0, 400);
}

// The bytes handed over for the folder's song.mp3; `given` false when none.
Bytes StoredPicture(const std::string &folder, DWORD limit, bool *given)
{
    WCHAR path[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, (folder + "song.mp3").c_str(), -1, path, MAX_PATH);
    CoverPicture *picture = ReadCoverPicture(path, limit);
    *given = picture != NULL;
    Bytes bytes = picture ? Bytes(picture->bytes, picture->bytes + picture->size) : Bytes();
    FreeCoverPicture(picture);
    return bytes;
}

}  // namespace

// Each case in a folder of its own; the limit is the picture's own length
// unless a case says otherwise.
TEST(StoredCoverPicture, TheBytesThePopupsCoverComesFromOrNone)
{
    const Bytes png = MakePicture(PICTURE_PNG, 40, 40, RGB(220, 20, 20));
    const Bytes jpeg = MakePicture(PICTURE_JPEG, 40, 40, RGB(20, 200, 20));
    const Bytes gif = MakePicture(PICTURE_GIF, 1, 1, RGB(20, 20, 220));
    ASSERT_FALSE(png.empty() || jpeg.empty() || gif.empty());
    const Bytes plain = Be(0xFFFB9000, 4) + Be(0, 400);
    const Bytes webp = Text("RIFF") + Le32(40) + Text("WEBPVP8 ") + Be(0, 28);
    const DWORD whole = 16u << 20;
    const struct {
        const char *what;
        std::vector<PlacedFile> files;
        DWORD limit;
        const Bytes *expected;   // NULL: none handed over
    } cases[] = {
        { "the tag's picture before the folder's", { { "song.mp3", Mp3With(png) }, { "cover.jpg", jpeg } }, whole, &png },
        { "the folder's picture in the lookup's order", { { "song.mp3", plain }, { "folder.gif", gif }, { "front.jpg", jpeg } }, whole, &gif },
        { "exactly at the limit", { { "song.mp3", plain }, { "cover.jpg", jpeg } }, (DWORD)jpeg.size(), &jpeg },
        { "a tag picture that is no picture passed over", { { "song.mp3", Mp3With(webp) }, { "cover.jpg", jpeg } }, whole, &jpeg },
        { "no picture at all", { { "song.mp3", Mp3With(webp) }, { "cover.jpg", Text("not a picture") } }, whole, NULL },
        // The popup shows the tag's picture: none other stands in for it.
        { "one byte over the limit", { { "song.mp3", Mp3With(png) }, { "cover.jpg", jpeg } }, (DWORD)png.size() - 1, NULL },
        { "nothing beside a plain track", { { "song.mp3", plain }, { "notes.txt", Text("cover") } }, whole, NULL },
        { "no track", { { "cover.jpg", jpeg } }, whole, NULL },
    };
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string root = std::string(temp) + "tunebell-stored-" + std::to_string(GetCurrentProcessId());
    ASSERT_TRUE(CreateDirectoryA(root.c_str(), NULL));
    int index = 0;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        std::string folder = root + "\\" + std::to_string(index++) + "\\";
        ASSERT_TRUE(CreateDirectoryA(folder.c_str(), NULL));
        for (const PlacedFile &f : c.files)
            ASSERT_TRUE(WriteBytesToFile(folder + f.name, f.bytes));
        bool given = false;
        Bytes bytes = StoredPicture(folder, c.limit, &given);
        EXPECT_EQ(given, c.expected != NULL);
        if (c.expected)
            EXPECT_TRUE(bytes == *c.expected) << bytes.size() << " bytes";
        for (const PlacedFile &f : c.files)
            DeleteFileA((folder + f.name).c_str());
        RemoveDirectoryA(folder.c_str());
    }
    RemoveDirectoryA(root.c_str());

    // Streams and other addresses are not looked at, as the popup's cover is not.
    EXPECT_EQ(ReadCoverPicture(L"http://radio.example/stream.mp3", whole), (CoverPicture *)NULL);
    EXPECT_EQ(ReadCoverPicture(NULL, whole), (CoverPicture *)NULL);
    FreeCoverPicture(NULL);
}
