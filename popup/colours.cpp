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
