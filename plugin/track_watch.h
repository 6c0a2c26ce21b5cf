// The watch on the player's track events and the thread that turns each one
// into a track popup.
#ifndef TUNEBELL_TRACK_WATCH_H
#define TUNEBELL_TRACK_WATCH_H

#include <windows.h>

// The thread's messages: UM_SHOW_TRACK, UM_INFO_STOP.
#include "base/messages.h"

// Hooks the player's main window and starts the thread. `onTrackEvent`
// (NULL: nobody) hears of each of the player's track events on the
// player's thread, whether or not it asks for a popup.
void StartTrackWatch(void (*onTrackEvent)(void));
void StopTrackWatch(void);
LRESULT CALLBACK HostWindowHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Where UM_SHOW_TRACK goes; 0 while the watch is stopped.
DWORD TrackInfoThreadId(void);

#endif
