#include "cover/mp4.h"
#include "cover/bytes.h"

bool ReadMp4Box(const unsigned char *p, size_t available, uint64_t room, Mp4Box *box)
{
    if (available < 8)
        return false;
    for (int i = 0; i < 4; i++)
        box->type[i] = p[4 + i];
    uint64_t size = Be32(p);
    box->header = 8;
    if (size == 1) {
        if (available < 16)
            return false;
        size = Be64(p + 8);
        box->header = 16;
    } else if (size == 0) {
        size = room;
    }
    if (size < box->header || size > room)
        return false;
    box->size = size;
    return true;
}

bool LooksLikeMp4(const unsigned char *p, size_t size)
{
    static const char *const topLevel[] = { "ftyp", "moov", "mdat", "free", "skip", "wide", "pnot" };
    bool known = false;
    for (size_t i = 0; size >= 8 && !known && i < sizeof(topLevel) / sizeof(topLevel[0]); i++)
        known = IsCode(p + 4, topLevel[i]);
    return known;
}

// Finds the first child box of a type among the boxes in [start, end) of
// `b`; its data (after the header) in [*dataAt, *dataEnd).
static bool FindChild(const unsigned char *b, size_t start, size_t end, const char *type,
                      size_t *dataAt, size_t *dataEnd)
{
    size_t pos = start;
    while (pos < end) {
        Mp4Box box;
        if (!ReadMp4Box(b + pos, end - pos, end - pos, &box))
            return false;
        if (IsCode(box.type, type)) {
            *dataAt = pos + box.header;
            *dataEnd = pos + (size_t)box.size;
            return true;
        }
        pos += (size_t)box.size;
    }
    return false;
}

// meta is a full box (version and flags before its children) in MP4 files,
// a plain one in QuickTime's: a plain one starts with its handler box.
static size_t MetaChildrenAt(const unsigned char *b, size_t dataAt, size_t dataEnd)
{
    if (InBounds(dataEnd, dataAt, 8) && IsCode(b + dataAt + 4, "hdlr"))
        return dataAt;
    return dataAt + 4;
}

// The item list below moov: in moov/udta/meta, or in moov/meta.
static bool FindItemList(const unsigned char *b, size_t moovAt, size_t moovEnd, size_t *at, size_t *end)
{
    size_t udtaAt, udtaEnd, metaAt, metaEnd;
    bool meta = (FindChild(b, moovAt, moovEnd, "udta", &udtaAt, &udtaEnd)
                 && FindChild(b, udtaAt, udtaEnd, "meta", &metaAt, &metaEnd))
             || FindChild(b, moovAt, moovEnd, "meta", &metaAt, &metaEnd);
    if (!meta)
        return false;
    size_t children = MetaChildrenAt(b, metaAt, metaEnd);
    return children <= metaEnd && FindChild(b, children, metaEnd, "ilst", at, end);
}

bool FindMp4Picture(const unsigned char *boxes, size_t size, PictureSpan *picture)
{
    size_t moovAt, moovEnd, listAt, listEnd, coverAt, coverEnd;
    if (!FindChild(boxes, 0, size, "moov", &moovAt, &moovEnd)
        || !FindItemList(boxes, moovAt, moovEnd, &listAt, &listEnd)
        || !FindChild(boxes, listAt, listEnd, "covr", &coverAt, &coverEnd))
        return false;
    // Each data box: a type indicator (13 JPEG, 14 PNG, 27 BMP), a locale,
    // then the picture. The tag gives no picture type: the first is taken.
    PictureChoice choice;
    ClearPictureChoice(&choice);
    size_t pos = coverAt;
    while (pos < coverEnd && !choice.found) {
        Mp4Box box;
        if (!ReadMp4Box(boxes + pos, coverEnd - pos, coverEnd - pos, &box))
            break;
        size_t dataAt = pos + box.header + 8;
        size_t end = pos + (size_t)box.size;
        if (IsCode(box.type, "data") && dataAt < end)
            OfferPicture(&choice, dataAt, end - dataAt, PICTURE_TYPE_UNKNOWN);
        pos = end;
    }
    if (choice.found)
        *picture = choice.span;
    return choice.found;
}
