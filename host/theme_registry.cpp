// Windows' colour modes and accent in the registry.
#include "host/theme_registry.h"

static const char kPersonalize[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";
static const char kDwm[] = "Software\\Microsoft\\Windows\\DWM";

static void Write(const char *key, const char *name, bool present, DWORD value)
{
    HKEY opened;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, NULL, 0, KEY_SET_VALUE, NULL, &opened, NULL) != ERROR_SUCCESS)
        return;
    if (present)
        RegSetValueExA(opened, name, 0, REG_DWORD, (const BYTE *)&value, sizeof value);
    else
        RegDeleteValueA(opened, name);
    RegCloseKey(opened);
}

ThemeRegistry::ThemeRegistry()
    : saved{ { kPersonalize, "SystemUsesLightTheme", false, 0 },
             { kPersonalize, "AppsUseLightTheme", false, 0 },
             { kDwm, "AccentColor", false, 0 } }
{
    for (Saved &s : saved) {
        DWORD type = 0, size = sizeof s.value;
        HKEY key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, s.key, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
            continue;
        s.had = RegQueryValueExA(key, s.name, NULL, &type, (BYTE *)&s.value, &size) == ERROR_SUCCESS &&
                type == REG_DWORD;
        RegCloseKey(key);
    }
}

ThemeRegistry::~ThemeRegistry()
{
    for (const Saved &s : saved)
        Write(s.key, s.name, s.had, s.value);
}

void ThemeRegistry::SetModes(int systemUsesLight, int appsUseLight)
{
    Write(kPersonalize, "SystemUsesLightTheme", systemUsesLight != kRemoved, (DWORD)systemUsesLight);
    Write(kPersonalize, "AppsUseLightTheme", appsUseLight != kRemoved, (DWORD)appsUseLight);
}

void ThemeRegistry::SetAccent(int accent)
{
    Write(kDwm, "AccentColor", accent != kRemoved, (DWORD)accent);
}
