// The colours of a popup and of its beveled border. Pure.
#ifndef TUNEBELL_POPUP_COLOURS_H
#define TUNEBELL_POPUP_COLOURS_H

#include <windows.h>

COLORREF LightenColour(COLORREF c);
COLORREF DarkenColour(COLORREF c);

struct PopupColours {
    COLORREF back, text;
};

// The system colours win when asked for; a request without colours (both 0)
// takes the settings' colours; otherwise the request's own stay.
PopupColours ChoosePopupColours(bool useWinColors, COLORREF buttonFace, COLORREF windowText,
                                COLORREF defaultBack, COLORREF defaultText,
                                COLORREF requestBack, COLORREF requestText);

// The two border pens' colours: light for the top and left edges, dark for
// the bottom and right; both black in the flat style.
void BorderColours(int style, COLORREF base, COLORREF *light, COLORREF *dark);

#endif
