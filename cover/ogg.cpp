#include "cover/ogg.h"
#include "cover/base64.h"
#include "cover/bytes.h"
#include "cover/flac.h"

#include <string.h>

#define PACKET_MAGIC_BYTES 8

bool ReadOggPageHeader(const unsigned char *p, size_t size, OggPage *page)
{
    if (size < OGG_PAGE_HEADER_BYTES || !IsCode(p, "OggS") || p[4] != 0)
        return false;
    page->serial = Le32(p + 14);
    page->segments = p[26];
    page->headerLength = OGG_PAGE_HEADER_BYTES + (size_t)page->segments;
    page->bodyLength = 0;
    page->packetsEnded = 0;
    return true;
}

void ReadOggSegmentTable(const unsigned char *table, OggPage *page)
{
    page->bodyLength = 0;
    page->packetsEnded = 0;
    for (int i = 0; i < page->segments; i++) {
        page->bodyLength += table[i];
        page->packetsEnded += table[i] < 255;
    }
}

// Gathers the second packet of the first stream at the buffer's start; its
// length, and the first bytes of the first packet (which name the codec).
static bool GatherCommentPacket(unsigned char *b, size_t size, size_t *length,
                                unsigned char magic[PACKET_MAGIC_BYTES])
{
    size_t pos = 0, written = 0, magicHeld = 0;
    int packet = 0;
    uint32_t serial = 0;
    bool first = true;
    memset(magic, 0, PACKET_MAGIC_BYTES);
    while (packet < 2) {
        OggPage page;
        if (!ReadOggPageHeader(b + pos, size - pos, &page) || !InBounds(size, pos, page.headerLength))
            return false;
        // The packet's bytes are moved down over headers already read: the
        // table is kept apart before they can reach it.
        unsigned char table[255];
        memcpy(table, b + pos + OGG_PAGE_HEADER_BYTES, (size_t)page.segments);
        ReadOggSegmentTable(table, &page);
        size_t at = pos + page.headerLength;
        if (!InBounds(size, at, page.bodyLength))
            return false;
        pos = at + page.bodyLength;
        if (first) {
            serial = page.serial;
            first = false;
        } else if (page.serial != serial) {
            continue;   // another stream's page
        }
        for (int s = 0; s < page.segments && packet < 2; s++) {
            size_t lace = table[s];
            if (packet == 0) {
                for (size_t i = 0; i < lace && magicHeld < PACKET_MAGIC_BYTES; i++)
                    magic[magicHeld++] = b[at + i];
            } else {
                memmove(b + written, b + at, lace);
                written += lace;
            }
            at += lace;
            if (lace < 255)
                packet++;
        }
    }
    *length = written;
    return true;
}

static bool StartsWith(const unsigned char *p, size_t size, const char *text, size_t length)
{
    return size >= length && memcmp(p, text, length) == 0;
}

// Whether the comment's key (before '=') is `key`, in any case; its value.
static bool CommentKey(const unsigned char *c, size_t length, const char *key, size_t *valueAt)
{
    size_t keyLength = strlen(key);
    if (length <= keyLength || c[keyLength] != '=')
        return false;
    for (size_t i = 0; i < keyLength; i++) {
        unsigned char ch = c[i];
        if (ch >= 'a' && ch <= 'z')
            ch = (unsigned char)(ch - 'a' + 'A');
        if (ch != (unsigned char)key[i])
            return false;
    }
    *valueAt = keyLength + 1;
    return true;
}

bool FindOggPicture(unsigned char *pages, size_t size, PictureSpan *picture)
{
    size_t n;
    unsigned char magic[PACKET_MAGIC_BYTES];
    if (!GatherCommentPacket(pages, size, &n, magic))
        return false;
    size_t pos;
    if (memcmp(magic, "\x01vorbis", 7) == 0 && StartsWith(pages, n, "\x03vorbis", 7))
        pos = 7;
    else if (memcmp(magic, "OpusHead", 8) == 0 && StartsWith(pages, n, "OpusTags", 8))
        pos = 8;
    else
        return false;

    if (!InBounds(n, pos, 4))
        return false;
    size_t vendor = Le32(pages + pos);
    pos += 4;
    if (!InBounds(n, pos, vendor) || !InBounds(n, pos + vendor, 4))
        return false;
    pos += vendor;
    uint32_t count = Le32(pages + pos);
    pos += 4;

    // The choice is made on the base64 text: a picture record's type is in
    // its first four bytes, which the first eight characters give.
    bool found = false, record = false;
    size_t valueAt = 0, valueLength = 0;
    int chosenType = PICTURE_TYPE_UNKNOWN;
    for (uint32_t i = 0; i < count && InBounds(n, pos, 4); i++) {
        size_t length = Le32(pages + pos);
        pos += 4;
        if (!InBounds(n, pos, length))
            break;
        const unsigned char *comment = pages + pos;
        size_t at;
        bool isRecord = CommentKey(comment, length, "METADATA_BLOCK_PICTURE", &at);
        // An older way: the picture itself, with no type.
        if (isRecord || CommentKey(comment, length, "COVERART", &at)) {
            int type = PICTURE_TYPE_UNKNOWN;
            unsigned char head[6];
            size_t peek = length - at < 8 ? length - at : 8;
            if (isRecord && DecodeBase64(comment + at, peek, head, sizeof(head)) >= 4)
                type = Be32(head) > 0xFF ? PICTURE_TYPE_UNKNOWN : (int)Be32(head);
            if (!found || (type == PICTURE_FRONT_COVER && chosenType != PICTURE_FRONT_COVER)) {
                found = true;
                record = isRecord;
                valueAt = pos + at;
                valueLength = length - at;
                chosenType = type;
            }
        }
        pos += length;
        if (found && chosenType == PICTURE_FRONT_COVER)
            break;
    }
    if (!found)
        return false;

    size_t decoded = DecodeBase64(pages + valueAt, valueLength, pages + valueAt, valueLength);
    PictureChoice choice;
    ClearPictureChoice(&choice);
    size_t offset = 0, length = decoded;
    int type = PICTURE_TYPE_UNKNOWN;
    if (record && !ParseFlacPictureRecord(pages + valueAt, decoded, &offset, &length, &type))
        return false;
    OfferPicture(&choice, valueAt + offset, length, type);
    if (choice.found)
        *picture = choice.span;
    return choice.found;
}
