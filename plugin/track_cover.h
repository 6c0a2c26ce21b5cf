// Asking for a playlist entry's cover: its file name from the player, the
// cover asked of the cover thread at the size the settings want, and the
// next entry's looked up ahead.
#ifndef TUNEBELL_TRACK_COVER_H
#define TUNEBELL_TRACK_COVER_H

#include "popup/popup.h"

// Each takes the cover's side at 96 dpi that the settings want at the time
// (PopupCoverSize), and does nothing when it is 0: popups show no cover.
// Covers are decoded at the resolution of the monitor popups go to.

// Asks the player for the file of the entry at `position` and the cover
// thread for its cover; the request carries the ticket.
void AskForTrackCover(int position, int size, PopupRequest *request);
// The file of the entry after `position`, when the playlist has one, or an
// empty name; to be looked up ahead once the popup is on its way.
void QueryNextTrackFile(int position, int size, WCHAR *path);
// Looks the next entry's cover up ahead, at a low priority.
void LookAheadTrackCover(const WCHAR *path, int size);

#endif
