// The registry values of Windows' colour modes and accent, as the user's
// settings pages set them: set for a test or the demo and put back as they
// were, in the prefix all of them share.
#pragma once

#include <windows.h>

// A value to remove rather than set.
const int kRemoved = -1;

// The two modes and the accent as they were when made, put back when it
// goes; in between they are set as needed.
class ThemeRegistry {
public:
    ThemeRegistry();
    ~ThemeRegistry();
    // SystemUsesLightTheme and AppsUseLightTheme (0 dark, 1 light).
    void SetModes(int systemUsesLight, int appsUseLight);
    // AccentColor, 0xAABBGGRR.
    void SetAccent(int accent);

private:
    struct Saved {
        const char *key, *name;
        bool had;
        DWORD value;
    };
    Saved saved[3];
};
