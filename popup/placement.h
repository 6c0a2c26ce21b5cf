// Where a popup goes: after the popup placed before it, from the corner of
// the work area that the Position setting names.
#ifndef TUNEBELL_POPUP_PLACEMENT_H
#define TUNEBELL_POPUP_PLACEMENT_H

#include <windows.h>

#define POPUP_MARGIN 2

// The rectangle of a popup of w x h placed after `previous` (four zeros: the
// first popup). Pure.
RECT PlaceAfter(int position, int spreading, const RECT *workArea, int w, int h,
                const RECT *previous, int smallIconWidth, int smallIconHeight);

// What one placement pass goes by, read once for the whole pass: the
// settings, the work area (PopupWorkArea) and the cascade's step.
struct PlacementPass {
    int position, spreading;
    RECT workArea;
    int smallIconWidth, smallIconHeight;
};

// Advances rect to the popup's place in this pass, by the window's size;
// moves nothing. False, with rect unchanged, when the window's rectangle
// cannot be read (it closed).
bool PlacePopup(HWND popup, const PlacementPass *pass, RECT *rect);

#endif
