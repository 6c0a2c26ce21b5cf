// The look that follows Windows, with the stand-in player: light or dark as
// the prefix's registry says, read from the popup's pixels on the screen;
// a change of mode repainting the popups open; the accent in the volume
// bar; round corners asked for on Windows 11 alone.
#include "host/dialog_driver.h"
#include "host/pictures.h"
#include "base/messages.h"
#include "tests/e2e/support.h"
#include "tests/e2e/system_look.h"

namespace {

struct Look {
    COLORREF back, title, info, border;
};
const Look kDark = { RGB(43, 43, 43), RGB(255, 255, 255), RGB(200, 200, 200), RGB(70, 70, 70) };
const Look kLight = { RGB(249, 249, 249), RGB(26, 26, 26), RGB(96, 96, 96), RGB(214, 214, 214) };

// Where the popups show (the lower right corner) the pointer is not.
void PointerAway()
{
    ASSERT_TRUE(PlayerMovePointer(40, 40));
}

// The popup's border, background and both text lines in the look's colours
// on the screen.
::testing::AssertionResult PixelsShowLook(HWND popup, const Look &look)
{
    RECT r = WindowRectOf(popup);
    int midX = (r.left + r.right) / 2, midY = (r.top + r.bottom) / 2;
    ScreenPixels pixels = ReadScreen(r);
    const struct {
        int x, y;
        COLORREF colour;
        const char *what;
    } points[] = {
        { r.left, midY, look.border, "left border" }, { r.right - 1, midY, look.border, "right border" },
        { midX, r.top, look.border, "top border" },   { midX, r.bottom - 1, look.border, "bottom border" },
        { r.left + 2, r.top + 2, look.back, "background" }, { r.right - 3, r.bottom - 3, look.back, "background" },
    };
    for (const auto &p : points)
        if (pixels.At(p.x, p.y) != p.colour)
            return ::testing::AssertionFailure() << p.what << " is " << std::hex << pixels.At(p.x, p.y)
                                                 << ", expected " << p.colour;
    PopupParts parts = ReadPopupParts(popup);
    if (!parts.title || !pixels.Has(WindowRectOf(parts.title), look.title))
        return ::testing::AssertionFailure() << "no pixel of the title in its colour";
    if (!parts.info || !pixels.Has(WindowRectOf(parts.info), look.info))
        return ::testing::AssertionFailure() << "no pixel of the information line in its colour";
    return ::testing::AssertionSuccess();
}

// The same once the popup has painted, with nothing over it.
::testing::AssertionResult ShowsLook(HWND popup, const Look &look, DWORD timeoutMs = 2000)
{
    if (!PopupOnTop(popup))
        return ::testing::AssertionFailure() << "another window is over the popup";
    WaitUntil([&] { return PixelsShowLook(popup, look); }, timeoutMs);
    return PixelsShowLook(popup, look);
}

int CALLBACK NoteFound(const LOGFONTA *, const TEXTMETRICA *, DWORD, LPARAM found)
{
    *(bool *)found = true;
    return 0;
}

bool SystemHasSegoeUi()
{
    LOGFONTA wanted;
    ZeroMemory(&wanted, sizeof wanted);
    wanted.lfCharSet = DEFAULT_CHARSET;
    lstrcpyA(wanted.lfFaceName, "Segoe UI");
    bool found = false;
    HDC screen = GetDC(NULL);
    EnumFontFamiliesExA(screen, &wanted, NoteFound, (LPARAM)&found, 0);
    ReleaseDC(NULL, screen);
    return found;
}

std::string FaceOf(HWND window)
{
    DWORD_PTR font = 0;
    LOGFONTA description;
    if (!SendMessageTimeoutA(window, WM_GETFONT, 0, 0, SMTO_NORMAL, 2000, &font) || !font ||
        !GetObjectA((HFONT)font, sizeof description, &description))
        return "";
    return description.lfFaceName;
}

class WindowsLook : public PlayerTest {
protected:
    void SetUp() override
    {
        PlayerTest::SetUp();
        SetIni({ { "WindowsLook", 1 }, { "Seconds", 0 } });
        PointerAway();
    }
    ThemeRegistry registry;
};

}  // namespace

