#include "base/optional_functions.h"
#include "base/release.h"

SetLayeredWindowAttributesProc pSetLayeredWindowAttributes;
AnimateWindowProc pAnimateWindow;
QueryUserStateProc pSHQueryUserNotificationState;
SetThreadDpiAwarenessContextProc pSetThreadDpiAwarenessContext;
GetDpiForMonitorProc pGetDpiForMonitor;
GetDpiForWindowProc pGetDpiForWindow;
GetSystemMetricsForDpiProc pGetSystemMetricsForDpi;
RegGetValueWProc pRegGetValueW;
RtlGetVersionProc pRtlGetVersion;
DwmSetWindowAttributeProc pDwmSetWindowAttribute;

// A reference on each library for as long as its functions are kept. The
// shell's is loaded rather than imported: a plug-in that imports the shell
// makes every player that loads it load the shell (the colour chooser's
// library has it in the process already, so this costs little).
struct OptionalLibraries {
    HMODULE user32, shell32, shcore, advapi32, ntdll, dwmapi;
};
static OptionalLibraries gLibraries;

static FARPROC LookUp(HMODULE library, const char *name)
{
    return library ? GetProcAddress(library, name) : NULL;
}

void LookUpOptionalFunctions(void)
{
    gLibraries.user32 = LoadLibraryA("user32.dll");
    gLibraries.shell32 = LoadLibraryA("shell32.dll");
    gLibraries.shcore = LoadLibraryA("shcore.dll");
    gLibraries.advapi32 = LoadLibraryA("advapi32.dll");
    gLibraries.ntdll = LoadLibraryA("ntdll.dll");
    gLibraries.dwmapi = LoadLibraryA("dwmapi.dll");
    pSetLayeredWindowAttributes = (SetLayeredWindowAttributesProc)(void *)LookUp(gLibraries.user32, "SetLayeredWindowAttributes");
    pAnimateWindow = (AnimateWindowProc)(void *)LookUp(gLibraries.user32, "AnimateWindow");
    pSHQueryUserNotificationState = (QueryUserStateProc)(void *)LookUp(gLibraries.shell32, "SHQueryUserNotificationState");
    pSetThreadDpiAwarenessContext = (SetThreadDpiAwarenessContextProc)(void *)LookUp(
        gLibraries.user32, "SetThreadDpiAwarenessContext");
    pGetDpiForMonitor = (GetDpiForMonitorProc)(void *)LookUp(gLibraries.shcore, "GetDpiForMonitor");
    pGetDpiForWindow = (GetDpiForWindowProc)(void *)LookUp(gLibraries.user32, "GetDpiForWindow");
    pGetSystemMetricsForDpi = (GetSystemMetricsForDpiProc)(void *)LookUp(gLibraries.user32, "GetSystemMetricsForDpi");
    pRegGetValueW = (RegGetValueWProc)(void *)LookUp(gLibraries.advapi32, "RegGetValueW");
    pRtlGetVersion = (RtlGetVersionProc)(void *)LookUp(gLibraries.ntdll, "RtlGetVersion");
    pDwmSetWindowAttribute = (DwmSetWindowAttributeProc)(void *)LookUp(gLibraries.dwmapi, "DwmSetWindowAttribute");
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
    pRegGetValueW = NULL;
    pRtlGetVersion = NULL;
    pDwmSetWindowAttribute = NULL;
    FreeLibraryOnce(&gLibraries.dwmapi);
    FreeLibraryOnce(&gLibraries.ntdll);
    FreeLibraryOnce(&gLibraries.advapi32);
    FreeLibraryOnce(&gLibraries.shcore);
    FreeLibraryOnce(&gLibraries.shell32);
    FreeLibraryOnce(&gLibraries.user32);
}
