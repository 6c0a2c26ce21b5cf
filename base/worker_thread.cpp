#include "base/worker_thread.h"
#include "base/release.h"
#include "base/wait.h"

static DWORD WINAPI WorkerThreadProc(LPVOID parameter)
{
    WorkerThread *worker = (WorkerThread *)parameter;
    // The queue must exist before the stop flag is first tested, or a stop
    // posted in between would be lost and the stop would wait for ever (and,
    // on Wine, before a hot key is registered for it).
    MSG msg;
    PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE);
    if (worker->routine->begin)
        worker->routine->begin(worker);
    SetEvent(worker->ready);

    while (!worker->stopping) {
        // Only the stop flag ends the thread: a WM_QUIT that another program
        // posts here is one more message to ignore. (-1 comes only with a
        // bad window filter, which this wait has not.)
        if (GetMessageA(&msg, NULL, 0, 0) == -1)
            break;
        if (msg.message != WM_QUIT && !worker->stopping)
            worker->routine->message(worker, &msg);
    }
    if (worker->routine->end)
        worker->routine->end(worker);
    return 0;
}

bool StartWorkerThread(WorkerThread *worker, const WorkerRoutine *routine, void *parameter)
{
    worker->routine = routine;
    worker->parameter = parameter;
    InterlockedExchange(&worker->stopping, 0);
    worker->stopEvent = CreateEventA(NULL, TRUE, FALSE, NULL);
    worker->ready = CreateEventA(NULL, TRUE, FALSE, NULL);
    worker->thread = CreateThread(NULL, 0, WorkerThreadProc, worker, 0, &worker->id);
    if (worker->thread) {
        SetThreadPriority(worker->thread, THREAD_PRIORITY_BELOW_NORMAL);
        // What the starter posts next must find a queue to post to. The
        // thread never waits for the player before it is ready, so this
        // wait is short.
        HANDLE waits[2] = { worker->ready, worker->thread };
        if (worker->ready)
            WaitForMultipleObjects(2, waits, FALSE, INFINITE);
    } else {
        worker->id = 0;
    }
    // The thread has set the event or ended: nobody touches it any more.
    CloseHandleOnce(&worker->ready);
    return worker->thread != NULL;
}

void StopWorkerThread(WorkerThread *worker, UINT wakeMessage)
{
    InterlockedExchange(&worker->stopping, 1);
    if (worker->stopEvent)
        SetEvent(worker->stopEvent);
    if (worker->thread) {
        PostThreadMessageA(worker->id, wakeMessage, 0, 0);
        // The thread may be asking the player something right now: keep
        // answering while we wait, or neither side would ever go on.
        WaitAnsweringSentMessages(worker->thread, INFINITE);
    }
    CloseHandleOnce(&worker->thread);
    CloseHandleOnce(&worker->stopEvent);
    worker->id = 0;
}

bool WorkerPauseStops(WorkerThread *worker, DWORD ms)
{
    if (worker->stopEvent)
        return WaitForSingleObject(worker->stopEvent, ms) == WAIT_OBJECT_0;
    Sleep(ms);
    return worker->stopping != 0;
}

DWORD WorkerThreadId(const WorkerThread *worker)
{
    return worker->thread ? worker->id : 0;
}
