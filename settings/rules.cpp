// The settings table and the rules that turn file text into settings and
// settings back into file text.
#include "settings/rules.h"
#include "res/resource.h"

#include <commctrl.h>
#include <stddef.h>
#include <string.h>

// The key is also the field's name in Settings.
#define KEY(name) #name, offsetof(Settings, name), sizeof(((Settings *)0)->name)
#define ANY_VALUE false, 0, 0
#define RANGE(low, high) true, low, high
#define CTRL_F12 MAKEWORD(VK_F12, HOTKEYF_CONTROL)

#define NO_CONTROL 0, CONTROL_NONE, NULL
#define CHECK_BOX(id) id, CONTROL_CHECK_BOX, NULL
#define NUMBER_EDIT(id) id, CONTROL_NUMBER_EDIT, NULL
#define COMBO(id, list) id, CONTROL_COMBO, &list
#define SWATCH(id) id, CONTROL_SWATCH, NULL
#define SLIDER(id) id, CONTROL_SLIDER, NULL
#define HOT_KEY(id) id, CONTROL_HOT_KEY, NULL

static const char *const PositionItems[] = {
    "... upper left corner", "... lower left corner", "... lower right corner",
    "... upper right corner", "... center", NULL,
};
static const char *const StyleItems[] = { "... beveled style", "... flat style", NULL };
static const char *const SpreadingItems[] = { "... horizontally", "... vertically", NULL };
static const char *const MonitorItems[] = {
    "primary monitor", "the player's monitor", "the monitor with the pointer", NULL,
};

static const ComboList PositionList = { PositionItems, true };
static const ComboList StyleList = { StyleItems, true };
static const ComboList SpreadingList = { SpreadingItems, false };
static const ComboList MonitorList = { MonitorItems, true };

// Read in this order, each key kept to its bits; a ranged key outside its
// range takes its default. Written in the order of the saved column.
const SettingRow SettingsTable[] = {
    // key                    bits default               accepted                   saved      dialog
    { KEY(DefaultColour),     32, 0xC8FFFF,             ANY_VALUE,                 21,        SWATCH(IDC_BACK_COLOUR) },
    { KEY(DefaultTextColour), 32, 0x37,                 ANY_VALUE,                 22,        SWATCH(IDC_TEXT_COLOUR) },
    { KEY(UseWinColors),      8,  0,                    ANY_VALUE,                 1,         CHECK_BOX(IDC_WIN_COLOURS) },
    { KEY(ShowText),          8,  1,                    ANY_VALUE,                 NOT_SAVED, NO_CONTROL },
    { KEY(EnlargePopup),      8,  0,                    ANY_VALUE,                 5,         CHECK_BOX(IDC_ENLARGE) },
    { KEY(Enlargement),       16, 120,                  RANGE(100, 200),           6,         NUMBER_EDIT(IDC_ENLARGEMENT) },
    { KEY(DynamicResize),     8,  1,                    ANY_VALUE,                 7,         CHECK_BOX(IDC_DYNAMIC_RESIZE) },
    { KEY(UseMinimumWidth),   8,  1,                    ANY_VALUE,                 8,         CHECK_BOX(IDC_USE_MIN_WIDTH) },
    { KEY(MinimumWidth),      16, 110,                  RANGE(80, 160),            9,         NUMBER_EDIT(IDC_MIN_WIDTH) },
    { KEY(UseMaximumWidth),   8,  0,                    ANY_VALUE,                 10,        CHECK_BOX(IDC_USE_MAX_WIDTH) },
    { KEY(MaximumWidth),      16, 310,                  RANGE(160, 640),           11,        NUMBER_EDIT(IDC_MAX_WIDTH) },
    { KEY(DisplayTime),       8,  0,                    ANY_VALUE,                 3,         CHECK_BOX(IDC_DISPLAY_TIME) },
    { KEY(UseTransparency),   8,  0,                    ANY_VALUE,                 12,        CHECK_BOX(IDC_TRANSPARENCY) },
    { KEY(Alpha),             8,  200,                  ANY_VALUE,                 13,        SLIDER(IDC_ALPHA) },
    { KEY(UseAnimations),     8,  0,                    ANY_VALUE,                 14,        CHECK_BOX(IDC_ANIMATE) },
    { KEY(Fade),              8,  0,                    ANY_VALUE,                 15,        CHECK_BOX(IDC_FADE) },
    { KEY(FadeInTime),        32, 250,                  RANGE(150, 5000),          16,        NUMBER_EDIT(IDC_FADE_IN_TIME) },
    { KEY(FadeOutTime),       32, 250,                  RANGE(150, 5000),          17,        NUMBER_EDIT(IDC_FADE_OUT_TIME) },
    { KEY(Position),          8,  POSITION_LOWER_RIGHT, RANGE(0, POSITION_CENTRE), 18,        COMBO(IDC_POSITION, PositionList) },
    { KEY(Style),             8,  STYLE_BEVELED,        RANGE(0, STYLE_FLAT),      19,        COMBO(IDC_STYLE, StyleList) },
    { KEY(Seconds),           16, 4,                    RANGE(0, 60),              2,         NUMBER_EDIT(IDC_SECONDS) },
    { KEY(Spreading),         8,  SPREAD_COLUMN,        RANGE(0, SPREAD_COLUMN),   20,        COMBO(IDC_SPREADING, SpreadingList) },
    { KEY(PopupOnTagUpdate),  8,  1,                    ANY_VALUE,                 4,         CHECK_BOX(IDC_TAG_UPDATE) },
    { KEY(PopUpOnlyOnHotKey), 8,  0,                    ANY_VALUE,                 24,        CHECK_BOX(IDC_HOTKEY_ONLY) },
    { KEY(HotKey),            16, CTRL_F12,             ANY_VALUE,                 23,        HOT_KEY(IDC_HOTKEY) },
    { KEY(Monitor),           8,  MONITOR_PRIMARY,      RANGE(0, MONITOR_POINTER), 25,        COMBO(IDC_MONITOR, MonitorList) },
    { KEY(QuietInFullscreen), 8,  1,                    ANY_VALUE,                 26,        CHECK_BOX(IDC_QUIET_FULLSCREEN) },
    { KEY(HoldOnHover),       8,  1,                    ANY_VALUE,                 27,        CHECK_BOX(IDC_HOLD_ON_HOVER) },
    { KEY(ShowCover),         8,  1,                    ANY_VALUE,                 28,        CHECK_BOX(IDC_SHOW_COVER) },
    { KEY(CoverSize),         16, 64,                   RANGE(32, 128),            29,        NUMBER_EDIT(IDC_COVER_SIZE) },
    { KEY(Controls),          8,  1,                    ANY_VALUE,                 30,        CHECK_BOX(IDC_CONTROLS) },
    { KEY(WindowsLook),       8,  0,                    ANY_VALUE,                 32,        CHECK_BOX(IDC_WINDOWS_LOOK) },
    { KEY(MediaControls),     8,  1,                    ANY_VALUE,                 31,        CHECK_BOX(IDC_MEDIA_CONTROLS) },
};

