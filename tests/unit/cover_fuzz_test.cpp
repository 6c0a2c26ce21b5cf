// Each tag reader, and the reader of a picture's size, on 100,000 random
// mutations and truncations of its sample. The bytes end where an unreadable
// page begins, so a read past them faults at once; a picture found must lie
// inside them. One in 500 goes through a file too, where the walk over the
// file's structure reads it.
#include <gtest/gtest.h>
#include <windows.h>

#include "cover/flac.h"
#include "cover/id3v2.h"
#include "cover/mp4.h"
#include "cover/ogg.h"
#include "cover/picture_size.h"
#include "cover/tag_file.h"
#include "host/pictures.h"
#include "host/tag_builder.h"

typedef bool (*TagReader)(unsigned char *bytes, size_t size, PictureSpan *picture);

// Room for `most` bytes whose end is the start of a page no one may read.
static unsigned char *GuardedRoomEnd(size_t most)
{
    size_t pages = (most + 4095) / 4096 + 1;
    unsigned char *base = (unsigned char *)VirtualAlloc(NULL, pages * 4096, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    DWORD old;
    if (!base || !VirtualProtect(base + (pages - 1) * 4096, 4096, PAGE_NOACCESS, &old))
        return NULL;
    return base + (pages - 1) * 4096;
}

static uint32_t gSeed = 2463534242u;

static uint32_t Random()
{
    gSeed ^= gSeed << 13;
    gSeed ^= gSeed >> 17;
    gSeed ^= gSeed << 5;
    return gSeed;
}

// Bytes that lengths, flags and markers turn on.
static const unsigned char kTelling[] = { 0x00, 0x01, 0x7F, 0x80, 0xFE, 0xFF, '=', 'A' };

static void Mutate(Bytes *b)
{
    int changes = 1 + Random() % 4;
    for (int i = 0; i < changes && !b->empty(); i++) {
        size_t at = Random() % b->size();
        switch (Random() % 3) {
        case 0: (*b)[at] = (unsigned char)Random(); break;
        case 1: (*b)[at] = kTelling[Random() % sizeof(kTelling)]; break;
        default: {
            // A length field's worth of one value.
            uint32_t value = Random() % 2 ? Random() : Random() % 1024;
            for (int k = 0; k < 4 && at + k < b->size(); k++)
                (*b)[at + k] = (unsigned char)(value >> (8 * (3 - k)));
            break;
        }
        }
    }
}

static void Fuzz(const char *name, TagReader read, const Bytes &sample)
{
    SCOPED_TRACE(name);
    unsigned char *end = GuardedRoomEnd(sample.size());
    ASSERT_TRUE(end != NULL);
    PictureSpan whole;
    memcpy(end - sample.size(), sample.data(), sample.size());
    ASSERT_TRUE(read(end - sample.size(), sample.size(), &whole)) << "the sample itself has its picture";
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string file = std::string(temp) + "tunebell-fuzz-" + std::to_string(GetCurrentProcessId());
    WCHAR wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, file.c_str(), -1, wide, MAX_PATH);
    LONG stop = 0;
    int found = 0;
    for (int i = 0; i < 100000; i++) {
        Bytes bytes = sample;
        if (Random() % 4)
            Mutate(&bytes);
        size_t size = bytes.size();
        if (Random() % 2)
            size = Random() % (size + 1);
        unsigned char *at = end - size;
        if (size)
            memcpy(at, bytes.data(), size);
        if (i % 500 == 0) {
            ASSERT_TRUE(WriteBytesToFile(file, Bytes(bytes.begin(), bytes.begin() + size)));
            PictureBytes picture;
            if (ReadTagPicture(wide, &picture, &stop) == READ_FOUND) {
                ASSERT_TRUE(picture.length > 0 && picture.offset <= picture.size
                            && picture.length <= picture.size - picture.offset) << "file case " << i;
                FreePictureBytes(&picture);
            }
        }
        PictureSpan span = { 0, 0, 0 };
        if (read(at, size, &span)) {
            found++;
            ASSERT_GT(span.length, 0u) << "case " << i;
            ASSERT_LE(span.offset, size) << "case " << i;
            ASSERT_LE(span.length, size - span.offset) << "case " << i;
        }
    }
    DeleteFileA(file.c_str());
    // The mutations left many pictures whole: the readers were exercised.
    EXPECT_GT(found, 1000);
    VirtualFree(end - (sample.size() + 4095) / 4096 * 4096, 0, MEM_RELEASE);
}

