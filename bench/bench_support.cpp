#include "bench/bench.h"

#include "popup/popup.h"

#include <intrin.h>
#include <stdarg.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>

static LARGE_INTEGER gFrequency;

double NowMs()
{
    if (!gFrequency.QuadPart)
        QueryPerformanceFrequency(&gFrequency);
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart * 1000.0 / gFrequency.QuadPart;
}

std::string Format(const char *format, ...)
{
    char text[512];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return text;
}

// --- settings and the plug-in ------------------------------------------------

void ResetSettings()
{
    DeleteFileA(PlayerSettingsFile().c_str());
    PlayerWriteSetting("Seconds", 0);
}

bool LoadPlugin(bool redirectClock, bool skipSettleWait)
{
    if (!PlayerLoadPlugin(PlayerDefaultPluginPath()))
        return false;
    if ((redirectClock && !PlayerRedirectPluginClock()) || (skipSettleWait && !PlayerSkipSettleWait())) {
        fprintf(stderr, "bench: cannot patch the plug-in's clock or settle wait\n");
        UnloadPlugin();
        return false;
    }
    // Measures start with the plug-in as a player has it: its spare ready.
    WaitUntil([] { return SpareWindowCount() >= 1; }, 3000);
    return true;
}

void UnloadPlugin()
{
    PlayerQuitPlugin();
    PlayerUnloadPlugin();
}

// --- popups ------------------------------------------------------------------

// By class, one call per popup: polled every millisecond, a walk over every
// window of the system would itself slow down what it watches.
std::vector<HWND> PopupWindows()
{
    std::vector<HWND> popups;
    for (HWND popup = FindWindowExA(NULL, NULL, "PopUpWnd", NULL); popup;
         popup = FindWindowExA(NULL, popup, "PopUpWnd", NULL))
        popups.push_back(popup);
    return popups;
}

int SpareWindowCount()
{
    int spares = 0;
    for (HWND w = FindWindowExA(NULL, NULL, SPARE_CLASS, NULL); w; w = FindWindowExA(NULL, w, SPARE_CLASS, NULL))
        spares++;
    return spares;
}

int ThreadsBesidesWarm()
{
    return PlayerThreadCount() - SpareWindowCount();
}

int PopupWindowCount()
{
    return (int)PopupWindows().size();
}

int VisiblePopupCount()
{
    int visible = 0;
    for (HWND popup : PopupWindows())
        visible += IsWindowVisible(popup) ? 1 : 0;
    return visible;
}

bool NothingLeftAt(int threads)
{
    return PopupWindowCount() == 0 && PlayerThreadCount() == threads;
}

bool CloseAllPopups(int baselineThreads, DWORD timeoutMs)
{
    // Popups still on their way (an event the worker has not served yet) are
    // asked too once they show up; a second request to a closing popup finds
    // its window gone and is dropped.
    double asked = -1000;
    return WaitUntil([&] {
        if (NowMs() - asked > 100) {
            for (HWND popup : PopupWindows())
                PostMessageA(popup, WM_CONTEXTMENU, (WPARAM)popup, 0);
            asked = NowMs();
        }
        return PopupWindowCount() == 0 && ThreadsBesidesWarm() == baselineThreads;
    }, timeoutMs);
}

bool ShowPopups(int count, DWORD timeoutMs)
{
    // All the events at once: the worker asks the player about each in turn,
    // while the popup threads build their windows side by side.
    DWORD start = GetTickCount();
    for (int tries = 0; tries < 3; tries++) {
        int missing = count - PopupWindowCount();
        for (int i = 0; i < missing; i++) {
            PlayerStartTrackPastThrottle();
            PlayerPump();
        }
        DWORD spent = GetTickCount() - start;
        if (WaitUntil([&] { return VisiblePopupCount() >= count; }, spent < timeoutMs ? (timeoutMs - spent) / 2 : 0))
            return true;
    }
    return false;
}

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double Worst(const std::vector<double> &values)
{
    return values.empty() ? 0 : *std::max_element(values.begin(), values.end());
}

// --- the process's figures -----------------------------------------------------

