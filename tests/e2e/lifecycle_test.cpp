// The plug-in inside the player: the export, init and quit, the preferences
// page, the INI path, and the hook on the player's main window.
#include "res/resource.h"
#include "tests/e2e/support.h"

#include <string.h>

#include <string>

typedef PlayerPluginRecord *(__cdecl *GetPluginProc)(void);

static const char kModuleName[] = "gen_tunebell.dll";

static GetPluginProc ExportOf(HMODULE module)
{
    return (GetPluginProc)(void *)GetProcAddress(module, "winampGetGeneralPurposePlugin");
}

using Lifecycle = PlayerTest;

TEST_F(Lifecycle, ExportGivesOneRecordDescribedOnlyAfterInit)
{
    // Look at the record before the player starts the plug-in.
    HMODULE own = LoadLibraryA(PlayerDefaultPluginPath());
    ASSERT_NE(own, (HMODULE)NULL);
    GetPluginProc getPlugin = ExportOf(own);
    ASSERT_NE(getPlugin, (GetPluginProc)NULL);
    PlayerPluginRecord *record = getPlugin();
    ASSERT_NE(record, (PlayerPluginRecord *)NULL);
    EXPECT_EQ(record, getPlugin());
    EXPECT_EQ(record->version, PLAYER_PLUGIN_VERSION);
    ASSERT_NE(record->description, (char *)NULL);
    EXPECT_STREQ(record->description, "");

    ASSERT_TRUE(Load());
    EXPECT_EQ(PlayerPlugin(), record);
    EXPECT_EQ(getPlugin(), record);
    EXPECT_STREQ(record->description, "Tunebell Plugin v0.5  [ gen_tunebell.dll ]");
    EXPECT_EQ(PlayerInitResult(), 0);

    PlayerUnloadPlugin();
    FreeLibrary(own);
    EXPECT_EQ(GetModuleHandleA(kModuleName), (HMODULE)NULL);
}

TEST_F(Lifecycle, InitRegistersPreferencesPageAndAsksForIniDirOnce)
{
    ASSERT_TRUE(Load());
    PlayerPrefsRecord *page = PlayerPrefs();
    ASSERT_NE(page, (PlayerPrefsRecord *)NULL);
    EXPECT_EQ(page->module, (HINSTANCE)PlayerPluginModule());
    EXPECT_EQ(page->dialogId, IDD_PREFS_PAGE);
    EXPECT_NE(page->proc, (DLGPROC)NULL);
    ASSERT_NE(page->title, (char *)NULL);
    EXPECT_STREQ(page->title, "Popup Zividu");
    EXPECT_EQ(page->where, 0);
    EXPECT_EQ(page->reserved1, 0);
    EXPECT_EQ(page->reserved2, 0);

    // Both go to the player from init, on the player's thread: the page
    // first, then the question for the INI directory as the settings load.
    EXPECT_TRUE(SameSequence(CommandsFrom(0), { { PLAYER_CMD_ADD_PREFS, (WPARAM)page, kOnPlayer },
                                                { PLAYER_CMD_INI_DIR, 0, kOnPlayer } }));

    // The player creates the page from the template in the DLL with the
    // record's procedure; the page stretches itself and its text
    // over the window before it.
    HWND host = CreateWindowExA(0, "static", "", WS_POPUP, 0, 0, 400, 300, NULL, NULL,
                                GetModuleHandleA(NULL), NULL);
    ASSERT_NE(host, (HWND)NULL);
    HWND before = CreateWindowExA(0, "static", "", WS_CHILD, 0, 0, 300, 200, host, NULL,
                                  GetModuleHandleA(NULL), NULL);
    HWND shown = CreateDialogParamA(page->module, MAKEINTRESOURCEA(page->dialogId), host,
                                    page->proc, 0);
    ASSERT_NE(shown, (HWND)NULL) << "no dialog template 103 in the DLL";
    HWND control = GetDlgItem(shown, IDC_PREFS_PAGE_TEXT);
    ASSERT_NE(control, (HWND)NULL);
    ASSERT_EQ(GetWindow(shown, GW_HWNDPREV), before);
    RECT pageRect, controlRect;
    GetClientRect(shown, &pageRect);
    GetClientRect(control, &controlRect);
    EXPECT_TRUE(RectIs(pageRect, kAnyEdge, kAnyEdge, 300, 200));
    EXPECT_TRUE(RectIs(controlRect, kAnyEdge, kAnyEdge, 300, 200));
    DestroyWindow(host);
}

