#include "cover/lookup.h"
#include "cover/cache.h"
#include "cover/decode.h"
#include "cover/folder.h"
#include "cover/tag_file.h"

typedef bool (*PictureReader)(const WCHAR *path, PictureBytes *picture, const volatile LONG *stop);

static CoverImage *CopyCover(const CoverImage *image)
{
    if (!image)
        return NULL;
    size_t bytes = sizeof(CoverImage) + (size_t)image->width * image->height * 4;
    CoverImage *copy = (CoverImage *)HeapAlloc(GetProcessHeap(), 0, bytes);
    if (copy)
        CopyMemory(copy, image, bytes);
    return copy;
}

static void DescribeSource(CoverSource *source, const WCHAR *path, const WIN32_FILE_ATTRIBUTE_DATA *file, int box)
{
    source->path = path;
    source->length = (ULONGLONG)file->nFileSizeHigh << 32 | file->nFileSizeLow;
    source->written = file->ftLastWriteTime;
    source->box = box;
}

// The cover of one source, from the cache or read and decoded into it; the
// cache's own image, or NULL when the source holds none.
static const CoverImage *CoverOfSource(const CoverSource *source, PictureReader read, const volatile LONG *stop)
{
    const CoverImage *image;
    if (FindCachedCover(source, &image))
        return image;
    PictureBytes bytes;
    CoverImage *decoded = NULL;
    if (read(source->path, &bytes, stop)) {
        decoded = DecodeCover(bytes.block + bytes.offset, bytes.length, source->box);
        FreePictureBytes(&bytes);
    }
    // A read cut short by the stop says nothing about the source.
    if (*stop) {
        if (decoded)
            FreeCoverImage(decoded);
        return NULL;
    }
    if (!KeepCover(source, decoded))
        return NULL;
    return decoded;
}

struct FolderSearch {
    int box;
    const volatile LONG *stop;
    const CoverImage *image;
};

static bool TakeFolderPicture(const WCHAR *path, const WIN32_FILE_ATTRIBUTE_DATA *file, void *context)
{
    FolderSearch *search = (FolderSearch *)context;
    CoverSource source;
    DescribeSource(&source, path, file, search->box);
    search->image = CoverOfSource(&source, ReadPictureFile, search->stop);
    return search->image != NULL;
}

CoverImage *FindCover(const WCHAR *track, int box, bool copy, const volatile LONG *stop)
{
    WIN32_FILE_ATTRIBUTE_DATA file;
    if (!GetFileAttributesExW(track, GetFileExInfoStandard, &file) || (file.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return NULL;
    CoverSource source;
    DescribeSource(&source, track, &file, box);
    const CoverImage *image = CoverOfSource(&source, ReadTagPicture, stop);
    if (!image && !*stop) {
        FolderSearch search = { box, stop, NULL };
        if (SearchFolderPictures(track, TakeFolderPicture, &search, stop))
            image = search.image;
    }
    return copy ? CopyCover(image) : NULL;
}
