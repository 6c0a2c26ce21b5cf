// MP4 and M4A files: the boxes, and the cover in moov/udta/meta/ilst/covr.
// Pure.
#ifndef TUNEBELL_COVER_MP4_H
#define TUNEBELL_COVER_MP4_H

#include "cover/picture.h"
#include <stdint.h>

// Enough for any box header: size, type, and a 64-bit size.
#define MP4_BOX_HEADER_BYTES 16

struct Mp4Box {
    unsigned char type[4];
    uint64_t size;     // the whole box, header included
    size_t header;     // 8, or 16 with a 64-bit size
};

// The box header at `p`, of which `available` bytes are there, in a
// container with `room` bytes left from `p` on: a size of 0 reaches to the
// container's end. False when the header is cut short or the box would be
// smaller than its header or larger than the room.
bool ReadMp4Box(const unsigned char *p, size_t available, uint64_t room, Mp4Box *box);

// Whether a file starts as an MP4 file does: with a box of a top-level type.
bool LooksLikeMp4(const unsigned char *p, size_t size);

// Finds the cover in the boxes given (the file's top-level boxes, or only
// its moov box): the first picture of covr. The span points into `boxes`.
bool FindMp4Picture(const unsigned char *boxes, size_t size, PictureSpan *picture);

#endif
