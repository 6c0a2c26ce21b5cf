#include "tests/e2e/support.h"
#include "host/media_double.h"

#include <stdio.h>
#include <string.h>

#include <algorithm>

// --- crashes -------------------------------------------------------------------

// A crash must fail the test program. Under Wine a fault inside a window
// procedure that SendMessage called can otherwise end the process with exit
// code 0, which the test runner takes for a pass.
static LONG WINAPI FailOnCrash(EXCEPTION_POINTERS *info)
{
    fprintf(stderr, "crash: exception 0x%08lx at %p\n", info->ExceptionRecord->ExceptionCode,
            info->ExceptionRecord->ExceptionAddress);
    fflush(stderr);
    TerminateProcess(GetCurrentProcess(), 3);
    return EXCEPTION_EXECUTE_HANDLER;
}

static struct CrashGuard {
    CrashGuard() { SetUnhandledExceptionFilter(FailOnCrash); }
} gCrashGuard;

// --- the fixture -------------------------------------------------------------

const PlayerTrack kSong = { 0, "Song", 100, 44, 128, 2 };

// Where the pointer rests between tests: inside the work area, away from its
// corners and its centre, where popups go.
static POINT RestingPointerPlace()
{
    RECT area = WorkArea();
    POINT place = { area.left + (area.right - area.left) * 3 / 8, area.top + (area.bottom - area.top) / 4 };
    return place;
}

void PutPointerToRest()
{
    POINT place = RestingPointerPlace();
    PlayerMovePointer(place.x, place.y);
}

// Windows an earlier test made on this thread and left (one that failed half
// way, or one that keeps a window as it goes): a foreground window left over
// takes the input, and a full-screen one quiets every popup after it.
static BOOL CALLBACK CollectWindow(HWND window, LPARAM list)
{
    char name[16] = "";
    GetClassNameA(window, name, sizeof name);
    if (lstrcmpiA(name, "IME") != 0)   // the system's own, for this thread
        ((std::vector<HWND> *)list)->push_back(window);
    return TRUE;
}

static void DestroyWindowsLeftOnThisThread()
{
    std::vector<HWND> left;
    EnumThreadWindows(GetCurrentThreadId(), CollectWindow, (LPARAM)&left);
    for (HWND window : left)
        if (IsWindow(window) && !GetParent(window))
            DestroyWindow(window);
    PlayerPump();
}

void PlayerTest::SetUp()
{
    // The plug-in of an earlier test may still be finishing (a cover thread
    // ends by itself); one that stays for good would hand this test its
    // state and its patched imports.
    ASSERT_TRUE(WaitUntil([] { return GetModuleHandleA("gen_tunebell.dll") == NULL; }, 10000))
        << "gen_tunebell.dll stayed loaded after an earlier test";
    DestroyWindowsLeftOnThisThread();
    PutPointerToRest();
    // A media controls test that crashed left its double registered.
    UnregisterMediaDouble();
    char temp[MAX_PATH];
    DWORD length = GetTempPathA(sizeof temp, temp);
    ASSERT_GT(length, 0u);
    ASSERT_LT(length, sizeof temp);
    char name[96];
    snprintf(name, sizeof name, "tunebell-e2e-%lu-%lu", GetCurrentProcessId(), GetTickCount());
    iniDir = std::string(temp) + name;
    ASSERT_TRUE(PlayerStart(iniDir.c_str()));
    iniFile = PlayerSettingsFile();
}

void PlayerTest::TearDown()
{
    PlayerStop();
    DestroyWindowsLeftOnThisThread();
    if (!iniDir.empty())
        PlayerRemoveTree(iniDir.c_str());
}

void PlayerTest::SetIni(const char *key, int value)
{
    ASSERT_TRUE(PlayerWriteSetting(key, value)) << "cannot write " << PlayerSettingsFile();
}

bool PlayerTest::Load()
{
    patched = anyEvent = false;
    baselineThreads = PlayerThreadCount();
    return PlayerLoadPlugin(PlayerDefaultPluginPath());
}

void PlayerTest::SetIni(std::initializer_list<std::pair<const char *, int>> keys)
{
    for (const auto &key : keys)
        SetIni(key.first, key.second);
}

