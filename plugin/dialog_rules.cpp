// The settings dialog's pure rules.
#include "plugin/dialog_rules.h"
#include "res/resource.h"

// Four lines: who wrote the plug-in, who wrote its popup module.
const char CreditsText[] =
    " Written by:\n"
    "   The Tunebell team\n"
    " Popup module by:\n"
    "   The Tunebell popup crew";

UINT ReadEditNumber(const char *text)
{
    while (*text == ' ' || *text == '\t')
        text++;
    if (*text < '0' || *text > '9')
        return 0;
    DWORD value = 0;
    for (; *text >= '0' && *text <= '9'; text++) {
        DWORD digit = (DWORD)(*text - '0');
        if (value > (0xFFFFFFFFUL - digit) / 10)
            return 0;   // past 32 bits: no number at all
        value = value * 10 + digit;
    }
    return value;
}

bool IsEditValueInRange(UINT value, DWORD low, DWORD high)
{
    int v = (int)value;
    return v >= (int)low && v <= (int)high;
}

DWORD ClampEditValue(UINT value, DWORD low, DWORD high)
{
    int v = (int)value;
    if (v > (int)high)
        return high;
    if (v < (int)low)
        return low;
    return value;
}

void FormatOpacityText(BYTE alpha, char text[OPACITY_TEXT_SIZE])
{
    wsprintfA(text, "opacity: %d%%", alpha * 100 / 255);
}

void FormatRangeError(int minimum, int maximum, char text[RANGE_ERROR_SIZE])
{
    wsprintfA(text, "You cannot specify a value lower than %d and higher than %d.", minimum, maximum);
}

bool EnlargementEditEnabled(const Settings *s, const SystemEffects *)
{
    return s->EnlargePopup != 0;
}

bool WidthBoxesEnabled(const Settings *s, const SystemEffects *)
{
    return s->DynamicResize != 0;
}

bool MinimumWidthEditEnabled(const Settings *s, const SystemEffects *)
{
    return s->DynamicResize != 0 && s->UseMinimumWidth != 0;
}

bool MaximumWidthEditEnabled(const Settings *s, const SystemEffects *)
{
    return s->DynamicResize != 0 && s->UseMaximumWidth != 0;
}

// Slide and fade exclude each other: either one on disables the other's box.
bool SlideBoxEnabled(const Settings *s, const SystemEffects *system)
{
    return system->animation && s->Fade == 0;
}

bool FadeBoxEnabled(const Settings *s, const SystemEffects *system)
{
    return system->layering && s->UseAnimations == 0;
}

bool FadeTimesEnabled(const Settings *s, const SystemEffects *system)
{
    return FadeBoxEnabled(s, system) && s->Fade != 0;
}

bool TransparencyEnabled(const Settings *, const SystemEffects *system)
{
    return system->layering;
}

// The look that follows Windows takes its colours and its shape from
// Windows: the design's style and colours have no say while it is on.
bool DesignLookControlsEnabled(const Settings *s, const SystemEffects *)
{
    return s->WindowsLook == 0;
}

bool ColourSwatchesEnabled(const Settings *s, const SystemEffects *system)
{
    return s->UseWinColors == 0 && DesignLookControlsEnabled(s, system);
}

// Centred popups cascade whatever the spreading.
bool SpreadingEnabled(const Settings *s, const SystemEffects *)
{
    return s->Position != POSITION_CENTRE;
}

bool CoverSizeEnabled(const Settings *s, const SystemEffects *)
{
    return s->ShowCover != 0;
}

// Where Windows has no media controls (before Windows 10), or has not been
// asked yet, the box would promise what nothing does.
bool MediaControlsBoxEnabled(const Settings *, const SystemEffects *system)
{
    return system->mediaControls;
}

// Each rule and the controls it enables or disables.
const EnableRule EnableRules[] = {
    { EnlargementEditEnabled,  { IDC_ENLARGEMENT }, true },
    { WidthBoxesEnabled,       { IDC_USE_MIN_WIDTH, IDC_USE_MAX_WIDTH }, true },
    { MinimumWidthEditEnabled, { IDC_MIN_WIDTH }, true },
    { MaximumWidthEditEnabled, { IDC_MAX_WIDTH }, true },
    { SlideBoxEnabled,         { IDC_ANIMATE }, true },
    { FadeBoxEnabled,          { IDC_FADE }, true },
    { FadeTimesEnabled,        { IDC_FADE_IN_TIME, IDC_FADE_OUT_TIME, IDC_FADE_IN_LABEL, IDC_FADE_OUT_LABEL }, true },
    { TransparencyEnabled,     { IDC_TRANSPARENCY, IDC_ALPHA, IDC_OPACITY_LABEL }, true },
    { ColourSwatchesEnabled,   { IDC_BACK_COLOUR, IDC_TEXT_COLOUR }, true },
    { DesignLookControlsEnabled, { IDC_STYLE, IDC_STYLE_LABEL, IDC_WIN_COLOURS }, true },
    // The spreading combo and its label open enabled whatever the position,
    // and follow it from the first change on.
    { SpreadingEnabled,        { IDC_SPREADING, IDC_SPREAD_LABEL }, false },
    { CoverSizeEnabled,        { IDC_COVER_SIZE, IDC_COVER_SIZE_LABEL }, true },
    { MediaControlsBoxEnabled, { IDC_MEDIA_CONTROLS }, true },
};

const int EnableRuleCount = sizeof(EnableRules) / sizeof(EnableRules[0]);

void FormatSaveError(const char *path, char text[SAVE_ERROR_SIZE])
{
    if (!path) {
        lstrcpynA(text,
                  "The settings cannot be saved: the player named no usable folder for "
                  "its settings.\n\nThey apply until you press Cancel, which closes the "
                  "settings without saving them.",
                  SAVE_ERROR_SIZE);
        return;
    }
    wsprintfA(text,
              "The settings could not be saved to\n%s\n\nCheck that its folder exists "
              "and may be written to, that the file is not read-only or open in another "
              "program, and that the disk is not full. Then press OK again, or Cancel to "
              "close the settings without saving them.",
              path);
}
