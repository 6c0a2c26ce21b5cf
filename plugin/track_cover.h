// Asking for a playlist entry's cover: its file name from the player, the
// cover asked of the cover thread at the size the settings want, and the
// next entry's looked up ahead.
#ifndef TUNEBELL_TRACK_COVER_H
#define TUNEBELL_TRACK_COVER_H

#include "popup/request.h"

// Asks the player for the file of the entry at `position` and the cover
// thread for its cover; the request carries the ticket. Nothing when popups
// show no cover.
void AskForTrackCover(int position, PopupRequest *request);
// The file of the entry after `position`, when the playlist has one, or an
// empty name; to be looked up ahead once the popup is on its way.
void QueryNextTrackFile(int position, WCHAR *path);
// Looks the next entry's cover up ahead, at a low priority.
void LookAheadTrackCover(const WCHAR *path);

#endif
