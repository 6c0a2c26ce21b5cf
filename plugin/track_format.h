// Turning the player's answers into the two lines of a track popup, and the
// rule that throttles the player's track events. Pure functions.
#ifndef TUNEBELL_TRACK_FORMAT_H
#define TUNEBELL_TRACK_FORMAT_H

#include <windows.h>

#define TRACK_EVENT_GAP 400        // ms in which a second player event is dropped
#define TRACK_QUERY_DELAY 300      // ms the player gets to settle before we ask

struct TrackInfo {
    const WCHAR *title;
    int length;       // seconds; the player's -1 (no length) is kept as 0
    int position;     // playlist index from 0
    int sampleRate;   // kHz
    int bitRate;      // kbit/s
    int channels;
};

// " %02d. %s " and " %02d:%02d [%d KHz - %d Kbit - %s] " into buffers of at
// least 1024 characters (the most wsprintfW ever writes). A negative
// position shows as 00, a negative length as 00:00, negative rates as 0.
void FormatTrackTitle(WCHAR *out, const TrackInfo *track);
void FormatTrackText(WCHAR *out, const TrackInfo *track);

// A player event acts when none has acted yet, or when more than
// TRACK_EVENT_GAP ms have passed since the last one that did. Elapsed time is
// taken modulo 2^32, so the 49.7-day wrap of the tick count changes nothing.
bool IsTrackEventDue(DWORD now, DWORD nextTrackEventTick, bool anyEventYet);

#endif
