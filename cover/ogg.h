// Ogg Vorbis and Ogg Opus files: the pages, and the picture in the comment
// header's METADATA_BLOCK_PICTURE comments (base64). Pure.
#ifndef TUNEBELL_COVER_OGG_H
#define TUNEBELL_COVER_OGG_H

#include "cover/picture.h"
#include <stdint.h>

#define OGG_PAGE_HEADER_BYTES 27

struct OggPage {
    uint32_t serial;        // the logical stream the page belongs to
    int segments;           // lacing values in the segment table
    size_t headerLength;    // the 27 bytes and the segment table
    size_t bodyLength;      // known once the segment table was read
    int packetsEnded;       // likewise: lacing values below 255
};

// The fixed 27 bytes of a page; false when they are not a page's.
bool ReadOggPageHeader(const unsigned char *p, size_t size, OggPage *page);
// The page's segment table, the `segments` bytes after those 27.
void ReadOggSegmentTable(const unsigned char *table, OggPage *page);

// Finds the picture of the comment header (the second packet of the first
// stream), given the file's pages up to its end: the front cover, else the
// first. The packet is gathered and the picture decoded in place, so the
// bytes change; the span points into `pages`.
bool FindOggPicture(unsigned char *pages, size_t size, PictureSpan *picture);

#endif
