// The plug-in's settings: one global record, named field for field after the
// keys of the INI file, read by every thread without a lock; the table with
// a row for each that load, save, the defaults and the settings dialog all
// walk; and the file they are kept in. The one header of settings/ that code
// outside it includes.
#ifndef TUNEBELL_SETTINGS_H
#define TUNEBELL_SETTINGS_H

#include <windows.h>

// The values of Position: where the first popup goes.
enum PopupPosition {
    POSITION_UPPER_LEFT = 0,
    POSITION_LOWER_LEFT = 1,
    POSITION_LOWER_RIGHT = 2,
    POSITION_UPPER_RIGHT = 3,
    POSITION_CENTRE = 4,
};

// The values of Style.
enum PopupStyle {
    STYLE_BEVELED = 0,
    STYLE_FLAT = 1,
};

// The values of Spreading: how further popups stack beside the first.
enum PopupSpreading {
    SPREAD_ROW = 0,      // horizontally
    SPREAD_COLUMN = 1,   // vertically
};

// The values of Monitor: whose work area the corners are in.
enum PopupMonitor {
    MONITOR_PRIMARY = 0,
    MONITOR_PLAYER = 1,    // the monitor that holds the player's main window
    MONITOR_POINTER = 2,   // the monitor under the mouse pointer
};

// The fields keep the widths the INI file and the other threads rely on; the
// four above are stored in plain ints.
struct Settings {
    BYTE DisplayTime;
    COLORREF DefaultColour;
    COLORREF DefaultTextColour;
    BYTE UseWinColors;
    BYTE UseTransparency;
    BYTE Alpha;
    BYTE ShowText;
    BYTE EnlargePopup;
    WORD Enlargement;
    BYTE DynamicResize;
    BYTE UseMinimumWidth;
    WORD MinimumWidth;
    BYTE UseMaximumWidth;
    WORD MaximumWidth;
    BYTE UseAnimations;
    BYTE Fade;
    int FadeInTime;
    int FadeOutTime;
    int Position;          // a PopupPosition
    int Style;             // a PopupStyle
    int Spreading;         // a PopupSpreading
    int Seconds;           // 0: until clicked
    BYTE PopupOnTagUpdate;
    int PopUpOnlyOnHotKey;
    WORD HotKey;           // hot-key control value: low byte key, high byte HOTKEYF_*
    int Monitor;           // a PopupMonitor
    BYTE QuietInFullscreen;   // no track popup while a program runs full screen
    BYTE HoldOnHover;      // a popup the pointer rests on stays open
    BYTE ShowCover;        // the track's album cover in place of the icon
    WORD CoverSize;        // the cover's side in pixels at 96 dpi
    BYTE Controls;         // popups control the player: buttons, wheel, middle click
    BYTE WindowsLook;      // popups look as Windows' own: light or dark, its accent, its font
    BYTE MediaControls;    // the player shown in Windows' own media controls
};

extern Settings gSettings;

// --- the settings table -----------------------------------------------------
// One row per setting says everything about it, from its INI key to the
// dialog control that edits it.

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

DWORD ReadSettingField(const Settings *s, const SettingRow *row);
// The field keeps the low bits of the value that fit its width.
void StoreSettingField(Settings *s, const SettingRow *row, DWORD value);

// --- the file ----------------------------------------------------------------

// Full path of the INI file, or NULL when it could not be formed (then the
// defaults load and nothing is saved).
extern const char *IniPath;

void ResolveIniPath(void);
void LoadSettings(void);
// Writes the settings; false when any write failed or there is no INI path.
bool SaveSettings(void);

#endif
