// Warm popup threads. A new thread's first window costs tens of
// milliseconds (the thread's display connection and input set-up); a later
// window on the same thread a few. So one spare thread (two during a burst)
// waits with its queue made and one hidden window, and a thread whose popup
// has closed waits for the next one instead of ending, until it has been idle
// for POOL_IDLE_MS beyond the spares kept. Every open popup still has a
// thread of its own.
//
// Threads make their first window one at a time: many threads doing so at
// the same moment can break the window system's own heap under Wine.
#include "popup/thread_pool.h"
#include "popup/engine.h"
#include "popup/popup_thread.h"
#include "popup/record.h"
#include "popup/window.h"
#include "base/messages.h"
#include "base/player.h"

#include <string.h>

#define POOL_IDLE_TIMER_ID 1

// One waiting thread, on that thread's own stack while it waits. A spare is
// in the pool from before it makes its window, so that a spare's window seen
// means a spare that takes requests. Whoever takes the slot out of the pool
// for a request or for the end leaves it here, under the pool lock, and then
// wakes the thread through its queue; a wake-up that finds nothing left came
// from another program and is ignored.
struct PoolSlot {
    DWORD thread;
    PoolSlot *next;
    bool handed;             // a request, or the end, was left here
    PopupRequest *request;   // NULL with handed: the thread is to end
};

static CRITICAL_SECTION gPoolLock;
static CRITICAL_SECTION gFirstWindowLock;
static bool gPoolReady;
static PoolSlot *gWaiting;       // the last thread to come back first
static int gWaitingCount;
static int gStarting;            // spares started, not waiting yet (0 or 1)
static bool gSubmitted, gBurstSeen;
static DWORD gLastSubmit, gBurstAt;

int SparesWanted(bool burstSeen, DWORD sinceBurst)
{
    return burstSeen && sinceBurst < POOL_BURST_KEEP_MS ? 2 : 1;
}

// Pool lock held.
static int Wanted(void)
{
    return SparesWanted(gBurstSeen, GetTickCount() - gBurstAt);
}

// Pool lock held. True when the slot was waiting and is now out.
static bool TakeOut(PoolSlot *slot)
{
    for (PoolSlot **at = &gWaiting; *at; at = &(*at)->next) {
        if (*at == slot) {
            *at = slot->next;
            gWaitingCount--;
            return true;
        }
    }
    return false;
}

static void PutBack(PoolSlot *slot)
{
    slot->next = gWaiting;
    gWaiting = slot;
    gWaitingCount++;
}

static void ServePopups(PopupRequest *first);

// Starts one more spare when fewer wait than are wanted and none is on its
// way: spares start one at a time.
static void StartSpareIfWanted(void)
{
    bool start = false;
    EnterCriticalSection(&gPoolLock);
    if (gPoolReady && !IsPopupEngineStopping() && gStarting == 0 && gWaitingCount < Wanted()) {
        gStarting = 1;
        start = true;
    }
    LeaveCriticalSection(&gPoolLock);
    if (start && !StartPopupThread(ServePopups, NULL)) {
        EnterCriticalSection(&gPoolLock);
        gStarting = 0;
        LeaveCriticalSection(&gPoolLock);
    }
}

static LRESULT CALLBACK SpareWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case UM_POOL_REFILL:
        StartSpareIfWanted();
        return 0;
    case WM_CLOSE:
        // Another program's close: the window lives as long as its thread.
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void StartPopupThreadPool(void)
{
    WNDCLASSEXA wc;
    memset(&wc, 0, sizeof(wc));
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = SpareWndProc;
    wc.hInstance = gInstance;
    wc.lpszClassName = SPARE_CLASS;
    if (!RegisterClassExA(&wc))
        return;   // no warm threads: every popup gets a new thread
    InitializeCriticalSection(&gPoolLock);
    InitializeCriticalSection(&gFirstWindowLock);
    gWaiting = NULL;
    gWaitingCount = gStarting = 0;
    gSubmitted = gBurstSeen = false;
    gPoolReady = true;
    StartSpareIfWanted();
}

