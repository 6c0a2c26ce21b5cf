// The plug-in's own module, found from the address of its code, and the
// references that keep it mapped while our code may still run.
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

#endif
