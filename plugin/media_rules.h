// The rules between the player and Windows' media controls: the status
// Windows shows for the player's play state, the player's command for each
// of Windows' buttons, a track number from its tag, and the timeline from
// the player's length and position. Pure functions.
#ifndef TUNEBELL_PLUGIN_MEDIA_RULES_H
#define TUNEBELL_PLUGIN_MEDIA_RULES_H

#include <windows.h>

// Windows' MediaPlaybackStatus.
enum MediaStatus {
    MEDIA_STATUS_CLOSED = 0,
    MEDIA_STATUS_CHANGING = 1,
    MEDIA_STATUS_STOPPED = 2,
    MEDIA_STATUS_PLAYING = 3,
    MEDIA_STATUS_PAUSED = 4,
};

// Windows' SystemMediaTransportControlsButton, the ones we enable.
enum MediaButton {
    MEDIA_BUTTON_PLAY = 0,
    MEDIA_BUTTON_PAUSE = 1,
    MEDIA_BUTTON_STOP = 2,
    MEDIA_BUTTON_NEXT = 6,
    MEDIA_BUTTON_PREVIOUS = 7,
};

// Playing and paused as they are; anything else is stopped.
MediaStatus MediaStatusForPlayState(int playState);

// The player's button (WM_COMMAND id) for Windows' button `button` on a
// player in `playState`, or 0 when there is nothing to do: a paused player
// resumes with its pause button (its play button would start the track
// again); Play on a playing player and Pause on one that is not playing do
// nothing.
UINT PlayerCommandForMediaButton(int button, int playState);

// The number a track tag begins with ("3/12" is 3, " 07" is 7); 0 when it
// begins with none, and at most 999999.
UINT TrackNumberFromTag(const WCHAR *tag);

// What Windows' timeline shows, in milliseconds.
struct MediaTimelineValues {
    LONGLONG start;
    LONGLONG end;
    LONGLONG position;
    LONGLONG minSeek;
    LONGLONG maxSeek;
};
// From 105's answers: the length in seconds (-1: none, as for a stream) and
// the position in milliseconds. Without a length the end, and with it the
// seek range, is 0; the position never lies outside 0..end of a track with
// a length.
MediaTimelineValues MediaTimelineFromPlayer(int lengthSeconds, int positionMs);

// Windows' time in units of 100 ns, from and to milliseconds; the
// milliseconds a jump asks the player for (106's wParam) are never
// negative and fit its 31 bits.
LONGLONG TimeSpanFromMs(LONGLONG ms);
WPARAM JumpMsFromTimeSpan(LONGLONG timeSpan);

#endif
