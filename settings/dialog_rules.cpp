// The settings dialog's pure rules.
#include "settings/dialog_rules.h"
#include "res/resource.h"

// Four lines: who wrote the plug-in, who wrote its popup module.
const char CreditsText[] =
    " Written by:\n"
    "   The Tunebell team\n"
    " Popup module by:\n"
    "   The Tunebell popup crew";

struct NumericEditField {
    int id;
    const char *key;
};

static const NumericEditField NumericEdits[] = {
    { IDC_ENLARGEMENT,   "Enlargement" },
    { IDC_MIN_WIDTH,     "MinimumWidth" },
    { IDC_MAX_WIDTH,     "MaximumWidth" },
    { IDC_FADE_IN_TIME,  "FadeInTime" },
    { IDC_FADE_OUT_TIME, "FadeOutTime" },
    { IDC_SECONDS,       "Seconds" },
};

const SettingKey *NumericEditKey(int controlId)
{
    for (unsigned i = 0; i < sizeof(NumericEdits) / sizeof(NumericEdits[0]); i++) {
        if (NumericEdits[i].id == controlId)
            return FindSettingKey(NumericEdits[i].key);
    }
    return NULL;
}

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

static const char *const PositionItems[] = {
    "... upper left corner", "... lower left corner", "... lower right corner",
    "... upper right corner", "... center",
};
static const char *const StyleItems[] = { "... beveled style", "... flat style" };
static const char *const SpreadingItems[] = { "... horizontally", "... vertically" };

const DialogCombo DialogCombos[DIALOG_COMBO_COUNT] = {
    { IDC_POSITION,  PositionItems,  5, true },
    { IDC_STYLE,     StyleItems,     2, true },
    { IDC_SPREADING, SpreadingItems, 2, false },
};

#define CENTRE_POSITION 4

bool RuleEnables(EnableRule rule, const EnableFacts *f)
{
    switch (rule) {
    case R1: return f->enlargeBox;
    case R2: return f->dynamicBox;
    case R3: return f->dynamicBox && f->minimumBox;
    case R4: return f->dynamicBox && f->maximumBox;
    // Slide and fade exclude each other: either one on disables the other.
    case R5: return f->animation && !f->fade;
    case R6: return f->layering && !f->useAnimations;
    case R7: return f->layering && !f->useAnimations && f->fadeBox;
    case R8: return f->layering;
    case R9: return !f->useWinColors;
    case R10: return f->position != CENTRE_POSITION;
    }
    return true;
}

static const int R1Controls[] = { IDC_ENLARGEMENT, 0 };
static const int R2Controls[] = { IDC_USE_MIN_WIDTH, IDC_USE_MAX_WIDTH, 0 };
static const int R3Controls[] = { IDC_MIN_WIDTH, 0 };
static const int R4Controls[] = { IDC_MAX_WIDTH, 0 };
static const int R5Controls[] = { IDC_ANIMATE, 0 };
static const int R6Controls[] = { IDC_FADE, 0 };
static const int R7Controls[] = { IDC_FADE_IN_TIME, IDC_FADE_OUT_TIME, IDC_FADE_IN_LABEL, IDC_FADE_OUT_LABEL, 0 };
static const int R8Controls[] = { IDC_TRANSPARENCY, IDC_ALPHA, IDC_OPACITY_LABEL, 0 };
static const int R9Controls[] = { IDC_BACK_COLOUR, IDC_TEXT_COLOUR, 0 };
static const int R10Controls[] = { IDC_SPREADING, IDC_SPREAD_LABEL, 0 };

const int *RuleControls(EnableRule rule)
{
    static const int *const controls[] = {
        R1Controls, R2Controls, R3Controls, R4Controls, R5Controls,
        R6Controls, R7Controls, R8Controls, R9Controls, R10Controls,
    };
    static const int none[] = { 0 };
    if (rule < R1 || rule > R10)
        return none;
    return controls[rule - R1];
}

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
