// 5. What the plug-in's threads cost while nothing happens: no popup, and ten
// popups that wait for a click. The player's thread, idle in its message
// loop over the same ten seconds, is the reference.
#include "bench/bench.h"

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
};

// CPU time over `seconds` of every thread that is not among `before`, while
// the player's thread sits in its message loop.
static IdleFigure IdleCpu(const std::set<DWORD> &before, int seconds)
{
    std::vector<HANDLE> threads;
    for (DWORD id : ThreadIds()) {
        if (before.count(id))
            continue;
        HANDLE thread = OpenThread(THREAD_QUERY_INFORMATION, FALSE, id);
        if (thread)
            threads.push_back(thread);
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

    IdleFigure figure = { (int)threads.size(), 0, CpuMs(player) - playerStart };
    for (size_t i = 0; i < threads.size(); i++) {
        figure.pluginMs += CpuMs(threads[i]) - start[i];
        CloseHandle(threads[i]);
    }
    return figure;
}

void MeasureIdleCost()
{
    const int kSeconds = 10, kPopups = 10;
    ResetSettings();
    std::set<DWORD> before = ThreadIds();
    if (!LoadPlugin(true, true)) {
        Row("5", "Idle cost", "plug-in did not load", "", "", "", "no");
        return;
    }
    PlayerPumpFor(200);
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
}