TEST_F(Lifecycle, IniPathIsFormedWithoutTouchingThePlayersBuffer)
{
    // Upper left is not the default, so the popup's place shows that the
    // file below the player's directory was read.
    SetIni({ { "Position", 0 }, { "Seconds", 0 } });
    char before[PLAYER_INI_DIR_SIZE];
    memcpy(before, PlayerIniDir(), sizeof before);

    ASSERT_TRUE(Load());
    EXPECT_EQ(memcmp(before, PlayerIniDir(), sizeof before), 0)
        << "the player's INI directory now reads " << PlayerIniDir();

    HWND popup = ShowPopup(kSong);
    ASSERT_NE(popup, (HWND)NULL);
    RECT area = WorkArea();
    EXPECT_TRUE(RectIs(WindowRectOf(popup), area.left + 2, area.top + 2, kAnyEdge, kAnyEdge));
}

// A directory of exactly `length` characters below base, made of one
// component padded with 'd'.
static std::string DirectoryOfLength(const std::string &base, size_t length)
{
    std::string dir = base + "\\";
    if (dir.size() < length)
        dir.append(length - dir.size(), 'd');
    return dir;
}

TEST_F(Lifecycle, IniDirectoryAtAndPastTheLengthLimit)
{
    // The longest directory whose INI path still fits in MAX_PATH: the
    // path "<dir>\plugins\tunebell.ini" is then 259 characters.
    std::string longest = DirectoryOfLength(iniDir, MAX_PATH - 1 - 21);
    ASSERT_EQ(longest.size(), 238u);
    ASSERT_TRUE(PlayerMakeDirectories((longest + "\\plugins").c_str()));
    std::string file = longest + "\\plugins\\tunebell.ini";
    ASSERT_TRUE(WritePrivateProfileStringA("Tunebell", "Position", "0", file.c_str()));
    ASSERT_TRUE(WritePrivateProfileStringA("Tunebell", "Seconds", "0", file.c_str()));
    PlayerSetIniDir(longest.c_str());

    ASSERT_TRUE(Load());
    HWND popup = ShowPopup(kSong);
    ASSERT_NE(popup, (HWND)NULL);
    RECT area = WorkArea();
    EXPECT_TRUE(RectIs(WindowRectOf(popup), area.left + 2, area.top + 2, kAnyEdge, kAnyEdge))
        << "the 259-character INI path was not read";
    PlayerUnloadPlugin();

    // A directory too long for any INI path: the plug-in starts on its
    // defaults (popups at the lower right corner) and leaves the buffer be.
    std::string tooLong = DirectoryOfLength(iniDir, 300);
    PlayerSetIniDir(tooLong.c_str());
    char before[PLAYER_INI_DIR_SIZE];
    memcpy(before, PlayerIniDir(), sizeof before);
    ASSERT_TRUE(Load());
    EXPECT_EQ(memcmp(before, PlayerIniDir(), sizeof before), 0);
    popup = ShowPopup();
    ASSERT_NE(popup, (HWND)NULL);
    EXPECT_TRUE(RectIs(WindowRectOf(popup), kAnyEdge, kAnyEdge, area.right - 2, area.bottom - 2));
}

TEST_F(Lifecycle, HookPassesEveryMessageAndAnswerThrough)
{
    ASSERT_TRUE(Load());
    HWND main = PlayerWindow();
    EXPECT_FALSE(PlayerOwnProcInstalled()) << "init did not subclass the main window";
    PlayerResetOwnProcCounts();

    LRESULT answer = SendMessageA(main, WM_USER, 3, 4242);
    EXPECT_EQ(answer, PlayerUnknownCommandAnswer(3, 4242));
    EXPECT_EQ(PlayerOwnCommandCalls(4242), 1);
    // The track events reach the player too.
    EXPECT_EQ(SendMessageA(main, WM_USER, 0, PLAYER_EVENT_TRACK_STARTED), 0);
    EXPECT_EQ(PlayerOwnCommandCalls(PLAYER_EVENT_TRACK_STARTED), 1);
    // Other messages pass whatever their lParam, and do not count as events.
    int before = PlayerOwnProcCalls();
    SendMessageA(main, WM_APP, 0, PLAYER_EVENT_TRACK_STARTED);
    SendMessageA(main, WM_USER + 1, 0, PLAYER_EVENT_TAGS_CHANGED);
    EXPECT_EQ(PlayerOwnProcCalls(), before + 2);

    PlayerQuitPlugin();
    EXPECT_TRUE(PlayerOwnProcInstalled()) << "quit left the hook in place";
}

// The test's own subclass of the player's window, put over the plug-in's.
static WNDPROC gBelowTestProc;

static LRESULT CALLBACK TestSubclassProc(HWND window, UINT message, WPARAM wParam,
                                         LPARAM lParam)
{
    return CallWindowProcA(gBelowTestProc, window, message, wParam, lParam);
}

