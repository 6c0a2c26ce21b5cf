#include "cover/flac.h"
#include "cover/bytes.h"

#include <string.h>

bool IsFlacMarker(const unsigned char *p, size_t size)
{
    return size >= FLAC_MARKER_BYTES && IsCode(p, "fLaC");
}

FlacBlockHeader ReadFlacBlockHeader(const unsigned char *p)
{
    FlacBlockHeader header;
    header.last = (p[0] & 0x80) != 0;
    header.type = p[0] & 0x7F;
    header.length = Be24(p + 1);
    return header;
}

// Skips a text given with its 32-bit length in front.
static bool SkipCountedText(const unsigned char *d, size_t size, size_t *pos, size_t *textAt, size_t *textLength)
{
    if (!InBounds(size, *pos, 4))
        return false;
    size_t length = Be32(d + *pos);
    *pos += 4;
    if (!InBounds(size, *pos, length))
        return false;
    *textAt = *pos;
    *textLength = length;
    *pos += length;
    return true;
}

bool ParseFlacPictureRecord(const unsigned char *d, size_t size, size_t *offset, size_t *length, int *type)
{
    size_t pos = 0, mimeAt, mimeLength, textAt, textLength;
    if (!InBounds(size, pos, 4))
        return false;
    uint32_t pictureType = Be32(d);
    pos += 4;
    if (!SkipCountedText(d, size, &pos, &mimeAt, &mimeLength))
        return false;
    if (mimeLength == 3 && memcmp(d + mimeAt, "-->", 3) == 0)
        return false;
    if (!SkipCountedText(d, size, &pos, &textAt, &textLength))
        return false;
    pos += 16;   // width, height, colour depth, colours used
    if (!SkipCountedText(d, size, &pos, offset, length) || *length == 0)
        return false;
    *type = pictureType > 0xFF ? PICTURE_TYPE_UNKNOWN : (int)pictureType;
    return true;
}

bool FindFlacPicture(const unsigned char *metadata, size_t size, PictureSpan *picture)
{
    if (!IsFlacMarker(metadata, size))
        return false;
    PictureChoice choice;
    ClearPictureChoice(&choice);
    size_t pos = FLAC_MARKER_BYTES;
    while (InBounds(size, pos, FLAC_BLOCK_HEADER_BYTES)) {
        FlacBlockHeader block = ReadFlacBlockHeader(metadata + pos);
        size_t dataAt = pos + FLAC_BLOCK_HEADER_BYTES;
        if (!InBounds(size, dataAt, block.length))
            break;
        size_t offset, length;
        int type;
        if (block.type == FLAC_PICTURE_BLOCK
            && ParseFlacPictureRecord(metadata + dataAt, block.length, &offset, &length, &type)
            && OfferPicture(&choice, dataAt + offset, length, type))
            break;
        if (block.last)
            break;
        pos = dataAt + block.length;
    }
    if (choice.found)
        *picture = choice.span;
    return choice.found;
}
