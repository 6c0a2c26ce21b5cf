// 2. From the player's track event to the popup on the screen, and 3. how
// fast the others close the gap when the oldest popup goes. Each against what
// the same window work costs on this system without the plug-in.
#include "bench/bench.h"

#include "host/iat_hook.h"
#include "popup/thread_pool.h"
#include "popup/window.h"

#include <algorithm>
#include <set>

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
// questions about a new track reach the player (the last asks for the
// playlist's length, for the look-ahead).
static WNDPROC gPlayerProc;
static volatile double gFirstQuery, gLastQuery;

static LRESULT CALLBACK StampQueries(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_USER && lParam == PLAYER_CMD_POSITION)
        gFirstQuery = NowMs();
    if (message == WM_USER && lParam == PLAYER_CMD_LIST_LENGTH)
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
    int loaded = ThreadsBesidesWarm();
    std::vector<double> beyond, overshoot, queries, popup;
    int fromSpare = 0;
    for (int i = 0; i < kEvents; i++) {
        // The reference in turn with the events, so both meet the same machine.
        reference.push_back(BareThreadWindowShown());
        PlayerPumpFor(100);
        std::set<DWORD> warm;
        for (HWND w = FindWindowExA(NULL, NULL, SPARE_CLASS, NULL); w; w = FindWindowExA(NULL, w, SPARE_CLASS, NULL))
            warm.insert(GetWindowThreadProcessId(w, NULL));
        gFirstQuery = gLastQuery = 0;
        double start = NowMs();
        PlayerStartTrackPastThrottle();
        if (!WaitUntil([] { return VisiblePopupCount() > 0; }, 3000, kTimedPollMs))
            continue;
        double shown = NowMs();
        std::vector<HWND> shownPopups = PopupWindows();
        fromSpare += !shownPopups.empty() && warm.count(GetWindowThreadProcessId(shownPopups[0], NULL));
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
    bool met = median <= 20 && median <= 0.25 * bare;
    Row("2", "Event to visible: 3003 to the popup on screen, effects off, beyond the 300 ms wait",
        Format("median %.1f ms, worst %.1f ms (%d of %d events, %d shown by a spare): wait overshoot "
               "%.1f, 9 queries %.1f, popup thread %.1f (medians)",
               median, Worst(beyond), (int)beyond.size(), kEvents, fromSpare, Median(overshoot),
               Median(queries), Median(popup)),
        Format("bare new thread making and showing one window: %.1f ms", bare),
        Format("%.2f", median / bare), "median <= 20 ms and <= 0.25 of the reference", met ? "yes" : "no");
    if (!met)
        Note(Format("2: the goal is missed: median %.1f ms, %.2f of a bare new thread's first window "
                    "(%.1f ms). Of the median, the popup's own thread took %.1f ms from the last "
                    "query to the screen.",
                    median, median / bare, bare, Median(popup)));
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

// Put in place of the plug-in's PostMessageA: notes when a closing popup's
// thread has told the last other popup its new place.
static volatile double gLastPlacePosted;

static BOOL WINAPI StampPlacePosts(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    BOOL posted = PostMessageA(window, message, wParam, lParam);
    if (message == UM_POPUP_PLACE)
        gLastPlacePosted = NowMs();
    return posted;
}

struct ReplaceTimes {
    double allMoved;   // until every other popup has moved
    double blocked;    // until the closing thread has told the last one: it is free
    double gone;       // until the closing popup's window is gone
};

// Closes the oldest of the popups and times until every other one has moved.
static bool CloseOldestUntilAllMoved(ReplaceTimes *times)
{
    std::vector<HWND> popups = PopupWindows();
    HWND oldest = OldestPopup(popups);
    std::vector<std::pair<HWND, RECT>> others;
    for (HWND popup : popups) {
        if (popup != oldest)
            others.push_back(std::make_pair(popup, WindowRectOf(popup)));
    }
    // Only the youngest is watched closely until it has moved, since every
    // look at a window of another thread is a round trip to Wine's server
    // that slows down the moves.
    auto youngest = std::min_element(others.begin(), others.end(), [](const auto &a, const auto &b) {
        return a.second.top < b.second.top;
    });
    gLastPlacePosted = 0;
    double start = NowMs();
    PostMessageA(oldest, WM_CONTEXTMENU, (WPARAM)oldest, 0);
    bool gone = WaitUntil([&] { return !IsWindow(oldest); }, 5000, kTimedPollMs);
    times->gone = NowMs() - start;
    times->blocked = gLastPlacePosted - start;
    bool moved = WaitUntil([&] {
        if (WindowRectOf(youngest->first).top == youngest->second.top)
            return false;
        for (auto &other : others) {
            if (WindowRectOf(other.first).top == other.second.top)
                return false;
        }
        return true;
    }, 5000, kTimedPollMs);
    times->allMoved = NowMs() - start;
    return gone && moved;
}

// The moves a re-placing makes, made by the benchmark itself on the same
// popups: one SetWindowPos each, one after another. What Wine charges for
// them, without the plug-in's part.
static double SameMovesOnPopups(int rounds)
{
    std::vector<HWND> popups = PopupWindows();
    std::vector<double> moved;
    for (int round = 0; round < rounds; round++) {
        int step = round % 2 ? -38 : 38;
        double start = NowMs();
        for (HWND popup : popups) {
            RECT r = WindowRectOf(popup);
            SetWindowPos(popup, HWND_TOPMOST, r.left, r.top + step, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
        }
        moved.push_back(NowMs() - start);
        PlayerPumpFor(20);
    }
    return Median(moved);
}

void MeasureReplacing()
{
    const int kOpen = 47, kRounds = 7;
    ResetSettings();
    if (!LoadPlugin(true, true)) {
        Row("3", "Re-placing", "plug-in did not load", "", "", "", "no");
        return;
    }
    if (IatReplaceImport(PlayerPluginModule(), "user32.dll", "PostMessageA", (void *)StampPlacePosts) <= 0) {
        Row("3", "Re-placing", "cannot watch the plug-in's posts", "", "", "", "no");
        UnloadPlugin();
        return;
    }
    std::vector<double> took, blocked, gone;
    for (int round = 0; round < kRounds; round++) {
        if (!ShowPopups(kOpen, 20000) || VisiblePopupCount() != kOpen)
            break;
        // Every popup painted and its thread back in its message loop.
        PlayerPumpFor(300);
        ReplaceTimes times;
        if (!CloseOldestUntilAllMoved(&times))
            break;
        took.push_back(times.allMoved);
        blocked.push_back(times.blocked);
        gone.push_back(times.gone);
        WaitUntil([&] { return PopupWindowCount() == kOpen - 1; });
    }
    double moves = SameMovesOnPopups(kRounds);
    UnloadPlugin();

    double median = Median(took);
    bool met = (int)took.size() == kRounds && median <= 1.5 * moves;
    Row("3", Format("Re-placing: close the oldest of %d popups until every other one has moved", kOpen),
        Format("median %.1f ms, worst %.1f ms (%d closes); the closing popup's thread had told every "
               "other one after %.1f ms, its window was gone after %.1f ms (medians)",
               median, Worst(took), (int)took.size(), Median(blocked), Median(gone)),
        Format("the benchmark moving the same %d popups itself, one SetWindowPos each: %.1f ms", kOpen - 1,
               moves),
        Format("%.2f", median / moves), "<= 1.5 of the reference", met ? "yes" : "no");
    if (!met)
        Note(Format("3: the goal is missed: the popups were all in place after %.1f ms, %.2f of the "
                    "bare moves (%.1f ms).",
                    median, median / moves, moves));
}