void StopPopupThreadPool(void)
{
    if (!gPoolReady)
        return;
    EnterCriticalSection(&gPoolLock);
    // A slot lives on its thread's stack, which the thread leaves as soon as
    // it has the message: read the next one first.
    for (PoolSlot *slot = gWaiting, *next; slot; slot = next) {
        next = slot->next;
        slot->handed = true;
        slot->request = NULL;
        PostThreadMessageA(slot->thread, UM_POOL_END, 0, 0);
    }
    gWaiting = NULL;
    gWaitingCount = 0;
    LeaveCriticalSection(&gPoolLock);
}

void ReleasePopupThreadPool(void)
{
    if (!gPoolReady)
        return;
    gPoolReady = false;
    DeleteCriticalSection(&gPoolLock);
    DeleteCriticalSection(&gFirstWindowLock);
    UnregisterClassA(SPARE_CLASS, gInstance);
}

// Hands the request copy to a waiting thread; false when none waits.
static bool HandPopupToSpare(PopupRequest *copy)
{
    if (!gPoolReady)
        return false;
    DWORD now = GetTickCount();
    EnterCriticalSection(&gPoolLock);
    if (IsPopupEngineStopping()) {
        LeaveCriticalSection(&gPoolLock);
        return false;
    }
    if (!gWaiting || (gSubmitted && now - gLastSubmit < POOL_BURST_GAP_MS)) {
        gBurstSeen = true;
        gBurstAt = now;
    }
    gSubmitted = true;
    gLastSubmit = now;
    PoolSlot *slot = gWaiting;
    DWORD thread = 0;
    if (slot) {
        TakeOut(slot);
        slot->handed = true;
        slot->request = copy;
        thread = slot->thread;
    }
    LeaveCriticalSection(&gPoolLock);
    if (!slot)
        return false;
    if (PostThreadMessageA(thread, UM_POOL_RUN, 0, 0))
        return true;
    // Its queue takes no more: unless a wake-up from elsewhere let the thread
    // take the request already, it goes back into the pool without it.
    EnterCriticalSection(&gPoolLock);
    bool taken = !slot->handed;
    if (!taken) {
        slot->handed = false;
        slot->request = NULL;
        PutBack(slot);
    }
    LeaveCriticalSection(&gPoolLock);
    return taken;
}

// Pool lock held. What was left for the thread; false when nothing was (a
// wake-up from another program).
static bool TakeHanded(PoolSlot *slot, PopupRequest **request)
{
    if (!slot->handed)
        return false;
    slot->handed = false;
    *request = slot->request;
    slot->request = NULL;
    return true;
}

// The thread's hidden window: it makes the thread's queue and display
// connection before any popup needs them.
static HWND MakeKeeper(void)
{
    EnterCriticalSection(&gFirstWindowLock);
    HWND keeper = CreateWindowExA(WS_EX_TOOLWINDOW, SPARE_CLASS, NULL, WS_POPUP, 0, 0, 0, 0, NULL, NULL,
                                  gInstance, NULL);
    LeaveCriticalSection(&gFirstWindowLock);
    return keeper;
}

// Puts the thread into the pool; false when the engine is stopping. timed:
// other threads wait too, so this one may be one too many.
static bool EnterPool(PoolSlot *slot, bool newSpare, bool *timed)
{
    EnterCriticalSection(&gPoolLock);
    if (newSpare)
        gStarting = 0;
    bool stopping = IsPopupEngineStopping();
    if (!stopping)
        PutBack(slot);
    *timed = gWaitingCount > 1;
    LeaveCriticalSection(&gPoolLock);
    return !stopping;
}

