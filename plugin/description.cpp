#include "plugin/description.h"
#include "res/version.h"

#include <windows.h>

const char *FileNamePart(const char *path)
{
    const char *p = path + lstrlenA(path);
    while (p > path && *p != '\\')
        p--;
    return *p == '\\' ? p + 1 : path;
}

void FormatDescription(char *description, const char *modulePath)
{
    // wsprintfA writes at most 1024 bytes; a file name can be nearly 512, so
    // format into room of that size and cut to the player's buffer.
    char text[1024];
    wsprintfA(text, "%s [ %s ]", TUNEBELL_TITLE, FileNamePart(modulePath));
    lstrcpynA(description, text, DESCRIPTION_SIZE);
}
