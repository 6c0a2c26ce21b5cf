// Where a track's cover is found: the picture in the track's tag first, else
// a picture beside it, each from the cache when it was decoded before.
#ifndef TUNEBELL_COVER_LOOKUP_H
#define TUNEBELL_COVER_LOOKUP_H

#include "cover/cover.h"

// The cover of a track file at a box, as a copy for the caller (NULL with
// `copy` false, or when there is none). Decodes what the cache lacks and
// keeps it there. The cover thread's own; `stop` ends it early.
CoverImage *FindCover(const WCHAR *track, int box, bool copy, const volatile LONG *stop);

#endif