TEST_F(WindowsLook, LightOrDarkAsWindowsIsSet)
{
    const struct Row {
        const char *name;
        int system, apps;
        const Look &look;
    } rows[] = {
        { "the system dark", 0, kRemoved, kDark },
        { "the system light", 1, 0, kLight },
        { "neither set", kRemoved, kRemoved, kLight },
        { "the apps' mode alone", kRemoved, 0, kDark },
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        registry.SetModes(row.system, row.apps);
        ASSERT_TRUE(Load());
        HWND popup = ShowPopup(kSong);
        ASSERT_NE(popup, (HWND)NULL);
        EXPECT_TRUE(ShowsLook(popup, row.look));
        QuitAndUnload();
    }
}

// Segoe UI, semibold over regular at 9 points, where the system has it;
// the design's Tahoma where it has not, as under Wine.
TEST_F(WindowsLook, WindowsFontWhereTheSystemHasIt)
{
    ASSERT_TRUE(Load());
    HWND popup = ShowPopup(kSong);
    ASSERT_NE(popup, (HWND)NULL);
    PopupParts parts = ReadPopupParts(popup);
    ASSERT_TRUE(parts.title && parts.info);
    bool segoe = SystemHasSegoeUi();
    EXPECT_EQ(FaceOf(parts.title), segoe ? "Segoe UI" : "Tahoma");
    EXPECT_EQ(FaceOf(parts.info), segoe ? "Segoe UI" : "Tahoma");
    EXPECT_EQ(FontWeightOf(parts.title), segoe ? 600 : FW_BOLD);
    EXPECT_EQ(FontWeightOf(parts.info), FW_NORMAL);
    EXPECT_EQ(FontHeightOf(parts.info), segoe ? -12 : -11);
}

// An open popup takes the new mode as Windows' settings announce it, its
// transparent cover laid over the new background; the next popup has it too.
TEST_F(WindowsLook, AChangeOfModeRepaintsTheOpenPopupAndColoursTheNext)
{
    std::string folder = iniDir + "\\Album";
    ASSERT_TRUE(PlayerMakeDirectories(folder.c_str()));
    ASSERT_TRUE(WriteBytesToFile(folder + "\\song.mp3", std::vector<unsigned char>(500, 0)));
    ASSERT_TRUE(WriteBytesToFile(folder + "\\cover.png", MakePicture(PICTURE_PNG, 40, 40, RGB(200, 0, 0), 0)));
    registry.SetModes(0, kRemoved);
    // The plug-in's clock stands: the popup waits for its cover.
    ASSERT_TRUE(Load() && PlayerRedirectPluginClock());
    PlayerSetPluginClock(1000000);
    std::string track = folder + "\\song.mp3";
    PlayerSetPlaylistFiles({ std::wstring(track.begin(), track.end()) });
    PlayerStartTrackPastThrottle(kSong);
    ASSERT_TRUE(WaitForVisiblePopups(1));
    HWND open = VisiblePopups()[0];
    HWND cover = ReadPopupParts(open).cover;
    ASSERT_NE(cover, (HWND)NULL);
    RECT c = WindowRectOf(cover);
    EXPECT_TRUE(ShowsLook(open, kDark));
    EXPECT_TRUE(WaitForScreenColour((c.left + c.right) / 2, (c.top + c.bottom) / 2, kDark.back));

    registry.SetModes(1, kRemoved);
    BroadcastColourSetChange();
    EXPECT_TRUE(ShowsLook(open, kLight, 1000)) << "not repainted within a second";
    EXPECT_TRUE(WaitForScreenColour((c.left + c.right) / 2, (c.top + c.bottom) / 2, kLight.back, 1000));

    PlayerSetPlaylistFiles({});
    PlayerStartTrackPastThrottle({ 1, "Next", 100, 44, 128, 2 });
    ASSERT_TRUE(WaitForVisiblePopups(2));
    HWND next = FindPopupWithTitle(TitleLine(1, "Next"));
    ASSERT_NE(next, (HWND)NULL);
    EXPECT_TRUE(ShowsLook(next, kLight));
}

