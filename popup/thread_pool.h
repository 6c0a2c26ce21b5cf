// Warm popup threads: a spare thread that has already made its message queue
// and one hidden window takes the next popup, so the popup need not wait for
// a new thread's first window; a thread whose popup has closed waits for
// another one for a while before it ends.
#ifndef TUNEBELL_POPUP_THREAD_POOL_H
#define TUNEBELL_POPUP_THREAD_POOL_H

#include <windows.h>
#include "popup/popup.h"

// Submissions closer together than this are a burst: two spares are kept.
#define POOL_BURST_GAP_MS 1000
// How long after the last submission of a burst two spares are kept.
#define POOL_BURST_KEEP_MS 5000

// With the engine: the class, the locks, and the first spare.
void StartPopupThreadPool(void);
// At shutdown, once the engine is stopping: every thread waiting in the pool
// ends; a thread still showing a popup ends when that popup is gone.
void StopPopupThreadPool(void);
// After every popup thread has ended: the class and the locks.
void ReleasePopupThreadPool(void);

// Hands the request copy to a waiting thread, or starts a new popup thread
// for it. False when no thread took the copy (it is still the caller's).
bool StartPopup(PopupRequest *copy);

// The spares kept: 2 from a submission of a burst until POOL_BURST_KEEP_MS
// after it, else 1. Pure.
int SparesWanted(bool burstSeen, DWORD sinceBurst);

#endif
