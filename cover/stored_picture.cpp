// A track's picture as it is stored, for those who take pictures in their
// own encoding (Windows' media controls): the very bytes the popup's cover
// is decoded from, found by the lookup's own walk, never decoded here.
#include "cover/cover.h"
#include "cover/decode.h"
#include "cover/folder.h"
#include "cover/lookup.h"

// Read on the caller's thread, which nothing stops.
static const LONG kReadToTheEnd = 0;

struct StoredSearch {
    DWORD limit;
    CoverPicture *picture;
};

// The record and the bytes in one block: one release frees both.
static CoverPicture *CopyPicture(const BYTE *bytes, size_t length)
{
    CoverPicture *picture = (CoverPicture *)HeapAlloc(GetProcessHeap(), 0, sizeof(CoverPicture) + length);
    if (!picture)
        return NULL;
    picture->size = (DWORD)length;
    picture->bytes = (BYTE *)(picture + 1);
    CopyMemory(picture->bytes, bytes, length);
    return picture;
}

// The first place whose picture the lookup would decode holds the cover,
// whether or not it fits the limit: a picture too large is not handed over,
// and none further on stands in for it, so that no other cover shows than
// the popup's.
static bool TakeStoredPicture(const WCHAR *path, const WIN32_FILE_ATTRIBUTE_DATA *, PictureReader read,
                              void *context)
{
    StoredSearch *search = (StoredSearch *)context;
    PictureBytes bytes;
    if (read(path, &bytes, &kReadToTheEnd) != READ_FOUND)
        return false;
    const BYTE *picture = bytes.block + bytes.offset;
    bool cover = IsDecodablePicture(picture, bytes.length);
    if (cover && bytes.length <= search->limit)
        search->picture = CopyPicture(picture, bytes.length);
    FreePictureBytes(&bytes);
    return cover;
}

CoverPicture *ReadCoverPicture(const WCHAR *source, DWORD limit)
{
    if (!source || !IsLocalOrNetworkPath(source))
        return NULL;
    StoredSearch search = { limit, NULL };
    VisitCoverPlaces(source, TakeStoredPicture, &search, &kReadToTheEnd);
    return search.picture;
}

void FreeCoverPicture(CoverPicture *picture)
{
    if (picture)
        HeapFree(GetProcessHeap(), 0, picture);
}
