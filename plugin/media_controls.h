// The player in Windows' own media controls (the media keys' overlay, the
// lock screen, quick settings): what plays, its state and its timeline
// handed to Windows, and Windows' buttons turned into the player's own
// commands. All of it runs on a thread of its own; where Windows has no
// such controls nothing of it shows.
#ifndef TUNEBELL_PLUGIN_MEDIA_CONTROLS_H
#define TUNEBELL_PLUGIN_MEDIA_CONTROLS_H

#include <windows.h>

// Whether this Windows has the controls: unknown until the thread has looked.
enum MediaControlsPresence {
    MEDIA_CONTROLS_UNKNOWN = 0,
    MEDIA_CONTROLS_PRESENT = 1,
    MEDIA_CONTROLS_ABSENT = 2
};

// Once at init (after the settings are loaded) and once at quit, on the
// player's thread; neither waits for Windows' media service. The stop
// returns once the registration is gone and every object released.
void StartMediaControls(void);
void StopMediaControls(void);

// On the player's thread, from the hook on its main window: a new track or
// new tags (3003, 3004), and the player's own word that its state changed.
void NoteMediaTrackEvent(void);
void NoteMediaPlayStateChanged(void);

// The MediaControls setting taken into use at once: off takes the player
// out of Windows' controls, on puts it back with the current track.
void ApplyMediaControlsSetting(bool on);

MediaControlsPresence MediaControlsPresent(void);
// Posts `message` to `window` once presence is known (at once when it is
// already); NULL stops telling.
void TellWhenMediaControlsKnown(HWND window, UINT message);

#endif
