// FLAC metadata: the blocks after "fLaC", and the PICTURE block's record,
// which Ogg's METADATA_BLOCK_PICTURE comments hold too. Pure.
#ifndef TUNEBELL_COVER_FLAC_H
#define TUNEBELL_COVER_FLAC_H

#include "cover/picture.h"

#define FLAC_MARKER_BYTES 4
#define FLAC_BLOCK_HEADER_BYTES 4
#define FLAC_PICTURE_BLOCK 6

struct FlacBlockHeader {
    bool last;
    int type;
    size_t length;   // of the block's data, after its header
};

bool IsFlacMarker(const unsigned char *p, size_t size);
// The four bytes before each block's data.
FlacBlockHeader ReadFlacBlockHeader(const unsigned char *p);

// The picture inside a PICTURE record: its type, MIME type, description,
// dimensions, then the picture. False for a damaged record, or one whose MIME
// type "-->" names a link, never followed.
bool ParseFlacPictureRecord(const unsigned char *d, size_t size, size_t *offset, size_t *length, int *type);

// Finds the picture of the metadata given from "fLaC" on: the front cover,
// else the first. The span points into `metadata`.
bool FindFlacPicture(const unsigned char *metadata, size_t size, PictureSpan *picture);

#endif
