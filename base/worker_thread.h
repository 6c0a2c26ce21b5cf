// A long-lived worker thread driven only by thread messages: the
// track-information thread and the hot-key thread. The start returns once
// the thread's queue exists (and whatever it does first is done), so that
// nothing posted to it afterwards is lost; the stop sets the thread's stop
// flag, wakes it with a message and waits for it to end, answering what the
// thread sends meanwhile.
#ifndef TUNEBELL_WORKER_THREAD_H
#define TUNEBELL_WORKER_THREAD_H

#include <windows.h>

struct WorkerThread;

// What a worker does, each on the worker's own thread.
struct WorkerRoutine {
    // First, once the queue exists and before the start returns; may be NULL.
    void (*begin)(WorkerThread *worker);
    // Each message taken from the queue while the thread is not stopping;
    // never WM_QUIT, which anyone can post and which ends nothing here.
    void (*message)(WorkerThread *worker, const MSG *msg);
    // Last, as the thread ends; may be NULL.
    void (*end)(WorkerThread *worker);
};

struct WorkerThread {
    const WorkerRoutine *routine;
    void *parameter;          // the starter's, for the routine
    HANDLE thread;
    DWORD id;                 // 0 while no thread runs
    volatile LONG stopping;
    HANDLE stopEvent;         // set with the flag, so the worker's waits end at once
    HANDLE ready;             // set once begin is done; only during the start
};

// Starts the thread at below-normal priority and returns once its begin
// routine is done (or the thread has ended). False when no thread started.
bool StartWorkerThread(WorkerThread *worker, const WorkerRoutine *routine, void *parameter);
// Stops the thread: the flag, the event, then wakeMessage posted to wake it;
// waits without a time-out, answering sent messages, and closes its handles.
void StopWorkerThread(WorkerThread *worker, UINT wakeMessage);
// On the worker: waits ms, and true as soon as the thread is to stop.
bool WorkerPauseStops(WorkerThread *worker, DWORD ms);
// Where the worker's messages go; 0 while it does not run.
DWORD WorkerThreadId(const WorkerThread *worker);

#endif
