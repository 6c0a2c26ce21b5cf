// A picture's size from its own header, before any decoding: pictures the
// imaging component made, and headers built by hand that hide their size,
// lie about it or stop short.
#include <gtest/gtest.h>

#include "cover/picture_size.h"
#include "host/pictures.h"
#include "host/tag_builder.h"

static Bytes Le16(unsigned value)
{
    return { (unsigned char)value, (unsigned char)(value >> 8) };
}

static Bytes Segment(int marker, const Bytes &data)
{
    return Bytes{ 0xFF, (unsigned char)marker } + Be(data.size() + 2, 2) + data;
}

// A frame header of three components.
static Bytes Frame(int marker, unsigned width, unsigned height)
{
    return Segment(marker, Bytes{ 8 } + Be(height, 2) + Be(width, 2) + Bytes{ 3, 1, 0x22, 0, 2, 0x11, 1, 3, 0x11, 1 });
}

static Bytes Jpeg(const Bytes &segments)
{
    return Bytes{ 0xFF, 0xD8 } + segments;
}

static Bytes Png(const std::string &chunk, unsigned width, unsigned height)
{
    return Bytes{ 0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A } + Be(13, 4) + Text(chunk) + Be(width, 4)
         + Be(height, 4) + Bytes{ 8, 6, 0, 0, 0 } + Be(0, 4);
}

// The logical screen and its colour table, a graphic control extension,
// then one image at (left, top).
static Bytes Gif(unsigned screenWidth, unsigned screenHeight, unsigned left, unsigned top, unsigned width,
                 unsigned height)
{
    return Text("GIF89a") + Le16(screenWidth) + Le16(screenHeight) + Bytes{ 0x81, 0, 0 } + Be(0, 12)
         + Bytes{ 0x21, 0xF9, 4, 0, 0, 0, 0, 0 } + Bytes{ 0x2C } + Le16(left) + Le16(top) + Le16(width)
         + Le16(height) + Bytes{ 0, 2, 2, 0x44, 0x01, 0, 0x3B };
}

static Bytes Bmp(uint32_t header, const Bytes &sides)
{
    return Text("BM") + Le32(100) + Le32(0) + Le32(14 + header) + Le32(header) + sides + Be(0, 40);
}

TEST(CoverPictureSize, FromEachFormatsOwnHeader)
{
    const COLORREF grey = RGB(128, 128, 128);
    Bytes shortFrame = Jpeg(Segment(0xE0, Text("JFIF")) + Bytes{ 0xFF, 0xC0, 0, 6, 8, 0x2E, 0xE0, 0x2E });
    const struct {
        const char *what;
        Bytes bytes;
        unsigned width, height;   // 0: no size read
    } cases[] = {
        { "JPEG", MakePicture(PICTURE_JPEG, 40, 30, grey), 40, 30 },
        { "PNG", MakePicture(PICTURE_PNG, 17, 41, grey), 17, 41 },
        { "BMP", MakePicture(PICTURE_BMP, 33, 20, grey), 33, 20 },
        { "GIF", MakePicture(PICTURE_GIF, 1, 1, grey), 1, 1 },
        { "JPEG: a progressive frame after other segments and fill bytes",
          Jpeg(Segment(0xE0, Text("JFIF")) + Bytes{ 0xFF } + Segment(0xE1, Be(0, 300)) + Segment(0xC4, Be(0, 20))
               + Frame(0xC2, 12000, 9000)), 12000, 9000 },
        { "JPEG: a scan before any frame", Jpeg(Segment(0xDA, Be(0, 10)) + Frame(0xC0, 10, 10)), 0, 0 },
        { "JPEG: bytes between segments", Jpeg(Segment(0xE0, Be(0, 4)) + Text("xx") + Frame(0xC0, 10, 10)), 0, 0 },
        { "JPEG: a segment's length below its own", Jpeg(Bytes{ 0xFF, 0xE0, 0, 1 } + Frame(0xC0, 10, 10)), 0, 0 },
        { "JPEG: a segment longer than the bytes", Jpeg(Bytes{ 0xFF, 0xE0, 0x40, 0 } + Frame(0xC0, 10, 10)), 0, 0 },
        { "JPEG: a frame header cut within its sides", shortFrame, 0, 0 },
        { "JPEG: the height left to a later marker", Jpeg(Frame(0xC0, 100, 0)), 0, 0 },
        { "PNG: 60000 x 60000", Png("IHDR", 60000, 60000), 60000, 60000 },
        { "PNG: another chunk first", Png("gAMA", 10, 10), 0, 0 },
        { "GIF: an image reaching beyond the screen", Gif(10, 10, 5, 0, 20000, 5), 20005, 10 },
        { "GIF: an image inside the screen", Gif(300, 200, 0, 0, 1, 1), 300, 200 },
        { "GIF: no image before the end", Text("GIF87a") + Le16(10) + Le16(10) + Bytes{ 0, 0, 0, 0x3B }, 0, 0 },
        { "BMP: stored top row first", Bmp(40, Le32(50) + Le32((uint32_t)-60)), 50, 60 },
        { "BMP: OS/2's header", Bmp(12, Le16(7) + Le16(9)), 7, 9 },
        { "BMP: a negative width", Bmp(40, Le32((uint32_t)-5) + Le32(5)), 0, 0 },
        { "BMP: a header of no known length", Bmp(8, Le32(5) + Le32(5)), 0, 0 },
        { "another format", Text("RIFF") + Le32(100) + Text("WEBPVP8 ") + Be(0, 40), 0, 0 },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_FALSE(c.bytes.empty());
        unsigned width = 1, height = 1;
        bool read = ReadPictureSize(c.bytes.data(), c.bytes.size(), &width, &height);
        ASSERT_EQ(read, c.width != 0);
        if (read)
            EXPECT_TRUE(width == c.width && height == c.height) << width << " x " << height;
        // Cut anywhere, a picture gives its whole size or none.
        for (size_t cut = 0; cut < c.bytes.size(); cut++) {
            Bytes head(c.bytes.begin(), c.bytes.begin() + cut);
            if (ReadPictureSize(head.data(), head.size(), &width, &height))
                ASSERT_TRUE(width == c.width && height == c.height) << "cut at " << cut;
        }
    }
}
