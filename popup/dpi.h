// Popups drawn at their monitor's resolution. The player does not declare
// itself aware of display scaling, so Windows would stretch whatever its
// threads draw; the popup threads alone ask to be told each monitor's real
// resolution, and every length of a popup is then given for 96 dots per inch
// and scaled to the resolution of the monitor it shows on.
#ifndef TUNEBELL_POPUP_DPI_H
#define TUNEBELL_POPUP_DPI_H

#include <windows.h>

#define BASE_DPI 96

// What one popup's lengths are scaled by, read on its own thread when it is
// made and kept with it for its life, so that a placement pass run on
// another thread scales it the same way.
struct PopupScale {
    int dpi;                                // of the popup's monitor
    int smallIconWidth, smallIconHeight;    // the icon column; the centre cascade's step
};

// A length given at 96 dpi, at this resolution: product first, truncating.
// Pure.
inline int ScaledLength(int length, int dpi)
{
    return length * dpi / BASE_DPI;
}

// The scale of a 96-dpi screen with 16-pixel small icons. Pure.
PopupScale BaseScale(void);

// A popup thread, before it makes any window: to be told every monitor's
// own resolution (per-monitor v2, else v1). The player's threads are left
// as they are. Returns the awareness the thread had, NULL when none was
// given.
HANDLE MakeThreadDpiAware(void);

// The scale of a popup placed in this work area: its monitor's resolution,
// else the window's, else the screen's.
PopupScale ScaleForWorkArea(const RECT *workArea, HWND popup);
// Calls `read` with the calling thread aware of each monitor's resolution
// for the moment, as popup threads are, so that what it reads of monitors
// and windows is what a popup thread would read; returns its result.
int ReadAsPopupThread(int (*read)(void));

#endif
