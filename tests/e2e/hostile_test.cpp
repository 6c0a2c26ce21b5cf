// What a careless player, another program or an unlucky disk can do to the
// plug-in: init or quit twice, stray thread and window messages, pointers
// and paths from the player that make no sense, a second copy of the DLL, a
// settings file that cannot be written, a hot key or a popup's place taken
// by another program, a title too long for the screen.
#include "host/dialog_driver.h"
#include "host/other_program.h"
#include "base/messages.h"
#include "popup/popup.h"
#include "res/resource.h"
#include "tests/e2e/support.h"

#include <stdio.h>

#include <fstream>
#include <iterator>

namespace {

typedef PlayerPluginRecord *(__cdecl *GetPluginProc)(void);

const char kModuleName[] = "gen_tunebell.dll";

// The thread the plug-in registers its hot key on, how often it tried, and
// whether its last try took the key.
volatile DWORD gHotKeyThread;
volatile LONG gRegistrations;
volatile bool gRegistered;

BOOL WINAPI WatchedRegisterHotKey(HWND window, int id, UINT modifiers, UINT vk)
{
    gHotKeyThread = GetCurrentThreadId();
    BOOL taken = RegisterHotKey(window, id, modifiers, vk);
    gRegistered = taken != FALSE;
    InterlockedIncrement(&gRegistrations);
    return taken;
}

// The warm plug-in threads wait for a popup 30 s before they end; here a
// tenth of a second.
UINT_PTR WINAPI QuickIdleSetTimer(HWND window, UINT_PTR id, UINT ms, TIMERPROC proc)
{
    return SetTimer(window, id, ms == 30000 ? 100 : ms, proc);
}

std::string FileBytes(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int IniValue(const std::string &file, const char *key)
{
    return (int)GetPrivateProfileIntA("Tunebell", key, -1, file.c_str());
}

// The text of the plug-in's message box, once it shows; "" when none came.
// The box is closed.
std::string CloseInfoBox()
{
    HWND box = WaitForPlayerDialog("PopUp Plugin");
    if (!box)
        return "";
    std::string text = WindowText(GetDlgItem(box, 0xFFFF));
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
    return text;
}

// The plug-in's message boxes, answered at once.
volatile LONG gMessageBoxes;

int WINAPI CountedMessageBoxA(HWND, LPCSTR, LPCSTR, UINT)
{
    InterlockedIncrement(&gMessageBoxes);
    return IDOK;
}

// Makes the test's folder the current one for a while: relative paths and
// paths from the root land there, on its drive.
struct CurrentFolder {
    explicit CurrentFolder(const std::string &dir)
    {
        GetCurrentDirectoryA(sizeof before, before);
        SetCurrentDirectoryA(dir.c_str());
    }
    ~CurrentFolder() { SetCurrentDirectoryA(before); }
    char before[MAX_PATH];
};

}  // namespace

using Hostile = PlayerTest;

TEST_F(Hostile, SecondInitDoesNothingAndOneQuitUndoesTheFirst)
{
    PreloadedPlugin plugin;
    ASSERT_TRUE(plugin.Redirect("user32.dll", "MessageBoxA", (void *)CountedMessageBoxA));
    ASSERT_TRUE(Load());
    EXPECT_EQ(PlayerPlugin()->init(), 0);
    EXPECT_EQ(gMessageBoxes, 0);
    // A hook stored over itself would call itself here until the stack ran out.
    EXPECT_EQ(SendMessageA(PlayerWindow(), WM_USER, 2, 4242), PlayerUnknownCommandAnswer(2, 4242));

    QuitAndUnload();
    EXPECT_TRUE(PlayerOwnProcInstalled());
    EXPECT_TRUE(NoPopupAndBaselineThreads());
}

// Quit hands the preferences page back (the same record as 332 gave); a
// second quit does nothing at all.
TEST_F(Hostile, QuitTakesThePageBackOnceAndAgainDoesNothing)
{
    ASSERT_TRUE(Load());
    PlayerPrefsRecord *page = PlayerPrefs();
    ASSERT_NE(page, (PlayerPrefsRecord *)NULL);
    int from = PlayerCommandCount();
    PlayerQuitPlugin();
    EXPECT_EQ(PlayerPrefs(), (PlayerPrefsRecord *)NULL) << "the player still holds the page";
    ASSERT_FALSE(CommandsFrom(from).empty());
    Step last = CommandsFrom(from).back();
    EXPECT_EQ(last.what, PLAYER_CMD_REMOVE_PREFS);
    EXPECT_EQ(last.value, (WPARAM)page);

    PlayerPlugin()->quit();
    EXPECT_EQ(CountCommands(PLAYER_CMD_REMOVE_PREFS, from), 1);
    EXPECT_TRUE(PlayerOwnProcInstalled());
    PlayerUnloadPlugin();
    EXPECT_EQ(GetModuleHandleA(kModuleName), (HMODULE)NULL) << "the second quit kept the DLL loaded";
}

TEST_F(Hostile, ATitleThatCannotBeReadWholeShowsUnknown)
{
    SetIni("Seconds", 0);
    ASSERT_TRUE(Load());
    // Titles whose end lies in memory the player has given back: an ANSI
    // one, and a wide one that sends the plug-in on to 212.
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    DWORD page = system.dwPageSize;
    char *pages = (char *)VirtualAlloc(NULL, 4 * page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    ASSERT_NE(pages, (char *)NULL);
    char *cut = pages + page - 3;
    memcpy(cut, "Cut", 3);
    WCHAR *wideCut = (WCHAR *)(pages + 3 * page) - 3;
    memcpy(wideCut, L"Cut", 3 * sizeof(WCHAR));
    ASSERT_TRUE(VirtualFree(pages + page, page, MEM_DECOMMIT));
    ASSERT_TRUE(VirtualFree(pages + 3 * page, page, MEM_DECOMMIT));

    // The first three from an older player, which has only 212.
    const struct {
        bool older;
        const void *wide;
        const char *ansi;
    } titles[4] = {
        { true, NULL, "A Longer Earlier Title" },
        { true, NULL, (const char *)1 },
        { true, NULL, cut },
        { false, wideCut, (const char *)1 },
    };
    DWORD last = 0;
    for (int i = 0; i < 4; i++) {
        PumpUntil(last, i ? kEventGapMs : 0);
        PlayerSetTrack({ i, "", 100, 44, 128, 2 });
        PlayerSetOlder(titles[i].older);
        PlayerSetTitlePointers(titles[i].wide, titles[i].ansi);
        last = GetTickCount();
        PlayerStartTrack();
        ASSERT_TRUE(WaitForVisiblePopups(i + 1));
    }
    EXPECT_NE(FindPopupWithTitle(TitleLine(0, titles[0].ansi)), (HWND)NULL);
    EXPECT_NE(FindPopupWithTitle(TitleLine(1, "Unknown")), (HWND)NULL) << "pointer 1";
    EXPECT_NE(FindPopupWithTitle(TitleLine(2, "Unknown")), (HWND)NULL) << "a title cut by freed memory";
    EXPECT_NE(FindPopupWithTitle(TitleLine(3, "Unknown")), (HWND)NULL) << "a wide title cut so, then pointer 1";
    VirtualFree(pages, 0, MEM_RELEASE);
}

// Another program posts WM_QUIT to both worker threads, then the hot-key
// thread's own messages: a key of its choosing, the release, and a flood of
// new registrations in whose gaps it could take the key.
TEST_F(Hostile, StrayThreadMessagesNeitherEndTheWorkersNorTakeTheHotKey)
{
    PreloadedPlugin plugin;
    ASSERT_TRUE(plugin.Redirect("user32.dll", "RegisterHotKey", (void *)WatchedRegisterHotKey));
    SetIni("Seconds", 0);
    PlayerSetTrack({ 0, "Song", 100, 44, 128, 2 });
    ASSERT_TRUE(Load());
    int from = PlayerCommandCount();
    ASSERT_NE(ShowPopup(), (HWND)NULL);
    DWORD infoThread = CommandsFrom(from).at(0).thread;

    EXPECT_TRUE(PostThreadMessageA(infoThread, WM_QUIT, 0, 0));
    EXPECT_TRUE(PostThreadMessageA(gHotKeyThread, WM_QUIT, 0, 0));
    LONG registrations = gRegistrations;
    PostThreadMessageA(gHotKeyThread, UM_HOTKEY_SET, 0, 'Q');
    for (int i = 0; i < 50; i++)
        PostThreadMessageA(gHotKeyThread, UM_HOTKEY_SET, MOD_CONTROL, VK_F12);
    PostThreadMessageA(gHotKeyThread, UM_HOTKEY_STOP, 0, 0);
    // The first press reaches the hot-key thread after all of these; the
    // second is pressed once they are done.
    PlayerPressHotKey(MOD_CONTROL, VK_F12);
    ASSERT_TRUE(WaitForVisiblePopups(2));
    PlayerPressHotKey(MOD_CONTROL, VK_F12);
    EXPECT_TRUE(WaitForVisiblePopups(3)) << "the hot key is gone";
    EXPECT_EQ(gRegistrations, registrations) << "the key was let go and taken again";
    EXPECT_FALSE(HotKeyTaken(0, 'Q')) << "plain Q was registered for the player";

    EXPECT_NE(ShowPopup(), (HWND)NULL) << "the track-information thread ended";
}

TEST_F(Hostile, AHotKeyAnotherProgramHeldAtInitWorksFromTheFirstTrackAfterItIsFree)
{
    PreloadedPlugin plugin;
    ASSERT_TRUE(plugin.Redirect("user32.dll", "RegisterHotKey", (void *)WatchedRegisterHotKey));
    SetIni({ { "Seconds", 0 }, { "PopUpOnlyOnHotKey", 1 } });
    PlayerSetTrack(kSong);
    OtherProgram other;
    ASSERT_TRUE(other.Start("hotkey 2 123"));   // Ctrl+F12
    ASSERT_TRUE(Load());
    PlayerStartTrack();
    ASSERT_TRUE(WaitUntil([] { return gRegistrations >= 4; })) << "no second try at the track event";
    EXPECT_FALSE(gRegistered);

    other.Stop();
    PlayerPumpFor(kEventGapMs);   // idle: no try without an event
    EXPECT_FALSE(gRegistered);
    PlayerStartTrack();
    ASSERT_TRUE(WaitUntil([] { return gRegistered; })) << "not taken at the next track event";
    PlayerPressHotKey(MOD_CONTROL, VK_F12);
    EXPECT_TRUE(WaitForVisiblePopups(1));
}

TEST_F(Hostile, ASecondCopyThatQuitsLeavesTheFirstItsDialog)
{
    ASSERT_TRUE(Load());
    // A second file name: the loader maps the DLL a second time.
    std::string copyPath = iniDir + "\\gen_tunebell_copy.dll";
    ASSERT_TRUE(CopyFileA(PlayerDefaultPluginPath(), copyPath.c_str(), FALSE));
    HMODULE copy = LoadLibraryA(copyPath.c_str());
    ASSERT_NE(copy, (HMODULE)NULL);
    ASSERT_NE(copy, PlayerPluginModule());
    GetPluginProc getPlugin = (GetPluginProc)(void *)GetProcAddress(copy, "winampGetGeneralPurposePlugin");
    ASSERT_NE(getPlugin, (GetPluginProc)NULL);
    PlayerPluginRecord *second = getPlugin();
    second->hwndParent = PlayerWindow();
    second->hDllInstance = copy;
    ASSERT_EQ(second->init(), 0);
    second->quit();
    FreeLibrary(copy);
    ASSERT_EQ(GetModuleHandleA("gen_tunebell_copy.dll"), (HMODULE)NULL);

    EXPECT_TRUE(DriveSettingsDialog([](HWND dialog) {
        EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_BACK_COLOUR, CPM_GETCOLOUR, 0, 0), RGB(255, 255, 200));
    })) << "the first copy's settings dialog did not open";
}