const int SettingCount = sizeof(SettingsTable) / sizeof(SettingsTable[0]);

const SettingRow *FindSetting(const char *name)
{
    for (int i = 0; i < SettingCount; i++) {
        if (lstrcmpA(SettingsTable[i].name, name) == 0)
            return &SettingsTable[i];
    }
    return NULL;
}

const SettingRow *FindSettingOfControl(int controlId)
{
    for (int i = 0; i < SettingCount; i++) {
        if (SettingsTable[i].control != CONTROL_NONE && SettingsTable[i].controlId == controlId)
            return &SettingsTable[i];
    }
    return NULL;
}

int ComboItemCount(const ComboList *combo)
{
    int count = 0;
    while (combo->items[count])
        count++;
    return count;
}

static DWORD KeepLowBits(DWORD value, unsigned bits)
{
    return bits >= 32 ? value : value & ((1UL << bits) - 1);
}

DWORD SettingValueFromIni(const SettingRow *row, int fileValue)
{
    DWORD kept = KeepLowBits((DWORD)fileValue, row->bits);
    if (row->ranged && (kept < row->low || kept > row->high))
        return (DWORD)row->defaultValue;
    return kept;
}

DWORD ReadSettingField(const Settings *s, const SettingRow *row)
{
    const BYTE *field = (const BYTE *)s + row->offset;
    switch (row->fieldBytes) {
    case 1: return *field;
    case 2: return *(const WORD *)field;
    default: return *(const DWORD *)field;
    }
}

void StoreSettingField(Settings *s, const SettingRow *row, DWORD value)
{
    BYTE *field = (BYTE *)s + row->offset;
    switch (row->fieldBytes) {
    case 1: *field = (BYTE)value; break;
    case 2: *(WORD *)field = (WORD)value; break;
    default: *(DWORD *)field = value; break;
    }
}

void FormatSettingForIni(const SettingRow *row, DWORD fieldValue, char text[SETTINGS_VALUE_TEXT])
{
    if (row->bits >= 32)
        wsprintfA(text, "%d", (int)fieldValue);
    else
        wsprintfA(text, "%d", (int)KeepLowBits(fieldValue, row->bits));
}

void LoadSettingsFrom(Settings *out, SettingReader read, void *context)
{
    memset(out, 0, sizeof(*out));
    for (int i = 0; i < SettingCount; i++) {
        const SettingRow *row = &SettingsTable[i];
        int fileValue = read(row->name, row->defaultValue, context);
        StoreSettingField(out, row, SettingValueFromIni(row, fileValue));
    }
}

void SaveSettingsTo(const Settings *s, SettingWriter write, void *context)
{
    char text[SETTINGS_VALUE_TEXT];
    for (int place = 1; place <= SettingCount; place++) {
        for (int i = 0; i < SettingCount; i++) {
            const SettingRow *row = &SettingsTable[i];
            if (row->savedAt != place)
                continue;
            FormatSettingForIni(row, ReadSettingField(s, row), text);
            write(row->name, text, context);
        }
    }
}

void CopySettingsFieldwise(Settings *to, const Settings *from)
{
    for (int i = 0; i < SettingCount; i++)
        StoreSettingField(to, &SettingsTable[i], ReadSettingField(from, &SettingsTable[i]));
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
