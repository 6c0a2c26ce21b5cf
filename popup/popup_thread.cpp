#include "popup/popup_thread.h"
#include "plugin/own_module.h"
#include "plugin/wait.h"

// Popup threads started and not yet finished, and the event each one sets
// as it finishes, so the shutdown can wait for the last one. The last thread
// may still be setting the event when the shutdown sees the count at 0, so
// the event lives as long as the module.
static volatile LONG gPopupThreads;
static HANDLE gPopupThreadEnded;

// The handle of every popup thread started, kept until the thread is seen to
// have ended: a thread's word that it is done comes just before it lets go
// of the module.
struct PopupThreadHandle {
    HANDLE thread;
    PopupThreadHandle *next;
};
static CRITICAL_SECTION gThreadHandlesLock;
static PopupThreadHandle *gThreadHandles;

// What PopupThreadProc is given: the work and its first request.
struct PopupThreadStart {
    PopupThreadWork work;
    PopupRequest *first;
};

// Closes the handles of threads that have ended; with wait, waits for each
// one first.
static void ForgetEndedThreads(bool wait)
{
    EnterCriticalSection(&gThreadHandlesLock);
    PopupThreadHandle **at = &gThreadHandles;
    while (*at) {
        PopupThreadHandle *kept = *at;
        if (wait)
            WaitAnsweringSentMessages(kept->thread, INFINITE);
        if (WaitForSingleObject(kept->thread, 0) != WAIT_OBJECT_0) {
            at = &kept->next;
            continue;
        }
        *at = kept->next;
        CloseHandle(kept->thread);
        HeapFree(GetProcessHeap(), 0, kept);
    }
    LeaveCriticalSection(&gThreadHandlesLock);
}

static void KeepThreadHandle(HANDLE thread)
{
    PopupThreadHandle *kept = (PopupThreadHandle *)HeapAlloc(GetProcessHeap(), 0, sizeof(PopupThreadHandle));
    if (!kept) {
        CloseHandle(thread);   // the shutdown then trusts the thread's word alone
        return;
    }
    kept->thread = thread;
    ForgetEndedThreads(false);
    EnterCriticalSection(&gThreadHandlesLock);
    kept->next = gThreadHandles;
    gThreadHandles = kept;
    LeaveCriticalSection(&gThreadHandlesLock);
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
    HANDLE thread = CreateThread(NULL, 0, PopupThreadProc, start, 0, &threadId);
    if (!thread) {
        CountThreadEnded();
        FreeLibrary(self);
        HeapFree(GetProcessHeap(), 0, start);
        return false;
    }
    KeepThreadHandle(thread);
    return true;
}

DWORD WINAPI PopupThreadProc(LPVOID parameter)
{
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
    PopupThreadStart start = *(PopupThreadStart *)parameter;
    HeapFree(GetProcessHeap(), 0, parameter);
    start.work(start.first);

    HMODULE self = OwnModule(MODULE_NO_REFERENCE);
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
    ForgetEndedThreads(true);
    DeleteCriticalSection(&gThreadHandlesLock);
}

void ReleasePopupThreads(void)
{
    if (gPopupThreadEnded)
        CloseHandle(gPopupThreadEnded);
    gPopupThreadEnded = NULL;
}
