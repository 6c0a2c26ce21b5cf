// Fonts per resolution: few resolutions are ever in use at once (one per
// monitor), so a short table, searched under its own lock, held only while
// a pair is looked up or made.
#include "popup/fonts.h"
#include "popup/dpi.h"
#include "popup/engine.h"

#define MAX_SCALED_FONTS 8

struct ScaledFonts {
    int dpi;
    HFONT normal;
    HFONT bold;
};

static CRITICAL_SECTION gFontsLock;
static bool gFontsReady;
static ScaledFonts gFonts[MAX_SCALED_FONTS];
static int gFontCount;

void InitScaledFonts(void)
{
    InitializeCriticalSection(&gFontsLock);
    gFontCount = 0;
    gFontsReady = true;
}

void ReleaseScaledFonts(void)
{
    if (!gFontsReady)
        return;
    gFontsReady = false;
    for (int i = 0; i < gFontCount; i++) {
        DeleteObject(gFonts[i].normal);
        DeleteObject(gFonts[i].bold);
    }
    gFontCount = 0;
    DeleteCriticalSection(&gFontsLock);
}

// A copy of a 96-dpi font, its height scaled; NULL when it cannot be made.
static HFONT ScaledCopy(HFONT font, int dpi)
{
    LOGFONTA description;
    if (!font || GetObjectA(font, sizeof description, &description) != (int)sizeof description)
        return NULL;
    description.lfHeight = ScaledLength(description.lfHeight, dpi);
    description.lfWidth = ScaledLength(description.lfWidth, dpi);
    return CreateFontIndirectA(&description);
}

void PopupFontsForDpi(int dpi, HFONT *normal, HFONT *bold)
{
    *normal = PopupFont;
    *bold = PopupBoldFont;
    if (dpi == BASE_DPI || !gFontsReady)
        return;
    EnterCriticalSection(&gFontsLock);
    int i = 0;
    while (i < gFontCount && gFonts[i].dpi != dpi)
        i++;
    if (i == gFontCount && gFontCount < MAX_SCALED_FONTS) {
        HFONT scaledNormal = ScaledCopy(PopupFont, dpi);
        HFONT scaledBold = ScaledCopy(PopupBoldFont, dpi);
        if (scaledNormal && scaledBold) {
            gFonts[i].dpi = dpi;
            gFonts[i].normal = scaledNormal;
            gFonts[i].bold = scaledBold;
            gFontCount++;
        } else {
            // Made again by the next popup that asks.
            if (scaledNormal)
                DeleteObject(scaledNormal);
            if (scaledBold)
                DeleteObject(scaledBold);
        }
    }
    if (i < gFontCount) {
        *normal = gFonts[i].normal;
        *bold = gFonts[i].bold;
    }
    LeaveCriticalSection(&gFontsLock);
}
