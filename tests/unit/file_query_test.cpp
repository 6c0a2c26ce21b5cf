// Reading a file name out of the player's memory: whole or not at all.
#include <gtest/gtest.h>
#include <windows.h>

#include <string.h>

#include "plugin/file_query.h"

// A name that ends right where memory no one may read begins, with its NUL
// (or without it) as the last bytes.
class NameAtPageEnd {
public:
    NameAtPageEnd(const void *name, size_t bytes)
    {
        SYSTEM_INFO system;
        GetSystemInfo(&system);
        size_t page = system.dwPageSize, pages = (bytes + page - 1) / page + 1;
        base_ = (BYTE *)VirtualAlloc(NULL, pages * page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
        DWORD old;
        VirtualProtect(base_ + (pages - 1) * page, page, PAGE_NOACCESS, &old);
        at_ = base_ + (pages - 1) * page - bytes;
        memcpy(at_, name, bytes);
    }
    ~NameAtPageEnd() { VirtualFree(base_, 0, MEM_RELEASE); }
    const void *At() const { return at_; }

private:
    BYTE *base_;
    BYTE *at_;
};

TEST(FileQuery, WholeNamesOnly)
{
    static WCHAR path[TRACK_FILE_UNITS];
    {
        NameAtPageEnd wide(L"C:\\Music\\a.mp3", 15 * sizeof(WCHAR));
        EXPECT_TRUE(CopyPlayerWidePath(wide.At(), path));
        EXPECT_STREQ(path, L"C:\\Music\\a.mp3");
    }
    {
        // The NUL would come after memory that cannot be read.
        NameAtPageEnd cut(L"C:\\Music\\a.mp3", 14 * sizeof(WCHAR));
        EXPECT_FALSE(CopyPlayerWidePath(cut.At(), path));
        EXPECT_STREQ(path, L"");
    }
    {
        NameAtPageEnd ansi("D:\\b.ogg", 9);
        EXPECT_TRUE(CopyPlayerAnsiPath(ansi.At(), path));
        EXPECT_STREQ(path, L"D:\\b.ogg");
        NameAtPageEnd cut("D:\\b.ogg", 8);
        EXPECT_FALSE(CopyPlayerAnsiPath(cut.At(), path));
    }
    {
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
    EXPECT_FALSE(CopyPlayerWidePath(NULL, path));
    EXPECT_FALSE(CopyPlayerAnsiPath((const void *)1, path));
}
