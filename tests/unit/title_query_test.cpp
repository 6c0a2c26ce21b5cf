// Where a title from the player is cut, and which of the player's memory may
// be read at all.
#include <gtest/gtest.h>

#include <string>

#include "plugin/title_query.h"

TEST(TitleCut, AtMost254UnitsAndNeverInsideASurrogatePair)
{
    std::wstring title(70000, L'x');
    EXPECT_EQ(254, KeptTitleUnits(title.c_str(), (int)title.size()));
    EXPECT_EQ(10, KeptTitleUnits(title.c_str(), 10));
    EXPECT_EQ(0, KeptTitleUnits(title.c_str(), 0));

    // U+1D11E as units 253 and 254: the cut would fall between them.
    title[253] = 0xD834;
    title[254] = 0xDD1E;
    EXPECT_EQ(253, KeptTitleUnits(title.c_str(), (int)title.size()));
    // One unit earlier the pair fits whole.
    title[252] = 0xD834;
    title[253] = 0xDD1E;
    title[254] = L'x';
    EXPECT_EQ(254, KeptTitleUnits(title.c_str(), (int)title.size()));

    // A title that ends in a first half keeps no half pair either.
    EXPECT_EQ(4, KeptTitleUnits(L"abcd\xD834", 5));
    EXPECT_EQ(6, KeptTitleUnits(L"abcd\xD834\xDD1E", 6));
}

TEST(TitleMemory, OnlyCommittedReadablePagesAndNeverPastTheRegion)
{
    MEMORY_BASIC_INFORMATION region;
    ZeroMemory(&region, sizeof(region));
    region.BaseAddress = (PVOID)0x10000;
    region.RegionSize = 0x2000;
    region.State = MEM_COMMIT;

    const DWORD readable[] = { PAGE_READONLY, PAGE_READWRITE, PAGE_WRITECOPY, PAGE_EXECUTE_READ,
                               PAGE_EXECUTE_READWRITE, PAGE_EXECUTE_WRITECOPY };
    for (DWORD protect : readable) {
        region.Protect = protect;
        EXPECT_EQ(0x2000u, ReadableBytes(&region, 0x10000)) << protect;
        EXPECT_EQ(1u, ReadableBytes(&region, 0x11FFF)) << protect;
    }
    region.Protect = PAGE_READWRITE | PAGE_NOCACHE;
    EXPECT_EQ(0x1000u, ReadableBytes(&region, 0x11000));

    const DWORD unreadable[] = { PAGE_NOACCESS, PAGE_EXECUTE, PAGE_READWRITE | PAGE_GUARD,
                                 PAGE_READONLY | PAGE_GUARD };
    for (DWORD protect : unreadable) {
        region.Protect = protect;
        EXPECT_EQ(0u, ReadableBytes(&region, 0x10000)) << protect;
    }

    region.Protect = PAGE_READWRITE;
    EXPECT_EQ(0u, ReadableBytes(&region, 0x12000));   // just past the end
    EXPECT_EQ(0u, ReadableBytes(&region, 0xFFFF));    // just before the start
    region.State = MEM_RESERVE;
    EXPECT_EQ(0u, ReadableBytes(&region, 0x10000));
    region.State = MEM_FREE;
    EXPECT_EQ(0u, ReadableBytes(&region, 0x10000));
}
