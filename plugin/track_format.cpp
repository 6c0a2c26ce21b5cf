#include "plugin/track_format.h"

void FormatTrackTitle(WCHAR *out, const TrackInfo *track)
{
    wsprintfW(out, L" %02d. %s ", track->position + 1, track->title);
}

void FormatTrackText(WCHAR *out, const TrackInfo *track)
{
    wsprintfW(out, L" %02d:%02d [%d KHz - %d Kbit - %s] ",
              track->length / 60, track->length % 60,
              track->sampleRate, track->bitRate,
              track->channels == 2 ? L"Stereo" : L"Mono");
}

bool IsTrackEventDue(DWORD now, DWORD nextTrackEventTick, bool anyEventYet)
{
    if (!anyEventYet)
        return true;
    DWORD lastActed = nextTrackEventTick - TRACK_EVENT_GAP;
    return (DWORD)(now - lastActed) > TRACK_EVENT_GAP;
}
