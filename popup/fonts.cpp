// Fonts per resolution: few resolutions are ever in use at once (one per
// monitor), so a short table, searched under its own lock, held only while
// a pair is looked up or made.
#include "popup/fonts.h"
#include "popup/dpi.h"

#include <string.h>

#define MAX_SCALED_FONTS 8

// The two faces of a look.
enum FontLook { LOOK_DESIGN, LOOK_WINDOWS, FONT_LOOKS };

struct FontPair {
    HFONT normal, bold;
};

struct ScaledFonts {
    int dpi;
    FontPair looks[FONT_LOOKS];
};

// Every font of the popups, from the engine's start to its stop.
struct PopupFonts {
    FontPair base[FONT_LOOKS];   // at 96 dpi; the Windows look's empty without its face
    CRITICAL_SECTION lock;       // over the scaled pairs
    bool ready;                  // the lock exists
    ScaledFonts scaled[MAX_SCALED_FONTS];
    int scaledCount;
};
static PopupFonts gFonts;

// Windows' own face since Vista, 9 points; the title semibold.
#define WINDOWS_FACE L"Segoe UI"
#define WINDOWS_FACE_HEIGHT -12
#define SEMIBOLD 600

static void DeletePair(FontPair *pair)
{
    if (pair->normal)
        DeleteObject(pair->normal);
    if (pair->bold)
        DeleteObject(pair->bold);
    pair->normal = pair->bold = NULL;
}

static int CALLBACK NoteFaceFound(const LOGFONTW *, const TEXTMETRICW *, DWORD, LPARAM found)
{
    *(bool *)found = true;
    return 0;
}

// Whether the system has the face itself: asked for a face it lacks, the
// font mapper hands out another one under the name asked for.
static bool SystemHasFace(const WCHAR *face)
{
    LOGFONTW wanted;
    memset(&wanted, 0, sizeof(wanted));
    wanted.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(wanted.lfFaceName, face, LF_FACESIZE);
    bool found = false;
    HDC screen = GetDC(NULL);
    if (screen) {
        EnumFontFamiliesExW(screen, &wanted, NoteFaceFound, (LPARAM)&found, 0);
        ReleaseDC(NULL, screen);
    }
    return found;
}

static FontPair CreatePair(const WCHAR *face, int height, int boldWeight)
{
    LOGFONTW description;
    memset(&description, 0, sizeof(description));
    description.lfHeight = height;
    description.lfWeight = FW_NORMAL;
    description.lfCharSet = DEFAULT_CHARSET;
    description.lfPitchAndFamily = FF_SWISS | DEFAULT_PITCH;
    lstrcpynW(description.lfFaceName, face, LF_FACESIZE);
    FontPair pair;
    pair.normal = CreateFontIndirectW(&description);
    description.lfWeight = boldWeight;
    pair.bold = CreateFontIndirectW(&description);
    return pair;
}

// The 96-dpi pairs, in place of any made before.
static void CreateBaseFonts(void)
{
    for (int look = 0; look < FONT_LOOKS; look++)
        DeletePair(&gFonts.base[look]);
    gFonts.base[LOOK_DESIGN] = CreatePair(L"Tahoma", -11, FW_BOLD);
    if (SystemHasFace(WINDOWS_FACE))
        gFonts.base[LOOK_WINDOWS] = CreatePair(WINDOWS_FACE, WINDOWS_FACE_HEIGHT, SEMIBOLD);
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
        for (int i = 0; i < gFonts.scaledCount; i++)
            for (int look = 0; look < FONT_LOOKS; look++)
                DeletePair(&gFonts.scaled[i].looks[look]);
        gFonts.scaledCount = 0;
        DeleteCriticalSection(&gFonts.lock);
    }
    for (int look = 0; look < FONT_LOOKS; look++)
        DeletePair(&gFonts.base[look]);
}

// A copy of a 96-dpi font, its height scaled; NULL when it cannot be made.
static HFONT ScaledCopy(HFONT font, int dpi)
{
    LOGFONTW description;
    if (!font || GetObjectW(font, sizeof description, &description) != (int)sizeof description)
        return NULL;
    description.lfHeight = ScaledLength(description.lfHeight, dpi);
    description.lfWidth = ScaledLength(description.lfWidth, dpi);
    return CreateFontIndirectW(&description);
}

// Both pairs at a resolution, or none: a pair missing at 96 dpi stays missing.
static bool MakeScaledFonts(ScaledFonts *scaled, int dpi)
{
    scaled->dpi = dpi;
    bool made = true;
    for (int look = 0; look < FONT_LOOKS; look++) {
        const FontPair &base = gFonts.base[look];
        FontPair &pair = scaled->looks[look];
        pair.normal = ScaledCopy(base.normal, dpi);
        pair.bold = ScaledCopy(base.bold, dpi);
        made = made && (pair.normal != NULL) == (base.normal != NULL) && (pair.bold != NULL) == (base.bold != NULL);
    }
    if (!made) {
        for (int look = 0; look < FONT_LOOKS; look++)
            DeletePair(&scaled->looks[look]);
    }
    return made;
}

void PopupFontsForDpi(int dpi, bool windowsLook, HFONT *normal, HFONT *bold)
{
    // The design's fonts stand in for a face the system lacks.
    int look = windowsLook && gFonts.base[LOOK_WINDOWS].normal ? LOOK_WINDOWS : LOOK_DESIGN;
    *normal = gFonts.base[look].normal;
    *bold = gFonts.base[look].bold;
    if (dpi == BASE_DPI || !gFonts.ready)
        return;
    EnterCriticalSection(&gFonts.lock);
    int i = 0;
    while (i < gFonts.scaledCount && gFonts.scaled[i].dpi != dpi)
        i++;
    // Made again by the next popup that asks when it could not be made now.
    if (i == gFonts.scaledCount && gFonts.scaledCount < MAX_SCALED_FONTS &&
        MakeScaledFonts(&gFonts.scaled[i], dpi))
        gFonts.scaledCount++;
    if (i < gFonts.scaledCount) {
        *normal = gFonts.scaled[i].looks[look].normal;
        *bold = gFonts.scaled[i].looks[look].bold;
    }
    LeaveCriticalSection(&gFonts.lock);
}
