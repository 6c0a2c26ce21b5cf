#include "cover/lookup.h"
#include "cover/folder.h"
#include "cover/picture.h"
#include "cover/tag_file.h"

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

// A place beside the track, offered as every place is.
struct FolderVisit {
    CoverPlaceProc take;
    void *context;
};

static bool OfferFolderPicture(const WCHAR *path, const WIN32_FILE_ATTRIBUTE_DATA *file, void *context)
{
    FolderVisit *visit = (FolderVisit *)context;
    return visit->take(path, file, ReadPictureFile, visit->context);
}

bool VisitCoverPlaces(const WCHAR *track, CoverPlaceProc take, void *context, const volatile LONG *stop)
{
    WIN32_FILE_ATTRIBUTE_DATA file;
    if (!GetFileAttributesExW(track, GetFileExInfoStandard, &file) || (file.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    if (take(track, &file, ReadTagPicture, context))
        return true;
    FolderVisit visit = { take, context };
    return !*stop && SearchFolderPictures(track, OfferFolderPicture, &visit, stop);
}

struct CoverSearch {
    const CoverLookup *lookup;
    int box;
    const CoverImage *image;
};

// Each place is kept in the cache by its own file's length and time: a
// picture beside the track by the picture's, not the track's.
static bool TakeDecodedCover(const WCHAR *path, const WIN32_FILE_ATTRIBUTE_DATA *file, PictureReader read,
                             void *context)
{
    CoverSearch *search = (CoverSearch *)context;
    CoverSource source;
    DescribeSource(&source, path, file, search->box);
    search->image = CoverOfSource(search->lookup, &source, read);
    return search->image != NULL;
}

CoverImage *FindCover(const CoverLookup *lookup, const WCHAR *track, int box, bool copy)
{
    CoverSearch search = { lookup, box, NULL };
    const CoverImage *image = VisitCoverPlaces(track, TakeDecodedCover, &search, lookup->stop) ? search.image : NULL;
    return copy ? CopyCoverImage(image) : NULL;
}