TEST_F(Hostile, OkThatCannotSaveSaysWhichFileAndKeepsTheEdits)
{
    ASSERT_TRUE(Load());
    // The player's settings folder has no plugins folder: OK makes one.
    ASSERT_TRUE(RemoveDirectoryA((iniDir + "\\plugins").c_str()));
    ASSERT_TRUE(DriveSettingsDialog([](HWND dialog) {
        Press(dialog, IDC_DISPLAY_TIME);
        Press(dialog, IDOK);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
    }));
    EXPECT_EQ(IniValue(iniFile, "DisplayTime"), 1);

    // Another program holds the file open and lets nobody write to it.
    HANDLE lock = CreateFileA(iniFile.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    std::string saved = FileBytes(iniFile);
    ASSERT_TRUE(DriveSettingsDialog([&](HWND dialog) {
        Press(dialog, IDC_DISPLAY_TIME);
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        std::string said = CloseInfoBox();
        EXPECT_NE(said.find(iniFile), std::string::npos) << "OK said: \"" << said << "\"";
        EXPECT_TRUE(IsWindow(dialog));
        EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_DISPLAY_TIME), (UINT)BST_UNCHECKED);
        EXPECT_EQ(FileBytes(iniFile), saved);

        CloseHandle(lock);
        lock = INVALID_HANDLE_VALUE;
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); })) << "the second OK did not close";
    }));
    if (lock != INVALID_HANDLE_VALUE)
        CloseHandle(lock);
    EXPECT_EQ(IniValue(iniFile, "DisplayTime"), 0);
}

