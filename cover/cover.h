// The album cover of a track: found in the track's tag or beside it,
// decoded, scaled and kept by a thread of its own, so that whoever asks
// waits only as long as it chooses. Knows nothing of who shows it.
#ifndef TUNEBELL_COVER_COVER_H
#define TUNEBELL_COVER_COVER_H

#include "cover/image.h"

// How long TakeCover waits, from the ask, for a cover not found yet.
#define COVER_WAIT_MS 150

// The cover sizes asked for, in pixels.
#define COVER_SMALLEST_BOX 16
#define COVER_LARGEST_BOX 512

// Once at start and once at quit, on the same thread. Stop ends the cover
// thread and frees every cover; a thread inside a long decode is left to
// finish it and free them itself, and a new start does not wait for it.
void StartCovers(void);
void StopCovers(void);

// Starts finding the cover of the track file `source` at a box of `box`
// pixels. Returns a ticket for TakeCover, 0 when there is nothing to look
// for (a path that is neither local nor on a network, a box out of range).
DWORD AskForCover(const WCHAR *source, int box);
// Waits until the cover is found, or until COVER_WAIT_MS after the ask;
// the cover (the caller frees it with FreeCoverImage), or NULL when there
// is none, or none yet: a cover found later is kept for the next ask.
CoverImage *TakeCover(DWORD ticket);

// Finds and keeps a cover that will soon be asked for, in the background at
// a low priority, behind every ask.
void LookAheadCover(const WCHAR *source, int box);

// The picture of the track file `source` as it is stored, undecoded: the
// tag's picture first, else the picture beside the track, found as
// AskForCover finds it, on the caller's thread and without waiting for the
// cover thread. Only a JPEG, PNG, BMP or GIF of at most `limit` bytes;
// NULL when there is none. The caller frees it with FreeCoverPicture.
struct CoverPicture {
    DWORD size;
    BYTE *bytes;
};
CoverPicture *ReadCoverPicture(const WCHAR *source, DWORD limit);
void FreeCoverPicture(CoverPicture *picture);

#endif
