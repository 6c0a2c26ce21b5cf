// The colours of a popup and of its beveled border, and the colours of the
// look that follows Windows. Pure.
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

// --- the look that follows Windows ----------------------------------------

// A registry value as it was read: its type (REG_NONE when it is missing or
// could not be read as four bytes) and its number.
struct RegistryNumber {
    DWORD type;
    DWORD value;
};

// What Windows says of its colours: the two modes and the accent from the
// registry, whether high contrast is on, and three system colours.
struct SystemLookValues {
    RegistryNumber systemUsesLightTheme;   // Themes\Personalize
    RegistryNumber appsUseLightTheme;      // Themes\Personalize
    RegistryNumber accentColour;           // DWM's AccentColor, 0xAABBGGRR
    bool highContrast;
    COLORREF window, windowText, highlight, highlightText;
};

struct WindowsLookColours {
    COLORREF back;
    COLORREF title;
    COLORREF info;     // the information line and the clock
    COLORREF border;
    COLORREF accent;   // the volume bar and a pressed button
    COLORREF onAccent; // a glyph on the accent
};

// Light or dark as Windows' own notifications are: SystemUsesLightTheme,
// else AppsUseLightTheme, else light; 0 is dark, any other number light,
// a value of another type counts as missing. The accent's alpha is dropped;
// without one, the highlight. High contrast takes the system's colours.
WindowsLookColours ChooseWindowsLookColours(const SystemLookValues *values);

#endif
