// Settings in the INI file below the player's INI directory.
#include "settings/settings.h"
#include "settings/rules.h"
#include "base/player.h"

Settings gSettings;
const char *IniPath;

// The path is formed in our own buffer: the player's directory buffer is
// shared with the player and every other plug-in, so it is never written.
static char gIniPathBuffer[MAX_PATH];

void ResolveIniPath(void)
{
    // Read in one copy that stops at memory it cannot read (lstrcpynA then
    // returns NULL), so that a bad pointer from the player gives no path
    // rather than a fault. A directory too long for the copy is cut, and
    // then too long for the path as well.
    const char *answer = (const char *)AskPlayer(0, PLAYER_GET_INI_DIR);
    char iniDir[MAX_PATH];
    if (!answer || !lstrcpynA(iniDir, answer, sizeof(iniDir)))
        iniDir[0] = 0;
    IniPath = FormIniPath(iniDir, gIniPathBuffer, sizeof(gIniPathBuffer)) ? gIniPathBuffer : NULL;
}

static int ReadIniKey(const char *key, int defaultValue, void *)
{
    if (!IniPath)
        return defaultValue;
    return (int)GetPrivateProfileIntA(SETTINGS_SECTION, key, defaultValue, IniPath);
}

static void WriteIniKey(const char *key, const char *text, void *allWritten)
{
    if (!WritePrivateProfileStringA(SETTINGS_SECTION, key, text, IniPath))
        *(bool *)allWritten = false;
}

// The player makes its settings folder, but not always the plugins folder
// below it, where the file goes.
static void MakeIniFolder(void)
{
    char folder[MAX_PATH];
    lstrcpynA(folder, IniPath, sizeof(folder));
    char *slash = folder + lstrlenA(folder);
    while (slash > folder && *slash != '\\')
        slash--;
    *slash = 0;
    if (folder[0])
        CreateDirectoryA(folder, NULL);
}

void LoadSettings(void)
{
    // Popup threads read the settings while this runs (the dialog's Cancel):
    // they must never see a record half cleared.
    Settings loaded;
    LoadSettingsFrom(&loaded, ReadIniKey, NULL);
    CopySettingsFieldwise(&gSettings, &loaded);
}

bool SaveSettings(void)
{
    if (!IniPath)
        return false;
    MakeIniFolder();
    bool allWritten = true;
    // Each write goes through to the file and reports whether it got there
    // (a flush of the whole file afterwards would tell nothing more, and
    // Wine answers FALSE to it whatever happens).
    SaveSettingsTo(&gSettings, WriteIniKey, &allWritten);
    return allWritten;
}
