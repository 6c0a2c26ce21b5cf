// 6. What one open popup costs the process, and whether everything comes
// back: after 1000 popups shown and closed, and after 20 load, init, quit and
// unload cycles in this one process. The baselines are taken after one
// warm-up round, so that what Wine sets up once per process (fonts, the
// libraries the plug-in pulls in, caches) is not counted as a leak.
#include "bench/bench.h"

#include "popup/popup.h"

#include <math.h>

// Heap figures move a little with whatever Wine does meanwhile (message
// queues, thread data): a difference below these is not a leak we could
// find. A popup costs several KiB and six windows, so a leak of anything per
// popup shows far above them after 1000.
static const double kHeapSlackBytes = 16 * 1024;
static const int kHeapSlackBlocks = 64;
static const double kCommittedSlackBytes = 256 * 1024;

static bool BackAtBaseline(const ProcessFigures &now, const ProcessFigures &base)
{
    return fabs(now.heapBytes - base.heapBytes) <= kHeapSlackBytes &&
           fabs(now.committedBytes - base.committedBytes) <= kCommittedSlackBytes &&
           abs(now.heapBlocks - base.heapBlocks) <= kHeapSlackBlocks &&
           now.gdiObjects == base.gdiObjects && now.userObjects == base.userObjects &&
           now.windows == base.windows && now.threads == base.threads;
}

static bool ShowAndClose(int count, int loadedThreads)
{
    return ShowPopups(count, 20000) && CloseAllPopups(loadedThreads, 10000);
}

static bool SettledAt(int threads, DWORD timeoutMs = 5000)
{
    return WaitUntil([&] { return NothingLeftAt(threads); }, timeoutMs);
}

void MeasureCostAndLeaks()
{
    const int kOpen = 10, kPopups = 1000, kBatch = 40, kCycles = 20;
    ResetSettings();
    int unloadedThreads = PlayerThreadCount();
    if (!LoadPlugin(true, true)) {
        Row("6", "Cost per popup", "plug-in did not load", "", "", "", "no");
        return;
    }
    // The warm-up opens as many popups at once as the rounds below do: Wine
    // keeps what it grows at such a peak (its cache of device contexts, the
    // heap's committed segments), which is no leak of the plug-in's.
    int loadedThreads = ThreadsBesidesWarm();
    ShowAndClose(kBatch, loadedThreads);
    UnloadPlugin();
    SettledAt(unloadedThreads);
    ProcessFigures unloaded = TakeFigures();

    LoadPlugin(true, true);
    PlayerPumpFor(200);
    int withSpare = PlayerThreadCount();
    ProcessFigures loaded = TakeFigures();
    bool shown = ShowPopups(kOpen, 10000);
    PlayerPumpFor(300);
    ProcessFigures open = TakeFigures();
    CloseAllPopups(loadedThreads, 10000);

    int done = 0;
    double start = NowMs();
    while (done < kPopups && ShowAndClose(kBatch, loadedThreads))
        done += kBatch;
    double took = NowMs() - start;
    // The threads of the last popups wait for more until their idle time is
    // over; then only the spare is left, as before the popups.
    SettledAt(withSpare, POOL_IDLE_MS + 10000);
    PlayerPumpFor(200);
    ProcessFigures after = TakeFigures();
    UnloadPlugin();

    int cycles = 0;
    for (; cycles < kCycles; cycles++) {
        if (!LoadPlugin(true, true))
            break;
        PlayerStartTrackPastThrottle();
        WaitUntil([] { return VisiblePopupCount() == 1; });
        UnloadPlugin();
    }
    SettledAt(unloadedThreads);
    ProcessFigures cycled = TakeFigures();

    Row("6a", Format("Cost per open popup (%d open, waiting)", kOpen),
        shown ? DescribeDelta(open, loaded, kOpen) : std::string("the popups did not show"),
        "the loaded plug-in with no popup", "-", "(reported)", "-");
    Row("6b", Format("After %d popups shown and closed", done),
        DescribeDelta(after, loaded, 1) +
            Format(" (in %.0f s; taken once the pool's %d s idle time was over)", took / 1000,
                   POOL_IDLE_MS / 1000),
        "the loaded plug-in before them", "-", "back at baseline",
        done == kPopups && BackAtBaseline(after, loaded) ? "yes" : "no");
    Row("6c", Format("After %d load, init, quit, unload cycles, a popup open at each quit", cycles),
        DescribeDelta(cycled, unloaded, 1), "the player before them, plug-in unloaded", "-",
        "back at baseline", cycles == kCycles && BackAtBaseline(cycled, unloaded) ? "yes" : "no");
    if (loaded.userObjects < 0)
        Note("6: Wine reports no USER object count (GetGuiResources gives 0); windows are counted "
             "instead, and the plug-in's icons, brushes and device contexts are checked one by one "
             "by the soak tests.");
    if (!GdiFromGuiResources() && loaded.gdiObjects >= 0)
        Note("6: GetGuiResources gives 0 under Wine; GDI objects are counted in Wine's GDI handle "
             "table instead.");
    Note(Format("6: heap and committed figures count the whole process, and Wine's own work moves "
                "them a little: a difference within %.0f KiB and %d heap blocks, and %.0f KiB "
                "committed, counts as the baseline. Wine commits the whole stack of every thread, "
                "hence the committed cost of a popup's thread; Windows commits what is touched.",
                kHeapSlackBytes / 1024, kHeapSlackBlocks, kCommittedSlackBytes / 1024));
}
