// Folders the player, the tests and the demo make and clear away, and the
// plug-in's settings file below the player's INI directory.
#include "host/player.h"

#include <stdio.h>
#include <string.h>

#include <string>

bool PlayerMakeDirectories(const char *path)
{
    char partial[MAX_PATH];
    size_t length = strlen(path);
    if (length == 0 || length >= sizeof partial)
        return false;
    for (size_t i = 1; i <= length; i++) {
        if (i == length || path[i] == '\\' || path[i] == '/') {
            memcpy(partial, path, i);
            partial[i] = '\0';
            // "C:" and "\\server" parts fail harmlessly; the end decides.
            CreateDirectoryA(partial, NULL);
        }
    }
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void PlayerRemoveTree(const char *path)
{
    std::string dir = path;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((dir + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (strcmp(found.cFileName, ".") == 0 || strcmp(found.cFileName, "..") == 0)
                continue;
            std::string inner = dir + "\\" + found.cFileName;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                PlayerRemoveTree(inner.c_str());
            else
                DeleteFileA(inner.c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(path);
}

std::string PlayerSettingsFile()
{
    return std::string(PlayerIniDir()) + "\\plugins\\tunebell.ini";
}

bool PlayerWriteSetting(const char *key, int value)
{
    char text[16];
    snprintf(text, sizeof text, "%d", value);
    return WritePrivateProfileStringA("Tunebell", key, text, PlayerSettingsFile().c_str()) != FALSE;
}

int PlayerReadSetting(const char *key, int missing)
{
    return (int)GetPrivateProfileIntA("Tunebell", key, missing, PlayerSettingsFile().c_str());
}
