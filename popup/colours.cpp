#include "popup/colours.h"
#include "settings/settings.h"

static COLORREF MapChannels(COLORREF c, int (*rule)(int))
{
    return RGB(rule(GetRValue(c)), rule(GetGValue(c)), rule(GetBValue(c)));
}

static int LightenChannel(int v)
{
    return v <= 231 ? v + 24 : v;
}

static int DarkenChannel(int v)
{
    return v >= 64 ? v - 64 : v;
}

COLORREF LightenColour(COLORREF c)
{
    return MapChannels(c, LightenChannel);
}

COLORREF DarkenColour(COLORREF c)
{
    return MapChannels(c, DarkenChannel);
}

PopupColours ChoosePopupColours(bool useWinColors, COLORREF buttonFace, COLORREF windowText,
                                COLORREF defaultBack, COLORREF defaultText,
                                COLORREF requestBack, COLORREF requestText)
{
    PopupColours colours = { requestBack, requestText };
    if (useWinColors) {
        colours.back = buttonFace;
        colours.text = windowText;
    } else if (requestBack == 0 && requestText == 0) {
        colours.back = defaultBack;
        colours.text = defaultText;
    }
    return colours;
}

void BorderColours(int style, COLORREF base, COLORREF *light, COLORREF *dark)
{
    if (style == STYLE_FLAT) {
        *light = *dark = RGB(0, 0, 0);
    } else {
        *light = LightenColour(base);
        *dark = DarkenColour(base);
    }
}

// Light or dark, by the first of the two modes that is there.
static bool IsLightMode(const SystemLookValues *values)
{
    if (values->systemUsesLightTheme.type == REG_DWORD)
        return values->systemUsesLightTheme.value != 0;
    if (values->appsUseLightTheme.type == REG_DWORD)
        return values->appsUseLightTheme.value != 0;
    return true;
}

// Black or white, whichever reads on the colour.
static COLORREF InkOn(COLORREF c)
{
    int luma = (299 * GetRValue(c) + 587 * GetGValue(c) + 114 * GetBValue(c)) / 1000;
    return luma < 128 ? RGB(255, 255, 255) : RGB(0, 0, 0);
}

WindowsLookColours ChooseWindowsLookColours(const SystemLookValues *values)
{
    static const WindowsLookColours dark = {
        RGB(43, 43, 43), RGB(255, 255, 255), RGB(200, 200, 200), RGB(70, 70, 70), 0, 0,
    };
    static const WindowsLookColours light = {
        RGB(249, 249, 249), RGB(26, 26, 26), RGB(96, 96, 96), RGB(214, 214, 214), 0, 0,
    };
    WindowsLookColours colours;
    if (values->highContrast) {
        colours.back = values->window;
        colours.title = colours.info = colours.border = values->windowText;
        colours.accent = values->highlight;
        colours.onAccent = values->highlightText;
        return colours;
    }
    colours = IsLightMode(values) ? light : dark;
    colours.accent = values->accentColour.type == REG_DWORD ? values->accentColour.value & 0xFFFFFF
                                                             : values->highlight;
    colours.onAccent = InkOn(colours.accent);
    return colours;
}
