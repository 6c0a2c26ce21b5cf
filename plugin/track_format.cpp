#include "plugin/track_format.h"

#include <limits.h>

const char *CopyTrackTitle(char copy[TRACK_TITLE_COPY], const char *playerTitle)
{
    // The copy outlives the event: nothing of an earlier title may show.
    copy[0] = 0;
    if (!playerTitle)
        return "Unknown";
    // lstrcpynA stops at memory it cannot read and returns NULL: a pointer
    // the player has freed, or no pointer at all. Part of a title is no title.
    if (!lstrcpynA(copy, playerTitle, TRACK_TITLE_COPY)) {
        copy[0] = 0;
        return "Unknown";
    }
    return copy;
}

// Numbers below 0 mean nothing here; they show as none, as the -1 of an
// empty playlist or a track without a length does.
static int NotNegative(int value)
{
    return value < 0 ? 0 : value;
}

void FormatTrackTitle(char *out, const TrackInfo *track)
{
    int shown = track->position == INT_MAX ? INT_MAX : NotNegative(track->position + 1);
    wsprintfA(out, " %02d. %s ", shown, track->title);
}

void FormatTrackText(char *out, const TrackInfo *track)
{
    int length = NotNegative(track->length);
    wsprintfA(out, " %02d:%02d [%d KHz - %d Kbit - %s] ",
              length / 60, length % 60,
              NotNegative(track->sampleRate), NotNegative(track->bitRate),
              track->channels == 2 ? "Stereo" : "Mono");
}

bool IsTrackEventDue(DWORD now, DWORD nextTrackEventTick, bool anyEventYet)
{
    if (!anyEventYet)
        return true;
    DWORD lastActed = nextTrackEventTick - TRACK_EVENT_GAP;
    return (DWORD)(now - lastActed) > TRACK_EVENT_GAP;
}
