// The colour swatch of the settings dialog: shows a colour and lets the user
// pick another with the system's colour chooser.
#ifndef TUNEBELL_COLOUR_PICKER_H
#define TUNEBELL_COLOUR_PICKER_H

#include <windows.h>

#define COLOUR_PICKER_CLASS "ColourPicker"

// lParam the colour; the result is 0.
#define CPM_SETCOLOUR 0x1000
// The result is the colour.
#define CPM_GETCOLOUR 0x1001
// lParam the colour the chooser offers as its first custom colour; no repaint.
#define CPM_SETCUSTOM 0x1002
#define CPM_GETCUSTOM 0x1003

// After a pick the parent gets WM_COMMAND with this code in the high word.
#define CPN_COLOURPICKED 1

// The dialog template names the class; the class is registered for this
// module alone, which the dialog made from our template looks in first.
int RegisterColourPickerClass(void);
// The class points into this module: it must go before the module does.
void UnregisterColourPickerClass(void);

LRESULT CALLBACK ColourPickerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

#endif
