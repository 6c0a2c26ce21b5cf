// Redirects one function a loaded module imports, by rewriting its import
// address table: calls the module makes through the import go elsewhere.
#pragma once

#include <windows.h>

// Points every import of dllName!functionName in module at replacement.
// Entries already pointing there count as done, so patching a module twice
// is harmless. Returns the number of entries now pointing at replacement
// (0 when the module does not import the function), or -1 when the module's
// headers are not a 32-bit PE image or the table cannot be made writable.
int IatReplaceImport(HMODULE module, const char *dllName,
                     const char *functionName, void *replacement);
