#include "cover/cache.h"

struct CacheEntry {
    WCHAR *path;          // NULL: the entry is free
    ULONGLONG length;
    FILETIME written;
    int box;
    CoverImage *image;    // NULL: the source holds no picture
    DWORD used;           // the use count when last found or kept
};

static CacheEntry gPictures[CACHED_PICTURES];
static CacheEntry gAbsences[CACHED_ABSENCES];
static DWORD gUses;

static bool SameSource(const CacheEntry *entry, const CoverSource *source)
{
    return entry->path && entry->box == source->box && entry->length == source->length
        && CompareFileTime(&entry->written, &source->written) == 0 && lstrcmpiW(entry->path, source->path) == 0;
}

static void Empty(CacheEntry *entry)
{
    if (entry->path)
        HeapFree(GetProcessHeap(), 0, entry->path);
    if (entry->image)
        FreeCoverImage(entry->image);
    entry->path = NULL;
    entry->image = NULL;
}

static CacheEntry *Find(CacheEntry *entries, int count, const CoverSource *source)
{
    for (int i = 0; i < count; i++) {
        if (SameSource(&entries[i], source))
            return &entries[i];
    }
    return NULL;
}

bool FindCachedCover(const CoverSource *source, const CoverImage **image)
{
    CacheEntry *entry = Find(gPictures, CACHED_PICTURES, source);
    if (!entry)
        entry = Find(gAbsences, CACHED_ABSENCES, source);
    if (!entry)
        return false;
    entry->used = ++gUses;
    *image = entry->image;
    return true;
}

// A free entry, else the least lately used.
static CacheEntry *Place(CacheEntry *entries, int count)
{
    CacheEntry *place = &entries[0];
    for (int i = 0; i < count; i++) {
        if (!entries[i].path)
            return &entries[i];
        // Ages counted back from now, so that the count may wrap.
        if (gUses - entries[i].used > gUses - place->used)
            place = &entries[i];
    }
    return place;
}

bool KeepCover(const CoverSource *source, CoverImage *image)
{
    int bytes = (lstrlenW(source->path) + 1) * (int)sizeof(WCHAR);
    WCHAR *path = (WCHAR *)HeapAlloc(GetProcessHeap(), 0, bytes);
    if (!path) {
        if (image)
            FreeCoverImage(image);
        return false;
    }
    CopyMemory(path, source->path, bytes);
    CacheEntry *entry = image ? Place(gPictures, CACHED_PICTURES) : Place(gAbsences, CACHED_ABSENCES);
    Empty(entry);
    entry->path = path;
    entry->length = source->length;
    entry->written = source->written;
    entry->box = source->box;
    entry->image = image;
    entry->used = ++gUses;
    return true;
}

void ClearCoverCache(void)
{
    for (int i = 0; i < CACHED_PICTURES; i++)
        Empty(&gPictures[i]);
    for (int i = 0; i < CACHED_ABSENCES; i++)
        Empty(&gAbsences[i]);
}

static void Count(const CacheEntry *entries, int count, int *covers, size_t *bytes)
{
    for (int i = 0; i < count; i++) {
        if (!entries[i].path)
            continue;
        *covers += entries[i].image != NULL;
        *bytes += (lstrlenW(entries[i].path) + 1) * sizeof(WCHAR);
        if (entries[i].image)
            *bytes += sizeof(CoverImage) + (size_t)entries[i].image->width * entries[i].image->height * 4;
    }
}

int CachedCoverCount(void)
{
    int covers = 0;
    size_t bytes = 0;
    Count(gPictures, CACHED_PICTURES, &covers, &bytes);
    return covers;
}

size_t CachedCoverBytes(void)
{
    int covers = 0;
    size_t bytes = 0;
    Count(gPictures, CACHED_PICTURES, &covers, &bytes);
    Count(gAbsences, CACHED_ABSENCES, &covers, &bytes);
    return bytes;
}