TEST_F(Lifecycle, QuitUnderAForeignSubclassLeavesItAndStaysLoaded)
{
    SetIni("Seconds", 0);
    ASSERT_TRUE(LoadCopyThatMayStay());
    HWND main = PlayerWindow();
    gBelowTestProc = (WNDPROC)SetWindowLongA(main, GWL_WNDPROC, (LONG)TestSubclassProc);
    ASSERT_NE(gBelowTestProc, (WNDPROC)NULL);

    PlayerQuitPlugin();
    EXPECT_EQ((WNDPROC)GetWindowLongA(main, GWL_WNDPROC), TestSubclassProc);
    PlayerUnloadPlugin();
    EXPECT_NE(GetModuleHandleA(copyPath.c_str()), (HMODULE)NULL)
        << "the DLL was unloaded while the window still calls into it";

    // Messages still reach the player through the plug-in's old hook.
    PlayerResetOwnProcCounts();
    EXPECT_EQ(SendMessageA(main, WM_USER, 5, 4242), PlayerUnknownCommandAnswer(5, 4242));
    int commandsBefore = PlayerCommandCount();
    PlayerStartTrack();
    EXPECT_EQ(PlayerOwnCommandCalls(PLAYER_EVENT_TRACK_STARTED), 1);
    PlayerPumpFor(700);
    EXPECT_EQ(PlayerFindPopups(NULL, 0), 0);
    EXPECT_EQ(PlayerCommandCount(), commandsBefore) << "a stopped plug-in asked the player";

    // Put the player's own procedure back before the player stops.
    SetWindowLongA(main, GWL_WNDPROC, GetClassLongA(main, GCL_WNDPROC));
    EXPECT_TRUE(PlayerOwnProcInstalled());
}

// A player on its way out quits and unloads the plug-in from inside its
// window procedure, which the message reached through the plug-in's hook:
// the hook's call must not return into an unloaded module.
TEST_F(Lifecycle, UnloadFromInsideTheHookedWindowProcedureReturnsSafely)
{
    SetIni("Seconds", 0);
    ASSERT_TRUE(LoadCopyThatMayStay());
    ASSERT_NE(ShowPopup(kSong), (HWND)NULL);
    HWND main = PlayerWindow();

    SendMessageA(main, WM_CLOSE, 0, 0);   // crashes here if the module went
    EXPECT_TRUE(PlayerOwnProcInstalled());
    EXPECT_TRUE(NoPopupAndBaselineThreads());
    EXPECT_NE(GetModuleHandleA(copyPath.c_str()), (HMODULE)NULL)
        << "the DLL was unloaded while its hook was still under way";

    // The player goes on, through its own procedure alone.
    PlayerResetOwnProcCounts();
    EXPECT_EQ(SendMessageA(main, WM_USER, 1, 4242), PlayerUnknownCommandAnswer(1, 4242));
    EXPECT_EQ(PlayerOwnUserCalls(), 1);
}

TEST_F(Lifecycle, QuitEndsEveryThreadAndWindowAndUnloads)
{
    SetIni("Seconds", 0);
    ASSERT_TRUE(Load());
    ASSERT_NE(ShowPopup(kSong), (HWND)NULL);

    DWORD took = QuitAndUnload();
    EXPECT_LT(took, 2000u);
    EXPECT_TRUE(NoPopupAndBaselineThreads());
    EXPECT_EQ(GetModuleHandleA(kModuleName), (HMODULE)NULL);

    // The player goes on without the plug-in.
    PlayerResetOwnProcCounts();
    PlayerStartTrack();
    EXPECT_EQ(SendMessageA(PlayerWindow(), WM_USER, 1, 4242), PlayerUnknownCommandAnswer(1, 4242));
    PlayerPumpFor(100);
    EXPECT_EQ(PlayerOwnUserCalls(), 2);
}

TEST_F(Lifecycle, LoadsAgainAfterUnload)
{
    SetIni("Seconds", 0);
    ASSERT_TRUE(Load());
    ASSERT_NE(ShowPopup({ 0, "First", 100, 44, 128, 2 }), (HWND)NULL);
    PlayerUnloadPlugin();
    ASSERT_EQ(GetModuleHandleA(kModuleName), (HMODULE)NULL);

    ASSERT_TRUE(Load());
    EXPECT_FALSE(PlayerOwnProcInstalled());
    HWND second = ShowPopup({ 1, "Second", 100, 44, 128, 2 });
    ASSERT_NE(second, (HWND)NULL);
    EXPECT_EQ(FindPopupWithTitle(TitleLine(1, "Second")), second);
    PlayerUnloadPlugin();
    EXPECT_EQ(PlayerFindPopups(NULL, 0), 0);
    EXPECT_EQ(GetModuleHandleA(kModuleName), (HMODULE)NULL);
}
