// A thread of ours that holds the module while it runs: it takes a
// reference before the thread starts and gives it back as the thread's very
// last act, so the module stays mapped until the thread has left our code,
// whoever unloads it meanwhile.
#ifndef TUNEBELL_BASE_MODULE_THREAD_H
#define TUNEBELL_BASE_MODULE_THREAD_H

#include <windows.h>

// CreateThread's flags and id; NULL, and no reference kept, when no thread
// started.
HANDLE StartModuleThread(LPTHREAD_START_ROUTINE routine, void *parameter, DWORD flags, DWORD *id);
// The last act of a thread StartModuleThread started: gives the module's
// reference back and ends the thread. No code of ours runs past it.
DECLSPEC_NORETURN void ExitModuleThread(DWORD exitCode);

#endif
