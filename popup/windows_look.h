// The look that follows Windows: light or dark as Windows is set, its
// accent colour, its font, a thin border, and round corners on Windows 11.
// Its colours are read from the registry and the system when a popup is
// made and again when Windows says they changed, never at a paint. A popup
// keeps the look it was made with, whatever the setting says later.
#ifndef TUNEBELL_POPUP_WINDOWS_LOOK_H
#define TUNEBELL_POPUP_WINDOWS_LOOK_H

#include <windows.h>
#include "popup/record.h"

// What Windows says of its colours now.
WindowsLookColours ReadWindowsLookColours(void);

// As the popup is made, before its window: whether it takes the look, and
// then its colours, the request's two (background, title) among them.
void TakeWindowsLook(PopupWindowRecord *record, PopupRequest *request);
// Once its window is there: round corners where Windows rounds its own.
void ShapeWindowsLookPopup(const PopupWindowRecord *record);
// What the look holds besides the colours; as the popup is destroyed.
void DropWindowsLook(PopupWindowRecord *record);

// Windows' colours, mode or contrast may have changed: a popup in the look
// reads them again and, when they did change, repaints in them.
void OnSystemColoursChanged(HWND popup);

// The text colour of one of the popup's children.
COLORREF ChildTextColour(const PopupWindowRecord *record, HWND child);
// The popup's frame in the look: true when it was painted (the design's
// looks paint their own).
bool PaintWindowsLookBorder(const PopupWindowRecord *record, HWND popup, HDC dc);

// A pressed control button's face and the volume bar, and a glyph on them:
// the accent in the look, the text colour in the design's.
struct ControlAccent {
    COLORREF face;
    COLORREF ink;
};
ControlAccent ControlAccentOf(const PopupWindowRecord *record);

#endif