// Waits in the pool for the next request; NULL when the thread is to end:
// at shutdown, or after its idle time beyond the spares kept. A WM_QUIT that
// another program posts is ignored, as the workers ignore it. Without a
// keeper the thread only waits for what is on its way after it has left
// the pool.
static PopupRequest *WaitInPool(PoolSlot *slot, HWND keeper, bool timed)
{
    if (timed && keeper)
        SetTimer(keeper, POOL_IDLE_TIMER_ID, POOL_IDLE_MS, NULL);
    MSG msg;
    for (;;) {
        BOOL got = GetMessageA(&msg, NULL, 0, 0);
        if (got == 0)
            continue;
        if (got > 0 && !msg.hwnd && (msg.message == UM_POOL_RUN || msg.message == UM_POOL_END)) {
            PopupRequest *request = NULL;
            EnterCriticalSection(&gPoolLock);
            bool handed = TakeHanded(slot, &request);
            LeaveCriticalSection(&gPoolLock);
            if (!handed)
                continue;
            if (keeper)
                KillTimer(keeper, POOL_IDLE_TIMER_ID);
            return request;
        }
        bool idle = got > 0 && keeper && msg.hwnd == keeper && msg.message == WM_TIMER &&
                    msg.wParam == POOL_IDLE_TIMER_ID;
        if (got > 0 && !idle) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
            continue;
        }
        bool leave = false;
        EnterCriticalSection(&gPoolLock);
        if (got < 0 || !keeper || gWaitingCount > Wanted())
            leave = TakeOut(slot);
        // Taken out already: a request or the end is on its way.
        if (!leave && keeper && gWaitingCount <= 1)
            KillTimer(keeper, POOL_IDLE_TIMER_ID);
        LeaveCriticalSection(&gPoolLock);
        if (leave) {
            if (keeper)
                KillTimer(keeper, POOL_IDLE_TIMER_ID);
            return NULL;
        }
        if (got < 0)
            Sleep(1);   // a failing queue: do not spin while the request comes
    }
}

bool StartPopup(PopupRequest *copy)
{
    return HandPopupToSpare(copy) || StartPopupThread(ServePopups, copy);
}

// The popup thread's life: the first request (NULL for a spare), then every
// request handed over, until the thread is to end.
static void ServePopups(PopupRequest *first)
{
    // The queue that requests are posted to, before the thread is in the pool.
    MSG msg;
    PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE);
    bool newSpare = first == NULL, timed = false;
    PoolSlot slot = { GetCurrentThreadId(), NULL, false, NULL };
    bool waiting = newSpare && gPoolReady && EnterPool(&slot, true, &timed);
    HWND keeper = gPoolReady ? MakeKeeper() : NULL;
    if (!keeper) {
        // No window to keep the thread warm: it leaves the pool, but takes
        // a request already on its way.
        PopupRequest *request = first;
        if (waiting) {
            EnterCriticalSection(&gPoolLock);
            bool out = TakeOut(&slot);
            LeaveCriticalSection(&gPoolLock);
            if (!out)
                request = WaitInPool(&slot, NULL, false);
        }
        if (request)
            RunPopup(request, NULL);
        return;
    }
    if (waiting)
        StartSpareIfWanted();   // a burst wants a second spare, started now the first is ready
    // Made while the thread waits in the pool, for the next popup.
    ReadyIcon ready = { NULL, NULL, 0, 0 };
    if (waiting)
        MakeReadyIcon(&ready);
    PopupRequest *request = waiting ? WaitInPool(&slot, keeper, timed) : first;
    while (request) {
        // Handled in the popup's message loop, so after its show: the next
        // spare starts once this popup is on the screen.
        PostMessageA(keeper, UM_POOL_REFILL, 0, 0);
        RunPopup(request, &ready);
        bool back = EnterPool(&slot, false, &timed);
        if (back)
            MakeReadyIcon(&ready);
        request = back ? WaitInPool(&slot, keeper, timed) : NULL;
    }
    DropReadyIcon(&ready);
    // A thread that ends while the plug-in runs does so apart from other
    // threads' first windows, like those; at quit no first window is made,
    // and the threads go side by side.
    bool apart = !IsPopupEngineStopping();
    if (apart)
        EnterCriticalSection(&gFirstWindowLock);
    DestroyWindow(keeper);
    if (apart)
        LeaveCriticalSection(&gFirstWindowLock);
}

int WaitingPopupThreads(void)
{
    return gWaitingCount;
}

int StartingSpares(void)
{
    return gStarting;
}
