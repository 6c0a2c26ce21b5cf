// A track's picture as stored, undecoded, on real files: the bytes the
// popup's cover comes from, or none.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "cover/cover.h"
#include "host/pictures.h"
#include "host/tag_builder.h"

TEST(StoredCoverPicture, TheBytesThePopupsCoverComesFromOrNone)
{
    const Bytes png = MakePicture(PICTURE_PNG, 40, 40, RGB(220, 20, 20)), jpeg = MakePicture(PICTURE_JPEG, 40, 40, 0);
    const Bytes plain = Be(0xFFFB9000, 4) + Be(0, 400), webp = Text("RIFF") + Le32(40) + Text("WEBPVP8 ") + Be(0, 28);
    auto mp3With = [&](const Bytes &p) { return Id3Tag(3, 0, Id3Frame(3, "APIC", PictureFrameData(3, 0, 3, "", p))) + plain; };
    const DWORD all = 16u << 20;
    // The track, a file beside it, the limit, and the bytes handed over (NULL: none).
    const struct { const char *what; Bytes track; const char *beside; Bytes picture; DWORD limit; const Bytes *expected; } cases[] = {
        { "the tag's picture first", mp3With(png), "cover.jpg", jpeg, all, &png },
        { "else the one beside, at the limit", plain, "folder.jpg", jpeg, (DWORD)jpeg.size(), &jpeg },
        { "a tag picture that is no picture passed over", mp3With(webp), "cover.jpg", jpeg, all, &jpeg },
        { "no picture anywhere", mp3With(webp), "cover.jpg", Text("not a picture"), all, NULL },
        // The popup shows the tag's picture: none other stands in for it.
        { "a byte over the limit", mp3With(png), "cover.jpg", jpeg, (DWORD)png.size() - 1, NULL },
    };
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = temp + ("tunebell-stored-" + std::to_string(GetCurrentProcessId())) + "\\";
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), NULL));
    WCHAR track[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, (folder + "song.mp3").c_str(), -1, track, MAX_PATH);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(WriteBytesToFile(folder + "song.mp3", c.track) && WriteBytesToFile(folder + c.beside, c.picture));
        CoverPicture *picture = ReadCoverPicture(track, c.limit);
        EXPECT_EQ(picture != NULL, c.expected != NULL);
        if (picture && c.expected)
            EXPECT_TRUE(Bytes(picture->bytes, picture->bytes + picture->size) == *c.expected);
        FreeCoverPicture(picture);
        DeleteFileA((folder + c.beside).c_str());
    }
    // No track, a cover beside where it would be; a stream, which the popup
    // looks nowhere for either.
    ASSERT_TRUE(DeleteFileA((folder + "song.mp3").c_str()) && WriteBytesToFile(folder + "cover.jpg", jpeg));
    EXPECT_EQ(ReadCoverPicture(track, all), (CoverPicture *)NULL);
    EXPECT_EQ(ReadCoverPicture(L"http://radio.example/stream.mp3", all), (CoverPicture *)NULL);
    DeleteFileA((folder + "cover.jpg").c_str());
    RemoveDirectoryA(folder.c_str());
}
