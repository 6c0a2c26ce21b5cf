// What plays, as Windows' media controls show it: the current track's
// tags as the player gives them, its cover's own bytes, handed to the
// controls' display.
#ifndef TUNEBELL_PLUGIN_MEDIA_DISPLAY_H
#define TUNEBELL_PLUGIN_MEDIA_DISPLAY_H

#include "plugin/winrt_media.h"

// The most of a cover handed over, in bytes.
#define MEDIA_COVER_MOST (16 * 1024 * 1024)

// Asks the player for the current track and puts it on the display, from a
// clean slate (nothing of the last track stays), then has Windows show it.
void UpdateMediaDisplay(MediaDisplayUpdater *updater);
// Takes the track off the display.
void ClearMediaDisplay(MediaDisplayUpdater *updater);

#endif
