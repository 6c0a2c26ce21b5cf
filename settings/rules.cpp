// The INI keys: one table drives load, save and the dialog's bounds.
#include "settings/rules.h"

#include <stddef.h>
#include <string.h>

#define FIELD(name) offsetof(Settings, name), sizeof(((Settings *)0)->name)

// Read in this order; a ranged key outside [low, high] takes its default.
const SettingKey SettingKeys[SETTINGS_KEY_COUNT] = {
    { "DefaultColour",     FIELD(DefaultColour),     32, 0xC8FFFF, false, 0, 0,       true,  32 },
    { "DefaultTextColour", FIELD(DefaultTextColour), 32, 0x37,     false, 0, 0,       true,  32 },
    { "UseWinColors",      FIELD(UseWinColors),      8,  0,        false, 0, 0,       true,  8 },
    { "ShowText",          FIELD(ShowText),          8,  1,        false, 0, 0,       false, 8 },
    { "EnlargePopup",      FIELD(EnlargePopup),      8,  0,        false, 0, 0,       true,  8 },
    { "Enlargement",       FIELD(Enlargement),       16, 120,      true,  100, 200,   true,  16 },
    { "DynamicResize",     FIELD(DynamicResize),     8,  1,        false, 0, 0,       true,  8 },
    { "UseMinimumWidth",   FIELD(UseMinimumWidth),   8,  1,        false, 0, 0,       true,  8 },
    { "MinimumWidth",      FIELD(MinimumWidth),      16, 110,      true,  80, 160,    true,  16 },
    { "UseMaximumWidth",   FIELD(UseMaximumWidth),   8,  0,        false, 0, 0,       true,  8 },
    { "MaximumWidth",      FIELD(MaximumWidth),      16, 310,      true,  160, 640,   true,  16 },
    { "DisplayTime",       FIELD(DisplayTime),       8,  0,        false, 0, 0,       true,  8 },
    { "UseTransparency",   FIELD(UseTransparency),   8,  0,        false, 0, 0,       true,  8 },
    { "Alpha",             FIELD(Alpha),             8,  200,      false, 0, 0,       true,  8 },
    { "UseAnimations",     FIELD(UseAnimations),     8,  0,        false, 0, 0,       true,  8 },
    { "Fade",              FIELD(Fade),              8,  0,        false, 0, 0,       true,  8 },
    { "FadeInTime",        FIELD(FadeInTime),        32, 250,      true,  150, 5000,  true,  32 },
    { "FadeOutTime",       FIELD(FadeOutTime),       32, 250,      true,  150, 5000,  true,  32 },
    { "Position",          FIELD(Position),          8,  2,        true,  0, 4,       true,  8 },
    { "Style",             FIELD(Style),             8,  0,        true,  0, 1,       true,  8 },
    { "Seconds",           FIELD(Seconds),           16, 4,        true,  0, 60,      true,  16 },
    { "Spreading",         FIELD(Spreading),         8,  1,        true,  0, 1,       true,  8 },
    { "PopupOnTagUpdate",  FIELD(PopupOnTagUpdate),  8,  1,        false, 0, 0,       true,  8 },
    { "PopUpOnlyOnHotKey", FIELD(PopUpOnlyOnHotKey), 8,  0,        false, 0, 0,       true,  8 },
    { "HotKey",            FIELD(HotKey),            16, 635,      false, 0, 0,       true,  16 },
};

const char *const SavedKeyOrder[SETTINGS_SAVED_COUNT] = {
    "UseWinColors", "Seconds", "DisplayTime", "PopupOnTagUpdate", "EnlargePopup",
    "Enlargement", "DynamicResize", "UseMinimumWidth", "MinimumWidth",
    "UseMaximumWidth", "MaximumWidth", "UseTransparency", "Alpha",
    "UseAnimations", "Fade", "FadeInTime", "FadeOutTime", "Position", "Style",
    "Spreading", "DefaultColour", "DefaultTextColour", "HotKey", "PopUpOnlyOnHotKey",
};