bool PlayerTest::LoadCopyThatMayStay()
{
    if (copyPath.empty()) {
        // Copies of earlier runs go first; those still mapped stay.
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((std::string(temp) + "tunebell-copy-*.dll").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do
                DeleteFileA((std::string(temp) + found.cFileName).c_str());
            while (FindNextFileA(search, &found));
            FindClose(search);
        }
        static int copies;
        char name[64];
        snprintf(name, sizeof name, "tunebell-copy-%lu-%d.dll", GetCurrentProcessId(), ++copies);
        if (!CopyFileA(PlayerDefaultPluginPath(), (std::string(temp) + name).c_str(), FALSE))
            return false;
        copyPath = std::string(temp) + name;
    }
    patched = anyEvent = false;
    baselineThreads = PlayerThreadCount();
    return PlayerLoadPlugin(copyPath.c_str());
}

bool PlayerTest::LoadPatched()
{
    patched = Load() && PlayerRedirectPluginClock() && PlayerSkipSettleWait();
    return patched;
}

HWND PlayerTest::ShowNext(const PlayerTrack *track)
{
    std::vector<HWND> before = VisiblePopups();
    if (track)
        PlayerSetTrack(*track);
    if (patched) {
        PlayerStartTrackPastThrottle();
    } else {
        if (anyEvent)
            PumpUntil(lastEvent, kEventGapMs);
        lastEvent = GetTickCount();
        anyEvent = true;
        PlayerStartTrack();
    }
    if (!WaitForVisiblePopups((int)before.size() + 1))
        return NULL;
    for (HWND popup : VisiblePopups())
        if (std::find(before.begin(), before.end(), popup) == before.end())
            return popup;
    return NULL;
}

std::vector<HWND> PlayerTest::ShowPopups(const std::vector<PlayerTrack> &tracks)
{
    std::vector<HWND> shown;
    for (const PlayerTrack &track : tracks) {
        HWND popup = ShowNext(&track);
        if (!popup)
            return {};
        shown.push_back(popup);
    }
    return shown;
}

std::vector<HWND> PlayerTest::ShowPopups(int n)
{
    std::vector<HWND> shown;
    for (int i = 0; i < n; i++) {
        HWND popup = ShowNext(NULL);
        if (!popup)
            return {};
        shown.push_back(popup);
    }
    return shown;
}

HWND PlayerTest::ShowPopup(const PlayerTrack &track)
{
    return ShowNext(&track);
}

HWND PlayerTest::ShowPopup()
{
    return ShowNext(NULL);
}

HWND PlayerTest::ShowPopupUnderMovingPointer()
{
    HWND popup = PlayerMovePointer(40, 40) ? ShowNext(NULL) : NULL;
    if (!popup || !WaitUntil([&] { return !WindowText(popup).empty(); }))
        return NULL;
    RECT r = WindowRectOf(popup);
    return PlayerMovePointer(r.left + 10, r.top + 8) && PlayerMovePointer(r.left + 30, r.top + 12) ? popup : NULL;
}

DWORD PlayerTest::QuitAndUnload()
{
    DWORD start = GetTickCount();
    PlayerQuitPlugin();
    DWORD took = GetTickCount() - start;
    PlayerUnloadPlugin();
    return took;
}

::testing::AssertionResult PlayerTest::NoPopupAndBaselineThreads(DWORD timeoutMs)
{
    int popups = PlayerFindPopups(NULL, 0);
    if (popups != 0)
        return ::testing::AssertionFailure() << popups << " popup window(s) outlived quit";
    if (!WaitUntil([&] { return PlayerThreadCount() == baselineThreads; }, timeoutMs))
        return ::testing::AssertionFailure()
               << PlayerThreadCount() << " threads, " << baselineThreads << " before load";
    return ::testing::AssertionSuccess();
}

// --- popups --------------------------------------------------------------------

std::vector<HWND> VisiblePopups()
{
    HWND popups[kMaxPopupsSeen];
    int count = PlayerFindPopups(popups, kMaxPopupsSeen);
    std::vector<HWND> visible;
    for (int i = 0; i < count && i < kMaxPopupsSeen; i++) {
        if (IsWindowVisible(popups[i]))
            visible.push_back(popups[i]);
    }
    return visible;
}

