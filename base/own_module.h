// The plug-in's own module, found from the address of its code, and the
// references that keep it mapped while our code may still run: a pin, and
// the reference a thread of ours holds while it runs.
#ifndef TUNEBELL_OWN_MODULE_H
#define TUNEBELL_OWN_MODULE_H

#include <windows.h>

enum ModuleReference {
    MODULE_NO_REFERENCE,    // only find it: the caller already holds one
    MODULE_ADD_REFERENCE,   // one more, given back by FreeLibrary
    MODULE_PIN,             // mapped until the process ends, whoever frees it
};

// The module our code is in, with the reference asked for; NULL (and no
// reference) when the system cannot give it.
HMODULE OwnModule(ModuleReference reference);

// Keeps the module in memory for the life of the process: used when code of
// ours may still be called after the player unloads us.
void PinModule(void);

// A thread that holds the module while it runs: it takes a reference before
// the thread starts and gives it back as the thread's very last act, so the
// module stays mapped until the thread has left our code, whoever unloads
// it meanwhile. CreateThread's flags and id; NULL, and no reference kept,
// when no thread started.
HANDLE StartModuleThread(LPTHREAD_START_ROUTINE routine, void *parameter, DWORD flags, DWORD *id);
// The last act of a thread StartModuleThread started: gives the module's
// reference back and ends the thread. No code of ours runs past it.
DECLSPEC_NORETURN void ExitModuleThread(DWORD exitCode);

#endif
