// The rules between the settings table and the INI file: reading a key's
// integer into its field, writing the field back, the order of both, and
// where the file lies. Pure: no file or window is touched here.
#ifndef TUNEBELL_SETTINGS_RULES_H
#define TUNEBELL_SETTINGS_RULES_H

#include "settings/settings.h"

#define SETTINGS_SECTION "Tunebell"
#define SETTINGS_VALUE_TEXT 32

// The value a field takes for the integer read from the file: the kept bits,
// or the default when they fall outside the accepted range.
DWORD SettingValueFromIni(const SettingRow *row, int fileValue);

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
