// The look that follows Windows, with the stand-in player: light or dark as
// the prefix's registry says, read from the popup's pixels on the screen;
// a change of mode repainting the popups open; the accent in the volume
// bar; round corners asked for on Windows 11 alone.
#include "host/dialog_driver.h"
#include "host/pictures.h"
#include "host/theme_registry.h"
#include "base/messages.h"
#include "tests/e2e/support.h"

namespace {

struct Look {
    COLORREF back, title, info, border;
};
const Look kDark = { RGB(43, 43, 43), RGB(255, 255, 255), RGB(200, 200, 200), RGB(70, 70, 70) };
const Look kLight = { RGB(249, 249, 249), RGB(26, 26, 26), RGB(96, 96, 96), RGB(214, 214, 214) };

// Some pixel of the line's middle rows has the colour.
bool LineIn(HWND line, COLORREF colour)
{
    RECT r = WindowRectOf(line);
    for (int y = (r.top + r.bottom) / 2 - 1; y <= (r.top + r.bottom) / 2 + 1; y++)
        for (int x = r.left; x < r.right; x++)
            if (ScreenColour(x, y) == colour)
                return true;
    return false;
}

// The popup's border on each side, its background and both text lines in
// the look's colours on the screen.
bool PixelsShow(HWND popup, const Look &look)
{
    RECT r = WindowRectOf(popup);
    int midX = (r.left + r.right) / 2, midY = (r.top + r.bottom) / 2;
    PopupParts parts = ReadPopupParts(popup);
    return ScreenColour(r.left, midY) == look.border && ScreenColour(r.right - 1, midY) == look.border &&
           ScreenColour(midX, r.top) == look.border && ScreenColour(midX, r.bottom - 1) == look.border &&
           ScreenColour(r.left + 2, r.top + 2) == look.back && ScreenColour(r.right - 3, r.bottom - 3) == look.back &&
           parts.title && LineIn(parts.title, look.title) && parts.info && LineIn(parts.info, look.info);
}

// Once the popup has painted, with nothing over it: the pointer is away
// from the corner where popups show, and the popup is on top.
::testing::AssertionResult ShowsLook(HWND popup, const Look &look, DWORD timeoutMs = 2000)
{
    RECT r = WindowRectOf(popup);
    POINT middle = { (r.left + r.right) / 2, (r.top + r.bottom) / 2 };
    if (GetAncestor(WindowFromPoint(middle), GA_ROOT) != popup)
        return ::testing::AssertionFailure() << "another window is over the popup";
    if (!WaitUntil([&] { return PixelsShow(popup, look); }, timeoutMs))
        return ::testing::AssertionFailure() << "the border is " << std::hex << ScreenColour(r.left, middle.y)
                                             << ", the background " << ScreenColour(r.left + 2, r.top + 2);
    return ::testing::AssertionSuccess();
}

int CALLBACK NoteFound(const LOGFONTA *, const TEXTMETRICA *, DWORD, LPARAM found)
{
    *(bool *)found = true;
    return 0;
}

bool SystemHasSegoeUi()
{
    LOGFONTA wanted = {};
    wanted.lfCharSet = DEFAULT_CHARSET;
    lstrcpyA(wanted.lfFaceName, "Segoe UI");
    bool found = false;
    HDC screen = GetDC(NULL);
    EnumFontFamiliesExA(screen, &wanted, NoteFound, (LPARAM)&found, 0);
    ReleaseDC(NULL, screen);
    return found;
}

class WindowsLook : public PlayerTest {
protected:
    void SetUp() override
    {
        PlayerTest::SetUp();
        SetIni({ { "WindowsLook", 1 }, { "Seconds", 0 } });
        ASSERT_TRUE(PlayerMovePointer(40, 40));
    }
    ThemeRegistry registry;
};

}  // namespace

TEST_F(WindowsLook, LightOrDarkAsWindowsIsSetInItsFont)
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
    // Segoe UI, semibold over regular at 9 points, where the system has it;
    // the design's Tahoma where it has not, as under Wine.
    ASSERT_TRUE(Load());
    PopupParts parts = ReadPopupParts(ShowPopup(kSong));
    ASSERT_TRUE(parts.title && parts.info);
    bool segoe = SystemHasSegoeUi();
    EXPECT_EQ(FontWeightOf(parts.title), segoe ? FW_SEMIBOLD : FW_BOLD);
    EXPECT_EQ(FontHeightOf(parts.info), segoe ? -12 : -11);
}

