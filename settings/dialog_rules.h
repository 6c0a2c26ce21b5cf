// What the settings dialog decides without looking at a window: the bounds
// and reading of its numeric edits, its texts, its combo items and when each
// group of controls is enabled. Pure.
#ifndef TUNEBELL_DIALOG_RULES_H
#define TUNEBELL_DIALOG_RULES_H

#include <windows.h>
#include "settings/rules.h"

#define DIALOG_CAPTION "Tunebell Plugin v0.5 "
#define PREVIEW_TEXT "Notifies you which song is playing in Winamp!\nCool, isn't it?"
extern const char CreditsText[];

#define OPACITY_TEXT_SIZE 32
#define RANGE_ERROR_SIZE  128
#define SAVE_ERROR_SIZE   1024   // the most wsprintfA writes
// Longer edit text cannot be a number that fits 32 bits.
#define EDIT_NUMBER_TEXT  64

// The INI key whose field a numeric edit holds, and whose accepted range is
// the edit's bounds; NULL when the control is not a numeric edit.
const SettingKey *NumericEditKey(int controlId);

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

// A combo box and its items; an item's data and index are the field's value.
struct DialogCombo {
    int id;
    const char *const *items;
    int count;
    bool extendedUi;
};
#define DIALOG_COMBO_COUNT 3
// In the order they are filled: position, style, spreading.
extern const DialogCombo DialogCombos[DIALOG_COMBO_COUNT];

// What the enable rules look at.
struct EnableFacts {
    bool layering;       // SetLayeredWindowAttributes was found
    bool animation;      // AnimateWindow was found
    bool enlargeBox;     // 1006
    bool dynamicBox;     // 1008
    bool minimumBox;     // 1009
    bool maximumBox;     // 1011
    bool fadeBox;        // 1014
    bool useAnimations;  // the fields, not their boxes
    bool fade;
    bool useWinColors;
    int position;
};

enum EnableRule { R1 = 1, R2, R3, R4, R5, R6, R7, R8, R9, R10 };

// Whether the rule's controls are enabled in this state.
bool RuleEnables(EnableRule rule, const EnableFacts *facts);
// The rule's controls, ending with 0.
const int *RuleControls(EnableRule rule);

#endif
