#include "base/own_module.h"

HMODULE OwnModule(ModuleReference reference)
{
    DWORD flags = GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS;
    if (reference == MODULE_NO_REFERENCE)
        flags |= GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT;
    else if (reference == MODULE_PIN)
        flags |= GET_MODULE_HANDLE_EX_FLAG_PIN;
    HMODULE module = NULL;
    if (!GetModuleHandleExA(flags, (LPCSTR)(void *)&OwnModule, &module))
        return NULL;
    return module;
}

void PinModule(void)
{
    OwnModule(MODULE_PIN);
}

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
