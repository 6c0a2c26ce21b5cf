#include "plugin/media_rules.h"
#include "base/player.h"

MediaStatus MediaStatusForPlayState(int playState)
{
    if (playState == PLAY_PLAYING)
        return MEDIA_STATUS_PLAYING;
    if (playState == PLAY_PAUSED)
        return MEDIA_STATUS_PAUSED;
    return MEDIA_STATUS_STOPPED;
}

UINT PlayerCommandForMediaButton(int button, int playState)
{
    switch (button) {
    case MEDIA_BUTTON_PLAY:
        if (playState == PLAY_PLAYING)
            return 0;
        return playState == PLAY_PAUSED ? PLAYER_BUTTON_PAUSE : PLAYER_BUTTON_PLAY;
    case MEDIA_BUTTON_PAUSE:
        return playState == PLAY_PLAYING ? PLAYER_BUTTON_PAUSE : 0;
    case MEDIA_BUTTON_STOP:
        return PLAYER_BUTTON_STOP;
    case MEDIA_BUTTON_NEXT:
        return PLAYER_BUTTON_NEXT;
    case MEDIA_BUTTON_PREVIOUS:
        return PLAYER_BUTTON_PREVIOUS;
    default:
        return 0;
    }
}

#define TRACK_NUMBER_MOST 999999

UINT TrackNumberFromTag(const WCHAR *tag)
{
    if (!tag)
        return 0;
    while (*tag == L' ' || *tag == L'\t')
        tag++;
    UINT number = 0;
    for (; *tag >= L'0' && *tag <= L'9'; tag++) {
        number = number * 10 + (UINT)(*tag - L'0');
        if (number > TRACK_NUMBER_MOST)
            return TRACK_NUMBER_MOST;
    }
    return number;
}

MediaTimelineValues MediaTimelineFromPlayer(int lengthSeconds, int positionMs)
{
    MediaTimelineValues timeline;
    timeline.start = 0;
    timeline.end = lengthSeconds > 0 ? (LONGLONG)lengthSeconds * 1000 : 0;
    timeline.position = positionMs > 0 ? positionMs : 0;
    if (timeline.end > 0 && timeline.position > timeline.end)
        timeline.position = timeline.end;
    timeline.minSeek = 0;
    timeline.maxSeek = timeline.end;
    return timeline;
}

LONGLONG TimeSpanFromMs(LONGLONG ms)
{
    return ms * 10000;
}

WPARAM JumpMsFromTimeSpan(LONGLONG timeSpan)
{
    LONGLONG ms = timeSpan / 10000;
    if (ms < 0)
        return 0;
    return ms > 0x7FFFFFFF ? (WPARAM)0x7FFFFFFF : (WPARAM)ms;
}
