#include "cover/lookup.h"
#include "cover/folder.h"
#include "cover/picture.h"
#include "cover/tag_file.h"

typedef ReadOutcome (*PictureReader)(const WCHAR *path, PictureBytes *picture, const volatile LONG *stop);

static void DescribeSource(CoverSource *source, const WCHAR *path, const WIN32_FILE_ATTRIBUTE_DATA *file, int box)
{
    source->path = path;
    source->length = (ULONGLONG)file->nFileSizeHigh << 32 | file->nFileSizeLow;
    source->written = file->ftLastWriteTime;
    source->box = box;
}

// What was kept for a source before it was read again.
struct KeptCover {
    CachedState state;
    const CoverImage *image;
    ULONGLONG digest;
};

// The cover of a source just read, as the cache keeps it from now: what it
// kept before while the read tells nothing new, else the picture read,
// decoded. The bytes read stay the caller's.
static const CoverImage *KeepWhatWasRead(const CoverLookup *lookup, const CoverSource *source, const KeptCover *kept,
                                         ReadOutcome outcome, const PictureBytes *bytes)
{
    // A read cut short by the stop, or by another program, says nothing
    // about the source: what was kept stands until a read tells.
    if (*lookup->stop || outcome == READ_FAILED)
        return kept->image;
    const BYTE *picture = outcome == READ_FOUND ? bytes->block + bytes->offset : NULL;
    ULONGLONG digest = picture ? PictureDigest(picture, bytes->length) : NO_PICTURE_DIGEST;
    if (kept->state == CACHE_DUE && digest == kept->digest) {
        RenewCachedCover(lookup->cache, source, lookup->now);
        return kept->image;
    }
    CoverImage *decoded = picture ? DecodeCover(lookup->decoder, picture, bytes->length, source->box) : NULL;
    if (*lookup->stop) {
        FreeCoverImage(decoded);
        return NULL;
    }
    // The cache takes the cover, or frees it when it cannot.
    return KeepCover(lookup->cache, source, digest, lookup->now, decoded) ? decoded : NULL;
}

// The cover of one source, from the cache or read and decoded into it; the
// cache's own image, or NULL when the source holds none or none could be
// read.
static const CoverImage *CoverOfSource(const CoverLookup *lookup, const CoverSource *source, PictureReader read)
{
    KeptCover kept = { CACHE_UNKNOWN, NULL, NO_PICTURE_DIGEST };
    kept.state = FindCachedCover(lookup->cache, source, lookup->now, &kept.image, &kept.digest);
    if (kept.state == CACHE_TRUSTED)
        return kept.image;
    PictureBytes bytes;
    ReadOutcome outcome = read(source->path, &bytes, lookup->stop);
    const CoverImage *image = KeepWhatWasRead(lookup, source, &kept, outcome, &bytes);
    FreePictureBytes(&bytes);
    return image;
}

struct FolderSearch {
    const CoverLookup *lookup;
    int box;
    const CoverImage *image;
};

static bool TakeFolderPicture(const WCHAR *path, const WIN32_FILE_ATTRIBUTE_DATA *file, void *context)
{
    FolderSearch *search = (FolderSearch *)context;
    // Keyed by the picture's own length and time, not the track's.
    CoverSource source;
    DescribeSource(&source, path, file, search->box);
    search->image = CoverOfSource(search->lookup, &source, ReadPictureFile);
    return search->image != NULL;
}

CoverImage *FindCover(const CoverLookup *lookup, const WCHAR *track, int box, bool copy)
{
    WIN32_FILE_ATTRIBUTE_DATA file;
    if (!GetFileAttributesExW(track, GetFileExInfoStandard, &file) || (file.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return NULL;
    CoverSource source;
    DescribeSource(&source, track, &file, box);
    const CoverImage *image = CoverOfSource(lookup, &source, ReadTagPicture);
    if (!image && !*lookup->stop) {
        FolderSearch search = { lookup, box, NULL };
        if (SearchFolderPictures(track, TakeFolderPicture, &search, lookup->stop))
            image = search.image;
    }
    return copy ? CopyCoverImage(image) : NULL;
}
