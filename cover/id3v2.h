// ID3v2 tags (versions 2.2, 2.3 and 2.4), as MP3 and other files carry them
// at their start (or, 2.4, at their end): the length of a tag, and its
// picture. Pure.
#ifndef TUNEBELL_COVER_ID3V2_H
#define TUNEBELL_COVER_ID3V2_H

#include "cover/picture.h"

#define ID3_HEADER_BYTES 10

// The whole tag's length, header and footer included, from at least the
// first 10 bytes of a file; 0 when they start no tag of a version we read.
size_t Id3TagLength(const unsigned char *header, size_t size);

// An ID3v1 tag: the last 128 bytes of a file, from "TAG" on.
#define ID3V1_BYTES 128

// The whole length of an ID3v2.4 tag appended at a file's end, from its
// footer (its last 10 bytes); 0 when they are no footer.
size_t Id3FooterTagLength(const unsigned char *footer, size_t size);

// Finds the picture (PIC or APIC frame) of a whole tag, header on: the front
// cover, else the first. Unsynchronisation is undone in place, so the tag's
// bytes change; the span points into `tag`. A tag cut short gives what its
// whole frames hold.
bool FindId3Picture(unsigned char *tag, size_t size, PictureSpan *picture);

#endif