bool WaitForVisiblePopups(int n, DWORD timeoutMs)
{
    return WaitUntil([&] { return (int)VisiblePopups().size() == n; }, timeoutMs);
}

bool WaitForNoPopupWindows(DWORD timeoutMs)
{
    return WaitUntil([] { return PlayerFindPopups(NULL, 0) == 0; }, timeoutMs);
}

bool WaitForPopupClosed(HWND popup, DWORD timeoutMs)
{
    return WaitUntil([&] { return !IsWindow(popup) || !IsWindowVisible(popup); }, timeoutMs);
}

HWND FindPopupWithTitle(const std::string &titleLine)
{
    for (HWND popup : VisiblePopups()) {
        PopupParts parts = ReadPopupParts(popup);
        if (parts.title && WindowText(parts.title) == titleLine)
            return popup;
    }
    return NULL;
}

std::string WindowText(HWND window)
{
    char text[4096];
    PlayerWindowText(window, text, sizeof text);
    return text;
}

static bool FontOf(HWND window, LOGFONTA *description)
{
    DWORD_PTR font = 0;
    return SendMessageTimeoutA(window, WM_GETFONT, 0, 0, SMTO_NORMAL, 2000, &font) && font &&
           GetObjectA((HFONT)font, sizeof *description, description);
}

int FontWeightOf(HWND window)
{
    LOGFONTA description;
    return FontOf(window, &description) ? description.lfWeight : 0;
}

int FontHeightOf(HWND window)
{
    LOGFONTA description;
    return FontOf(window, &description) ? description.lfHeight : 0;
}

PopupParts ReadPopupParts(HWND popup)
{
    PopupParts parts;
    HWND children[32];
    int count = PlayerChildWindows(popup, children, 32);
    parts.children = count;
    for (int i = 0; i < count && i < 32; i++) {
        HWND child = children[i];
        LONG type = GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK;
        if (type == SS_ICON)
            parts.icon = child;
        else if (type == SS_OWNERDRAW)
            parts.cover = child;
        else if (type == SS_RIGHT)
            parts.time = child;
        else if (WindowText(child).empty())
            parts.back = child;
        else if (FontWeightOf(child) >= FW_SEMIBOLD)
            parts.title = child;
        else
            parts.info = child;
    }
    return parts;
}

RECT ChildRect(HWND child)
{
    RECT r = WindowRectOf(child);
    MapWindowPoints(NULL, GetParent(child), (POINT *)&r, 2);
    return r;
}

::testing::AssertionResult InLowerRightCorner(HWND popup)
{
    RECT area = WorkArea();
    return RectIs(WindowRectOf(popup), kAnyEdge, kAnyEdge, area.right - 2, area.bottom - 2);
}

void ClickMiddle(HWND window, bool right)
{
    RECT r = WindowRectOf(window);
    PlayerClickAt((r.left + r.right) / 2, (r.top + r.bottom) / 2, right);
}

COLORREF WindowColour(HWND window, int x, int y)
{
    RECT r = WindowRectOf(window);
    HDC dc = GetWindowDC(window);
    COLORREF colour = GetPixel(dc, x - r.left, y - r.top);
    ReleaseDC(window, dc);
    return colour;
}

bool WaitForWindowColour(HWND window, int x, int y, COLORREF colour, DWORD timeoutMs)
{
    return WaitUntil([&] { return WindowColour(window, x, y) == colour; }, timeoutMs);
}

bool WaitForScreenColour(int x, int y, COLORREF colour, DWORD timeoutMs)
{
    return WaitUntil([&] { return ScreenColour(x, y) == colour; }, timeoutMs);
}

bool WaitForAlpha(HWND popup, int alpha, DWORD timeoutMs)
{
    return WaitUntil([&] { return LayeredAlpha(popup) == alpha; }, timeoutMs);
}

bool MidFade(HWND popup)
{
    int alpha = LayeredAlpha(popup);
    return alpha > 0 && alpha < 255;
}

