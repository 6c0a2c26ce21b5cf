// 2. From the player's track event to the popup on the screen, and 3. how
// fast the others close the gap when the oldest popup goes. Each against what
// the same window work costs on this system without the plug-in.
#include "bench/bench.h"

#include <algorithm>

// --- a bare window on a thread of its own ---------------------------------------

struct BareWindow {
    HWND window;
    HANDLE done;
};

static DWORD WINAPI BareWindowThread(LPVOID param)
{
    BareWindow *bare = (BareWindow *)param;
    HWND window = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "static", "", WS_POPUP, 0, 0, 151,
                                  36, NULL, NULL, GetModuleHandleA(NULL), NULL);
    SetWindowPos(window, HWND_TOPMOST, 10, 10, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    bare->window = window;
    WaitForSingleObject(bare->done, 5000);
    DestroyWindow(window);
    return 0;
}

// The least a popup on a thread of its own can cost: a new thread that makes
// one window and shows it, until this thread sees it on the screen.
double BareThreadWindowShown()
{
    BareWindow bare = { NULL, CreateEventA(NULL, TRUE, FALSE, NULL) };
    double start = NowMs();
    HANDLE thread = CreateThread(NULL, 0, BareWindowThread, &bare, 0, NULL);
    WaitUntil([&] { return bare.window && IsWindowVisible(bare.window); }, 3000, kTimedPollMs);
    double took = NowMs() - start;
    SetEvent(bare.done);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    CloseHandle(bare.done);
    return took;
}

// --- 2. event to visible ---------------------------------------------------------

// Put under the plug-in's hook: notes when the worker's first and last
// questions about a new track reach the player.
static WNDPROC gPlayerProc;
static volatile double gFirstQuery, gLastQuery;

static LRESULT CALLBACK StampQueries(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_USER && lParam == PLAYER_CMD_POSITION)
        gFirstQuery = NowMs();
    if (message == WM_USER && lParam == PLAYER_CMD_WIDE_TITLE)
        gLastQuery = NowMs();
    return CallWindowProcA(gPlayerProc, window, message, wParam, lParam);
}

void MeasureEventToVisible()
{
    const int kEvents = 25, kWait = 300;
    std::vector<double> reference;
    ResetSettings();
    gPlayerProc = (WNDPROC)SetWindowLongPtrA(PlayerWindow(), GWLP_WNDPROC, (LONG_PTR)StampQueries);
    int baseline = PlayerThreadCount();
    if (!LoadPlugin(true, false)) {
        Row("2", "Event to visible", "plug-in did not load", "", "", "", "no");
        return;
    }
    int loaded = PlayerThreadCount();
    std::vector<double> beyond, overshoot, queries, popup;
    for (int i = 0; i < kEvents; i++) {
        // The reference in turn with the events, so both meet the same machine.
        reference.push_back(BareThreadWindowShown());
        PlayerPumpFor(100);
        gFirstQuery = gLastQuery = 0;
        double start = NowMs();
        PlayerStartTrackPastThrottle();
        if (!WaitUntil([] { return VisiblePopupCount() > 0; }, 3000, kTimedPollMs))
            continue;
        double shown = NowMs();
        beyond.push_back(shown - start - kWait);
        overshoot.push_back(gFirstQuery - start - kWait);
        queries.push_back(gLastQuery - gFirstQuery);
        popup.push_back(shown - gLastQuery);
        CloseAllPopups(loaded, 3000);
        // Tracks do not start back to back: let the system settle, as it
        // would between two songs.
        PlayerPumpFor(200);
    }
    UnloadPlugin();
    SetWindowLongPtrA(PlayerWindow(), GWLP_WNDPROC, (LONG_PTR)gPlayerProc);
    WaitUntil([&] { return PlayerThreadCount() == baseline; }, 2000);

    double median = Median(beyond), bare = Median(reference);
    Row("2", "Event to visible: 3003 to the popup on screen, effects off, beyond the 300 ms wait",
        Format("median %.1f ms, worst %.1f ms (%d of %d events): wait overshoot %.1f, "
               "6 queries %.1f, popup thread %.1f (medians)",
               median, Worst(beyond), (int)beyond.size(), kEvents, Median(overshoot),
               Median(queries), Median(popup)),
        Format("bare thread making and showing one window: %.1f ms", bare),
        Format("%.2f", median / bare), "median <= 20 ms", median <= 20 ? "yes" : "no");
    if (median > 20)
        Note(Format("2: the goal is missed by %.1f ms. Under Wine a thread's first window costs "
                    "%.1f ms (the bare reference: Wine opens a display connection for each new "
                    "thread), and the design gives every popup a thread of its own; the plug-in's "
                    "own share is the median minus that: %.1f ms.",
                    median - 20, bare, median - bare));
}