// The volume the wheel sets shows in the accent, its alpha byte ignored.
TEST_F(WindowsLook, TheVolumeBarInTheAccentColour)
{
    registry.SetModes(1, kRemoved);
    registry.SetAccent((int)0x7F2040C0);
    ASSERT_TRUE(Load());
    HWND popup = ShowPopup(kSong);
    ASSERT_NE(popup, (HWND)NULL);
    PostMessageA(popup, UM_POPUP_WHEEL, (WPARAM)-WHEEL_DELTA, 0);
    HWND bar = NULL;
    ASSERT_TRUE(WaitUntil([&] {
        HWND children[32];
        int count = PlayerChildWindows(popup, children, 32);
        for (int i = 0; i < count && i < 32; i++)
            if (IsWindowVisible(children[i]) && WindowText(children[i]).rfind("Volume ", 0) == 0)
                bar = children[i];
        return bar != NULL;
    }));
    RECT r = WindowRectOf(bar);
    EXPECT_TRUE(WaitForScreenColour(r.left + 1, (r.top + r.bottom) / 2, RGB(0xC0, 0x40, 0x20)));
}

namespace {

// The functions the plug-in looks up for the corners, stood in for.
DWORD gBuild;
struct DwmCall {
    HWND window;
    DWORD attribute, value;
};
std::vector<DwmCall> gDwmCalls;

LONG WINAPI FakeRtlGetVersion(OSVERSIONINFOW *version)
{
    version->dwMajorVersion = 10;
    version->dwMinorVersion = 0;
    version->dwBuildNumber = gBuild;
    return 0;
}

HRESULT WINAPI FakeDwmSetWindowAttribute(HWND window, DWORD attribute, const void *value, DWORD size)
{
    gDwmCalls.push_back({ window, attribute, size == 4 ? *(const DWORD *)value : 0xBAD });
    return S_OK;
}

FARPROC WINAPI GetProcAddressOfWindows(HMODULE module, LPCSTR name)
{
    if (HIWORD((DWORD_PTR)name) && strcmp(name, "RtlGetVersion") == 0)
        return (FARPROC)(void *)FakeRtlGetVersion;
    if (HIWORD((DWORD_PTR)name) && strcmp(name, "DwmSetWindowAttribute") == 0)
        return (FARPROC)(void *)FakeDwmSetWindowAttribute;
    return GetProcAddress(module, name);
}

}  // namespace

// Windows 11 rounds the popup's corners, its border drawn in the popup's;
// Windows 10's flyouts, and so the popups there, are square.
TEST_F(WindowsLook, RoundCornersOnWindows11Alone)
{
    registry.SetModes(1, kRemoved);
    for (DWORD build : { 22000u, 19045u }) {
        SCOPED_TRACE(build);
        gBuild = build;
        gDwmCalls.clear();
        PreloadedPlugin plugin;
        ASSERT_TRUE(plugin.Redirect("kernel32.dll", "GetProcAddress", (void *)GetProcAddressOfWindows));
        ASSERT_TRUE(Load());
        HWND popup = ShowPopup(kSong);
        ASSERT_NE(popup, (HWND)NULL);
        if (build >= 22000) {
            ASSERT_EQ(gDwmCalls.size(), 2u);
            EXPECT_EQ(gDwmCalls[0].window, popup);
            EXPECT_EQ(gDwmCalls[0].attribute, 33u);   // the corner preference: round
            EXPECT_EQ(gDwmCalls[0].value, 2u);
            EXPECT_EQ(gDwmCalls[1].attribute, 34u);   // the border's colour
            EXPECT_EQ(gDwmCalls[1].value, kLight.border);
        } else {
            EXPECT_TRUE(gDwmCalls.empty());
        }
        QuitAndUnload();
    }
}
