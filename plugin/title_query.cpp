#include "plugin/title_query.h"
#include "base/player.h"

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

// Region by region. Each copy goes through ReadProcessMemory, which fails
// instead of faulting should the player free the memory between the look and
// the read.
SIZE_T ReadPlayerMemory(const void *address, void *buffer, SIZE_T most)
{
    SIZE_T copied = 0;
    while (address && copied < most) {
        const BYTE *at = (const BYTE *)address + copied;
        MEMORY_BASIC_INFORMATION region;
        if (!VirtualQuery(at, &region, sizeof(region)))
            break;
        SIZE_T bytes = ReadableBytes(&region, (ULONG_PTR)at);
        if (bytes > most - copied)
            bytes = most - copied;
        SIZE_T read = 0;
        if (!bytes || !ReadProcessMemory(GetCurrentProcess(), at, (BYTE *)buffer + copied, bytes, &read))
            break;
        copied += read;
        if (read < bytes)
            break;
    }
    return copied;
}

bool CopyPlayerWideText(const void *address, WCHAR copy[TRACK_TITLE_COPY])
{
    // One unit more than is kept, to see whether a pair straddles the cut.
    const SIZE_T most = TRACK_TITLE_COPY * sizeof(WCHAR);
    SIZE_T bytes = ReadPlayerMemory(address, copy, most);
    int count = 0, read = (int)(bytes / sizeof(WCHAR));
    while (count < read && copy[count])
        count++;
    // Unreadable memory before the NUL: part of a title is no title.
    if (count == read && bytes < most) {
        copy[0] = 0;
        return false;
    }
    copy[KeptTitleUnits(copy, count)] = 0;
    return true;
}

bool CopyPlayerAnsiText(const void *address, WCHAR copy[TRACK_TITLE_COPY])
{
    char text[ANSI_TITLE_READ];
    WCHAR wide[ANSI_TITLE_READ];
    int length = (int)ReadPlayerMemory(address, text, sizeof(text));
    int end = 0;
    while (end < length && text[end])
        end++;
    copy[0] = 0;
    if (end == length && length < (int)sizeof(text))
        return false;
    // Each byte gives at most one unit, so `wide` always has room.
    int count = end ? MultiByteToWideChar(CP_ACP, 0, text, end, wide, ANSI_TITLE_READ) : 0;
    if (count > TRACK_TITLE_COPY)
        count = TRACK_TITLE_COPY;
    CopyMemory(copy, wide, count * sizeof(WCHAR));
    copy[KeptTitleUnits(copy, count)] = 0;
    return true;
}

const WCHAR *QueryTrackTitle(int position, WCHAR copy[TRACK_TITLE_COPY])
{
    // The copy outlives the event: nothing of an earlier title may show.
    copy[0] = 0;
    // An older player does not know 213 and answers 0 or 1.
    LRESULT wide = AskPlayer(position, PLAYER_GET_WIDE_TITLE);
    if (wide != 0 && wide != 1 && CopyPlayerWideText((const void *)wide, copy))
        return copy;
    const void *ansi = (const void *)AskPlayer(position, PLAYER_GET_TITLE);
    if (CopyPlayerAnsiText(ansi, copy))
        return copy;
    return kUnknownTitle;
}
