#include "cover/cache.h"

static bool SameSource(const CacheEntry *entry, const CoverSource *source)
{
    return entry->path && entry->box == source->box && entry->length == source->length
        && CompareFileTime(&entry->written, &source->written) == 0 && lstrcmpiW(entry->path, source->path) == 0;
}

static void EmptyEntry(CacheEntry *entry)
{
    if (entry->path)
        HeapFree(GetProcessHeap(), 0, entry->path);
    FreeCoverImage(entry->image);
    entry->path = NULL;
    entry->image = NULL;
}

static CacheEntry *FindEntry(CoverCache *cache, const CoverSource *source)
{
    for (int i = 0; i < CACHED_PICTURES; i++) {
        if (SameSource(&cache->pictures[i], source))
            return &cache->pictures[i];
    }
    for (int i = 0; i < CACHED_ABSENCES; i++) {
        if (SameSource(&cache->absences[i], source))
            return &cache->absences[i];
    }
    return NULL;
}

CachedState FindCachedCover(CoverCache *cache, const CoverSource *source, DWORD now, const CoverImage **image,
                            ULONGLONG *digest)
{
    CacheEntry *entry = FindEntry(cache, source);
    if (!entry)
        return CACHE_UNKNOWN;
    entry->used = ++cache->uses;
    *image = entry->image;
    *digest = entry->digest;
    return now - entry->readAt < COVER_RECHECK_MS ? CACHE_TRUSTED : CACHE_DUE;
}

void RenewCachedCover(CoverCache *cache, const CoverSource *source, DWORD now)
{
    CacheEntry *entry = FindEntry(cache, source);
    if (entry)
        entry->readAt = now;
}

// The entry a new source goes into: a free one, else the least lately used.
static CacheEntry *EntryToReuse(CacheEntry *entries, int count, DWORD uses)
{
    CacheEntry *oldest = &entries[0];
    for (int i = 0; i < count; i++) {
        if (!entries[i].path)
            return &entries[i];
        // Ages counted back from now, so that the count may wrap.
        if (uses - entries[i].used > uses - oldest->used)
            oldest = &entries[i];
    }
    return oldest;
}

bool KeepCover(CoverCache *cache, const CoverSource *source, ULONGLONG digest, DWORD now, CoverImage *image)
{
    CacheEntry *old = FindEntry(cache, source);
    if (old)
        EmptyEntry(old);
    int bytes = (lstrlenW(source->path) + 1) * (int)sizeof(WCHAR);
    WCHAR *path = (WCHAR *)HeapAlloc(GetProcessHeap(), 0, bytes);
    if (!path) {
        FreeCoverImage(image);
        return false;
    }
    CopyMemory(path, source->path, bytes);
    CacheEntry *entry = image ? EntryToReuse(cache->pictures, CACHED_PICTURES, cache->uses)
                              : EntryToReuse(cache->absences, CACHED_ABSENCES, cache->uses);
    EmptyEntry(entry);
    entry->path = path;
    entry->length = source->length;
    entry->written = source->written;
    entry->box = source->box;
    entry->image = image;
    entry->digest = digest;
    entry->readAt = now;
    entry->used = ++cache->uses;
    return true;
}

void ClearCoverCache(CoverCache *cache)
{
    for (int i = 0; i < CACHED_PICTURES; i++)
        EmptyEntry(&cache->pictures[i]);
    for (int i = 0; i < CACHED_ABSENCES; i++)
        EmptyEntry(&cache->absences[i]);
}

// Adds the covers the entries hold, and their bytes, to the sums.
static void AddUpEntries(const CacheEntry *entries, int count, int *covers, size_t *bytes)
{
    for (int i = 0; i < count; i++) {
        if (!entries[i].path)
            continue;
        *covers += entries[i].image != NULL;
        *bytes += (lstrlenW(entries[i].path) + 1) * sizeof(WCHAR);
        if (entries[i].image)
            *bytes += CoverImageBytes(entries[i].image);
    }
}

int CachedCoverCount(const CoverCache *cache)
{
    int covers = 0;
    size_t bytes = 0;
    AddUpEntries(cache->pictures, CACHED_PICTURES, &covers, &bytes);
    return covers;
}

size_t CachedCoverBytes(const CoverCache *cache)
{
    int covers = 0;
    size_t bytes = 0;
    AddUpEntries(cache->pictures, CACHED_PICTURES, &covers, &bytes);
    AddUpEntries(cache->absences, CACHED_ABSENCES, &covers, &bytes);
    return bytes;
}
