// Where a popup goes: after the popup placed before it, from the corner of
// the work area that the Position setting names.
#ifndef TUNEBELL_POPUP_PLACEMENT_H
#define TUNEBELL_POPUP_PLACEMENT_H

#include <windows.h>
#include "popup/dpi.h"

// Between popups, and between a popup and the work area's edge, at 96 dpi.
#define POPUP_MARGIN 2

// The rectangle of a popup of w x h placed after `previous` (four zeros: the
// first popup); its margin and its cascade step at the centre follow its
// own scale. Pure.
RECT PlaceAfter(int position, int spreading, const RECT *workArea, int w, int h,
                const RECT *previous, const PopupScale *scale);

// What one placement pass goes by, read once for the whole pass: the
// settings and the work area (PopupWorkArea).
struct PlacementPass {
    int position, spreading;
    RECT workArea;
};

// Advances rect to the popup's place in this pass, by the window's size
// and the scale it was made with; moves nothing. False, with rect unchanged, when the window's rectangle
// cannot be read (it closed).
bool PlacePopup(HWND popup, const PlacementPass *pass, RECT *rect);

#endif
