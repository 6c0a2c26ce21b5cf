// Titles as an older player may hand them over: none at all, empty, 64 KiB
// long, with format directives, ampersands, tabs, line feeds and bytes 0x80
// to 0xFF. The popup shows each literally, cut to the 254 characters the
// plug-in keeps, and the plug-in reads no byte past the title's end.
#include "tests/soak/soak.h"

#include <string.h>

#include <string>

namespace {

// A copy of the text that ends right before a page nobody may read: one
// byte read past its end faults, and the crash fails the test.
char *GuardedCopy(const std::string &text)
{
    const size_t page = 4096, pages = (text.size() + 1 + page - 1) / page;
    BYTE *block = (BYTE *)VirtualAlloc(NULL, (pages + 1) * page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    if (!block)
        return NULL;
    DWORD old;
    VirtualProtect(block + pages * page, page, PAGE_NOACCESS, &old);
    char *copy = (char *)block + pages * page - (text.size() + 1);
    memcpy(copy, text.c_str(), text.size() + 1);
    return copy;
}

// The player answers "the title of this entry" with the guarded copy.
WNDPROC gPlayerProc;
const char *gTitle;

LRESULT CALLBACK AnswerTitle(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_USER && lParam == PLAYER_CMD_TITLE)
        return (LRESULT)gTitle;
    return CallWindowProcA(gPlayerProc, window, message, wParam, lParam);
}

struct Title {
    const char *what;
    std::string text;
    bool none;   // the player has no title: a null pointer
};

}  // namespace

using TitleSoak = SoakTest;

TEST_F(TitleSoak, EveryTitleIsShownLiterallyAndCutAfter254Characters)
{
    std::string bytes;
    for (int b = 0x80; b <= 0xFF; b++)
        bytes += (char)b;
    std::string long64k;
    while (long64k.size() < 65536)
        long64k += "0123456789";
    const Title titles[] = {
        { "no title", "", true },
        { "empty", "", false },
        { "64 KiB", long64k, false },
        { "format directives", "%s%n%s%n%x%p %d %%", false },
        { "ampersands", "Rock & Roll && &", false },
        { "tabs", "a\tb\t\tc", false },
        { "line feeds", "line one\nline two\r\nline three", false },
        { "bytes 0x80 to 0xFF", bytes, false },
        { "254 characters", std::string(254, 'x'), false },
        { "255 characters", std::string(255, 'y'), false },
    };

    SetIni("Seconds", 0);
    PlayerSetTrack({ 0, "unused", 200, 44, 192, 2 });
    PlayerSetOlder(true);   // the title comes in ANSI, from 212
    gPlayerProc = (WNDPROC)SetWindowLongPtrA(PlayerWindow(), GWLP_WNDPROC, (LONG_PTR)AnswerTitle);
    ASSERT_TRUE(StartLedger());
    ASSERT_TRUE(LoadPatched());
    PlayerSetPluginClock(1000);

    for (const Title &title : titles) {
        SCOPED_TRACE(title.what);
        gTitle = title.none ? NULL : GuardedCopy(title.text);
        ASSERT_TRUE(title.none || gTitle);
        HWND popup = ShowPopup();
        ASSERT_NE(popup, (HWND)NULL);
        std::string shown = title.none ? "Unknown" : title.text.substr(0, 254);
        EXPECT_EQ(WindowText(ReadPopupParts(popup).title), " 01. " + shown + " ");
        PostMessageA(popup, WM_CONTEXTMENU, (WPARAM)popup, 0);
        ASSERT_TRUE(WaitForNoPopupWindows());
    }

    EXPECT_LT(QuitAndUnload(), 2000u);
    ExpectNothingLeft();
    SetWindowLongPtrA(PlayerWindow(), GWLP_WNDPROC, (LONG_PTR)gPlayerProc);
}
