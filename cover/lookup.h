// Where a track's cover is found: the picture in the track's tag first, else
// a picture beside it, each from the cache when it was decoded before.
#ifndef TUNEBELL_COVER_LOOKUP_H
#define TUNEBELL_COVER_LOOKUP_H

#include "cover/cache.h"
#include "cover/decode.h"

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

#endif
