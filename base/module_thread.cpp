#include "base/module_thread.h"
#include "base/own_module.h"

HANDLE StartModuleThread(LPTHREAD_START_ROUTINE routine, void *parameter, DWORD flags, DWORD *id)
{
    HMODULE module = OwnModule(MODULE_ADD_REFERENCE);
    if (!module)
        return NULL;
    HANDLE thread = CreateThread(NULL, 0, routine, parameter, flags, id);
    if (!thread)
        FreeLibrary(module);
    return thread;
}

void ExitModuleThread(DWORD exitCode)
{
    // The thread's own reference keeps the module mapped until this call has
    // let go of it and ended the thread.
    FreeLibraryAndExitThread(OwnModule(MODULE_NO_REFERENCE), exitCode);
}
