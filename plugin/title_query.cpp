#include "plugin/title_query.h"
#include "plugin/plugin.h"

static const WCHAR kUnknownTitle[] = L"Unknown";

SIZE_T ReadableBytes(const MEMORY_BASIC_INFORMATION *region, ULONG_PTR address)
{
    if (region->State != MEM_COMMIT || (region->Protect & (PAGE_GUARD | PAGE_NOACCESS)))
        return 0;
    const DWORD readable = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ
                         | PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
    if (!(region->Protect & readable))
        return 0;
    ULONG_PTR base = (ULONG_PTR)region->BaseAddress;
    if (address < base || address - base >= region->RegionSize)
        return 0;
    return region->RegionSize - (address - base);
}

int KeptTitleUnits(const WCHAR *units, int count)
{
    if (count > TRACK_TITLE_UNITS)
        count = TRACK_TITLE_UNITS;
    // A first half last has lost its second.
    if (count > 0 && IS_HIGH_SURROGATE(units[count - 1]))
        count--;
    return count;
}

// Copies at most `most` bytes from `address` on, never past the end of its
// memory region; returns how many were copied, 0 when none can be read. The
// copy goes through ReadProcessMemory, which fails instead of faulting should
// the player free the memory between the look and the read.
static SIZE_T ReadPlayerMemory(const void *address, void *buffer, SIZE_T most)
{
    MEMORY_BASIC_INFORMATION region;
    if (!address || !VirtualQuery(address, &region, sizeof(region)))
        return 0;
    SIZE_T bytes = ReadableBytes(&region, (ULONG_PTR)address);
    if (bytes > most)
        bytes = most;
    SIZE_T copied = 0;
    if (!bytes || !ReadProcessMemory(GetCurrentProcess(), address, buffer, bytes, &copied))
        return 0;
    return copied;
}

// Ends the copy after the units kept of the `count` read.
static void EndTitle(WCHAR copy[TRACK_TITLE_COPY], int count)
{
    copy[KeptTitleUnits(copy, count)] = 0;
}

bool CopyPlayerWideText(const void *address, WCHAR copy[TRACK_TITLE_COPY])
{
    // One unit more than is kept, to see whether a pair straddles the cut.
    SIZE_T bytes = ReadPlayerMemory(address, copy, TRACK_TITLE_COPY * sizeof(WCHAR));
    if (bytes < sizeof(WCHAR)) {
        copy[0] = 0;
        return false;
    }
    int count = 0, read = (int)(bytes / sizeof(WCHAR));
    while (count < read && copy[count])
        count++;
    EndTitle(copy, count);
    return true;
}

bool CopyPlayerAnsiText(const void *address, WCHAR copy[TRACK_TITLE_COPY])
{
    char text[ANSI_TITLE_READ];
    WCHAR wide[ANSI_TITLE_READ];
    int length = (int)ReadPlayerMemory(address, text, sizeof(text));
    if (length == 0) {
        copy[0] = 0;
        return false;
    }
    int end = 0;
    while (end < length && text[end])
        end++;
    // Each byte gives at most one unit, so `wide` always has room.
    int count = end ? MultiByteToWideChar(CP_ACP, 0, text, end, wide, ANSI_TITLE_READ) : 0;
    if (count > TRACK_TITLE_COPY)
        count = TRACK_TITLE_COPY;
    CopyMemory(copy, wide, count * sizeof(WCHAR));
    EndTitle(copy, count);
    return true;
}

const WCHAR *QueryTrackTitle(int position, WCHAR copy[TRACK_TITLE_COPY])
{
    // An older player does not know 213 and answers 0 or 1.
    LRESULT wide = AskPlayer(position, PLAYER_GET_WIDE_TITLE);
    if (wide != 0 && wide != 1 && CopyPlayerWideText((const void *)wide, copy))
        return copy;
    const void *ansi = (const void *)AskPlayer(position, PLAYER_GET_TITLE);
    if (CopyPlayerAnsiText(ansi, copy))
        return copy;
    return kUnknownTitle;
}
