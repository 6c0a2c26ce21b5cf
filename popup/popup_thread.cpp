#include "popup/popup_thread.h"
#include "popup/dpi.h"
#include "popup/engine_state.h"
#include "base/module_thread.h"
#include "base/release.h"
#include "base/wait.h"

// The handle of a popup thread running, kept until it is seen to end.
struct PopupThreadHandle {
    HANDLE thread;
    DWORD id;
    PopupThreadHandle *next;
};

// The popup threads started and not yet finished: their count, for the
// shutdown to wait until it is 0, and their handles, for it to wait until
// each thread has really ended.
struct PopupThreads {
    // Threads started and not yet finished, and the event each one sets as
    // it finishes, so the shutdown can wait for the last one. The last
    // thread may still be setting the event when the shutdown sees the
    // count at 0, so the event lives as long as the module.
    volatile LONG running;
    HANDLE ended;
    // The handle of every popup thread running. A thread that ends while
    // the plug-in runs closes its own; one that ends at shutdown leaves it
    // for the shutdown, which waits for the threads themselves (a thread's
    // word that it is done comes just before it lets go of the module), so
    // that the player's FreeLibrary after quit really unmaps the module.
    CRITICAL_SECTION handlesLock;
    PopupThreadHandle *handles;
};
static PopupThreads gThreads;

// What PopupThreadProc is given: the work and its first request.
struct PopupThreadStart {
    PopupThreadWork work;
    PopupRequest *first;
};

// The shutdown, once no popup thread can start another: waits for each
// thread still listed to end, and closes its handle.
static void WaitForListedThreads(void)
{
    EnterCriticalSection(&gThreads.handlesLock);
    while (gThreads.handles) {
        PopupThreadHandle *kept = gThreads.handles;
        WaitAnsweringSentMessages(kept->thread, INFINITE);
        gThreads.handles = kept->next;
        CloseHandle(kept->thread);
        HeapFree(GetProcessHeap(), 0, kept);
    }
    LeaveCriticalSection(&gThreads.handlesLock);
}

// A popup thread as it ends while the plug-in runs: nobody will wait for it.
static void ForgetThisThread(void)
{
    DWORD self = GetCurrentThreadId();
    EnterCriticalSection(&gThreads.handlesLock);
    for (PopupThreadHandle **at = &gThreads.handles; *at; at = &(*at)->next) {
        PopupThreadHandle *kept = *at;
        if (kept->id == self) {
            *at = kept->next;
            CloseHandle(kept->thread);
            HeapFree(GetProcessHeap(), 0, kept);
            break;
        }
    }
    LeaveCriticalSection(&gThreads.handlesLock);
}

// Lists the thread, before it runs, so that it finds its handle when it ends.
static bool ListThread(HANDLE thread, DWORD id)
{
    PopupThreadHandle *kept = (PopupThreadHandle *)HeapAlloc(GetProcessHeap(), 0, sizeof(PopupThreadHandle));
    if (!kept)
        return false;
    kept->thread = thread;
    kept->id = id;
    EnterCriticalSection(&gThreads.handlesLock);
    kept->next = gThreads.handles;
    gThreads.handles = kept;
    LeaveCriticalSection(&gThreads.handlesLock);
    return true;
}

void InitPopupThreads(void)
{
    gThreads.running = 0;
    InitializeCriticalSection(&gThreads.handlesLock);
    gThreads.handles = NULL;
    if (!gThreads.ended)
        gThreads.ended = CreateEventA(NULL, FALSE, FALSE, NULL);
}

// One thread fewer; the shutdown may be waiting for the last.
static void CountThreadEnded(void)
{
    if (InterlockedDecrement(&gThreads.running) == 0)
        SetEvent(gThreads.ended);
}

bool StartPopupThread(PopupThreadWork work, PopupRequest *first)
{
    PopupThreadStart *start = (PopupThreadStart *)HeapAlloc(GetProcessHeap(), 0, sizeof(PopupThreadStart));
    if (!start)
        return false;
    start->work = work;
    start->first = first;
    InterlockedIncrement(&gThreads.running);
    DWORD threadId;
    // The thread owns the start from here, and frees it.
    HANDLE thread = StartModuleThread(PopupThreadProc, start, CREATE_SUSPENDED, &threadId);
    if (!thread) {
        CountThreadEnded();
        HeapFree(GetProcessHeap(), 0, start);
        return false;
    }
    bool listed = ListThread(thread, threadId);
    ResumeThread(thread);
    if (!listed)
        CloseHandle(thread);   // the shutdown then trusts the thread's word alone
    return true;
}

DWORD WINAPI PopupThreadProc(LPVOID parameter)
{
    // Before the thread's first window, which takes the thread's awareness.
    MakeThreadDpiAware();
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
    PopupThreadStart start = *(PopupThreadStart *)parameter;
    HeapFree(GetProcessHeap(), 0, parameter);
    start.work(start.first);

    // At shutdown the shutdown waits on this thread's handle, and closes it.
    if (!IsPopupEngineStopping())
        ForgetThisThread();
    CountThreadEnded();
    ExitModuleThread(0);
    return 0;
}

void WaitForPopupThreads(void)
{
    // Without an event (none could be made) the count is looked at again
    // every 10 ms; the popup threads are answered meanwhile either way.
    while (gThreads.running > 0)
        WaitAnsweringSentMessages(gThreads.ended, gThreads.ended ? INFINITE : 10);
    WaitForListedThreads();
    DeleteCriticalSection(&gThreads.handlesLock);
}

void ReleasePopupThreads(void)
{
    CloseHandleOnce(&gThreads.ended);
}