static bool ReadId3(unsigned char *b, size_t n, PictureSpan *p) { return FindId3Picture(b, n, p); }
static bool ReadFlac(unsigned char *b, size_t n, PictureSpan *p) { return FindFlacPicture(b, n, p); }
static bool ReadMp4(unsigned char *b, size_t n, PictureSpan *p) { return FindMp4Picture(b, n, p); }
static bool ReadOgg(unsigned char *b, size_t n, PictureSpan *p) { return FindOggPicture(b, n, p); }

TEST(CoverFuzz, Id3v2)
{
    Bytes v23 = Id3Tag(3, 0xC0, Unsynchronised(Be(6, 4) + Be(0, 6) + Id3Frame(3, "TIT2", Bytes{ 0 } + Text("Song"))
        + Id3Frame(3, "APIC", PictureFrameData(3, 1, 4, "back", NamedBytes("\xFF\xD8other", 200)))
        + Id3Frame(3, "APIC", PictureFrameData(3, 0, 3, "front", NamedBytes("\xFF\xD8" "FRONT", 300)), 0x20)));
    Fuzz("2.3", ReadId3, v23);
    Bytes v24 = Id3Tag(4, 0x10, Id3Frame(4, "APIC", Unsynchronised(PictureFrameData(4, 3, 0, "x", NamedBytes("\xFF\xFFother", 200))), 0x03)
        + Id3Frame(4, "APIC", Be(0, 1) + Syncsafe(300) + PictureFrameData(4, 1, 3, "f", NamedBytes("FRONT", 300)), 0x41) + Be(0, 32));
    Fuzz("2.4", ReadId3, v24);
    Bytes v22 = Id3Tag(2, 0, Id3Frame(2, "TT2", Bytes{ 0 } + Text("Song")) + Id3Frame(2, "PIC", PictureFrameData(2, 0, 3, "", NamedBytes("FRONT", 300))));
    Fuzz("2.2", ReadId3, v22);
}

TEST(CoverFuzz, Flac)
{
    Fuzz("FLAC", ReadFlac, Text("fLaC") + FlacBlock(false, 0, Be(0, 34)) + FlacBlock(false, 4, Be(0, 40))
        + FlacBlock(false, 6, FlacPictureRecord(4, NamedBytes("other", 200)))
        + FlacBlock(true, 6, FlacPictureRecord(3, NamedBytes("FRONT", 300))));
}

TEST(CoverFuzz, Mp4)
{
    Fuzz("MP4", ReadMp4, Box("ftyp", Text("M4A ") + Be(0, 4)) + Box("mdat", Be(0, 100))
        + MoovWithCover(CoverData(NamedBytes("FRONT", 300)) + CoverData(NamedBytes("other", 200))));
}

TEST(CoverFuzz, Ogg)
{
    Bytes comments = VorbisComments(std::string("\x03vorbis", 7), { "TITLE=Song", PictureComment(4, NamedBytes("other", 200)),
                                                                   PictureComment(3, NamedBytes("FRONT", 300)) }) + Bytes{ 1 };
    Fuzz("Vorbis", ReadOgg, OggPages({ VorbisIdentification(), comments, Text(std::string("\x05vorbis", 7)) + Be(0, 40) }, 3));
}

// A size read stands for a picture of all the bytes.
static bool ReadSize(unsigned char *b, size_t n, PictureSpan *p)
{
    unsigned width, height;
    *p = PictureSpan{ 0, n, 0 };
    return ReadPictureSize(b, n, &width, &height);
}

TEST(CoverFuzz, PictureSizes)
{
    Fuzz("JPEG", ReadSize, MakePicture(PICTURE_JPEG, 3, 2, RGB(1, 2, 3)));
    Fuzz("GIF", ReadSize, Text("GIF89a") + Bytes{ 10, 0, 10, 0, 0x81, 0, 0 } + Be(0, 12)
                              + Bytes{ 0x21, 0xF9, 4, 0, 0, 0, 0, 0, 0x2C } + Be(0, 8) + Bytes{ 0, 2, 2, 0x44, 0x01, 0, 0x3B });
    Fuzz("BMP", ReadSize, MakePicture(PICTURE_BMP, 3, 2, RGB(1, 2, 3)));
}