TEST_F(Hostile, AnIniDirectoryThatIsNoAbsolutePathLoadsDefaultsAndSavesNothing)
{
    CurrentFolder here(iniDir);
    const char rootFile[] = "\\plugins\\tunebell.ini";
    ASSERT_EQ(GetFileAttributesA(rootFile), INVALID_FILE_ATTRIBUTES) << "left over at the drive's root";
    // Below the current folder, a file the plug-in must neither read nor write.
    std::string relativeFile = iniDir + "\\rel\\plugins\\tunebell.ini";
    ASSERT_TRUE(PlayerMakeDirectories((iniDir + "\\rel\\plugins").c_str()));
    ASSERT_TRUE(WritePrivateProfileStringA("Tunebell", "Position", "0", relativeFile.c_str()));
    std::string relativeBytes = FileBytes(relativeFile);

    const char *const answers[3] = { "", "rel", (const char *)1 };
    for (const char *answer : answers) {
        SCOPED_TRACE(answer == answers[2] ? "unreadable" : answer);
        if (answer == answers[2])
            PlayerSetIniDirPointer(answer);
        else
            PlayerSetIniDir(answer);
        ASSERT_TRUE(Load());
        ASSERT_TRUE(DriveSettingsDialog([](HWND dialog) {
            EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_POSITION, CB_GETCURSEL, 0, 0), 2) << "not the default corner";
            PostMessageA(dialog, WM_COMMAND, IDOK, 0);
            EXPECT_NE(CloseInfoBox(), "") << "OK said nothing";
            EXPECT_TRUE(IsWindow(dialog));
        }));
        PlayerUnloadPlugin();
    }
    EXPECT_EQ(FileBytes(relativeFile), relativeBytes);
    EXPECT_EQ(GetFileAttributesA(rootFile), INVALID_FILE_ATTRIBUTES) << "written at the drive's root";
    DeleteFileA(rootFile);
    RemoveDirectoryA("\\plugins");
}

