// Asking for each monitor's resolution, and reading it. Every function here
// comes with Windows 8.1 or 10 and is looked up at run time: on an older
// Windows the popups keep the screen's resolution, as before.
#include "popup/dpi.h"

// The awareness a thread asks for: the values of DPI_AWARENESS_CONTEXT.
#define AWARE_PER_MONITOR    ((HANDLE)-3)
#define AWARE_PER_MONITOR_V2 ((HANDLE)-4)
#define EFFECTIVE_DPI        0             // MDT_EFFECTIVE_DPI

typedef HANDLE (WINAPI *SetThreadDpiAwarenessContextProc)(HANDLE);
typedef HRESULT (WINAPI *GetDpiForMonitorProc)(HMONITOR, int, UINT *, UINT *);
typedef UINT (WINAPI *GetDpiForWindowProc)(HWND);
typedef int (WINAPI *GetSystemMetricsForDpiProc)(int, UINT);
typedef HMONITOR (WINAPI *MonitorFromRectProc)(LPCRECT, DWORD);

// Written at the engine's start and end only, read by popup threads.
static SetThreadDpiAwarenessContextProc pSetThreadDpiAwarenessContext;
static GetDpiForMonitorProc pGetDpiForMonitor;
static GetDpiForWindowProc pGetDpiForWindow;
static GetSystemMetricsForDpiProc pGetSystemMetricsForDpi;
static MonitorFromRectProc pMonitorFromRect;
static HMODULE gShcore;

PopupScale BaseScale(void)
{
    PopupScale scale = { BASE_DPI, 16, 16 };
    return scale;
}

void LookUpDpiFunctions(void)
{
    // user32 is loaded with us (we import from it): no reference to keep.
    HMODULE user32 = GetModuleHandleA("user32.dll");
    if (user32) {
        pSetThreadDpiAwarenessContext = (SetThreadDpiAwarenessContextProc)(void *)GetProcAddress(
            user32, "SetThreadDpiAwarenessContext");
        pGetDpiForWindow = (GetDpiForWindowProc)(void *)GetProcAddress(user32, "GetDpiForWindow");
        pGetSystemMetricsForDpi = (GetSystemMetricsForDpiProc)(void *)GetProcAddress(
            user32, "GetSystemMetricsForDpi");
        pMonitorFromRect = (MonitorFromRectProc)(void *)GetProcAddress(user32, "MonitorFromRect");
    }
    gShcore = LoadLibraryA("shcore.dll");
    if (gShcore)
        pGetDpiForMonitor = (GetDpiForMonitorProc)(void *)GetProcAddress(gShcore, "GetDpiForMonitor");
}

void ReleaseDpiFunctions(void)
{
    pSetThreadDpiAwarenessContext = NULL;
    pGetDpiForMonitor = NULL;
    pGetDpiForWindow = NULL;
    pGetSystemMetricsForDpi = NULL;
    pMonitorFromRect = NULL;
    if (gShcore)
        FreeLibrary(gShcore);
    gShcore = NULL;
}

void MakeThreadDpiAware(void)
{
    // Windows 10 before 1703, and Wine, refuse v2; v1 then.
    if (pSetThreadDpiAwarenessContext && !pSetThreadDpiAwarenessContext(AWARE_PER_MONITOR_V2))
        pSetThreadDpiAwarenessContext(AWARE_PER_MONITOR);
}

// What this thread is told the screen's resolution is.
static int ScreenDpi(void)
{
    HDC screen = GetDC(NULL);
    int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen)
        ReleaseDC(NULL, screen);
    return dpi > 0 ? dpi : BASE_DPI;
}

static int DpiOfWorkArea(const RECT *workArea, HWND popup)
{
    if (pGetDpiForMonitor && pMonitorFromRect) {
        HMONITOR monitor = pMonitorFromRect(workArea, MONITOR_DEFAULTTONEAREST);
        UINT x = 0, y = 0;
        if (monitor && pGetDpiForMonitor(monitor, EFFECTIVE_DPI, &x, &y) == S_OK && y > 0)
            return (int)y;
    }
    if (pGetDpiForWindow && popup) {
        UINT dpi = pGetDpiForWindow(popup);
        if (dpi > 0)
            return (int)dpi;
    }
    return ScreenDpi();
}

// The small icon's side at a resolution. Without the function that says so,
// the system's own size is at the screen's resolution, not at 96 dpi.
static int SmallIconSide(int metric, int dpi)
{
    int side = pGetSystemMetricsForDpi ? pGetSystemMetricsForDpi(metric, (UINT)dpi) : 0;
    if (side > 0)
        return side;
    return GetSystemMetrics(metric) * dpi / ScreenDpi();
}

PopupScale ScaleForWorkArea(const RECT *workArea, HWND popup)
{
    PopupScale scale;
    scale.dpi = DpiOfWorkArea(workArea, popup);
    scale.smallIconWidth = SmallIconSide(SM_CXSMICON, scale.dpi);
    scale.smallIconHeight = SmallIconSide(SM_CYSMICON, scale.dpi);
    return scale;
}
