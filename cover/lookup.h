// Where a track's cover is found: the picture in the track's tag first, else
// a picture beside it, each from the cache when it was decoded before.
#ifndef TUNEBELL_COVER_LOOKUP_H
#define TUNEBELL_COVER_LOOKUP_H

#include "cover/cache.h"
#include "cover/decode.h"
#include "cover/tag_file.h"

// What one lookup works with: the cover thread's cache and decoder, the tick
// it runs at, and the flag that ends it early.
struct CoverLookup {
    CoverCache *cache;
    const CoverDecoder *decoder;
    DWORD now;
    const volatile LONG *stop;
};

// The cover of a track file at a box, as a copy for the caller (NULL with
// `copy` false, or when there is none). Decodes what the cache lacks and
// keeps it there; a file that could not be read is not kept as holding
// nothing, so that the next lookup reads it again.
CoverImage *FindCover(const CoverLookup *lookup, const WCHAR *track, int box, bool copy);

// How the picture of one place is read: the track's tag, or a picture file.
typedef ReadOutcome (*PictureReader)(const WCHAR *path, PictureBytes *picture, const volatile LONG *stop);

// Called for each place a track's cover may be in, in the order FindCover
// tries them: the track file itself (its tag), then each picture beside it
// that exists; until it answers true, the cover being taken from there.
typedef bool (*CoverPlaceProc)(const WCHAR *path, const WIN32_FILE_ATTRIBUTE_DATA *file, PictureReader read,
                               void *context);
// True when a place was taken; none is offered for a track that is no file.
bool VisitCoverPlaces(const WCHAR *track, CoverPlaceProc take, void *context, const volatile LONG *stop);

#endif
