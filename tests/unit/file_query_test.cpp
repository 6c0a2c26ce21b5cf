// Reading a file name out of the player's memory: whole or not at all.
#include <gtest/gtest.h>
#include <windows.h>

#include <string.h>

#include <string>

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

// Names read a piece at a time: what ends at a piece's edge or just before
// unreadable memory reads whole, and nothing is read past the terminator.
TEST(FileQuery, ReadInPiecesUpToTheTerminator)
{
    static WCHAR path[TRACK_FILE_UNITS];
    BYTE *pages = (BYTE *)VirtualAlloc(NULL, 65536, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    DWORD old;
    ASSERT_TRUE(pages && VirtualProtect(pages + 61440, 4096, PAGE_NOACCESS, &old));
    BYTE *end = pages + 61440;
    auto atEnd = [&](const void *bytes, size_t size) { return AtPageEnd(end - 4096, bytes, size); };

    // One unit longer than a piece, its NUL the last unit that can be read.
    std::wstring name = L"C:\\" + std::wstring(NAME_PIECE_UNITS - 3, L'x') + L"y";
    size_t bytes = (name.size() + 1) * sizeof(WCHAR);
    EXPECT_TRUE(CopyPlayerWidePath(atEnd(name.c_str(), bytes), path));
    EXPECT_EQ(std::wstring(path), name);
    // Without its NUL it runs into the page that cannot be read.
    EXPECT_FALSE(CopyPlayerWidePath(atEnd(name.c_str(), bytes - sizeof(WCHAR)), path));
    EXPECT_STREQ(path, L"");
    // Its NUL the first unit of the second piece.
    name.resize(NAME_PIECE_UNITS);
    EXPECT_TRUE(CopyPlayerWidePath(atEnd(name.c_str(), bytes), path));
    EXPECT_EQ(std::wstring(path), name);

    // The same in ANSI: three pieces and a bit.
    std::string ansi = "D:\\" + std::string(3 * NAME_PIECE_UNITS, 'z');
    EXPECT_TRUE(CopyPlayerAnsiPath(atEnd(ansi.c_str(), ansi.size() + 1), path));
    EXPECT_EQ(std::wstring(path), std::wstring(ansi.begin(), ansi.end()));
    EXPECT_FALSE(CopyPlayerAnsiPath(atEnd(ansi.c_str(), ansi.size()), path));

    // A short name at the start of 60 KiB that can all be read: one piece.
    memcpy(pages, L"E:\\c.flac", 10 * sizeof(WCHAR));
    int read = 0;
    EXPECT_EQ(ReadPlayerName(pages, path, sizeof(WCHAR), TRACK_FILE_UNITS, &read), 9);
    EXPECT_EQ(read, NAME_PIECE_UNITS);
    // And the bound still holds where no NUL comes at all.
    memset(pages, 'x', 61440);
    EXPECT_EQ(ReadPlayerName(pages, path, 1, 1000, &read), -1);
    EXPECT_EQ(read, 1000);
    EXPECT_EQ(ReadPlayerName(pages, path, 1, TRACK_FILE_UNITS, &read), -1);
    EXPECT_EQ(read, TRACK_FILE_UNITS);
    VirtualFree(pages, 0, MEM_RELEASE);
}
