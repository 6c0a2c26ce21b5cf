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
#include "popup/engine_state.h"
#include "popup/popup_thread.h"
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

// The pool, from the engine's start to its stop.
struct PopupThreadPool {
    CRITICAL_SECTION lock;              // over the waiting threads and the counts
    CRITICAL_SECTION firstWindowLock;   // one first window at a time
    bool ready;                         // the class and both locks exist
    PoolSlot *waiting;                  // the last thread to come back first
    int waitingCount;
    int starting;                       // spares started, not waiting yet (0 or 1)
    bool submitted, burstSeen;
    DWORD lastSubmit, burstAt;
};
static PopupThreadPool gPool;

int SparesWanted(bool burstSeen, DWORD sinceBurst)
{
    return burstSeen && sinceBurst < POOL_BURST_KEEP_MS ? 2 : 1;
}

// Pool lock held.
static int Wanted(void)
{
    return SparesWanted(gPool.burstSeen, GetTickCount() - gPool.burstAt);
}

// Pool lock held. True when the slot was waiting and is now out.
static bool TakeOut(PoolSlot *slot)
{
    for (PoolSlot **at = &gPool.waiting; *at; at = &(*at)->next) {
        if (*at == slot) {
            *at = slot->next;
            gPool.waitingCount--;
            return true;
        }
    }
    return false;
}

static void PutBack(PoolSlot *slot)
{
    slot->next = gPool.waiting;
    gPool.waiting = slot;
    gPool.waitingCount++;
}

static void ServePopups(PopupRequest *first);

