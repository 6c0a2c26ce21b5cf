// Submissions from eight threads at once. The DLL exports only the player's
// entry, and inside it every submission comes from the track worker or the
// player's thread, one at a time each. So the plug-in's own code, linked into
// this test, runs its popup engine in the test's process against the
// stand-in player, and eight threads call SubmitPopup side by side, far
// faster than popups can be built: first into an empty list, then, round
// after round, for the few places that come free when popups are clicked
// away.
//
// Wine 8 corrupts its own C heap now and then when threads start or end
// around threads that are making their first windows, the more so the busier
// the process is (a program without the plug-in shows it too). So every
// CreateThread of this program is made by one thread, a few milliseconds
// apart; the popup threads of a round are held until the round is over and
// the eight wait, then let go one by one, each once its popup is on screen;
// and popups are clicked away one at a time. The plug-in's code runs as it
// is, on the threads it asked for, as on a slower machine.
#include "tests/soak/soak.h"

#include "host/iat_hook.h"

#include "plugin/plugin.h"
#include "popup/engine.h"
#include "popup/list.h"
#include "popup/request.h"


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
            if (SubmitPopup(&request) == 0) {
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

// --- one thread starts every thread, held until let go ---------------------------

typedef HANDLE(WINAPI *CreateThreadProc)(LPSECURITY_ATTRIBUTES, SIZE_T, LPTHREAD_START_ROUTINE, LPVOID,
                                          DWORD, LPDWORD);

struct StartRequest {
    LPSECURITY_ATTRIBUTES security;
    SIZE_T stack;
    LPTHREAD_START_ROUTINE start;
    LPVOID parameter;
    DWORD flags;
    LPDWORD id;
    HANDLE done;
    HANDLE thread;
};

const UINT kStart = WM_APP, kLetGo = WM_APP + 1;
// Back to back, one run in three broke here; 3 ms apart, one in five; 10 ms
// apart, with a pause after each popup's end, none in twenty on an idle
// machine but one in five with the processors busy; one popup thread at a
// time making its window, none in twenty busy.
const DWORD kStartGapMs = 10;
const DWORD kAfterEndMs = 30;
CreateThreadProc gRealCreateThread;
HANDLE gStarter;
DWORD gStarterId;
struct HeldThread {
    HANDLE thread;
    bool popup;   // a popup thread, not one of the eight
};
std::vector<HeldThread> gHeld;   // the starter's alone

// Lets one held thread go; a popup thread, until its popup is on screen (or
// it ended without one).
void LetGo(const HeldThread &held)
{
    size_t shown = VisiblePopups().size();
    ResumeThread(held.thread);
    for (DWORD start = GetTickCount(); held.popup && GetTickCount() - start < 5000; Sleep(2)) {
        if (VisiblePopups().size() > shown || WaitForSingleObject(held.thread, 0) == WAIT_OBJECT_0)
            break;
    }
    CloseHandle(held.thread);
    Sleep(kStartGapMs);
}


DWORD WINAPI Starter(LPVOID ready)
{
    MSG msg;
    PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE);
    SetEvent((HANDLE)ready);
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        StartRequest *r = (StartRequest *)msg.lParam;
        if (msg.message == kStart) {
            r->thread = gRealCreateThread(r->security, r->stack, r->start, r->parameter,
                                          r->flags | CREATE_SUSPENDED, r->id);
            HeldThread held = { NULL, r->start != Submit };
            if (r->thread && DuplicateHandle(GetCurrentProcess(), r->thread, GetCurrentProcess(),
                                             &held.thread, 0, FALSE, DUPLICATE_SAME_ACCESS))
                gHeld.push_back(held);
            SetEvent(r->done);
            Sleep(kStartGapMs);
        } else {
            for (const HeldThread &held : gHeld)
                LetGo(held);
            gHeld.clear();
            SetEvent(r->done);
        }
    }
    return 0;
}