// Another program's subclass over the plug-in's hook, as a player's skin or
// a second plug-in would put there.
static WNDPROC gBelowForeign;

static LRESULT CALLBACK ForeignSubclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return CallWindowProcA(gBelowForeign, window, message, wParam, lParam);
}

TEST_F(Hostile, InitAgainAfterAQuitUnderAForeignSubclassHooksOnce)
{
    SetIni("Seconds", 0);
    PlayerSetTrack({ 0, "Song", 100, 44, 128, 2 });
    ASSERT_TRUE(LoadCopyThatMayStay());
    HWND main = PlayerWindow();
    gBelowForeign = (WNDPROC)SetWindowLongA(main, GWL_WNDPROC, (LONG)ForeignSubclass);
    QuitAndUnload();   // the hook stays in the chain, so the DLL stays loaded

    ASSERT_TRUE(LoadCopyThatMayStay());
    // A hook put over the subclass that calls it would call itself here.
    EXPECT_EQ(SendMessageA(main, WM_USER, 2, 4242), PlayerUnknownCommandAnswer(2, 4242));
    EXPECT_NE(ShowPopup(), (HWND)NULL);
    PlayerQuitPlugin();
    SetWindowLongA(main, GWL_WNDPROC, GetClassLongA(main, GCL_WNDPROC));
}

// A current player keeps its main window in Unicode and puts the playing
// title in its caption, for the task bar.
TEST_F(Hostile, AUnicodePlayerWindowStaysUnicodeWhileHookedAndAfter)
{
    PlayerStop();
    ASSERT_TRUE(PlayerStart(iniDir.c_str(), true));
    HWND main = PlayerWindow();
    PlayerSetTrack(kSong);
    ASSERT_TRUE(Load());
    EXPECT_TRUE(IsWindowUnicode(main));
    const WCHAR caption[] = L"12. \x65E5\x672C\x8A9E - Winamp";
    SetWindowTextW(main, caption);
    WCHAR read[64] = L"";
    GetWindowTextW(main, read, 64);
    EXPECT_STREQ(read, caption);
    SendMessageW(main, WM_CHAR, 0x65E5, 1);
    EXPECT_EQ(PlayerLastCharacter(), 0x65E5u);
    EXPECT_NE(ShowPopup(), (HWND)NULL);

    PlayerQuitPlugin();
    EXPECT_TRUE(PlayerOwnProcInstalled());
    EXPECT_TRUE(IsWindowUnicode(main));
}

