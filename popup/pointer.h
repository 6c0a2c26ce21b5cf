// Where the real pointer is on a popup: what its following of the pointer
// (popup/hover.cpp) and its controls (popup/controls.cpp) both look at.
#ifndef TUNEBELL_POPUP_POINTER_H
#define TUNEBELL_POPUP_POINTER_H

#include <windows.h>

// The popup itself or one of its children (the children are plain statics
// and the controls, never nested deeper).
bool IsPartOfPopup(HWND window, HWND popup);

// The part of the popup under the real pointer, and the pointer's place in
// `at` when it is not NULL; NULL when the pointer is elsewhere.
HWND PartUnderPointer(HWND popup, POINT *at);

#endif
