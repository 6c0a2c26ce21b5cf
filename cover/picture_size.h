// A picture's width and height as its own header gives them, read before
// anything is decoded: a picture too large is refused without the decoder
// taking the memory for it. Pure.
#ifndef TUNEBELL_COVER_PICTURE_SIZE_H
#define TUNEBELL_COVER_PICTURE_SIZE_H

#include <stddef.h>

// The size of a JPEG (its frame header), PNG (its IHDR chunk), GIF (its
// logical screen, or its first image where that reaches further) or BMP
// picture. False for other bytes, for a header cut short, and for a header
// that gives no size or a size of 0.
bool ReadPictureSize(const unsigned char *bytes, size_t size, unsigned *width, unsigned *height);

#endif
