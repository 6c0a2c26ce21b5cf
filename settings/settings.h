// The plug-in's settings: one global record, named field for field after the
// keys of the INI file, read by every thread without a lock.
#ifndef TUNEBELL_SETTINGS_H
#define TUNEBELL_SETTINGS_H

#include <windows.h>

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
    int Position;          // 0 upper left, 1 lower left, 2 lower right, 3 upper right, 4 centre
    int Style;             // 0 beveled, 1 flat
    int Spreading;         // 0 horizontally, 1 vertically
    int Seconds;           // 0: until clicked
    BYTE PopupOnTagUpdate;
    int PopUpOnlyOnHotKey;
    WORD HotKey;           // hot-key control value: low byte key, high byte HOTKEYF_*
};

extern Settings gSettings;

// Full path of the INI file, or NULL when it could not be formed (then the
// defaults load and nothing is saved).
extern const char *IniPath;

void ResolveIniPath(void);
void LoadSettings(void);
// Writes the settings, then hands the hot key over; false (and the hot key
// left as it was) when any write failed or there is no INI path.
bool SaveSettings(void);

#endif
