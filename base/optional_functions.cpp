#include "base/optional_functions.h"
#include "base/release.h"

SetLayeredWindowAttributesProc pSetLayeredWindowAttributes;
AnimateWindowProc pAnimateWindow;
QueryUserStateProc pSHQueryUserNotificationState;
SetThreadDpiAwarenessContextProc pSetThreadDpiAwarenessContext;
GetDpiForMonitorProc pGetDpiForMonitor;
GetDpiForWindowProc pGetDpiForWindow;
GetSystemMetricsForDpiProc pGetSystemMetricsForDpi;

// A reference on each library for as long as its functions are kept. The
// shell's is loaded rather than imported: a plug-in that imports the shell
// makes every player that loads it load the shell (the colour chooser's
// library has it in the process already, so this costs little).
static HMODULE gUser32;
static HMODULE gShell32;
static HMODULE gShcore;

static FARPROC LookUp(HMODULE library, const char *name)
{
    return library ? GetProcAddress(library, name) : NULL;
}

void LookUpOptionalFunctions(void)
{
    gUser32 = LoadLibraryA("user32.dll");
    gShell32 = LoadLibraryA("shell32.dll");
    gShcore = LoadLibraryA("shcore.dll");
    pSetLayeredWindowAttributes = (SetLayeredWindowAttributesProc)(void *)LookUp(gUser32, "SetLayeredWindowAttributes");
    pAnimateWindow = (AnimateWindowProc)(void *)LookUp(gUser32, "AnimateWindow");
    pSHQueryUserNotificationState = (QueryUserStateProc)(void *)LookUp(gShell32, "SHQueryUserNotificationState");
    pSetThreadDpiAwarenessContext = (SetThreadDpiAwarenessContextProc)(void *)LookUp(
        gUser32, "SetThreadDpiAwarenessContext");
    pGetDpiForMonitor = (GetDpiForMonitorProc)(void *)LookUp(gShcore, "GetDpiForMonitor");
    pGetDpiForWindow = (GetDpiForWindowProc)(void *)LookUp(gUser32, "GetDpiForWindow");
    pGetSystemMetricsForDpi = (GetSystemMetricsForDpiProc)(void *)LookUp(gUser32, "GetSystemMetricsForDpi");
}

void ForgetOptionalFunctions(void)
{
    pSetLayeredWindowAttributes = NULL;
    pAnimateWindow = NULL;
    pSHQueryUserNotificationState = NULL;
    pSetThreadDpiAwarenessContext = NULL;
    pGetDpiForMonitor = NULL;
    pGetDpiForWindow = NULL;
    pGetSystemMetricsForDpi = NULL;
    FreeLibraryOnce(&gShcore);
    FreeLibraryOnce(&gShell32);
    FreeLibraryOnce(&gUser32);
}
