// The colour swatch of the settings dialog: shows a colour and lets the user
// pick another with the system's colour chooser.
#ifndef TUNEBELL_COLOUR_PICKER_H
#define TUNEBELL_COLOUR_PICKER_H

#include <windows.h>

#define COLOUR_PICKER_CLASS "ColourPicker"

// The control's messages (CPM_*) and its notification (CPN_COLOURPICKED).
#include "base/messages.h"

// The dialog template names the class; the class is registered for this
// module alone, which the dialog made from our template looks in first.
bool RegisterColourPickerClass(void);
// The class points into this module: it must go before the module does.
void UnregisterColourPickerClass(void);

LRESULT CALLBACK ColourPickerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

#endif