// The player asks for the settings again while they are open; later the
// window that owns them is closed under them.
TEST_F(Hostile, ConfigAgainBringsTheOpenDialogForwardAndAClosedOwnerCancels)
{
    ASSERT_TRUE(Load());
    ASSERT_TRUE(DriveSettingsDialog([&](HWND dialog) {
        Press(dialog, IDC_DISPLAY_TIME);
        HWND elsewhere = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 60, 60, NULL, NULL, NULL, NULL);
        SetForegroundWindow(elsewhere);
        int returned = PlayerConfigsReturned();
        PlayerPostConfig();
        HWND second = NULL;
        WaitUntil([&] {
            second = FindWindowExA(NULL, NULL, "#32770", kDialogCaption);
            if (second == dialog)
                second = FindWindowExA(NULL, dialog, "#32770", kDialogCaption);
            return PlayerConfigsReturned() > returned || second;
        });
        EXPECT_EQ(second, (HWND)NULL) << "a second dialog";
        if (second)   // whose Cancel would throw away the first one's edit
            PostMessageA(second, WM_COMMAND, IDCANCEL, 0);
        EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == dialog; }));
        DestroyWindow(elsewhere);
        Press(dialog, IDOK);
    }));
    EXPECT_EQ(IniValue(iniFile, "DisplayTime"), 1);

    UINT saved = IniValue(iniFile, "DisplayTime") == 1 ? BST_CHECKED : BST_UNCHECKED;
    HWND owner = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, NULL, NULL, NULL, NULL);
    PlayerSetOwner(owner);
    ASSERT_TRUE(DriveSettingsDialog([&](HWND dialog) {
        Press(dialog, IDC_DISPLAY_TIME);
        PostMessageA(owner, WM_CLOSE, 0, 0);   // destroys it, and the dialog with it
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
    }));
    PlayerSetOwner(NULL);
    ASSERT_TRUE(DriveSettingsDialog([&](HWND dialog) {
        EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_DISPLAY_TIME), saved) << "the unsaved edit stayed";
    }));
}

// WM_APP is the first number any program picks for a message of its own.
TEST_F(Hostile, WmAppToAPopupDoesNothingAndAPopupHiddenFromOutsideCloses)
{
    SetIni("Seconds", 0);
    PlayerSetTrack(kSong);
    ASSERT_TRUE(LoadPatched());
    std::vector<HWND> popups = ShowPopups(2);
    ASSERT_EQ(popups.size(), 2u);
    HWND oldest = popups[0], younger = popups[1];

    // Closed from outside after it: the younger closes the gap.
    PostMessageA(oldest, WM_APP, 0, 0);
    PostMessageA(oldest, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(oldest); }));
    EXPECT_TRUE(WaitUntil([&] { return InLowerRightCorner(younger); })) << "a gap was left";

    ShowWindow(younger, SW_HIDE);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(younger); })) << "the hidden popup stayed";
}

// Another program's top-most window comes over a popup held under the
// pointer: the pointer is on that window now, and no leave notice comes.
TEST_F(Hostile, AHeldPopupCoveredByAnotherProgramIsLetGo)
{
    SetIni("Seconds", 1);
    PlayerSetTrack(kSong);
    ASSERT_TRUE(Load());
    HWND popup = ShowPopupUnderMovingPointer();
    ASSERT_NE(popup, (HWND)NULL);
    RECT r = WindowRectOf(popup);
    PlayerPumpFor(1500);
    ASSERT_TRUE(IsWindowVisible(popup)) << "not held";

    OtherProgram other;
    char job[64];
    snprintf(job, sizeof job, "cover %ld %ld %ld %ld", r.left - 5, r.top - 5, r.right + 5, r.bottom + 5);
    ASSERT_TRUE(other.Start(job));
    EXPECT_TRUE(WaitForPopupClosed(popup, 4000)) << "held for ever";
    ASSERT_TRUE(PlayerMovePointer(40, 40));
}

