// One live popup's record and what every part of a popup shares: the window
// classes, the close timer and its period. Kept apart from the popup's
// window (popup/window.cpp), so that its helpers need not include it.
#ifndef TUNEBELL_POPUP_RECORD_H
#define TUNEBELL_POPUP_RECORD_H

#include <windows.h>
#include "popup/colours.h"
#include "popup/controls_rules.h"
#include "popup/dpi.h"
#include "popup/hover_rules.h"
#include "popup/popup.h"

// The player's controls over the popup (popup/controls.cpp): all zeros when
// the popup is made; the windows are made the first time they show.
struct PopupControls {
    HWND Buttons[CONTROL_BUTTONS];   // previous, play/pause, next
    HWND LevelBar;       // the volume, for a moment after the wheel turns
    HHOOK WheelHook;     // held while the buttons show
    POINT RestAt;        // where the pointer came to rest
    bool Resting;        // the rest timer counts
    bool Shown;          // the buttons show
    HWND PointerWasOn;   // while they show, the part of the popup the pointer was last seen on
    int WheelWaiting;    // turned under the hook since its last post
    bool WheelPosted;    // the hook's post is in the queue
    VolumeChange Volume; // the wheel's change of the volume on its way to the player
    int PlayState;       // as the player last told it, or guessed when the buttons were made
};

struct CoverImage;

// The look that follows Windows (popup/windows_look.cpp): taken when the
// popup is made and kept for its life, its colours read again when Windows
// says they changed.
struct PopupLook {
    bool Windows;                 // false: the design's look
    WindowsLookColours Colours;   // with Windows
    CoverImage *CoverSource;      // a cover with transparent parts, laid again over a new background
};

// Kept in the popup window's user data; owned by the popup list once listed.
struct PopupWindowRecord {
    HWND Popup;
    HWND IconStatic;
    HWND TitleStatic;
    HWND TimeStatic;     // NULL unless DisplayTime is on
    HWND InfoStatic;     // NULL unless ShowText is on
    HWND BackStatic;
    PopupRequest *Request;
    HBRUSH BackBrush;    // made at the first paint that needs it
    bool Showing;        // while the show effect plays; closes wait for it
    bool Closing;        // from the close on: hides are the plug-in's own
    PopupHover Hover;    // the pointer on the popup
    PopupControls Controls;
    PopupScale Scale;    // its monitor's resolution, read when it was made
    HBITMAP Cover;       // the cover over the background, in IconStatic; NULL: the icon
    PopupLook Look;
};

#define POPUP_TIMER_ID 26378
// The controls' timers on the popup window: the pointer has rested, and the
// volume has shown long enough; and the look whether the pointer followed
// is still on the popup (popup/hover.cpp).
#define CONTROLS_REST_TIMER_ID 26379
#define LEVEL_BAR_TIMER_ID     26380
#define POINTER_CHECK_TIMER_ID 26381
// The longest Timeout whose period in ms a timer still holds.
#define LONGEST_TIMEOUT (0x7FFFFFFF / 1000)

inline PopupWindowRecord *GetPopupRecord(HWND popup)
{
    return (PopupWindowRecord *)GetWindowLongPtrA(popup, GWLP_USERDATA);
}

// The close timer's period in ms for a request's Timeout (0 takes the
// Seconds setting); 0 when the popup stays until it is closed. Pure.
inline UINT CloseTimerPeriod(int timeout, int seconds)
{
    if (timeout == 0)
        timeout = seconds;
    if (timeout <= 0)
        return 0;
    if (timeout > LONGEST_TIMEOUT)
        timeout = LONGEST_TIMEOUT;
    return (UINT)timeout * 1000;
}

#endif
