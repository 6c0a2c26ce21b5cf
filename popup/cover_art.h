// The album cover in a popup: the size asked for, the cover laid over the
// popup's background colour, and its drawing in the icon's column.
#ifndef TUNEBELL_POPUP_COVER_ART_H
#define TUNEBELL_POPUP_COVER_ART_H

#include <windows.h>
#include "popup/popup.h"

struct CoverImage;

// Waits for the request's cover (the cover thread bounds the wait) and lays
// it over the background colour: a bitmap for the popup to draw and delete,
// or NULL when there is none: the popup shows its icon. Given `keep`, a
// cover with transparent parts is handed over there too, for a background
// that may change (the caller frees it with FreeCoverImage); else NULL.
HBITMAP TakePopupCover(const PopupRequest *request, CoverImage **keep);
// The cover laid over an opaque colour: a bitmap for the caller to delete;
// NULL when it cannot be made.
HBITMAP CoverOverColour(const CoverImage *image, COLORREF back);
// Draws the cover in the middle of the item's rectangle, the background
// colour around it; a cover larger than the rectangle (decoded for another
// monitor's resolution) is made to fit.
void DrawPopupCover(const DRAWITEMSTRUCT *draw, HBITMAP cover, COLORREF back);

// Pure: premultiplied BGRA pixels over an opaque colour, as alpha blending
// draws them: each channel C + (255 - A) x background / 255, rounded.
void BlendOverColour(const DWORD *pixels, DWORD *out, int count, COLORREF back);

#endif
