#include "cover/image.h"

static size_t ImageBytes(int width, int height)
{
    return sizeof(CoverImage) + (size_t)width * height * 4;
}

CoverImage *NewCoverImage(int width, int height)
{
    CoverImage *image = (CoverImage *)HeapAlloc(GetProcessHeap(), 0, ImageBytes(width, height));
    if (image) {
        image->width = width;
        image->height = height;
    }
    return image;
}

CoverImage *CopyCoverImage(const CoverImage *image)
{
    CoverImage *copy = image ? NewCoverImage(image->width, image->height) : NULL;
    if (copy)
        CopyMemory(copy, image, CoverImageBytes(image));
    return copy;
}

size_t CoverImageBytes(const CoverImage *image)
{
    return ImageBytes(image->width, image->height);
}

void FreeCoverImage(CoverImage *image)
{
    if (image)
        HeapFree(GetProcessHeap(), 0, image);
}
