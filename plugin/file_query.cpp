#include "plugin/file_query.h"
#include "base/player.h"
#include "plugin/title_query.h"

static bool IsZeroUnit(const BYTE *unit, int unitBytes)
{
    for (int i = 0; i < unitBytes; i++)
        if (unit[i])
            return false;
    return true;
}

// Most names are a few dozen units long: a piece at a time keeps each event
// from copying 64 KiB of the player's memory to find one terminator.
int ReadPlayerName(const void *address, void *buffer, int unitBytes, int most, int *unitsRead)
{
    BYTE *out = (BYTE *)buffer;
    int done = 0;
    *unitsRead = 0;
    while (address && done < most) {
        int want = most - done < NAME_PIECE_UNITS ? most - done : NAME_PIECE_UNITS;
        int got = (int)(ReadPlayerMemory((const BYTE *)address + done * unitBytes, out + done * unitBytes,
                                         (SIZE_T)want * unitBytes) / unitBytes);
        *unitsRead = done + got;
        for (int i = done; i < done + got; i++)
            if (IsZeroUnit(out + i * unitBytes, unitBytes))
                return i;
        done += got;
        if (got < want)
            break;
    }
    return -1;
}

bool CopyPlayerWidePath(const void *address, WCHAR path[TRACK_FILE_UNITS])
{
    int read;
    if (ReadPlayerName(address, path, sizeof(WCHAR), TRACK_FILE_UNITS, &read) < 0) {
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
    int read;
    int end = ReadPlayerName(address, text, 1, TRACK_FILE_UNITS, &read);
    // Each byte gives at most one unit, so the path always has room.
    if (end > 0) {
        int units = MultiByteToWideChar(CP_ACP, 0, text, end, path, TRACK_FILE_UNITS - 1);
        path[units] = 0;
    }
    HeapFree(GetProcessHeap(), 0, text);
    return end >= 0;
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