static bool UnderWine()
{
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

// Wine keeps its GDI handle table where Windows keeps one too: in the process
// environment block, offset 0x94 on 32 bits. A used entry has a type. The
// table belongs to this process alone under Wine.
static int WineGdiObjects()
{
    struct Entry {
        unsigned long long object;
        DWORD owner;
        WORD unique;
        BYTE type, flags;
        unsigned long long user;
    };
    static_assert(sizeof(Entry) == 24, "Wine's GDI_HANDLE_ENTRY");
    BYTE *peb = (BYTE *)__readfsdword(0x30);
    const Entry *table = *(const Entry **)(peb + 0x94);
    if (!table)
        return -1;
    int used = 0;
    for (int i = 0; i < 0x10000; i++)
        used += table[i].type != 0;
    return used;
}

bool GdiFromGuiResources()
{
    return GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS) != 0;
}

static BOOL CALLBACK CountChild(HWND, LPARAM count)
{
    (*(int *)count)++;
    return TRUE;
}

static BOOL CALLBACK CountOwnWindow(HWND window, LPARAM count)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId()) {
        (*(int *)count)++;
        EnumChildWindows(window, CountChild, count);
    }
    return TRUE;
}

ProcessFigures TakeFigures()
{
    ProcessFigures f;
    ZeroMemory(&f, sizeof f);
    HANDLE heaps[64];
    DWORD heapCount = GetProcessHeaps(64, heaps);
    for (DWORD i = 0; i < heapCount && i < 64; i++) {
        PROCESS_HEAP_ENTRY entry;
        entry.lpData = NULL;
        HeapLock(heaps[i]);
        while (HeapWalk(heaps[i], &entry)) {
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) {
                f.heapBytes += entry.cbData;
                f.heapBlocks++;
            }
        }
        HeapUnlock(heaps[i]);
    }
    // Counted region by region: Wine's process memory counters do not give
    // the private committed bytes.
    MEMORY_BASIC_INFORMATION region;
    for (BYTE *at = NULL; VirtualQuery(at, &region, sizeof region) == sizeof region;
         at = (BYTE *)region.BaseAddress + region.RegionSize) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE)
            f.committedBytes += region.RegionSize;
        if ((BYTE *)region.BaseAddress + region.RegionSize < at)
            break;
    }
    DWORD gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    DWORD user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    f.gdiObjects = gdi ? (int)gdi : UnderWine() ? WineGdiObjects() : -1;
    f.userObjects = user ? (int)user : -1;
    EnumWindows(CountOwnWindow, (LPARAM)&f.windows);
    f.threads = PlayerThreadCount();
    return f;
}

std::string DescribeDelta(const ProcessFigures &now, const ProcessFigures &base, int per)
{
    std::string text = Format("heap %+.1f KiB (%+.1f blocks), committed %+.1f KiB", 
                              (now.heapBytes - base.heapBytes) / 1024.0 / per,
                              (double)(now.heapBlocks - base.heapBlocks) / per,
                              (now.committedBytes - base.committedBytes) / 1024.0 / per);
    if (now.gdiObjects >= 0 && base.gdiObjects >= 0)
        text += Format(", GDI %+.1f", (double)(now.gdiObjects - base.gdiObjects) / per);
    if (now.userObjects >= 0 && base.userObjects >= 0)
        text += Format(", USER %+.1f", (double)(now.userObjects - base.userObjects) / per);
    text += Format(", windows %+.1f, threads %+.1f", (double)(now.windows - base.windows) / per,
                   (double)(now.threads - base.threads) / per);
    return text;
}

// --- the table -------------------------------------------------------------------

static std::vector<std::string> gNotes;

void PrintTableHead()
{
    Row("#", "Measure", "Figure", "Reference (same run)", "Ratio", "Goal", "Met");
    printf("|---|---|---|---|---|---|---|\n");
    fflush(stdout);
}

void Row(const char *number, const std::string &measure, const std::string &figure,
         const std::string &reference, const std::string &ratio, const std::string &goal,
         const std::string &met)
{
    printf("| %s | %s | %s | %s | %s | %s | %s |\n", number, measure.c_str(), figure.c_str(),
           reference.c_str(), ratio.c_str(), goal.c_str(), met.c_str());
    fflush(stdout);
}

void Note(const std::string &text)
{
    gNotes.push_back(text);
}

void PrintNotes()
{
    if (gNotes.empty())
        return;
    printf("\n");
    for (const std::string &note : gNotes)
        printf("- %s\n", note.c_str());
    fflush(stdout);
}
