// 1. What the hook on the player's main window adds to each message the
// player gets. Three windows of the player's own class take the same mix of
// ordinary messages: the main window under the plug-in's hook, one under a
// bare subclass that only forwards with CallWindowProcA (the least any
// subclass can cost), and one under none. Batches of the three alternate, so
// that whatever the machine does meanwhile hits all three alike.
#include "bench/bench.h"

static WNDPROC gBareNext;

static LRESULT CALLBACK BarePassThrough(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return CallWindowProcA(gBareNext, window, message, wParam, lParam);
}

// Nanoseconds per message over one batch.
static double TimeBatch(HWND window, int count)
{
    // Messages the player's window gets all day: nothing, a default one, and
    // two of the player's own commands (position, sample rate).
    static const struct {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    } kMix[4] = {
        { WM_NULL, 0, 0 },
        { WM_GETTEXTLENGTH, 0, 0 },
        { WM_USER, 0, PLAYER_CMD_POSITION },
        { WM_USER, 0, PLAYER_CMD_INFO },
    };
    double start = NowMs();
    for (int i = 0; i < count; i++)
        SendMessageA(window, kMix[i & 3].message, kMix[i & 3].wParam, kMix[i & 3].lParam);
    return (NowMs() - start) * 1e6 / count;
}

static HWND PlayerClassWindow()
{
    char className[64];
    GetClassNameA(PlayerWindow(), className, sizeof className);
    return CreateWindowExA(WS_EX_TOOLWINDOW, className, "", WS_POPUP, -100, -100, 1, 1, NULL, NULL,
                           GetModuleHandleA(NULL), NULL);
}

void MeasureHookOverhead()
{
    const int kRounds = 31, kBatch = 10000;
    ResetSettings();
    if (!LoadPlugin(false, false)) {
        Row("1", "Hook overhead", "plug-in did not load", "", "", "", "no");
        return;
    }
    HWND hooked = PlayerWindow();
    HWND bare = PlayerClassWindow();
    HWND own = PlayerClassWindow();
    gBareNext = (WNDPROC)SetWindowLongPtrA(bare, GWLP_WNDPROC, (LONG_PTR)BarePassThrough);

    HWND windows[3] = { hooked, bare, own };
    std::vector<double> ns[3];
    for (int i = 0; i < 3; i++)
        TimeBatch(windows[i], kBatch);   // warm caches and Wine's handle tables
    for (int round = 0; round < kRounds; round++) {
        for (int k = 0; k < 3; k++) {
            int which = (round + k) % 3;
            ns[which].push_back(TimeBatch(windows[which], kBatch));
        }
    }
    DestroyWindow(bare);
    DestroyWindow(own);
    UnloadPlugin();

    double hookedNs = Median(ns[0]), bareNs = Median(ns[1]), ownNs = Median(ns[2]);
    double ratio = hookedNs / bareNs;
    Row("1a", "Hook overhead: ordinary messages through the hooked player window",
        Format("%.0f ns per message (median of %d x %d)", hookedNs, kRounds, kBatch),
        Format("bare pass-through subclass: %.0f ns", bareNs), Format("%.3f", ratio), "<= 1.05",
        ratio <= 1.05 ? "yes" : "no");
    Row("1b", "Hook overhead against the player's own procedure alone",
        Format("%.0f ns per message", hookedNs), Format("no subclass: %.0f ns", ownNs),
        Format("%.3f", hookedNs / ownNs), "(reported)", "-");
}
