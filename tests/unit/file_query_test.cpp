// Reading a file name out of the player's memory: whole or not at all.
#include <gtest/gtest.h>
#include <windows.h>

#include <string.h>

#include "plugin/file_query.h"

// Copies the bytes to end right where unreadable memory begins.
static const void *AtPageEnd(BYTE *pages, const void *bytes, size_t size)
{
    memcpy(pages + 4096 - size, bytes, size);
    return pages + 4096 - size;
}

TEST(FileQuery, WholeNamesOnly)
{
    static WCHAR path[TRACK_FILE_UNITS];
    BYTE *pages = (BYTE *)VirtualAlloc(NULL, 8192, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    DWORD old;
    ASSERT_TRUE(pages && VirtualProtect(pages + 4096, 4096, PAGE_NOACCESS, &old));

    EXPECT_TRUE(CopyPlayerWidePath(AtPageEnd(pages, L"C:\\a.mp3", 9 * sizeof(WCHAR)), path));
    EXPECT_STREQ(path, L"C:\\a.mp3");
    // The NUL would come after memory that cannot be read.
    EXPECT_FALSE(CopyPlayerWidePath(AtPageEnd(pages, L"C:\\a.mp3", 8 * sizeof(WCHAR)), path));
    EXPECT_STREQ(path, L"");
    EXPECT_TRUE(CopyPlayerAnsiPath(AtPageEnd(pages, "D:\\b.ogg", 9), path));
    EXPECT_STREQ(path, L"D:\\b.ogg");
    EXPECT_FALSE(CopyPlayerAnsiPath(AtPageEnd(pages, "D:\\b.ogg", 8), path));
    EXPECT_FALSE(CopyPlayerWidePath(NULL, path));
    EXPECT_FALSE(CopyPlayerAnsiPath((const void *)1, path));
    VirtualFree(pages, 0, MEM_RELEASE);

    // No NUL within a Windows path's longest length: no name.
    static WCHAR endless[TRACK_FILE_UNITS + 8];
    for (WCHAR &c : endless)
        c = L'x';
    endless[TRACK_FILE_UNITS + 7] = 0;
    EXPECT_FALSE(CopyPlayerWidePath(endless, path));
    endless[TRACK_FILE_UNITS - 1] = 0;
    EXPECT_TRUE(CopyPlayerWidePath(endless, path));
    EXPECT_EQ(lstrlenW(path), TRACK_FILE_UNITS - 1);
}
