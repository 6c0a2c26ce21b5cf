// Fonts per resolution: few resolutions are ever in use at once (one per
// monitor), so a short table, searched under its own lock, held only while
// a pair is looked up or made.
#include "popup/fonts.h"
#include "popup/dpi.h"

#include <string.h>

#define MAX_SCALED_FONTS 8

struct ScaledFonts {
    int dpi;
    HFONT normal;
    HFONT bold;
};

// Every font of the popups, from the engine's start to its stop.
struct PopupFonts {
    HFONT normal, bold;          // at 96 dpi
    CRITICAL_SECTION lock;       // over the scaled pairs
    bool ready;                  // the lock exists
    ScaledFonts scaled[MAX_SCALED_FONTS];
    int scaledCount;
};
static PopupFonts gFonts;

// The 96-dpi pair, in place of any made before.
static void CreateBaseFonts(void)
{
    if (gFonts.normal)
        DeleteObject(gFonts.normal);
    if (gFonts.bold)
        DeleteObject(gFonts.bold);
    LOGFONTA description;
    memset(&description, 0, sizeof(description));
    description.lfHeight = -11;
    description.lfWeight = FW_NORMAL;
    description.lfCharSet = DEFAULT_CHARSET;
    description.lfPitchAndFamily = FF_SWISS | DEFAULT_PITCH;
    lstrcpyA(description.lfFaceName, "Tahoma");
    gFonts.normal = CreateFontIndirectA(&description);
    description.lfWeight = FW_BOLD;
    gFonts.bold = CreateFontIndirectA(&description);
}

void InitPopupFonts(void)
{
    CreateBaseFonts();
    InitializeCriticalSection(&gFonts.lock);
    gFonts.scaledCount = 0;
    gFonts.ready = true;
}

void ReleasePopupFonts(void)
{
    if (gFonts.ready) {
        gFonts.ready = false;
        for (int i = 0; i < gFonts.scaledCount; i++) {
            DeleteObject(gFonts.scaled[i].normal);
            DeleteObject(gFonts.scaled[i].bold);
        }
        gFonts.scaledCount = 0;
        DeleteCriticalSection(&gFonts.lock);
    }
    DeleteObject(gFonts.normal);
    DeleteObject(gFonts.bold);
    gFonts.normal = gFonts.bold = NULL;
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
    *normal = gFonts.normal;
    *bold = gFonts.bold;
    if (dpi == BASE_DPI || !gFonts.ready)
        return;
    EnterCriticalSection(&gFonts.lock);
    int i = 0;
    while (i < gFonts.scaledCount && gFonts.scaled[i].dpi != dpi)
        i++;
    if (i == gFonts.scaledCount && gFonts.scaledCount < MAX_SCALED_FONTS) {
        HFONT scaledNormal = ScaledCopy(gFonts.normal, dpi);
        HFONT scaledBold = ScaledCopy(gFonts.bold, dpi);
        if (scaledNormal && scaledBold) {
            gFonts.scaled[i].dpi = dpi;
            gFonts.scaled[i].normal = scaledNormal;
            gFonts.scaled[i].bold = scaledBold;
            gFonts.scaledCount++;
        } else {
            // Made again by the next popup that asks.
            if (scaledNormal)
                DeleteObject(scaledNormal);
            if (scaledBold)
                DeleteObject(scaledBold);
        }
    }
    if (i < gFonts.scaledCount) {
        *normal = gFonts.scaled[i].normal;
        *bold = gFonts.scaled[i].bold;
    }
    LeaveCriticalSection(&gFonts.lock);
}
