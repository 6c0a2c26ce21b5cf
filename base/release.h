// Letting go of what was taken, once. Each releases what its holder holds,
// when it holds anything, and clears the holder: a function that takes
// several things gives them all back at its one way out, whichever of them
// it got, and a second release does nothing.
#ifndef TUNEBELL_BASE_RELEASE_H
#define TUNEBELL_BASE_RELEASE_H

#include <windows.h>

inline void CloseHandleOnce(HANDLE *handle)
{
    if (*handle)
        CloseHandle(*handle);
    *handle = NULL;
}

inline void FreeLibraryOnce(HMODULE *library)
{
    if (*library)
        FreeLibrary(*library);
    *library = NULL;
}

#endif
