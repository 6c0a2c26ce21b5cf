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