// --- 3. re-placing ------------------------------------------------------------------

// The oldest popup sits in the corner: at the lower right, the lowest.
static HWND OldestPopup(const std::vector<HWND> &popups)
{
    HWND oldest = NULL;
    LONG lowest = -100000;
    for (HWND popup : popups) {
        RECT r = WindowRectOf(popup);
        if (r.bottom > lowest) {
            lowest = r.bottom;
            oldest = popup;
        }
    }
    return oldest;
}

// Closes the oldest of the popups and times until every other one has moved.
static double CloseOldestUntilAllMoved()
{
    std::vector<HWND> popups = PopupWindows();
    HWND oldest = OldestPopup(popups);
    std::vector<std::pair<HWND, RECT>> others;
    for (HWND popup : popups) {
        if (popup != oldest)
            others.push_back(std::make_pair(popup, WindowRectOf(popup)));
    }
    // The popups are re-placed oldest first: the youngest moves last. Only
    // it is watched closely, since every look at a window of another thread
    // is a round trip to Wine's server that slows down the moves.
    auto youngest = std::min_element(others.begin(), others.end(), [](const auto &a, const auto &b) {
        return a.second.top < b.second.top;
    });
    double start = NowMs();
    PostMessageA(oldest, WM_CONTEXTMENU, (WPARAM)oldest, 0);
    bool moved = WaitUntil([&] {
        if (WindowRectOf(youngest->first).top == youngest->second.top)
            return false;
        for (auto &other : others) {
            if (WindowRectOf(other.first).top == other.second.top)
                return false;
        }
        return true;
    }, 5000, kTimedPollMs);
    return moved ? NowMs() - start : -1;
}

// The calls a re-placing makes, made by the benchmark on the same popups:
// each popup moved (SetWindowPos), then each repainted at once (UpdateWindow,
// RedrawWindow with RDW_UPDATENOW), as the design asks after every move.
// What Wine charges for them, without the plug-in's part.
static void SameCallsOnPopups(int rounds, double *moves, double *repaints)
{
    std::vector<HWND> popups = PopupWindows();
    std::vector<double> moved, repainted;
    for (int round = 0; round < rounds; round++) {
        int step = round % 2 ? -38 : 38;
        double start = NowMs();
        for (HWND popup : popups) {
            RECT r = WindowRectOf(popup);
            SetWindowPos(popup, HWND_TOPMOST, r.left, r.top + step, 0, 0,
                         SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        }
        double middle = NowMs();
        for (HWND popup : popups) {
            UpdateWindow(popup);
            RedrawWindow(popup, NULL, NULL, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        }
        moved.push_back(middle - start);
        repainted.push_back(NowMs() - middle);
        PlayerPumpFor(20);
    }
    *moves = Median(moved);
    *repaints = Median(repainted);
}

void MeasureReplacing()
{
    const int kOpen = 47, kRounds = 7;
    ResetSettings();
    if (!LoadPlugin(true, true)) {
        Row("3", "Re-placing", "plug-in did not load", "", "", "", "no");
        return;
    }
    std::vector<double> took;
    for (int round = 0; round < kRounds; round++) {
        if (!ShowPopups(kOpen, 20000) || VisiblePopupCount() != kOpen)
            break;
        double t = CloseOldestUntilAllMoved();
        if (t < 0)
            break;
        took.push_back(t);
        WaitUntil([&] { return PopupWindowCount() == kOpen - 1; });
    }
    double moves = 0, repaints = 0;
    SameCallsOnPopups(kRounds, &moves, &repaints);
    UnloadPlugin();

    double median = Median(took), reference = moves + repaints;
    bool met = (int)took.size() == kRounds && Worst(took) <= 50;
    Row("3", Format("Re-placing: close the oldest of %d popups until every other one has moved", kOpen),
        Format("median %.1f ms, worst %.1f ms (%d closes)", median, Worst(took), (int)took.size()),
        Format("the same calls on the same %d popups from the benchmark: moves %.1f + repaints %.1f ms",
               kOpen - 1, moves, repaints),
        Format("%.2f", median / reference), "<= 50 ms", met ? "yes" : "no");
    if (!met)
        Note(Format("3: the goal is missed. Under Wine, moving a window that another thread owns "
                    "costs %.1f ms, and the repaint that the design asks for after every move "
                    "another %.1f ms (the popup's thread paints its five children while the mover "
                    "waits). Popups are re-placed oldest first, each move followed by its repaint, "
                    "so the youngest moves only after %d such pairs.",
                    moves / (kOpen - 1), repaints / (kOpen - 1), kOpen - 2));
}