void AskStarter(UINT what, StartRequest *r)
{
    r->done = CreateEventA(NULL, TRUE, FALSE, NULL);
    PostThreadMessageA(gStarterId, what, 0, (LPARAM)r);
    WaitForSingleObject(r->done, INFINITE);
    CloseHandle(r->done);
}

HANDLE WINAPI StartOnStarter(LPSECURITY_ATTRIBUTES security, SIZE_T stack, LPTHREAD_START_ROUTINE start,
                             LPVOID parameter, DWORD flags, LPDWORD id)
{
    StartRequest r = { security, stack, start, parameter, flags, id, NULL, NULL };
    AskStarter(kStart, &r);
    return r.thread;
}

// Lets every thread started since the last call run.
void LetThreadsGo()
{
    StartRequest r = {};
    AskStarter(kLetGo, &r);
}

bool StartStarter()
{
    gRealCreateThread = (CreateThreadProc)(void *)GetProcAddress(GetModuleHandleA("kernel32.dll"),
                                                                  "CreateThread");
    HANDLE ready = CreateEventA(NULL, TRUE, FALSE, NULL);
    gStarter = CreateThread(NULL, 0, Starter, ready, 0, &gStarterId);
    WaitForSingleObject(ready, INFINITE);
    CloseHandle(ready);
    return IatReplaceImport(GetModuleHandleA(NULL), "kernel32.dll", "CreateThread",
                            (void *)StartOnStarter) > 0;
}

void StopStarter()
{
    IatReplaceImport(GetModuleHandleA(NULL), "kernel32.dll", "CreateThread", (void *)gRealCreateThread);
    PostThreadMessageA(gStarterId, WM_QUIT, 0, 0);
    WaitForSingleObject(gStarter, INFINITE);
    CloseHandle(gStarter);
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
        LetThreadsGo();
        return WaitWatching([] { return GetPopupCount() == kLimit; }, 10000);
    }

    int mostListed = 0;
};

TEST_F(ConcurrentSubmitSoak, EightThreadsAtOnceKeepTheLimitAndLeaveNothing)
{
    SetIni("Seconds", 0);
    gHostWindow = PlayerWindow();
    gInstance = GetModuleHandleA(NULL);
    ASSERT_TRUE(StartStarter());
    gIcon = LoadIconA(NULL, (LPCSTR)IDI_INFORMATION);
    Submitter submitters[kThreads];
    HANDLE threads[kThreads];
    for (int i = 0; i < kThreads; i++) {
        submitters[i] = Submitter{ i, CreateEventA(NULL, FALSE, FALSE, NULL), 0 };
        threads[i] = CreateThread(NULL, 0, Submit, &submitters[i], 0, NULL);
        ASSERT_NE(threads[i], (HANDLE)NULL);
    }
    LetThreadsGo();
    int threadsBefore = PlayerThreadCount();
    int blocksBefore = BusyHeapBlocks();
    PopupEngineInit();
    ASSERT_TRUE(IsPopupEngineRunning());

    ASSERT_TRUE(RunRound(submitters, kLimit));
    int full = PlayerThreadCount();
    for (int round = 0; round < kRounds; round++) {
        ASSERT_TRUE(WaitForVisiblePopups(kLimit));
        std::vector<HWND> open = VisiblePopups();
        for (int i = 0; i < kFreed; i++) {
            PostMessageA(open[i], WM_CONTEXTMENU, (WPARAM)open[i], 0);
            ASSERT_TRUE(WaitWatching([&] { return PlayerThreadCount() == full - i - 1; }, 10000))
                << "a popup clicked away did not end";
            PlayerPumpFor(kAfterEndMs);
        }
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
    StopStarter();
    // The eight and the starter end too.
    baselineThreads = threadsBefore - kThreads - 1;
    EXPECT_TRUE(NoPopupAndBaselineThreads(3000));
    // Popup threads allocate and free from the process heap; a block lost per
    // popup would show dozens of times over.
    EXPECT_LE(BusyHeapBlocks() - blocksBefore, 32);
}
