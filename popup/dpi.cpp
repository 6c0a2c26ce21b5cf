// Asking for each monitor's resolution, and reading it. The functions that
// do so come with Windows 8.1 and 10 and are looked up (optional
// functions): on an older Windows the popups keep the screen's resolution,
// as before.
#include "popup/dpi.h"
#include "base/optional_functions.h"

// The awareness a thread asks for: the values of DPI_AWARENESS_CONTEXT.
#define AWARE_PER_MONITOR    ((HANDLE)-3)
#define AWARE_PER_MONITOR_V2 ((HANDLE)-4)
#define EFFECTIVE_DPI        0             // MDT_EFFECTIVE_DPI

PopupScale BaseScale(void)
{
    PopupScale scale = { BASE_DPI, 16, 16 };
    return scale;
}

HANDLE MakeThreadDpiAware(void)
{
    if (!pSetThreadDpiAwarenessContext)
        return NULL;
    // Windows 10 before 1703, and Wine, refuse v2; v1 then.
    HANDLE before = pSetThreadDpiAwarenessContext(AWARE_PER_MONITOR_V2);
    return before ? before : pSetThreadDpiAwarenessContext(AWARE_PER_MONITOR);
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
    if (pGetDpiForMonitor) {
        HMONITOR monitor = MonitorFromRect(workArea, MONITOR_DEFAULTTONEAREST);
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

int ReadAsPopupThread(int (*read)(void))
{
    HANDLE before = MakeThreadDpiAware();
    int value = read();
    if (before)
        pSetThreadDpiAwarenessContext(before);
    return value;
}

PopupScale ScaleForWorkArea(const RECT *workArea, HWND popup)
{
    PopupScale scale;
    scale.dpi = DpiOfWorkArea(workArea, popup);
    scale.smallIconWidth = SmallIconSide(SM_CXSMICON, scale.dpi);
    scale.smallIconHeight = SmallIconSide(SM_CYSMICON, scale.dpi);
    return scale;
}
