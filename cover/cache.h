// The covers decoded lately, keyed by their source: the picture's file (a
// picture file, or the track whose tag holds it) by path, length and time of
// last writing, and the box they were scaled to. A source known to hold no
// picture is kept too, so that it is not read again. The cover thread's own.
#ifndef TUNEBELL_COVER_CACHE_H
#define TUNEBELL_COVER_CACHE_H

#include "cover/cover.h"

// Pictures kept, and sources kept as holding none; the least lately used of
// each gives way.
#define CACHED_PICTURES 32
#define CACHED_ABSENCES 64

struct CoverSource {
    const WCHAR *path;
    ULONGLONG length;
    FILETIME written;
    int box;
};

// True when the source is known: *image is the cache's own cover, or NULL
// when the source holds none.
bool FindCachedCover(const CoverSource *source, const CoverImage **image);
// Keeps the source's cover (the cache takes the image), or that it has none
// (NULL). False, and the image freed, when nothing could be kept.
bool KeepCover(const CoverSource *source, CoverImage *image);
void ClearCoverCache(void);

// What the kept covers hold: their count and their bytes (pixels and paths).
int CachedCoverCount(void);
size_t CachedCoverBytes(void);

#endif
