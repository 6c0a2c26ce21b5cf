// A decoded cover and its memory: whoever holds one frees it with
// FreeCoverImage, whichever part of the cover module made it.
#ifndef TUNEBELL_COVER_IMAGE_H
#define TUNEBELL_COVER_IMAGE_H

#include <windows.h>

// Scaled to fit the box asked for, its aspect kept, in premultiplied 32-bit
// BGRA (alpha in the high byte), the top row first.
struct CoverImage {
    int width, height;
    DWORD pixels[1];   // width x height
};

// An image of that size with its pixels unset, on the process heap; NULL
// when there is no memory for it.
CoverImage *NewCoverImage(int width, int height);
// A copy the caller frees; NULL for NULL, or when there is no memory.
CoverImage *CopyCoverImage(const CoverImage *image);
// What the image takes of the heap.
size_t CoverImageBytes(const CoverImage *image);
void FreeCoverImage(CoverImage *image);

#endif
