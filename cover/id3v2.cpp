#include "cover/id3v2.h"
#include "cover/bytes.h"

#include <string.h>

#define TAG_UNSYNCHRONISED  0x80
#define TAG_EXTENDED_HEADER 0x40   // 2.3 and 2.4
#define TAG_COMPRESSED      0x40   // 2.2: a scheme that was never defined
#define TAG_FOOTER          0x10   // 2.4

// Frame format flags, the second flag byte.
#define V23_COMPRESSED   0x80
#define V23_ENCRYPTED    0x40
#define V23_GROUPED      0x20
#define V24_GROUPED      0x40
#define V24_COMPRESSED   0x08
#define V24_ENCRYPTED    0x04
#define V24_UNSYNCHRONISED 0x02
#define V24_DATA_LENGTH  0x01

static bool IsSyncsafe(const unsigned char *p)
{
    return ((p[0] | p[1] | p[2] | p[3]) & 0x80) == 0;
}

static uint32_t Syncsafe32(const unsigned char *p)
{
    return (uint32_t)(p[0] & 0x7F) << 21 | (uint32_t)(p[1] & 0x7F) << 14
         | (uint32_t)(p[2] & 0x7F) << 7 | (p[3] & 0x7F);
}

size_t Id3TagLength(const unsigned char *header, size_t size)
{
    if (size < ID3_HEADER_BYTES || header[0] != 'I' || header[1] != 'D' || header[2] != '3')
        return 0;
    if (header[3] < 2 || header[3] > 4 || header[4] == 0xFF || !IsSyncsafe(header + 6))
        return 0;
    size_t length = ID3_HEADER_BYTES + Syncsafe32(header + 6);
    if (header[3] == 4 && (header[5] & TAG_FOOTER))
        length += ID3_HEADER_BYTES;
    return length;
}

size_t Id3FooterTagLength(const unsigned char *footer, size_t size)
{
    if (size < ID3_HEADER_BYTES || footer[0] != '3' || footer[1] != 'D' || footer[2] != 'I' || footer[3] != 4
        || footer[4] == 0xFF || !(footer[5] & TAG_FOOTER) || !IsSyncsafe(footer + 6))
        return 0;
    return 2 * ID3_HEADER_BYTES + Syncsafe32(footer + 6);
}

// Takes out the 0x00 that unsynchronisation put after each 0xFF; returns the
// bytes left. The writing never overtakes the reading.
static size_t Resynchronise(unsigned char *p, size_t n)
{
    size_t w = 0;
    for (size_t r = 0; r < n; r++) {
        p[w++] = p[r];
        if (p[r] == 0xFF && r + 1 < n && p[r + 1] == 0x00)
            r++;
    }
    return w;
}

// Skips a NUL-terminated text in the given encoding from `*pos`; false when
// the text runs to the end.
static bool SkipText(const unsigned char *d, size_t n, unsigned encoding, size_t *pos)
{
    bool wide = encoding == 1 || encoding == 2;
    for (;;) {
        size_t unit = wide ? 2 : 1;
        if (!InBounds(n, *pos, unit))
            return false;
        bool end = d[*pos] == 0 && (!wide || d[*pos + 1] == 0);
        *pos += unit;
        if (end)
            return true;
    }
}

// The picture inside an APIC frame's data (a PIC frame's for 2.2): text
// encoding, the MIME type (2.2: a three-letter format), the picture type, a
// description, then the picture. "-->" names a link, never followed.
static bool ParsePictureFrame(const unsigned char *d, size_t n, bool v22, size_t *offset, int *type)
{
    size_t pos = 0;
    if (!InBounds(n, pos, 1) || d[pos] > 3)
        return false;
    unsigned encoding = d[pos++];
    size_t formatAt = pos;
    if (v22) {
        if (!InBounds(n, pos, 3))
            return false;
        pos += 3;
    } else if (!SkipText(d, n, 0, &pos)) {
        return false;
    }
    if (pos - formatAt >= 3 && memcmp(d + formatAt, "-->", 3) == 0)
        return false;
    if (!InBounds(n, pos, 1))
        return false;
    *type = d[pos++];
    if (!SkipText(d, n, encoding, &pos))
        return false;
    *offset = pos;
    return pos < n;
}

bool FindId3Picture(unsigned char *tag, size_t size, PictureSpan *picture)
{
    if (!Id3TagLength(tag, size))
        return false;
    int version = tag[3];
    unsigned flags = tag[5];
    if (version == 2 && (flags & TAG_COMPRESSED))
        return false;
    unsigned char *body = tag + ID3_HEADER_BYTES;
    size_t n = Syncsafe32(tag + 6);
    if (n > size - ID3_HEADER_BYTES)
        n = size - ID3_HEADER_BYTES;
    // Before 2.4 the whole tag was unsynchronised at once, frame headers too.
    if (version < 4 && (flags & TAG_UNSYNCHRONISED))
        n = Resynchronise(body, n);

    size_t pos = 0;
    if (version >= 3 && (flags & TAG_EXTENDED_HEADER)) {
        if (!InBounds(n, 0, 4))
            return false;
        // 2.3 counts the size field out, 2.4 counts it in.
        size_t extended = version == 3 ? 4 + (size_t)Be32(body) : (size_t)Syncsafe32(body);
        if (extended < 6 || !InBounds(n, 0, extended))
            return false;
        pos = extended;
    }

    PictureChoice choice;
    ClearPictureChoice(&choice);
    const size_t headerBytes = version == 2 ? 6 : 10;
    while (InBounds(n, pos, headerBytes)) {
        unsigned char *frame = body + pos;
        if (frame[0] == 0)
            break;   // padding
        size_t frameSize;
        unsigned format = 0;
        if (version == 2) {
            frameSize = Be24(frame + 3);
        } else {
            // Some writers put plain sizes into 2.4 tags; a plain size shows
            // itself by a high bit that a syncsafe one never has.
            frameSize = version == 4 && IsSyncsafe(frame + 4) ? Syncsafe32(frame + 4) : Be32(frame + 4);
            format = frame[9];
        }
        size_t dataAt = pos + headerBytes;
        if (!InBounds(n, dataAt, frameSize))
            break;
        pos = dataAt + frameSize;
        if (version == 2 ? memcmp(frame, "PIC", 3) != 0 : !IsCode(frame, "APIC"))
            continue;

        unsigned char *data = body + dataAt;
        size_t dataSize = frameSize, skip = 0;
        if (version == 3) {
            if (format & (V23_COMPRESSED | V23_ENCRYPTED))
                continue;
            if (format & V23_GROUPED)
                skip = 1;
        } else if (version == 4) {
            if (format & (V24_COMPRESSED | V24_ENCRYPTED))
                continue;
            if ((format & V24_UNSYNCHRONISED) || (flags & TAG_UNSYNCHRONISED))
                dataSize = Resynchronise(data, dataSize);
            skip = (format & V24_GROUPED ? 1 : 0) + (format & V24_DATA_LENGTH ? 4 : 0);
        }
        if (skip > dataSize)
            continue;
        size_t offset;
        int type;
        if (!ParsePictureFrame(data + skip, dataSize - skip, version == 2, &offset, &type))
            continue;
        size_t at = (size_t)(data - tag) + skip + offset;
        if (OfferPicture(&choice, at, dataSize - skip - offset, type))
            break;
    }
    if (choice.found)
        *picture = choice.span;
    return choice.found;
}
