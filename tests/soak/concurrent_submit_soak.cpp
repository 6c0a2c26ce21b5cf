// Submissions from eight threads at once. The DLL exports only the player's
// entry, and inside it every submission comes from the track worker or the
// player's thread, one at a time each. So the plug-in's own code, linked into
// this test, runs its popup engine in the test's process against the
// stand-in player, and eight threads call SubmitPopup side by side, far
// faster than popups can be built: first into an empty list, then, round
// after round, for the few places that come free when popups are clicked
// away.
//
// Popup threads start as the plug-in starts them, side by side: the plug-in
// has its threads make their first windows one at a time, and Wine's heap
// must hold through it.
#include "tests/soak/soak.h"

#include "base/optional_functions.h"
#include "base/player.h"
#include "popup/popup.h"
#include "settings/settings.h"


#include <algorithm>

namespace {

const int kThreads = 8, kLimit = 48, kRounds = 5, kFreed = 8;
// A round's submissions per thread at most: enough for all eight to meet
// the limit many times over.
const int kMostPerRound = 30;

struct Submitter {
    int index;
    HANDLE go;   // one round of submissions each time it is set
    LONG accepted;
};

int Accepted(const Submitter *submitters)
{
    int accepted = 0;
    for (int i = 0; i < kThreads; i++)
        accepted += submitters[i].accepted;
    return accepted;
}

volatile LONG gStop, gDone;
HICON gIcon;

// Each round: submits until the limit has said no twenty times in a row.
DWORD WINAPI Submit(LPVOID param)
{
    Submitter *s = (Submitter *)param;
    Random random(1000 + s->index);
    PopupRequest request;
    for (int n = 0; WaitForSingleObject(s->go, INFINITE) == WAIT_OBJECT_0 && !gStop;) {
        for (int refusedInARow = 0, tries = 0; refusedInARow < 20 && tries < kMostPerRound; n++, tries++) {
            ZeroMemory(&request, sizeof request);
            request.Icon = gIcon;
            wsprintfW(request.Title, L" Thread %d, popup %d ", s->index, n);
            lstrcpyW(request.Text, L" from eight threads at once ");
            if (SubmitPopup(&request)) {
                s->accepted++;
                refusedInARow = 0;
            } else {
                refusedInARow++;
            }
            Sleep(random.Between(0, 2));
        }
        InterlockedIncrement(&gDone);
    }
    return 0;
}

// --- figures -------------------------------------------------------------------------

int BusyHeapBlocks()
{
    int blocks = 0;
    PROCESS_HEAP_ENTRY entry;
    entry.lpData = NULL;
    HeapLock(GetProcessHeap());
    while (HeapWalk(GetProcessHeap(), &entry))
        blocks += (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) != 0;
    HeapUnlock(GetProcessHeap());
    return blocks;
}

}  // namespace

class ConcurrentSubmitSoak : public SoakTest {
protected:
    // Waits, pumping, until cond holds, noting the most popups listed.
    template <typename Cond>
    bool WaitWatching(Cond cond, DWORD timeoutMs)
    {
        return WaitUntil([&] {
            bool done = cond();
            mostListed = std::max(mostListed, GetPopupCount());
            return done;
        }, timeoutMs, 2);
    }

    // One round: the eight submit until the limit turns them away; their
    // popups then go on and fill the list. False when more popups were let
    // through than there were places: those are not let go (the test ends).
    bool RunRound(Submitter *submitters, int places)
    {
        int before = Accepted(submitters);
        InterlockedExchange(&gDone, 0);
        for (int i = 0; i < kThreads; i++)
            SetEvent(submitters[i].go);
        if (!WaitWatching([] { return gDone == kThreads; }, 20000))
            return false;
        int accepted = Accepted(submitters) - before;
        EXPECT_EQ(accepted, places) << "popups let through for " << places << " places";
        if (accepted > places)
            return false;
        return WaitWatching([] { return GetPopupCount() == kLimit; }, 10000);
    }

    // Every thread beyond the test's own shows a popup, waits in the pool
    // for one, or is a spare on its way there.
    bool OnlyLegitimateThreads(int others)
    {
        return WaitWatching([&] {
            return PlayerThreadCount() == others + GetPopupCount() + WaitingPopupThreads() + StartingSpares();
        }, 5000);
    }

    int mostListed = 0;
};

TEST_F(ConcurrentSubmitSoak, EightThreadsAtOnceKeepTheLimitAndLeaveNothing)
{
    SetIni("Seconds", 0);
    gHostWindow = PlayerWindow();
    gInstance = GetModuleHandleA(NULL);
    gIcon = LoadIconA(NULL, (LPCSTR)IDI_INFORMATION);
    Submitter submitters[kThreads];
    HANDLE threads[kThreads];
    for (int i = 0; i < kThreads; i++) {
        submitters[i] = Submitter{ i, CreateEventA(NULL, FALSE, FALSE, NULL), 0 };
        threads[i] = CreateThread(NULL, 0, Submit, &submitters[i], 0, NULL);
        ASSERT_NE(threads[i], (HANDLE)NULL);
    }
    int threadsBefore = PlayerThreadCount();
    int blocksBefore = BusyHeapBlocks();
    // As the plug-in starts it: what popups read first, then the engine.
    LookUpOptionalFunctions();
    ResolveIniPath();
    LoadSettings();
    ASSERT_TRUE(PopupEngineInit());

    ASSERT_TRUE(RunRound(submitters, kLimit));
    for (int round = 0; round < kRounds; round++) {
        ASSERT_TRUE(WaitForVisiblePopups(kLimit));
        EXPECT_TRUE(OnlyLegitimateThreads(threadsBefore)) << PlayerThreadCount() << " threads";
        // Clicked away all at once; their threads go back to the pool.
        std::vector<HWND> open = VisiblePopups();
        for (int i = 0; i < kFreed; i++)
            PostMessageA(open[i], WM_CONTEXTMENU, (WPARAM)open[i], 0);
        ASSERT_TRUE(WaitWatching([] { return GetPopupCount() == kLimit - kFreed; }, 10000))
            << "popups clicked away did not close";
        EXPECT_TRUE(OnlyLegitimateThreads(threadsBefore)) << PlayerThreadCount() << " threads";
        ASSERT_TRUE(RunRound(submitters, kFreed)) << "round " << round;
    }

    InterlockedExchange(&gStop, 1);
    for (int i = 0; i < kThreads; i++) {
        SetEvent(submitters[i].go);
        WaitForSingleObject(threads[i], INFINITE);
        CloseHandle(threads[i]);
        CloseHandle(submitters[i].go);
    }
    printf("%d popups accepted, at most %d listed at once\n", Accepted(submitters), mostListed);
    EXPECT_EQ(mostListed, kLimit);

    // The popups still open go with the engine, as they do at quit.
    ASSERT_TRUE(WaitForVisiblePopups(kLimit));
    PopupEngineShutdown();
    ForgetOptionalFunctions();
    // The eight end too.
    baselineThreads = threadsBefore - kThreads;
    EXPECT_TRUE(NoPopupAndBaselineThreads(3000));
    // Popup threads allocate and free from the process heap; a block lost per
    // popup would show dozens of times over.
    EXPECT_LE(BusyHeapBlocks() - blocksBefore, 32);
}