// An open popup takes the new mode as Windows' settings announce it, its
// transparent cover laid over the new background; the next popup has it too.
TEST_F(WindowsLook, AChangeOfModeRepaintsTheOpenPopupAndColoursTheNext)
{
    std::string folder = iniDir + "\\Album", track = folder + "\\song.mp3";
    ASSERT_TRUE(PlayerMakeDirectories(folder.c_str()));
    ASSERT_TRUE(WriteBytesToFile(track, std::vector<unsigned char>(500, 0)));
    ASSERT_TRUE(WriteBytesToFile(folder + "\\cover.png", MakePicture(PICTURE_PNG, 40, 40, RGB(200, 0, 0), 0)));
    registry.SetModes(0, kRemoved);
    // The plug-in's clock stands: the popup waits for its cover.
    ASSERT_TRUE(Load() && PlayerRedirectPluginClock());
    PlayerSetPluginClock(1000000);
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
    DWORD_PTR ignored;
    SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, 0, (LPARAM)L"ImmersiveColorSet", SMTO_ABORTIFHUNG, 2000,
                        &ignored);
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
    // A notch down, as the system hands a wheel to the window it is over
    // (the hook's own post carries no turn: the turns wait in the popup).
    PostMessageA(popup, WM_MOUSEWHEEL, MAKEWPARAM(0, (WORD)(SHORT)-WHEEL_DELTA), 0);
    HWND children[32], bar = NULL;
    ASSERT_TRUE(WaitUntil([&] {
        for (int i = 0, count = PlayerChildWindows(popup, children, 32); i < count && i < 32; i++)
            if (IsWindowVisible(children[i]) && WindowText(children[i]) == "Volume 75%")
                bar = children[i];
        return bar != NULL;
    }));
    RECT r = WindowRectOf(bar);
    EXPECT_TRUE(WaitForScreenColour(r.left + 1, (r.top + r.bottom) / 2, RGB(0xC0, 0x40, 0x20)));
}

namespace {

// The functions the plug-in looks up for the corners, stood in for: the
// build, and the attributes asked for (attribute, value).
DWORD gBuild;
std::vector<std::pair<DWORD, DWORD>> gDwmAttributes;

LONG WINAPI FakeRtlGetVersion(OSVERSIONINFOW *version)
{
    version->dwMajorVersion = 10;
    version->dwBuildNumber = gBuild;
    return 0;
}

HRESULT WINAPI FakeDwmSetWindowAttribute(HWND, DWORD attribute, const void *value, DWORD size)
{
    gDwmAttributes.push_back({ attribute, size == 4 ? *(const DWORD *)value : 0xBAD });
    return S_OK;
}

FARPROC WINAPI GetProcAddressOfWindows(HMODULE module, LPCSTR name)
{
    bool named = HIWORD((DWORD_PTR)name) != 0;
    if (named && strcmp(name, "RtlGetVersion") == 0)
        return (FARPROC)(void *)FakeRtlGetVersion;
    if (named && strcmp(name, "DwmSetWindowAttribute") == 0)
        return (FARPROC)(void *)FakeDwmSetWindowAttribute;
    return GetProcAddress(module, name);
}

}  // namespace

// Windows 11 rounds the popup's corners, its border in the popup's colour
// (the corner preference 33 round, the border colour 34); Windows 10's
// flyouts, and so the popups there, are square.
TEST_F(WindowsLook, RoundCornersOnWindows11Alone)
{
    registry.SetModes(1, kRemoved);
    for (DWORD build : { 22000u, 19045u }) {
        SCOPED_TRACE(build);
        gBuild = build;
        gDwmAttributes.clear();
        PreloadedPlugin plugin;
        ASSERT_TRUE(plugin.Redirect("kernel32.dll", "GetProcAddress", (void *)GetProcAddressOfWindows));
        ASSERT_TRUE(Load());
        ASSERT_NE(ShowPopup(kSong), (HWND)NULL);
        std::vector<std::pair<DWORD, DWORD>> expected;
        if (build >= 22000)
            expected = { { 33, 2 }, { 34, kLight.border } };
        EXPECT_EQ(gDwmAttributes, expected);
        QuitAndUnload();
    }
}
