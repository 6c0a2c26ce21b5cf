// A popup thread's life: its start, its procedure, its end, and the wait for
// all of them at shutdown. Each popup thread holds a reference on our module
// that it gives back as its very last act, so the module stays mapped until
// the thread has left our code; and the handle of every thread started is
// kept until the thread is seen to have ended, so that the shutdown returns
// only once each one really has, and the player's FreeLibrary after quit
// unmaps the module at once.
#ifndef TUNEBELL_POPUP_THREAD_H
#define TUNEBELL_POPUP_THREAD_H

#include <windows.h>
#include "popup/popup.h"

// What a popup thread does, given its first request (NULL for a spare).
typedef void (*PopupThreadWork)(PopupRequest *first);

// With the engine's start: no thread yet.
void InitPopupThreads(void);
// Starts a detached popup thread that runs work(first) at below-normal
// priority; false when none could start (first is then still the caller's).
bool StartPopupThread(PopupThreadWork work, PopupRequest *first);
DWORD WINAPI PopupThreadProc(LPVOID start);
// At shutdown, once no popup thread can start another (player's thread):
// returns when every popup thread has ended, answering what they send
// meanwhile; their handles are closed.
void WaitForPopupThreads(void);
// What is kept for the module's lifetime; when the module is unloaded.
void ReleasePopupThreads(void);

#endif
