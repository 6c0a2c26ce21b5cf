#include "plugin/track_format.h"

const char *CopyTrackTitle(char copy[TRACK_TITLE_COPY], const char *playerTitle)
{
    if (!playerTitle)
        return "Unknown";
    lstrcpynA(copy, playerTitle, TRACK_TITLE_COPY);
    return copy;
}

void FormatTrackTitle(char *out, const TrackInfo *track)
{
    wsprintfA(out, " %02d. %s ", track->position + 1, track->title);
}

void FormatTrackText(char *out, const TrackInfo *track)
{
    wsprintfA(out, " %02d:%02d [%d KHz - %d Kbit - %s] ",
              track->length / 60, track->length % 60,
              track->sampleRate, track->bitRate,
              track->channels == 2 ? "Stereo" : "Mono");
}

bool IsTrackEventDue(DWORD now, DWORD nextTrackEventTick, bool anyEventYet)
{
    if (!anyEventYet)
        return true;
    DWORD lastActed = nextTrackEventTick - TRACK_EVENT_GAP;
    return (DWORD)(now - lastActed) > TRACK_EVENT_GAP;
}
