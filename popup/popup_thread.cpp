#include "popup/popup_thread.h"
#include "popup/dpi.h"
#include "popup/engine.h"
#include "base/own_module.h"
#include "base/wait.h"

// Popup threads started and not yet finished, and the event each one sets
// as it finishes, so the shutdown can wait for the last one. The last thread
// may still be setting the event when the shutdown sees the count at 0, so
// the event lives as long as the module.
static volatile LONG gPopupThreads;
static HANDLE gPopupThreadEnded;

// The handle of every popup thread running. A thread that ends while the
// plug-in runs closes its own; one that ends at shutdown leaves it for the
// shutdown, which waits for the threads themselves (a thread's word that it
// is done comes just before it lets go of the module), so that the player's
// FreeLibrary after quit really unmaps the module.
struct PopupThreadHandle {
    HANDLE thread;
    DWORD id;
    PopupThreadHandle *next;
};
static CRITICAL_SECTION gThreadHandlesLock;
static PopupThreadHandle *gThreadHandles;

// What PopupThreadProc is given: the work and its first request.
struct PopupThreadStart {
    PopupThreadWork work;
    PopupRequest *first;
};

// The shutdown, once no popup thread can start another: waits for each
// thread still listed to end, and closes its handle.
static void WaitForListedThreads(void)
{
    EnterCriticalSection(&gThreadHandlesLock);
    while (gThreadHandles) {
        PopupThreadHandle *kept = gThreadHandles;
        WaitAnsweringSentMessages(kept->thread, INFINITE);
        gThreadHandles = kept->next;
        CloseHandle(kept->thread);
        HeapFree(GetProcessHeap(), 0, kept);
    }
    LeaveCriticalSection(&gThreadHandlesLock);
}

// A popup thread as it ends while the plug-in runs: nobody will wait for it.
static void ForgetThisThread(void)
{
    DWORD self = GetCurrentThreadId();
    EnterCriticalSection(&gThreadHandlesLock);
    for (PopupThreadHandle **at = &gThreadHandles; *at; at = &(*at)->next) {
        PopupThreadHandle *kept = *at;
        if (kept->id == self) {
            *at = kept->next;
            CloseHandle(kept->thread);
            HeapFree(GetProcessHeap(), 0, kept);
            break;
        }
    }
    LeaveCriticalSection(&gThreadHandlesLock);
}

// Lists the thread, before it runs, so that it finds its handle when it ends.
static bool ListThread(HANDLE thread, DWORD id)
{
    PopupThreadHandle *kept = (PopupThreadHandle *)HeapAlloc(GetProcessHeap(), 0, sizeof(PopupThreadHandle));
    if (!kept)
        return false;
    kept->thread = thread;
    kept->id = id;
    EnterCriticalSection(&gThreadHandlesLock);
    kept->next = gThreadHandles;
    gThreadHandles = kept;
    LeaveCriticalSection(&gThreadHandlesLock);
    return true;
}

void InitPopupThreads(void)
{
    gPopupThreads = 0;
    InitializeCriticalSection(&gThreadHandlesLock);
    gThreadHandles = NULL;
    if (!gPopupThreadEnded)
        gPopupThreadEnded = CreateEventA(NULL, FALSE, FALSE, NULL);
}

// One thread fewer; the shutdown may be waiting for the last.
static void CountThreadEnded(void)
{
    if (InterlockedDecrement(&gPopupThreads) == 0)
        SetEvent(gPopupThreadEnded);
}

bool StartPopupThread(PopupThreadWork work, PopupRequest *first)
{
    PopupThreadStart *start = (PopupThreadStart *)HeapAlloc(GetProcessHeap(), 0, sizeof(PopupThreadStart));
    if (!start)
        return false;
    start->work = work;
    start->first = first;
    HMODULE self = OwnModule(MODULE_ADD_REFERENCE);
    if (!self) {
        HeapFree(GetProcessHeap(), 0, start);
        return false;
    }
    InterlockedIncrement(&gPopupThreads);
    DWORD threadId;
    HANDLE thread = CreateThread(NULL, 0, PopupThreadProc, start, CREATE_SUSPENDED, &threadId);
    if (!thread) {
        CountThreadEnded();
        FreeLibrary(self);
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

    HMODULE self = OwnModule(MODULE_NO_REFERENCE);
    // At shutdown the shutdown waits on this thread's handle, and closes it.
    if (!IsPopupEngineStopping())
        ForgetThisThread();
    CountThreadEnded();
    // Past this call no code of ours runs on this thread; the reference taken
    // at its start keeps the module mapped until then.
    FreeLibraryAndExitThread(self, 0);
    return 0;
}

void WaitForPopupThreads(void)
{
    // Without an event (none could be made) the count is looked at again
    // every 10 ms; the popup threads are answered meanwhile either way.
    while (gPopupThreads > 0)
        WaitAnsweringSentMessages(gPopupThreadEnded, gPopupThreadEnded ? INFINITE : 10);
    WaitForListedThreads();
    DeleteCriticalSection(&gThreadHandlesLock);
}

void ReleasePopupThreads(void)
{
    if (gPopupThreadEnded)
        CloseHandle(gPopupThreadEnded);
    gPopupThreadEnded = NULL;
}