// Another program sends a popup WM_SETCURSOR for a mouse move every 10 ms,
// as the system does for the pointer over the popup, while the real pointer
// moves about elsewhere (each move makes the next spoof look like a move onto
// the popup): the popup is not held, and closes on time.
TEST_F(Hostile, WmSetCursorFromAnotherProgramDoesNotHoldAPopup)
{
    SetIni("Seconds", 1);
    PlayerSetTrack(kSong);
    ASSERT_TRUE(PlayerMovePointer(40, 40));
    ASSERT_TRUE(Load());
    HWND popup = ShowPopup();
    ASSERT_NE(popup, (HWND)NULL);
    DWORD shown = GetTickCount();
    int moves = 0;
    EXPECT_TRUE(WaitUntil([&] {
        SetCursorPos(40 + ++moves % 2 * 20, 40);
        SendMessageTimeoutA(popup, WM_SETCURSOR, (WPARAM)popup, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE), SMTO_ABORTIFHUNG,
                            100, NULL);
        return !IsWindowVisible(popup);
    }, 4000, 10)) << "held by the spoofed messages";
    EXPECT_LT(GetTickCount() - shown, 2500u);
}

TEST_F(Hostile, ATitleTooLongForTheScreenNarrowsThePopupToIt)
{
    std::string title;
    while (title.size() < 254)
        title += "Long Title ";
    title.resize(254);
    SetIni("Seconds", 0);
    PlayerSetTrack({ 0, title.c_str(), 100, 44, 128, 2 });
    ASSERT_TRUE(Load());
    HWND popup = ShowPopup();
    ASSERT_NE(popup, (HWND)NULL);
    RECT area = WorkArea(), r = WindowRectOf(popup);
    EXPECT_TRUE(RectIs(r, area.left + 2, kAnyEdge, area.right - 2, kAnyEdge));
    PopupParts parts = ReadPopupParts(popup);
    EXPECT_EQ(WindowText(parts.title), TitleLine(0, title.c_str())) << "the text for screen readers was cut";
    EXPECT_LE(ChildRect(parts.title).right, r.right - r.left);
    EXPECT_TRUE(GetWindowLongA(parts.title, GWL_STYLE) & SS_ENDELLIPSIS) << "cut without an ellipsis";
    EXPECT_FALSE(GetWindowLongA(parts.info, GWL_STYLE) & SS_ENDELLIPSIS) << "a line that fits";
}

TEST_F(Hostile, AWaitingThreadOutlivesAStrayQuitAndAnEndedOneLeavesNoHandle)
{
    PreloadedPlugin plugin;
    ASSERT_TRUE(plugin.Redirect("user32.dll", "SetTimer", (void *)QuickIdleSetTimer));
    SetIni("Seconds", 0);
    PlayerSetTrack(kSong);
    ASSERT_TRUE(LoadPatched());
    HWND spare = NULL;
    ASSERT_TRUE(WaitUntil([&] { return (spare = FindWindowA(SPARE_CLASS, NULL)) != NULL; }));
    DWORD spareThread = GetWindowThreadProcessId(spare, NULL);
    PostThreadMessageA(spareThread, WM_QUIT, 0, 0);
    HWND popup = ShowPopup();
    ASSERT_NE(popup, (HWND)NULL);
    EXPECT_EQ(GetWindowThreadProcessId(popup, NULL), spareThread) << "the spare ended";

    // A burst, closed again: the threads beyond the one spare kept end.
    for (int i = 0; i < 2; i++)
        PlayerStartTrackPastThrottle();
    ASSERT_TRUE(WaitForVisiblePopups(3));
    std::vector<DWORD> ids;
    std::vector<HANDLE> ours;
    for (HWND popup : VisiblePopups()) {
        ids.push_back(GetWindowThreadProcessId(popup, NULL));
        ours.push_back(OpenThread(SYNCHRONIZE, FALSE, ids.back()));
        PostMessageA(popup, WM_CONTEXTMENU, (WPARAM)popup, 0);
    }
    PlayerAdvancePluginClock(10000);   // past the burst
    auto ended = [&](size_t i) { return WaitForSingleObject(ours[i], 0) == WAIT_OBJECT_0; };
    EXPECT_TRUE(WaitUntil([&] { return ended(0) + ended(1) + ended(2) >= 2; }));
    // Once our own handle of an ended thread is closed, nobody holds it.
    for (size_t i = 0; i < ids.size(); i++) {
        bool gone = ended(i);
        CloseHandle(ours[i]);
        HANDLE again = gone ? OpenThread(SYNCHRONIZE, FALSE, ids[i]) : NULL;
        EXPECT_EQ(again, (HANDLE)NULL) << "the handle of an ended thread is open";
        if (again)
            CloseHandle(again);
    }
}
