// The covers decoded lately, keyed by their source: the picture's file (a
// picture file, or the track whose tag holds it) by path, length and time of
// last writing, and the box they were scaled to. A source known to hold no
// picture is kept too, so that it is not read again. A file can be written
// again with its length and time kept (taggers that keep file times do): so
// each entry holds a digest of the picture's bytes, and a source found again
// COVER_RECHECK_MS after it was last read is read again and its cover kept
// while the digest stays. A cache is its cover thread's own.
#ifndef TUNEBELL_COVER_CACHE_H
#define TUNEBELL_COVER_CACHE_H

#include "cover/image.h"
#include "cover/picture.h"

// Pictures kept, and sources kept as holding none; the least lately used of
// each gives way.
#define CACHED_PICTURES 32
#define CACHED_ABSENCES 64
// How long a source is taken on trust after it was read.
#define COVER_RECHECK_MS 60000

struct CoverSource {
    const WCHAR *path;
    ULONGLONG length;
    FILETIME written;
    int box;
};

struct CacheEntry {
    WCHAR *path;          // NULL: the entry is free
    ULONGLONG length;
    FILETIME written;
    int box;
    CoverImage *image;    // NULL: the source holds no picture that decodes
    ULONGLONG digest;     // of the picture's bytes; NO_PICTURE_DIGEST without any
    DWORD readAt;         // the tick when the source was last read
    DWORD used;           // the use count when last found or kept
};

struct CoverCache {
    CacheEntry pictures[CACHED_PICTURES];
    CacheEntry absences[CACHED_ABSENCES];
    DWORD uses;
};

enum CachedState {
    CACHE_UNKNOWN,   // nothing kept for the source
    CACHE_TRUSTED,   // read less than COVER_RECHECK_MS ago
    CACHE_DUE        // to be read again, its digest compared
};

// What the cache knows of the source at the tick `now`; unless unknown,
// *image is the cache's own cover, or NULL when the source holds none, and
// *digest what it was decoded from.
CachedState FindCachedCover(CoverCache *cache, const CoverSource *source, DWORD now, const CoverImage **image,
                            ULONGLONG *digest);
// The source was read again at `now` and held what it did: trusted again.
void RenewCachedCover(CoverCache *cache, const CoverSource *source, DWORD now);
// Keeps the source's cover (the cache takes the image), or that it has none
// (NULL), read at `now`, in place of whatever was kept for it. False, and the
// image freed, when nothing could be kept.
bool KeepCover(CoverCache *cache, const CoverSource *source, ULONGLONG digest, DWORD now, CoverImage *image);
void ClearCoverCache(CoverCache *cache);

// What the kept covers hold: their count and their bytes (pixels and paths).
int CachedCoverCount(const CoverCache *cache);
size_t CachedCoverBytes(const CoverCache *cache);

#endif
