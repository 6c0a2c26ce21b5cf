// The popups' two fonts at each resolution in use. The pair for 96 dpi is
// the engine's PopupFont and PopupBoldFont; a pair for another resolution is
// made from them, its height scaled, when a popup first needs it, and kept
// until the engine stops.
#ifndef TUNEBELL_POPUP_FONTS_H
#define TUNEBELL_POPUP_FONTS_H

#include <windows.h>

// With the engine, after its fonts are made.
void InitScaledFonts(void);
// With the engine, after the last popup thread has ended.
void ReleaseScaledFonts(void);

// The normal and the bold font for a popup at this resolution. When a pair
// cannot be made, the 96-dpi pair stands in.
void PopupFontsForDpi(int dpi, HFONT *normal, HFONT *bold);

#endif
