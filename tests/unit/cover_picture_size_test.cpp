// A picture's size from its own header, before any decoding: pictures the
// imaging component made, and headers built by hand that hide their size,
// lie about it or stop short.
#include <gtest/gtest.h>

#include "cover/picture_size.h"
#include "host/pictures.h"
#include "host/tag_builder.h"

static Bytes Le16(unsigned v) { return { (unsigned char)v, (unsigned char)(v >> 8) }; }
static Bytes Jpeg(const Bytes &segments) { return Bytes{ 0xFF, 0xD8 } + segments; }
static Bytes Segment(int marker, const Bytes &data)
{
    return Bytes{ 0xFF, (unsigned char)marker } + Be(data.size() + 2, 2) + data;
}
// Precision, height, width, one component.
static Bytes Frame(int marker, unsigned w, unsigned h)
{
    return Segment(marker, Bytes{ 8 } + Be(h, 2) + Be(w, 2) + Bytes{ 1, 1, 0x11, 0 });
}
// A 10 x 10 screen with a colour table, an extension, one image at (left, 0).
static Bytes Gif(unsigned left, unsigned width)
{
    return Text("GIF89a") + Le16(10) + Le16(10) + Bytes{ 0x81, 0, 0 } + Be(0, 12) + Bytes{ 0x21, 0xF9, 4, 0, 0, 0, 0, 0 }
         + Bytes{ 0x2C } + Le16(left) + Le16(0) + Le16(width) + Le16(5) + Bytes{ 0, 2, 2, 0x44, 0x01, 0, 0x3B };
}
static Bytes Bmp(uint32_t header, const Bytes &sides)
{
    return Text("BM") + Le32(100) + Le32(0) + Le32(14 + header) + Le32(header) + sides + Be(0, 40);
}

TEST(CoverPictureSize, FromEachFormatsOwnHeader)
{
    const COLORREF grey = RGB(128, 128, 128);
    Bytes png = MakePicture(PICTURE_PNG, 17, 41, grey), lyingPng = png;
    lyingPng[16] = lyingPng[20] = 0x7F;   // IHDR: 2 G x 2 G
    const struct {
        const char *what;
        Bytes bytes;
        unsigned width, height;   // 0: no size read
    } cases[] = {
        { "JPEG", MakePicture(PICTURE_JPEG, 40, 30, grey), 40, 30 },
        { "PNG", png, 17, 41 },
        { "BMP", MakePicture(PICTURE_BMP, 33, 20, grey), 33, 20 },
        { "GIF", MakePicture(PICTURE_GIF, 1, 1, grey), 1, 1 },
        { "JPEG: a progressive frame after other segments and fill bytes",
          Jpeg(Segment(0xE0, Text("JFIF")) + Bytes{ 0xFF } + Segment(0xC4, Be(0, 20)) + Frame(0xC2, 12000, 9000)), 12000, 9000 },
        { "JPEG: a scan before any frame", Jpeg(Segment(0xDA, Be(0, 10)) + Frame(0xC0, 10, 10)), 0, 0 },
        { "JPEG: bytes between segments", Jpeg(Segment(0xE0, Be(0, 4)) + Text("xx") + Frame(0xC0, 10, 10)), 0, 0 },
        { "JPEG: a segment's length below its own", Jpeg(Bytes{ 0xFF, 0xE0, 0, 1 } + Frame(0xC0, 10, 10)), 0, 0 },
        { "JPEG: the height left to a later marker", Jpeg(Frame(0xC0, 100, 0)), 0, 0 },
        { "PNG: a header that lies", lyingPng, 0x7F000011, 0x7F000029 },
        { "GIF: an image reaching beyond the screen", Gif(5, 20000), 20005, 10 },
        { "GIF: no image", Text("GIF87a") + Le16(10) + Le16(10) + Bytes{ 0, 0, 0, 0x3B }, 0, 0 },
        { "BMP: stored top row first", Bmp(40, Le32(50) + Le32((uint32_t)-60)), 50, 60 },
        { "BMP: OS/2's header", Bmp(12, Le16(7) + Le16(9)), 7, 9 },
        { "BMP: a negative width", Bmp(40, Le32((uint32_t)-5) + Le32(5)), 0, 0 },
        { "another format", Text("RIFF....WEBPVP8 ") + Be(0, 40), 0, 0 },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        unsigned width = 1, height = 1;
        bool read = ReadPictureSize(c.bytes.data(), c.bytes.size(), &width, &height);
        ASSERT_EQ(read, c.width != 0);
        EXPECT_TRUE(!read || (width == c.width && height == c.height)) << width << " x " << height;
        // Cut anywhere, a picture gives its whole size or none.
        for (size_t cut = 0; cut < c.bytes.size(); cut++) {
            if (ReadPictureSize(c.bytes.data(), cut, &width, &height))
                ASSERT_TRUE(width == c.width && height == c.height) << "cut at " << cut;
        }
    }
}