// Starts one more spare when fewer wait than are wanted and none is on its
// way: spares start one at a time.
static void StartSpareIfWanted(void)
{
    bool start = false;
    EnterCriticalSection(&gPool.lock);
    if (gPool.ready && !IsPopupEngineStopping() && gPool.starting == 0 && gPool.waitingCount < Wanted()) {
        gPool.starting = 1;
        start = true;
    }
    LeaveCriticalSection(&gPool.lock);
    if (start && !StartPopupThread(ServePopups, NULL)) {
        EnterCriticalSection(&gPool.lock);
        gPool.starting = 0;
        LeaveCriticalSection(&gPool.lock);
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
    InitializeCriticalSection(&gPool.lock);
    InitializeCriticalSection(&gPool.firstWindowLock);
    gPool.waiting = NULL;
    gPool.waitingCount = gPool.starting = 0;
    gPool.submitted = gPool.burstSeen = false;
    gPool.ready = true;
    StartSpareIfWanted();
}

void StopPopupThreadPool(void)
{
    if (!gPool.ready)
        return;
    EnterCriticalSection(&gPool.lock);
    // A slot lives on its thread's stack, which the thread leaves as soon as
    // it has the message: read the next one first.
    for (PoolSlot *slot = gPool.waiting, *next; slot; slot = next) {
        next = slot->next;
        slot->handed = true;
        slot->request = NULL;
        PostThreadMessageA(slot->thread, UM_POOL_END, 0, 0);
    }
    gPool.waiting = NULL;
    gPool.waitingCount = 0;
    LeaveCriticalSection(&gPool.lock);
}

void ReleasePopupThreadPool(void)
{
    if (!gPool.ready)
        return;
    gPool.ready = false;
    DeleteCriticalSection(&gPool.lock);
    DeleteCriticalSection(&gPool.firstWindowLock);
    UnregisterClassA(SPARE_CLASS, gInstance);
}

// Notes the submission (submissions close together are a burst, which
// wants two spares) and takes the thread that came back last out of the
// pool with the request copy left for it; NULL when none waits, or the
// engine is stopping.
static PoolSlot *TakeOutWaitingThread(PopupRequest *copy, DWORD *thread)
{
    DWORD now = GetTickCount();
    PoolSlot *slot = NULL;
    EnterCriticalSection(&gPool.lock);
    if (!IsPopupEngineStopping()) {
        if (!gPool.waiting || (gPool.submitted && now - gPool.lastSubmit < POOL_BURST_GAP_MS)) {
            gPool.burstSeen = true;
            gPool.burstAt = now;
        }
        gPool.submitted = true;
        gPool.lastSubmit = now;
        slot = gPool.waiting;
    }
    if (slot) {
        TakeOut(slot);
        slot->handed = true;
        slot->request = copy;
        *thread = slot->thread;
    }
    LeaveCriticalSection(&gPool.lock);
    return slot;
}

// The thread a request was left for could not be woken: unless a wake-up
// from elsewhere let it take the request already, it goes back into the
// pool without it. True when it took the request.
static bool TakeBackUnlessTaken(PoolSlot *slot)
{
    EnterCriticalSection(&gPool.lock);
    bool taken = !slot->handed;
    if (!taken) {
        slot->handed = false;
        slot->request = NULL;
        PutBack(slot);
    }
    LeaveCriticalSection(&gPool.lock);
    return taken;
}

// Hands the request copy to a waiting thread; false when none took it.
static bool HandPopupToSpare(PopupRequest *copy)
{
    DWORD thread = 0;
    PoolSlot *slot = gPool.ready ? TakeOutWaitingThread(copy, &thread) : NULL;
    if (!slot)
        return false;
    // A full queue leaves the thread asleep: it goes back into the pool,
    // unless it has taken the request already.
    return PostThreadMessageA(thread, UM_POOL_RUN, 0, 0) || TakeBackUnlessTaken(slot);
}

// On the waiting thread: what was left for it; false when nothing was (a
// wake-up from another program).
static bool CollectHandedRequest(PoolSlot *slot, PopupRequest **request)
{
    EnterCriticalSection(&gPool.lock);
    bool handed = slot->handed;
    if (handed) {
        slot->handed = false;
        *request = slot->request;
        slot->request = NULL;
    }
    LeaveCriticalSection(&gPool.lock);
    return handed;
}

// The thread's hidden window, which keeps it warm: it makes the thread's
// queue and display connection before any popup needs them.
static HWND MakeWarmWindow(void)
{
    EnterCriticalSection(&gPool.firstWindowLock);
    HWND warmWindow = CreateWindowExA(WS_EX_TOOLWINDOW, SPARE_CLASS, NULL, WS_POPUP, 0, 0, 0, 0, NULL, NULL,
                                      gInstance, NULL);
    LeaveCriticalSection(&gPool.firstWindowLock);
    return warmWindow;
}

// A thread that ends while the plug-in runs does so apart from other
// threads' first windows, like those; at quit no first window is made, and
// the threads go side by side.
static void DestroyWarmWindow(HWND warmWindow)
{
    bool apart = !IsPopupEngineStopping();
    if (apart)
        EnterCriticalSection(&gPool.firstWindowLock);
    DestroyWindow(warmWindow);
    if (apart)
        LeaveCriticalSection(&gPool.firstWindowLock);
}

// Puts the thread into the pool; false when the engine is stopping. timed:
// other threads wait too, so this one may be one too many.
static bool EnterPool(PoolSlot *slot, bool newSpare, bool *timed)
{
    EnterCriticalSection(&gPool.lock);
    if (newSpare)
        gPool.starting = 0;
    bool stopping = IsPopupEngineStopping();
    if (!stopping)
        PutBack(slot);
    *timed = gPool.waitingCount > 1;
    LeaveCriticalSection(&gPool.lock);
    return !stopping;
}

// The thread's idle time is up, or its queue failed, or it has no window to
// keep it warm: it leaves the pool, unless no more wait than are wanted.
// True when it left.
static bool LeaveWhenIdle(PoolSlot *slot, HWND warmWindow, bool queueFailed)
{
    bool leave = false;
    EnterCriticalSection(&gPool.lock);
    if (queueFailed || !warmWindow || gPool.waitingCount > Wanted())
        leave = TakeOut(slot);
    // Taken out already: a request or the end is on its way. Alone in the
    // pool, the thread waits on without a time.
    if (!leave && warmWindow && gPool.waitingCount <= 1)
        KillTimer(warmWindow, POOL_IDLE_TIMER_ID);
    LeaveCriticalSection(&gPool.lock);
    return leave;
}

// Waits in the pool for the next request; NULL when the thread is to end:
// at shutdown, or after its idle time beyond the spares kept. A WM_QUIT that
// another program posts is ignored, as the workers ignore it. Without a
// warm window the thread only waits for what is on its way after it has
// left the pool.
static PopupRequest *WaitInPool(PoolSlot *slot, HWND warmWindow, bool timed)
{
    if (timed && warmWindow)
        SetTimer(warmWindow, POOL_IDLE_TIMER_ID, POOL_IDLE_MS, NULL);
    PopupRequest *request = NULL;
    bool waiting = true;
    MSG msg;
    while (waiting) {
        BOOL got = GetMessageA(&msg, NULL, 0, 0);
        if (got == 0)
            continue;
        bool wakeUp = got > 0 && !msg.hwnd && (msg.message == UM_POOL_RUN || msg.message == UM_POOL_END);
        bool idle = got > 0 && warmWindow && msg.hwnd == warmWindow && msg.message == WM_TIMER &&
                    msg.wParam == POOL_IDLE_TIMER_ID;
        if (wakeUp) {
            waiting = !CollectHandedRequest(slot, &request);
        } else if (got > 0 && !idle) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        } else {
            waiting = !LeaveWhenIdle(slot, warmWindow, got < 0);
            if (waiting && got < 0)
                Sleep(1);   // a failing queue: do not spin while the request comes
        }
    }
    if (warmWindow)
        KillTimer(warmWindow, POOL_IDLE_TIMER_ID);
    return request;
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
    bool waiting = newSpare && gPool.ready && EnterPool(&slot, true, &timed);
    HWND warmWindow = gPool.ready ? MakeWarmWindow() : NULL;
    if (!warmWindow) {
        // No window to keep the thread warm: it leaves the pool, but takes
        // a request already on its way.
        PopupRequest *request = first;
        if (waiting && !LeaveWhenIdle(&slot, NULL, false))
            request = WaitInPool(&slot, NULL, false);
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
    PopupRequest *request = waiting ? WaitInPool(&slot, warmWindow, timed) : first;
    while (request) {
        // Handled in the popup's message loop, so after its show: the next
        // spare starts once this popup is on the screen.
        PostMessageA(warmWindow, UM_POOL_REFILL, 0, 0);
        RunPopup(request, &ready);
        bool back = EnterPool(&slot, false, &timed);
        if (back)
            MakeReadyIcon(&ready);
        request = back ? WaitInPool(&slot, warmWindow, timed) : NULL;
    }
    DropReadyIcon(&ready);
    DestroyWarmWindow(warmWindow);
}

int WaitingPopupThreads(void)
{
    return gPool.waitingCount;
}

int StartingSpares(void)
{
    return gPool.starting;
}
