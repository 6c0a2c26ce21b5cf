// The table of INI keys and the rules that turn file text into settings and
// settings back into file text. Pure: no file is touched here.
#ifndef TUNEBELL_SETTINGS_RULES_H
#define TUNEBELL_SETTINGS_RULES_H

#include "settings/settings.h"

#define SETTINGS_SECTION "Tunebell"
#define SETTINGS_KEY_COUNT 25
#define SETTINGS_SAVED_COUNT 24
#define SETTINGS_VALUE_TEXT 32

struct SettingKey {
    const char *name;
    unsigned offset;       // of the field in Settings
    unsigned fieldBytes;   // 1, 2 or 4
    unsigned readBits;     // 8, 16 or 32: the part of the file's integer kept
    int defaultValue;
    bool ranged;
    DWORD low, high;       // accepted range, compared unsigned at readBits
    bool written;          // ShowText is only ever read
    unsigned writeBits;    // 8 or 16: unsigned text of that many low bits; 32: signed
};

// In the order the keys are read.
extern const SettingKey SettingKeys[SETTINGS_KEY_COUNT];
// In the order the keys are written.
extern const char *const SavedKeyOrder[SETTINGS_SAVED_COUNT];

const SettingKey *FindSettingKey(const char *name);

// The value a field takes for the integer read from the file: the kept bits,
// or the default when they fall outside the accepted range.
DWORD SettingValueFromIni(const SettingKey *key, int fileValue);

DWORD ReadSettingField(const Settings *s, const SettingKey *key);
void StoreSettingField(Settings *s, const SettingKey *key, DWORD value);

// The text a save writes for the field's current value.
void FormatSettingForIni(const SettingKey *key, DWORD fieldValue, char text[SETTINGS_VALUE_TEXT]);

typedef int (*SettingReader)(const char *key, int defaultValue, void *context);
typedef void (*SettingWriter)(const char *key, const char *text, void *context);

// Fills a whole record: every field is cleared, then each key is read in order.
void LoadSettingsFrom(Settings *out, SettingReader read, void *context);
// Writes the 24 saved keys in their order.
void SaveSettingsTo(const Settings *s, SettingWriter write, void *context);
// Copies a record field by field, each field in one store, so that readers on
// other threads see either the old or the new value of a field, never a zero.
void CopySettingsFieldwise(Settings *to, const Settings *from);

// The INI file's path below the player's INI directory; false (and an empty
// path) when the directory is missing, is no absolute path (a drive with its
// root, or a network path) or the path would not fit.
bool FormIniPath(const char *iniDir, char *path, int pathSize);

#endif
