// The popups' fonts at each resolution in use: the design's two, and the
// two of the look that follows Windows. The pairs for 96 dpi are made when
// the engine starts; a pair for another resolution is made from them, its
// height scaled, when a popup first needs it, and kept until the engine
// stops.
#ifndef TUNEBELL_POPUP_FONTS_H
#define TUNEBELL_POPUP_FONTS_H

#include <windows.h>

// With the engine's start.
void InitPopupFonts(void);
// With the engine's stop, after the last popup thread has ended.
void ReleasePopupFonts(void);

// The normal and the bold font for a popup at this resolution, in the look
// that follows Windows or in the design's. When a pair cannot be made, the
// 96-dpi pair stands in; where the system lacks the Windows look's face,
// the design's fonts stand in.
void PopupFontsForDpi(int dpi, bool windowsLook, HFONT *normal, HFONT *bold);

#endif
