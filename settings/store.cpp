// Settings in the INI file below the player's INI directory.
#include "settings/settings.h"
#include "settings/rules.h"
#include "plugin/plugin.h"
#include "plugin/hotkey.h"

Settings gSettings;
const char *IniPath;

// The path is formed in our own buffer: the player's directory buffer is
// shared with the player and every other plug-in, so it is never written.
static char gIniPathBuffer[MAX_PATH];

void ResolveIniPath(void)
{
    const char *iniDir = (const char *)AskPlayer(0, PLAYER_GET_INI_DIR);
    IniPath = FormIniPath(iniDir, gIniPathBuffer, sizeof(gIniPathBuffer)) ? gIniPathBuffer : NULL;
}

static int ReadIniKey(const char *key, int defaultValue, void *)
{
    if (!IniPath)
        return defaultValue;
    return (int)GetPrivateProfileIntA(SETTINGS_SECTION, key, defaultValue, IniPath);
}

static void WriteIniKey(const char *key, const char *text, void *)
{
    WritePrivateProfileStringA(SETTINGS_SECTION, key, text, IniPath);
}

void LoadSettings(void)
{
    // Popup threads read the settings while this runs (the dialog's Cancel):
    // they must never see a record half cleared.
    Settings loaded;
    LoadSettingsFrom(&loaded, ReadIniKey, NULL);
    CopySettingsFieldwise(&gSettings, &loaded);
}

void SaveSettings(void)
{
    if (IniPath)
        SaveSettingsTo(&gSettings, WriteIniKey, NULL);
    SetHotKey(gSettings.HotKey);
}
