// The current entry's title as the player holds it: in UTF-16 from a current
// player, in the ANSI code page from an older one, and every pointer the
// player hands over read without trusting it.
#ifndef TUNEBELL_TITLE_QUERY_H
#define TUNEBELL_TITLE_QUERY_H

#include <windows.h>

#define TRACK_TITLE_UNITS 254                    // UTF-16 units kept of a title
#define TRACK_TITLE_COPY (TRACK_TITLE_UNITS + 1) // and the NUL
// Bytes of an ANSI title looked at: more than 254 UTF-16 units' worth in any
// code page (none takes over 3 bytes a unit), so the cut still falls at 254
// units. Neither read ever reaches past 64 KiB.
#define ANSI_TITLE_READ 1024

// Asks the player for the title of the entry at `position`: command 213
// (UTF-16) first, then, when the player does not know it (0 or 1) or its
// title cannot be read whole, command 212 (ANSI, converted with the ANSI
// code page). Returns the copy, or the constant "Unknown" (the copy left
// empty) when neither gives a title that can be read whole.
const WCHAR *QueryTrackTitle(int position, WCHAR copy[TRACK_TITLE_COPY]);

// Copies the UTF-16 text at `address` into `copy`, cut at 254 units. A title
// reads whole when its NUL comes before any memory that cannot be read, or
// when all that is looked at can be read. False, and `copy` empty, otherwise.
bool CopyPlayerWideText(const void *address, WCHAR copy[TRACK_TITLE_COPY]);
// Converts the ANSI text at `address` into `copy` likewise.
bool CopyPlayerAnsiText(const void *address, WCHAR copy[TRACK_TITLE_COPY]);

// Copies at most `most` bytes of the player's memory from `address` on and
// stops at the first byte that cannot be read; returns how many were copied.
SIZE_T ReadPlayerMemory(const void *address, void *buffer, SIZE_T most);

// Pure: how many bytes from `address` on lie in the region VirtualQuery
// described and may be read: 0 unless the region is committed and readable
// (no access and guard pages are not).
SIZE_T ReadableBytes(const MEMORY_BASIC_INFORMATION *region, ULONG_PTR address);

// Pure: how many of `count` UTF-16 units read are kept: at most 254, and
// never the first half of a surrogate pair without its second.
int KeptTitleUnits(const WCHAR *units, int count);

#endif
