// The popups' two fonts at each resolution in use. The pair for 96 dpi is
// made when the engine starts; a pair for another resolution is made from
// it, its height scaled, when a popup first needs it, and kept until the
// engine stops.
#ifndef TUNEBELL_POPUP_FONTS_H
#define TUNEBELL_POPUP_FONTS_H

#include <windows.h>

// With the engine's start.
void InitPopupFonts(void);
// With the engine's stop, after the last popup thread has ended.
void ReleasePopupFonts(void);

// The normal and the bold font for a popup at this resolution. When a pair
// cannot be made, the 96-dpi pair stands in.
void PopupFontsForDpi(int dpi, HFONT *normal, HFONT *bold);

#endif
