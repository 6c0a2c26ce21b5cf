// What the settings dialog decides without looking at a window: the reading
// of its numeric edits, its texts and when each group of controls is
// enabled. Which control edits which setting is in the settings table. Pure.
#ifndef TUNEBELL_DIALOG_RULES_H
#define TUNEBELL_DIALOG_RULES_H

#include <windows.h>
#include "res/version.h"
#include "settings/settings.h"

#define DIALOG_CAPTION TUNEBELL_TITLE
#define PREVIEW_TEXT "Notifies you which song is playing in Winamp!\nCool, isn't it?"
extern const char CreditsText[];

#define OPACITY_TEXT_SIZE 32
#define RANGE_ERROR_SIZE  128
#define SAVE_ERROR_SIZE   1024   // the most wsprintfA writes
// Longer edit text cannot be a number that fits 32 bits.
#define EDIT_NUMBER_TEXT  64

// The number an edit's text stands for, read the way an unsigned
// GetDlgItemInt reads it: an empty text, text that is not a number and a
// number too large for 32 bits all read as 0.
UINT ReadEditNumber(const char *text);

// A value read from an edit compared with the bounds as a signed number, so
// that 2^31 and above counts as negative, below every minimum.
bool IsEditValueInRange(UINT value, DWORD low, DWORD high);
// The value a field takes while the user types: clamped into the bounds.
DWORD ClampEditValue(UINT value, DWORD low, DWORD high);

// "opacity: N%" with N = alpha * 100 / 255, truncating.
void FormatOpacityText(BYTE alpha, char text[OPACITY_TEXT_SIZE]);
void FormatRangeError(int minimum, int maximum, char text[RANGE_ERROR_SIZE]);
// Why OK could not save: the file that could not be written (path), or no
// file at all (NULL), and what the user can do.
void FormatSaveError(const char *path, char text[SAVE_ERROR_SIZE]);

// What the enable rules look at besides the settings.
struct SystemEffects {
    bool layering;        // SetLayeredWindowAttributes was found
    bool animation;       // AnimateWindow was found
    bool mediaControls;   // Windows has its media controls, as far as is known yet
};

// Each says whether its controls are enabled for these settings. The check
// boxes write their fields as they change, so the fields stand for the boxes.
typedef bool EnableTest(const Settings *s, const SystemEffects *system);
EnableTest EnlargementEditEnabled, WidthBoxesEnabled, MinimumWidthEditEnabled, MaximumWidthEditEnabled,
    SlideBoxEnabled, FadeBoxEnabled, FadeTimesEnabled, TransparencyEnabled, ColourSwatchesEnabled,
    SpreadingEnabled, CoverSizeEnabled, DesignLookControlsEnabled, MediaControlsBoxEnabled;

#define RULE_CONTROLS 5

struct EnableRule {
    EnableTest *enabled;
    int controls[RULE_CONTROLS];   // ending with 0
    bool whenOpened;               // applied when the dialog opens, too
};

// Applied as a whole after every change, so no order of changes matters.
extern const EnableRule EnableRules[];
extern const int EnableRuleCount;

#endif
