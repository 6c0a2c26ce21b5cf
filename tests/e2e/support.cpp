#include "tests/e2e/support.h"

#include "host/iat_hook.h"
#include "host/plugin_patches.h"

#include <stdio.h>
#include <string.h>

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

static void DeleteTree(const std::string &dir)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((dir + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (strcmp(found.cFileName, ".") == 0 || strcmp(found.cFileName, "..") == 0)
                continue;
            std::string path = dir + "\\" + found.cFileName;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                DeleteTree(path);
            else
                DeleteFileA(path.c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(dir.c_str());
}

void PlayerTest::SetUp()
{
    char temp[MAX_PATH];
    DWORD length = GetTempPathA(sizeof temp, temp);
    ASSERT_GT(length, 0u);
    ASSERT_LT(length, sizeof temp);
    char name[96];
    snprintf(name, sizeof name, "tunebell-e2e-%lu-%lu", GetCurrentProcessId(), GetTickCount());
    iniDir = std::string(temp) + name;
    iniFile = iniDir + "\\plugins\\tunebell.ini";
    ASSERT_TRUE(PlayerStart(iniDir.c_str()));
}

void PlayerTest::TearDown()
{
    PlayerStop();
    if (!iniDir.empty())
        DeleteTree(iniDir);
}

void PlayerTest::SetIni(const char *key, int value)
{
    char text[16];
    snprintf(text, sizeof text, "%d", value);
    ASSERT_TRUE(WritePrivateProfileStringA("Tunebell", key, text, iniFile.c_str()))
        << "cannot write " << iniFile;
}

bool PlayerTest::Load()
{
    baselineThreads = PlayerThreadCount();
    return PlayerLoadPlugin(PlayerDefaultPluginPath());
}

DWORD PlayerTest::QuitAndUnload()
{
    DWORD start = GetTickCount();
    PlayerQuitPlugin();
    DWORD took = GetTickCount() - start;
    PlayerUnloadPlugin();
    return took;
}

// --- tracks and popups -------------------------------------------------------

void SetTrack(int position, const char *title, int length, int kHz, int kbit, int channels)
{
    PlayerTrack track = { position, title, length, kHz, kbit, channels };
    PlayerSetTrack(&track);
}

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

static bool VisibleCountIs(void *ctx)
{
    return (int)VisiblePopups().size() == *(int *)ctx;
}

bool WaitForVisiblePopups(int n, DWORD timeoutMs)
{
    return PlayerWaitFor(VisibleCountIs, &n, timeoutMs);
}

static bool NoPopupWindow(void *)
{
    return PlayerFindPopups(NULL, 0) == 0;
}

bool WaitForNoPopupWindows(DWORD timeoutMs)
{
    return PlayerWaitFor(NoPopupWindow, NULL, timeoutMs);
}

static bool PopupGone(void *ctx)
{
    HWND popup = (HWND)ctx;
    return !IsWindow(popup) || !IsWindowVisible(popup);
}

bool WaitForPopupClosed(HWND popup, DWORD timeoutMs)
{
    return PlayerWaitFor(PopupGone, popup, timeoutMs);
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

int FontWeightOf(HWND window)
{
    DWORD_PTR font = 0;
    if (!SendMessageTimeoutA(window, WM_GETFONT, 0, 0, SMTO_NORMAL, 2000, &font) || !font)
        return 0;
    LOGFONTA description;
    if (!GetObjectA((HFONT)font, sizeof description, &description))
        return 0;
    return description.lfWeight;
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
        else if (type == SS_RIGHT)
            parts.time = child;
        else if (WindowText(child).empty())
            parts.back = child;
        else if (FontWeightOf(child) >= FW_BOLD)
            parts.title = child;
        else
            parts.info = child;
    }
    return parts;
}

RECT ChildRect(HWND child)
{
    RECT r = { 0, 0, 0, 0 };
    GetWindowRect(child, &r);
    MapWindowPoints(NULL, GetParent(child), (POINT *)&r, 2);
    return r;
}

RECT WindowRectOf(HWND window)
{
    RECT r = { 0, 0, 0, 0 };
    GetWindowRect(window, &r);
    return r;
}

std::string TitleLine(int position, const char *title)
{
    char line[1024];
    snprintf(line, sizeof line, " %02d. %s ", position + 1, title ? title : "Unknown");
    return line;
}

std::string InfoLine(int length, int kHz, int kbit, int channels)
{
    if (length < 0)
        length = 0;
    char line[256];
    snprintf(line, sizeof line, " %02d:%02d [%d KHz - %d Kbit - %s] ", length / 60,
             length % 60, kHz, kbit, channels == 2 ? "Stereo" : "Mono");
    return line;
}

// --- the screen and the mouse ------------------------------------------------

void ClickAt(int x, int y, bool right)
{
    PlayerClickAt(x, y, right);
    PlayerPump();
}

COLORREF ScreenColour(int x, int y)
{
    HDC screen = GetDC(NULL);
    COLORREF colour = GetPixel(screen, x, y);
    ReleaseDC(NULL, screen);
    return colour;
}

struct ColourWatch {
    int x, y;
    COLORREF colour;
};

static bool ColourShown(void *ctx)
{
    ColourWatch *watch = (ColourWatch *)ctx;
    return ScreenColour(watch->x, watch->y) == watch->colour;
}

bool WaitForScreenColour(int x, int y, COLORREF colour, DWORD timeoutMs)
{
    ColourWatch watch = { x, y, colour };
    return PlayerWaitFor(ColourShown, &watch, timeoutMs);
}

int LayeredAlpha(HWND popup)
{
    if (!(GetWindowLongA(popup, GWL_EXSTYLE) & WS_EX_LAYERED))
        return -1;
    BYTE alpha = 0;
    DWORD flags = 0;
    if (!GetLayeredWindowAttributes(popup, NULL, &alpha, &flags) || !(flags & LWA_ALPHA))
        return -1;
    return alpha;
}

struct AlphaWatch {
    HWND popup;
    int alpha;
};

static bool AlphaReached(void *ctx)
{
    AlphaWatch *watch = (AlphaWatch *)ctx;
    return LayeredAlpha(watch->popup) == watch->alpha;
}

bool WaitForAlpha(HWND popup, int alpha, DWORD timeoutMs)
{
    AlphaWatch watch = { popup, alpha };
    return PlayerWaitFor(AlphaReached, &watch, timeoutMs);
}

RECT WorkArea()
{
    RECT area = { 0, 0, 0, 0 };
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

// --- the command log and threads ----------------------------------------------

std::vector<PlayerCommand> CommandsFrom(int from)
{
    std::vector<PlayerCommand> commands;
    PlayerCommand command;
    for (int i = from; PlayerCommandAt(i, &command); i++)
        commands.push_back(command);
    return commands;
}

int CountCommands(int command, int from)
{
    int count = 0;
    for (const PlayerCommand &sent : CommandsFrom(from))
        count += sent.command == command;
    return count;
}

struct CommandWatch {
    int command, times, from;
};

static bool CommandSent(void *ctx)
{
    CommandWatch *watch = (CommandWatch *)ctx;
    return CountCommands(watch->command, watch->from) >= watch->times;
}

bool WaitForCommand(int command, int times, int from, DWORD timeoutMs)
{
    CommandWatch watch = { command, times, from };
    return PlayerWaitFor(CommandSent, &watch, timeoutMs);
}

static bool ThreadCountIs(void *ctx)
{
    return PlayerThreadCount() == *(int *)ctx;
}

bool WaitForThreadCount(int count, DWORD timeoutMs)
{
    return PlayerWaitFor(ThreadCountIs, &count, timeoutMs);
}

void PumpUntil(DWORD start, DWORD ms)
{
    DWORD spent = GetTickCount() - start;
    if (spent < ms)
        PlayerPumpFor(ms - spent);
}

// --- the test's clock ----------------------------------------------------------

static volatile DWORD gFakeNow;

static DWORD WINAPI FakeGetTickCount(void)
{
    return gFakeNow;
}

bool InstallFakeClock(DWORD start)
{
    gFakeNow = start;
    return IatReplaceImport(PlayerPluginModule(), "kernel32.dll", "GetTickCount",
                            (void *)FakeGetTickCount) > 0;
}

void SetFakeClock(DWORD now)
{
    gFakeNow = now;
}

DWORD FakeClock()
{
    return gFakeNow;
}

bool SkipTrackSettleWait()
{
    return PlayerSkipSettleWait();
}
