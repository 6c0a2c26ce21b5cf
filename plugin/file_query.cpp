#include "plugin/file_query.h"
#include "base/player.h"
#include "plugin/title_query.h"

bool CopyPlayerWidePath(const void *address, WCHAR path[TRACK_FILE_UNITS])
{
    SIZE_T units = ReadPlayerMemory(address, path, TRACK_FILE_UNITS * sizeof(WCHAR)) / sizeof(WCHAR);
    SIZE_T end = 0;
    while (end < units && path[end])
        end++;
    if (end == units) {
        path[0] = 0;
        return false;
    }
    return true;
}

bool CopyPlayerAnsiPath(const void *address, WCHAR path[TRACK_FILE_UNITS])
{
    char *text = (char *)HeapAlloc(GetProcessHeap(), 0, TRACK_FILE_UNITS);
    path[0] = 0;
    if (!text)
        return false;
    int length = (int)ReadPlayerMemory(address, text, TRACK_FILE_UNITS);
    int end = 0;
    while (end < length && text[end])
        end++;
    // Each byte gives at most one unit, so the path always has room.
    bool whole = end < length;
    if (whole && end > 0) {
        int units = MultiByteToWideChar(CP_ACP, 0, text, end, path, TRACK_FILE_UNITS - 1);
        path[units] = 0;
    }
    HeapFree(GetProcessHeap(), 0, text);
    return whole;
}

bool QueryTrackFile(int position, WCHAR path[TRACK_FILE_UNITS])
{
    // An older player does not know 214 and answers 0 or 1.
    LRESULT wide = AskPlayer(position, PLAYER_GET_WIDE_FILE);
    if (wide != 0 && wide != 1 && CopyPlayerWidePath((const void *)wide, path) && path[0])
        return true;
    LRESULT ansi = AskPlayer(position, PLAYER_GET_FILE);
    return CopyPlayerAnsiPath((const void *)ansi, path) && path[0];
}
