// 5. What the plug-in's threads cost while nothing happens: no popup, and ten
// popups that wait for a click. The player's thread, idle in its message
// loop over the same ten seconds, is the reference. And what the spare
// thread that waits for the next popup costs.
#include "bench/bench.h"

#include "popup/popup.h"

#include <tlhelp32.h>

#include <set>

static std::set<DWORD> ThreadIds()
{
    std::set<DWORD> ids;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return ids;
    THREADENTRY32 entry;
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID == GetCurrentProcessId())
            ids.insert(entry.th32ThreadID);
        entry.dwSize = sizeof entry;
    }
    CloseHandle(snapshot);
    return ids;
}

static double CpuMs(HANDLE thread)
{
    FILETIME created, exited, kernel, user;
    if (!GetThreadTimes(thread, &created, &exited, &kernel, &user))
        return 0;
    ULARGE_INTEGER k, u;
    k.LowPart = kernel.dwLowDateTime;
    k.HighPart = kernel.dwHighDateTime;
    u.LowPart = user.dwLowDateTime;
    u.HighPart = user.dwHighDateTime;
    return (k.QuadPart + u.QuadPart) / 10000.0;
}

struct IdleFigure {
    int threads;
    double pluginMs;
    double playerMs;
    double spareMs;   // the part of pluginMs in threads that keep a spare window
};

static std::set<DWORD> SpareThreads()
{
    std::set<DWORD> ids;
    for (HWND w = FindWindowExA(NULL, NULL, SPARE_CLASS, NULL); w; w = FindWindowExA(NULL, w, SPARE_CLASS, NULL))
        ids.insert(GetWindowThreadProcessId(w, NULL));
    return ids;
}

// CPU time over `seconds` of every thread that is not among `before`, while
// the player's thread sits in its message loop.
static IdleFigure IdleCpu(const std::set<DWORD> &before, int seconds)
{
    std::vector<HANDLE> threads;
    std::vector<bool> spare;
    std::set<DWORD> spares = SpareThreads();
    for (DWORD id : ThreadIds()) {
        if (before.count(id))
            continue;
        HANDLE thread = OpenThread(THREAD_QUERY_INFORMATION, FALSE, id);
        if (thread) {
            threads.push_back(thread);
            spare.push_back(spares.count(id) != 0);
        }
    }
    HANDLE player = GetCurrentThread();
    std::vector<double> start;
    for (HANDLE thread : threads)
        start.push_back(CpuMs(thread));
    double playerStart = CpuMs(player);

    double until = NowMs() + seconds * 1000.0;
    while (NowMs() < until) {
        MsgWaitForMultipleObjectsEx(0, NULL, 100, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        PlayerPump();
    }

    IdleFigure figure = { (int)threads.size(), 0, CpuMs(player) - playerStart, 0 };
    for (size_t i = 0; i < threads.size(); i++) {
        double ms = CpuMs(threads[i]) - start[i];
        figure.pluginMs += ms;
        if (spare[i])
            figure.spareMs += ms;
        CloseHandle(threads[i]);
    }
    return figure;
}

// The reference for a spare's memory: a thread of the benchmark's own that
// keeps one hidden top-level window and waits.
struct HiddenWindowThread {
    HANDLE ready, done;
};

static DWORD WINAPI KeepHiddenWindow(LPVOID param)
{
    HiddenWindowThread *t = (HiddenWindowThread *)param;
    HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, "static", NULL, WS_POPUP, 0, 0, 0, 0, NULL, NULL,
                                  GetModuleHandleA(NULL), NULL);
    SetEvent(t->ready);
    WaitForSingleObject(t->done, INFINITE);
    DestroyWindow(window);
    return 0;
}

static std::string BareThreadWithHiddenWindow()
{
    HiddenWindowThread t = { CreateEventA(NULL, TRUE, FALSE, NULL), CreateEventA(NULL, TRUE, FALSE, NULL) };
    ProcessFigures before = TakeFigures();
    HANDLE thread = CreateThread(NULL, 0, KeepHiddenWindow, &t, 0, NULL);
    WaitForSingleObject(t.ready, 5000);
    PlayerPumpFor(200);
    ProcessFigures with = TakeFigures();
    SetEvent(t.done);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    CloseHandle(t.ready);
    CloseHandle(t.done);
    return Format("committed %+.1f KiB, heap %+.1f KiB", (with.committedBytes - before.committedBytes) / 1024,
                  (with.heapBytes - before.heapBytes) / 1024);
}

void MeasureIdleCost()
{
    const int kSeconds = 10, kPopups = 10;
    ResetSettings();
    std::string bare = BareThreadWithHiddenWindow();
    std::set<DWORD> before = ThreadIds();
    ProcessFigures unloaded = TakeFigures();
    if (!LoadPlugin(true, true)) {
        Row("5", "Idle cost", "plug-in did not load", "", "", "", "no");
        return;
    }
    PlayerPumpFor(200);
    ProcessFigures loaded = TakeFigures();
    int spares = SpareWindowCount();
    IdleFigure none = IdleCpu(before, kSeconds);
    bool shown = ShowPopups(kPopups, 10000);
    PlayerPumpFor(500);
    IdleFigure waiting = IdleCpu(before, kSeconds);
    UnloadPlugin();

    Row("5a", Format("Idle cost over %d s, no popup", kSeconds),
        Format("%.0f ms CPU in the plug-in's %d threads", none.pluginMs, none.threads),
        Format("the idle player's thread: %.0f ms", none.playerMs), "-", "0 ms",
        none.pluginMs == 0 ? "yes" : "no");
    Row("5b", Format("Idle cost over %d s, %d popups waiting for a click", kSeconds, kPopups),
        shown ? Format("%.0f ms CPU in the plug-in's %d threads", waiting.pluginMs, waiting.threads)
              : std::string("the popups did not show"),
        Format("the idle player's thread: %.0f ms", waiting.playerMs), "-", "0 ms",
        shown && waiting.pluginMs == 0 ? "yes" : "no");
    Row("5c", Format("A spare popup thread waiting, over %d s", kSeconds),
        Format("%.0f ms CPU in the %d spare; the loaded plug-in (2 workers, %d spare): committed %+.1f KiB, "
               "heap %+.1f KiB",
               none.spareMs, spares, spares, (loaded.committedBytes - unloaded.committedBytes) / 1024,
               (loaded.heapBytes - unloaded.heapBytes) / 1024),
        "a bare thread keeping one hidden window: " + bare, "-", "0 ms CPU; memory reported",
        spares > 0 && none.spareMs == 0 ? "yes" : "no");
}
