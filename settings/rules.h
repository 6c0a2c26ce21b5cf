// The settings table: one row per setting says everything about it, from its
// INI key to the dialog control that edits it. Load, save, the defaults and
// the settings dialog all walk it. Pure: no file or window is touched here.
#ifndef TUNEBELL_SETTINGS_RULES_H
#define TUNEBELL_SETTINGS_RULES_H

#include "settings/settings.h"

#define SETTINGS_SECTION "Tunebell"
#define SETTINGS_VALUE_TEXT 32

// How the settings dialog edits a setting, and so what its fill and
// read-back do with the control.
enum SettingControl {
    CONTROL_NONE,          // not in the dialog: only the file sets it
    CONTROL_CHECK_BOX,     // checked when the field is not 0; 1 or 0 back
    CONTROL_NUMBER_EDIT,   // an unsigned number kept within the accepted range
    CONTROL_COMBO,         // the field is the index (and data) of the selected item
    CONTROL_SWATCH,        // a colour picker
    CONTROL_SLIDER,        // a track bar
    CONTROL_HOT_KEY,       // a hot-key control's value
};

// A combo box's items, ending with NULL; item i stands for the value i.
struct ComboList {
    const char *const *items;
    bool extendedUi;       // the arrow keys do not open the list
};

// The save position of a setting that is only ever read (ShowText).
#define NOT_SAVED 0

struct SettingRow {
    const char *name;      // the INI key, also the field's name in Settings
    unsigned offset;       // of the field in Settings
    unsigned fieldBytes;   // 1, 2 or 4
    // 8, 16 or 32: the low bits of the file's integer that are kept, and the
    // bits written back (as unsigned text below 32, as signed text at 32).
    unsigned bits;
    int defaultValue;
    bool ranged;
    DWORD low, high;       // accepted range, compared unsigned at `bits`
    int savedAt;           // place in the save order, from 1; or NOT_SAVED
    int controlId;         // the dialog's control, 0 with CONTROL_NONE
    SettingControl control;
    const ComboList *combo;   // CONTROL_COMBO only
};

// In the order the keys are read.
extern const SettingRow SettingsTable[];
extern const int SettingCount;

const SettingRow *FindSetting(const char *name);
// The setting a dialog control edits; NULL for buttons, labels and frames.
const SettingRow *FindSettingOfControl(int controlId);
// The number of items of a combo's list.
int ComboItemCount(const ComboList *combo);

// The value a field takes for the integer read from the file: the kept bits,
// or the default when they fall outside the accepted range.
DWORD SettingValueFromIni(const SettingRow *row, int fileValue);

DWORD ReadSettingField(const Settings *s, const SettingRow *row);
// The field keeps the low bits of the value that fit its width.
void StoreSettingField(Settings *s, const SettingRow *row, DWORD value);

// The text a save writes for the field's current value.
void FormatSettingForIni(const SettingRow *row, DWORD fieldValue, char text[SETTINGS_VALUE_TEXT]);

typedef int (*SettingReader)(const char *key, int defaultValue, void *context);
typedef void (*SettingWriter)(const char *key, const char *text, void *context);

// Fills a whole record: every field is cleared, then each key is read in order.
void LoadSettingsFrom(Settings *out, SettingReader read, void *context);
// Writes every saved key, in the order of their save positions.
void SaveSettingsTo(const Settings *s, SettingWriter write, void *context);
// Copies a record field by field, each field in one store, so that readers on
// other threads see either the old or the new value of a field, never a zero.
void CopySettingsFieldwise(Settings *to, const Settings *from);

// The INI file's path below the player's INI directory; false (and an empty
// path) when the directory is missing, is no absolute path (a drive with its
// root, or a network path) or the path would not fit.
bool FormIniPath(const char *iniDir, char *path, int pathSize);

#endif
