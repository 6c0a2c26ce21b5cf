#include "cover/picture_size.h"
#include "cover/bytes.h"

#include <string.h>

// The markers that begin a frame: SOF0 to SOF15 but DHT (C4), JPG (C8) and
// DAC (CC), which share their range.
static bool IsFrameMarker(unsigned marker)
{
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// The segments from SOI on, to the first frame header; a scan or the end
// before it leaves the size unknown.
static bool ReadJpegSize(const unsigned char *b, size_t n, unsigned *width, unsigned *height)
{
    size_t pos = 2;
    for (;;) {
        if (!InBounds(n, pos, 1) || b[pos] != 0xFF)
            return false;
        while (InBounds(n, pos, 1) && b[pos] == 0xFF)   // fill bytes
            pos++;
        if (!InBounds(n, pos, 1))
            return false;
        unsigned marker = b[pos++];
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7))
            continue;   // no length follows
        if (marker == 0x00 || marker == 0xD8 || marker == 0xD9 || marker == 0xDA || !InBounds(n, pos, 2))
            return false;
        size_t length = Be16(b + pos);
        if (length < 2 || !InBounds(n, pos, length))
            return false;
        if (IsFrameMarker(marker)) {
            // Length, precision, then the height and the width.
            if (length < 7)
                return false;
            *height = Be16(b + pos + 3);
            *width = Be16(b + pos + 5);
            return true;
        }
        pos += length;
    }
}

// A run of data sub-blocks, each led by its length, to the empty one.
static bool SkipSubBlocks(const unsigned char *b, size_t n, size_t *pos)
{
    for (;;) {
        if (!InBounds(n, *pos, 1))
            return false;
        size_t length = b[(*pos)++];
        if (length == 0)
            return true;
        if (!InBounds(n, *pos, length))
            return false;
        *pos += length;
    }
}

// The logical screen; an image that reaches beyond it is held whole by the
// decoder, so the first image's extent counts as well.
static bool ReadGifSize(const unsigned char *b, size_t n, unsigned *width, unsigned *height)
{
    if (!InBounds(n, 0, 13))
        return false;
    *width = Le16(b + 6);
    *height = Le16(b + 8);
    size_t pos = 13;
    if (b[10] & 0x80)
        pos += (size_t)3 << ((b[10] & 7) + 1);   // the global colour table
    for (;;) {
        if (!InBounds(n, pos, 1))
            return false;
        unsigned block = b[pos++];
        if (block == 0x21) {   // an extension: its label, then sub-blocks
            pos++;
            if (!SkipSubBlocks(b, n, &pos))
                return false;
        } else if (block == 0x2C) {
            if (!InBounds(n, pos, 8))
                return false;
            unsigned right = Le16(b + pos) + Le16(b + pos + 4), bottom = Le16(b + pos + 2) + Le16(b + pos + 6);
            if (right > *width)
                *width = right;
            if (bottom > *height)
                *height = bottom;
            return true;
        } else {
            return false;   // the trailer, or not a GIF, before any image
        }
    }
}

// The file header, then the bitmap header: OS/2's first one of 12 bytes
// with 16-bit sides, every later one with 32-bit sides, the height negative
// for a picture stored top row first.
static bool ReadBmpSize(const unsigned char *b, size_t n, unsigned *width, unsigned *height)
{
    if (!InBounds(n, 14, 12))
        return false;
    uint32_t header = Le32(b + 14);
    if (header == 12) {
        *width = Le16(b + 18);
        *height = Le16(b + 20);
        return true;
    }
    if (header < 16 || !InBounds(n, 18, 8))
        return false;
    int32_t w = (int32_t)Le32(b + 18), h = (int32_t)Le32(b + 22);
    if (w <= 0 || h == INT32_MIN)
        return false;
    *width = (unsigned)w;
    *height = (unsigned)(h < 0 ? -h : h);
    return true;
}

bool ReadPictureSize(const unsigned char *bytes, size_t size, unsigned *width, unsigned *height)
{
    static const unsigned char png[8] = { 0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A };
    bool read = false;
    *width = *height = 0;
    if (size >= 2 && bytes[0] == 0xFF && bytes[1] == 0xD8) {
        read = ReadJpegSize(bytes, size, width, height);
    } else if (size >= 8 && memcmp(bytes, png, 8) == 0) {
        // The first chunk is the header, of 13 bytes.
        read = InBounds(size, 8, 16) && Be32(bytes + 8) == 13 && IsCode(bytes + 12, "IHDR");
        if (read) {
            *width = Be32(bytes + 16);
            *height = Be32(bytes + 20);
        }
    } else if (size >= 6 && (memcmp(bytes, "GIF87a", 6) == 0 || memcmp(bytes, "GIF89a", 6) == 0)) {
        read = ReadGifSize(bytes, size, width, height);
    } else if (size >= 2 && bytes[0] == 'B' && bytes[1] == 'M') {
        read = ReadBmpSize(bytes, size, width, height);
    }
    return read && *width > 0 && *height > 0;
}
