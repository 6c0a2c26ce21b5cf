// The file name of a playlist entry as the player holds it: in UTF-16 from a
// current player, in the ANSI code page from an older one, read without
// trusting the pointer the player hands over, as the titles are.
#ifndef TUNEBELL_FILE_QUERY_H
#define TUNEBELL_FILE_QUERY_H

#include <windows.h>

// A Windows path's longest length, in units (or ANSI bytes), its NUL included.
#define TRACK_FILE_UNITS 32768

// Asks for the file name of the entry at `position`: command 214 (UTF-16)
// first, then, when the player does not know it (0 or 1) or it cannot be
// read whole, command 211 (ANSI). False, and `path` empty, when neither
// gives a name that reads whole and is not empty.
bool QueryTrackFile(int position, WCHAR path[TRACK_FILE_UNITS]);

// Copies the UTF-16 name at `address`: false (and `path` empty) when its NUL
// is not within the first 32,768 units or memory that cannot be read comes first.
bool CopyPlayerWidePath(const void *address, WCHAR path[TRACK_FILE_UNITS]);
// Converts the ANSI name at `address` with the ANSI code page likewise.
bool CopyPlayerAnsiPath(const void *address, WCHAR path[TRACK_FILE_UNITS]);

// Units of a name read from the player's memory at a time.
#define NAME_PIECE_UNITS 256

// Copies units of `unitBytes` bytes (1 or 2) from `address` on into `buffer`,
// a piece at a time, up to the first zero unit and never more than `most`
// units. Returns how many units come before that zero: -1 when none comes
// within `most`, or memory that cannot be read comes first. `unitsRead` says
// how many units were copied in all.
int ReadPlayerName(const void *address, void *buffer, int unitBytes, int most, int *unitsRead);

#endif
