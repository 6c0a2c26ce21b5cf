// The plug-in's settings: one global record, named field for field after the
// keys of the INI file, read by every thread without a lock.
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
};

extern Settings gSettings;

// Full path of the INI file, or NULL when it could not be formed (then the
// defaults load and nothing is saved).
extern const char *IniPath;

void ResolveIniPath(void);
void LoadSettings(void);
// Writes the settings; false when any write failed or there is no INI path.
bool SaveSettings(void);

#endif