const SettingKey *FindSettingKey(const char *name)
{
    for (int i = 0; i < SETTINGS_KEY_COUNT; i++) {
        if (lstrcmpA(SettingKeys[i].name, name) == 0)
            return &SettingKeys[i];
    }
    return NULL;
}

static DWORD KeepLowBits(DWORD value, unsigned bits)
{
    return bits >= 32 ? value : value & ((1UL << bits) - 1);
}

DWORD SettingValueFromIni(const SettingKey *key, int fileValue)
{
    DWORD kept = KeepLowBits((DWORD)fileValue, key->readBits);
    if (key->ranged && (kept < key->low || kept > key->high))
        return (DWORD)key->defaultValue;
    return kept;
}

DWORD ReadSettingField(const Settings *s, const SettingKey *key)
{
    const BYTE *field = (const BYTE *)s + key->offset;
    switch (key->fieldBytes) {
    case 1: return *field;
    case 2: return *(const WORD *)field;
    default: return *(const DWORD *)field;
    }
}

void StoreSettingField(Settings *s, const SettingKey *key, DWORD value)
{
    BYTE *field = (BYTE *)s + key->offset;
    switch (key->fieldBytes) {
    case 1: *field = (BYTE)value; break;
    case 2: *(WORD *)field = (WORD)value; break;
    default: *(DWORD *)field = value; break;
    }
}

void FormatSettingForIni(const SettingKey *key, DWORD fieldValue, char text[SETTINGS_VALUE_TEXT])
{
    if (key->writeBits >= 32)
        wsprintfA(text, "%d", (int)fieldValue);
    else
        wsprintfA(text, "%d", (int)KeepLowBits(fieldValue, key->writeBits));
}

void LoadSettingsFrom(Settings *out, SettingReader read, void *context)
{
    memset(out, 0, sizeof(*out));
    for (int i = 0; i < SETTINGS_KEY_COUNT; i++) {
        const SettingKey *key = &SettingKeys[i];
        int fileValue = read(key->name, key->defaultValue, context);
        StoreSettingField(out, key, SettingValueFromIni(key, fileValue));
    }
}

void SaveSettingsTo(const Settings *s, SettingWriter write, void *context)
{
    char text[SETTINGS_VALUE_TEXT];
    for (int i = 0; i < SETTINGS_SAVED_COUNT; i++) {
        const SettingKey *key = FindSettingKey(SavedKeyOrder[i]);
        if (!key || !key->written)
            continue;
        FormatSettingForIni(key, ReadSettingField(s, key), text);
        write(key->name, text, context);
    }
}

void CopySettingsFieldwise(Settings *to, const Settings *from)
{
    for (int i = 0; i < SETTINGS_KEY_COUNT; i++)
        StoreSettingField(to, &SettingKeys[i], ReadSettingField(from, &SettingKeys[i]));
}

static bool IsSlash(char c)
{
    return c == '\\' || c == '/';
}

// A drive and its root ("C:\Player", or "C:" for the root itself) or a
// network path ("\\server\share"). Anything else would be taken from the
// current folder or drive, which are not the player's.
static bool IsAbsoluteDirectory(const char *dir)
{
    char letter = (char)(dir[0] | 0x20);
    if (letter >= 'a' && letter <= 'z' && dir[1] == ':')
        return dir[2] == 0 || IsSlash(dir[2]);
    return IsSlash(dir[0]) && IsSlash(dir[1]) && dir[2] && !IsSlash(dir[2]);
}

bool FormIniPath(const char *iniDir, char *path, int pathSize)
{
    static const char fileName[] = "\\plugins\\tunebell.ini";
    if (pathSize > 0)
        path[0] = 0;
    if (!iniDir || !IsAbsoluteDirectory(iniDir))
        return false;
    int dirLength = lstrlenA(iniDir);
    int nameLength = (int)sizeof(fileName) - 1;
    if (dirLength + nameLength >= pathSize)
        return false;
    memcpy(path, iniDir, dirLength);
    memcpy(path + dirLength, fileName, nameLength + 1);
    return true;
}
