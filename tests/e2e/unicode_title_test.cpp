// Titles as the player holds them: in UTF-16 from a current player, in the
// ANSI code page from an older one, and from a player whose pointers cannot
// be trusted.
#include "tests/e2e/support.h"

#include <string.h>

#include <string>

namespace {

std::wstring WideText(HWND window)
{
    WCHAR text[2048];
    int length = GetWindowTextW(window, text, 2048);
    return std::wstring(text, length > 0 ? length : 0);
}

void SetWideTrack(int position, const WCHAR *title)
{
    PlayerSetTrack({ position, NULL, 205, 44, 192, 2, title });
}

// Fast track events, each shown alone: the popup stays until it is closed.
class UnicodeTitle : public PlayerTest {
protected:
    void SetUp() override
    {
        PlayerTest::SetUp();
        SetIni("Seconds", 0);
        ASSERT_TRUE(LoadPatched());
    }

    // A track event; the title line of its popup, read in UTF-16, and the
    // popup closed again. `announced` gets the popup's own text, what a
    // screen reader hears.
    std::wstring ShownTitle(std::wstring *announced = nullptr)
    {
        PlayerStartTrackPastThrottle();
        if (!WaitForVisiblePopups(1))
            return L"(no popup)";
        HWND popup = VisiblePopups()[0];
        std::wstring title = WideText(ReadPopupParts(popup).title);
        if (announced)
            *announced = WideText(popup);
        PostMessageA(popup, WM_CONTEXTMENU, (WPARAM)popup, 0);
        if (!WaitForNoPopupWindows())
            return L"(the popup did not close)";
        return title;
    }
};

// A block of three pages, the last of which nobody may read.
BYTE *PagesBeforeNoAccess()
{
    BYTE *block = (BYTE *)VirtualAlloc(NULL, 3 * 4096, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    DWORD old;
    if (block && !VirtualProtect(block + 8192, 4096, PAGE_NOACCESS, &old))
        return NULL;
    return block;
}

}  // namespace

TEST_F(UnicodeTitle, AJapaneseTitleReachesThePopupExactly)
{
    const WCHAR title[] = L"\u661f\u91ce\u3072\u304b\u308a - \u591c\u660e\u3051\u306e\u6b4c";
    SetWideTrack(6, title);
    std::wstring announced;
    EXPECT_EQ(std::wstring(L" 07. ") + title + L" ", ShownTitle(&announced));
    EXPECT_EQ(std::wstring(L" 07. ") + title + L" \n 03:25 [44 KHz - 192 Kbit - Stereo] ", announced);
}

TEST_F(UnicodeTitle, AnOlderPlayerIsAskedFor213Then212)
{
    PlayerSetTrack({ 2, "Older Player Song", 205, 44, 192, 2 });
    // An older player answers an unknown command with 0 or 1.
    for (LRESULT unknown : { 0, 1 }) {
        SCOPED_TRACE(unknown);
        PlayerSetOlder(true, unknown);
        int from = PlayerCommandCount();
        EXPECT_EQ(L" 03. Older Player Song ", ShownTitle());
        EXPECT_TRUE(SameSequence(CommandsFrom(from), TrackQueries(2, 1, true)));
    }
}

TEST_F(UnicodeTitle, A70000UnitTitleIsCutAt254UnitsWithoutSplittingAPair)
{
    std::wstring title;
    while (title.size() < 70000)
        title += L"\u0391\u03b2\u03b3 0123456789 ";
    // U+1D11E as units 253 and 254: the pair goes whole.
    title[253] = 0xD834;
    title[254] = 0xDD1E;
    SetWideTrack(0, title.c_str());
    EXPECT_EQ(L" 01. " + title.substr(0, 253) + L" ", ShownTitle());

    // One unit earlier it fits.
    title[252] = 0xD834;
    title[253] = 0xDD1E;
    title[254] = L'x';
    SetWideTrack(0, title.c_str());
    EXPECT_EQ(L" 01. " + title.substr(0, 254) + L" ", ShownTitle());
}

// A title that cannot be read whole: from 213 the player is asked for 212,
// from 212 it shows "Unknown".
TEST_F(UnicodeTitle, UnreadableOrUnterminatedTitlesNeitherCrashNorShowGarbage)
{
    BYTE *block = PagesBeforeNoAccess();
    ASSERT_NE(block, (BYTE *)NULL);
    BYTE *noAccess = block + 8192;
    static const char kAnsi[] = "Plain Title";
    PlayerSetTrack({ 0, "unused", 205, 44, 192, 2 });

    // A wide pointer that cannot be read: the ANSI title instead.
    PlayerSetTitlePointers(noAccess, kAnsi);
    EXPECT_EQ(L" 01. Plain Title ", ShownTitle());
    // Neither can be read, nor can an address outside any region.
    PlayerSetTitlePointers(noAccess, noAccess);
    EXPECT_EQ(L" 01. Unknown ", ShownTitle());
    PlayerSetTitlePointers((void *)0xFFFF0000, (void *)0xFFFF0000);
    EXPECT_EQ(L" 01. Unknown ", ShownTitle());

    // Titles that run up to unreadable memory without a NUL, wide and ANSI.
    const WCHAR wide[] = L"Runs to the end \u00e9\u00e8";
    WCHAR *wideAtEnd = (WCHAR *)noAccess - lstrlenW(wide);
    memcpy(wideAtEnd, wide, lstrlenW(wide) * sizeof(WCHAR));
    PlayerSetTitlePointers(wideAtEnd, kAnsi);
    EXPECT_EQ(L" 01. Plain Title ", ShownTitle());
    const char ansi[] = "Ends at the page";
    char *ansiAtEnd = (char *)noAccess - strlen(ansi);
    memcpy(ansiAtEnd, ansi, strlen(ansi));
    PlayerSetTitlePointers(NULL, ansiAtEnd);
    EXPECT_EQ(L" 01. Unknown ", ShownTitle());

    // The end of a region alone ends no title: this one goes on into the
    // next page, read-only and so a region of its own, up to its NUL.
    const WCHAR across[] = L"Over the edge \u00e9";
    WCHAR *acrossEdge = (WCHAR *)(block + 4096) - 4;
    memcpy(acrossEdge, across, sizeof(across));
    DWORD old;
    ASSERT_TRUE(VirtualProtect(block + 4096, 4096, PAGE_READONLY, &old));
    PlayerSetTitlePointers(acrossEdge, NULL);
    EXPECT_EQ(L" 01. Over the edge \u00e9 ", ShownTitle());

    EXPECT_LT(QuitAndUnload(), 2000u);
    VirtualFree(block, 0, MEM_RELEASE);
}
