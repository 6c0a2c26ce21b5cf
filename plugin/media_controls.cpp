// Stand-in until the controls are built: Windows' media controls are never
// present.
#include "plugin/media_controls.h"

void StartMediaControls(void) {}
void StopMediaControls(void) {}
void NoteMediaTrackEvent(void) {}
void NoteMediaPlayStateChanged(void) {}
void ApplyMediaControlsSetting(bool) {}
MediaControlsPresence MediaControlsPresent(void) { return MEDIA_CONTROLS_ABSENT; }
void TellWhenMediaControlsKnown(HWND window, UINT message)
{
    if (window)
        PostMessageA(window, message, 0, 0);
}
