#include "plugin/optional_functions.h"

SetLayeredWindowAttributesProc pSetLayeredWindowAttributes;
AnimateWindowProc pAnimateWindow;
QueryUserStateProc pSHQueryUserNotificationState;

// A reference on each library for as long as its functions are kept. The
// shell's is loaded rather than imported: a plug-in that imports the shell
// makes every player that loads it load the shell (the colour chooser's
// library has it in the process already, so this costs little).
static HMODULE gUser32;
static HMODULE gShell32;

static FARPROC LookUp(HMODULE library, const char *name)
{
    return library ? GetProcAddress(library, name) : NULL;
}

void LookUpOptionalFunctions(void)
{
    gUser32 = LoadLibraryA("user32.dll");
    gShell32 = LoadLibraryA("shell32.dll");
    pSetLayeredWindowAttributes = (SetLayeredWindowAttributesProc)(void *)LookUp(gUser32, "SetLayeredWindowAttributes");
    pAnimateWindow = (AnimateWindowProc)(void *)LookUp(gUser32, "AnimateWindow");
    pSHQueryUserNotificationState = (QueryUserStateProc)(void *)LookUp(gShell32, "SHQueryUserNotificationState");
}

void ForgetOptionalFunctions(void)
{
    pSetLayeredWindowAttributes = NULL;
    pAnimateWindow = NULL;
    pSHQueryUserNotificationState = NULL;
    if (gShell32)
        FreeLibrary(gShell32);
    if (gUser32)
        FreeLibrary(gUser32);
    gShell32 = gUser32 = NULL;
}
