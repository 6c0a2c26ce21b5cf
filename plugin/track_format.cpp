#include "plugin/track_format.h"

#include <limits.h>

// Numbers below 0 mean nothing here; they show as none, as the -1 of an
// empty playlist or a track without a length does.
static int NotNegative(int value)
{
    return value < 0 ? 0 : value;
}

void FormatTrackTitle(WCHAR *out, const TrackInfo *track)
{
    int shown = track->position == INT_MAX ? INT_MAX : NotNegative(track->position + 1);
    wsprintfW(out, L" %02d. %s ", shown, track->title);
}

void FormatTrackText(WCHAR *out, const TrackInfo *track)
{
    int length = NotNegative(track->length);
    wsprintfW(out, L" %02d:%02d [%d KHz - %d Kbit - %s] ",
              length / 60, length % 60,
              NotNegative(track->sampleRate), NotNegative(track->bitRate),
              track->channels == 2 ? L"Stereo" : L"Mono");
}

bool IsTrackEventDue(DWORD now, DWORD nextTrackEventTick, bool anyEventYet)
{
    if (!anyEventYet)
        return true;
    DWORD lastActed = nextTrackEventTick - TRACK_EVENT_GAP;
    return (DWORD)(now - lastActed) > TRACK_EVENT_GAP;
}