RECT WorkArea()
{
    RECT area = { 0, 0, 0, 0 };
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

void PumpUntil(DWORD start, DWORD ms)
{
    DWORD spent = GetTickCount() - start;
    if (spent < ms)
        PlayerPumpFor(ms - spent);
}

// --- sequences -------------------------------------------------------------------

static std::string Describe(int what, WPARAM value)
{
    char text[64];
    snprintf(text, sizeof text, "%d (%lu)", what, (unsigned long)value);
    return text;
}

::testing::AssertionResult SameSequence(const std::vector<Step> &done,
                                        const std::vector<ExpectedStep> &expected)
{
    DWORD worker = 0;
    for (size_t i = 0; i < done.size() || i < expected.size(); i++) {
        if (i >= done.size())
            return ::testing::AssertionFailure() << "step " << i << " of " << expected.size()
                                                 << " missing: " << Describe(expected[i].what, expected[i].value);
        if (i >= expected.size())
            return ::testing::AssertionFailure() << "step " << i << " is one too many: "
                                                 << Describe(done[i].what, done[i].value);
        const Step &d = done[i];
        const ExpectedStep &e = expected[i];
        if (d.what != e.what || d.value != e.value)
            return ::testing::AssertionFailure() << "step " << i << " is " << Describe(d.what, d.value)
                                                 << ", expected " << Describe(e.what, e.value);
        if (e.thread == kOnWorker && !worker)
            worker = d.thread;
        bool onPlayer = d.thread == PlayerThreadId();
        if ((e.thread == kOnPlayer && !onPlayer) || (e.thread == kOnWorker && (onPlayer || d.thread != worker)))
            return ::testing::AssertionFailure()
                   << "step " << i << " (" << Describe(d.what, d.value) << ") came from thread " << d.thread
                   << ", expected " << (e.thread == kOnPlayer ? "the player's" : "the worker's")
                   << " (player " << PlayerThreadId() << ", worker " << worker << ")";
    }
    return ::testing::AssertionSuccess();
}

std::vector<ExpectedStep> TrackQueries(int position, int events, bool olderPlayer)
{
    const ExpectedStep queries[] = {
        { PLAYER_CMD_POSITION, 0, kOnWorker }, { PLAYER_CMD_INFO, 0, kOnWorker },
        { PLAYER_CMD_INFO, 1, kOnWorker },     { PLAYER_CMD_INFO, 2, kOnWorker },
        { PLAYER_CMD_LENGTH, 1, kOnWorker },   { PLAYER_CMD_WIDE_TITLE, (WPARAM)position, kOnWorker },
    };
    // The file's name, for the cover: the stand-in player knows none unless
    // told, so the ANSI name is asked for too; then whether a next entry is
    // there, whose cover would be looked up ahead.
    const ExpectedStep files[] = {
        { PLAYER_CMD_WIDE_FILE, (WPARAM)position, kOnWorker }, { PLAYER_CMD_FILE, (WPARAM)position, kOnWorker },
        { PLAYER_CMD_LIST_LENGTH, 0, kOnWorker },
    };
    std::vector<ExpectedStep> all;
    for (int i = 0; i < events; i++) {
        all.insert(all.end(), std::begin(queries), std::end(queries));
        if (olderPlayer)
            all.push_back({ PLAYER_CMD_TITLE, (WPARAM)position, kOnWorker });
        all.insert(all.end(), std::begin(files), std::end(files));
    }
    return all;
}

std::vector<Step> CommandsFrom(int from)
{
    std::vector<Step> commands;
    PlayerCommand command;
    for (int i = from; PlayerCommandAt(i, &command); i++)
        commands.push_back(Step{ command.command, command.wParam, command.threadId });
    return commands;
}

int CountCommands(int command, int from)
{
    int count = 0;
    for (const Step &sent : CommandsFrom(from))
        count += sent.what == command;
    return count;
}

bool WaitForCommand(int command, int times, int from, DWORD timeoutMs)
{
    return WaitUntil([&] { return CountCommands(command, from) >= times; }, timeoutMs);
}

HWND VisibleChild(HWND popup, const std::string &text)
{
    HWND children[32];
    int count = PlayerChildWindows(popup, children, 32);
    for (int i = 0; i < count && i < 32; i++)
        if (IsWindowVisible(children[i]) && WindowText(children[i]) == text)
            return children[i];
    return NULL;
}
