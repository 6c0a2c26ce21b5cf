// The full-screen test: the foreground window's place, and the shell's word.
#include "plugin/fullscreen.h"
#include "base/monitors.h"
#include "base/optional_functions.h"
#include "popup/popup.h"

static bool IsShellClass(const char *className)
{
    // The desktop's icons live in one of these, whichever has the foreground.
    return lstrcmpA(className, "Progman") == 0 || lstrcmpA(className, "WorkerW") == 0;
}

static bool Covers(const RECT *area, const RECT *monitor)
{
    return monitor->right > monitor->left && monitor->bottom > monitor->top &&
           area->left <= monitor->left && area->top <= monitor->top &&
           area->right >= monitor->right && area->bottom >= monitor->bottom;
}

bool IsFullScreenInFront(const ForegroundWindow *window, int userState)
{
    if (userState == USER_STATE_BUSY || userState == USER_STATE_DIRECT3D_FULLSCREEN ||
        userState == USER_STATE_PRESENTATION || userState == USER_STATE_QUIET_TIME)
        return true;
    if (!window || window->shell || IsShellClass(window->className))
        return false;
    if (window->ourProcess && lstrcmpA(window->className, POPUP_CLASS_A) == 0)
        return false;
    // The client area, not the window: a maximised window's frame reaches
    // past the work area, its caption keeps its client area below the top.
    return Covers(&window->area, &window->monitor);
}

// --- the system's side ----------------------------------------------------------

static int UserState(void)
{
    int state = USER_STATE_UNKNOWN;
    if (!pSHQueryUserNotificationState || FAILED(pSHQueryUserNotificationState(&state)))
        return USER_STATE_UNKNOWN;
    return state;
}

static bool IsShellWindow(HWND window)
{
    return window == GetDesktopWindow() || window == GetShellWindow();
}

bool FullScreenProgramInFront(void)
{
    int state = UserState();
    HWND foreground = GetForegroundWindow();
    if (!foreground)
        return IsFullScreenInFront(NULL, state);

    ForegroundWindow window;
    char className[64] = "";
    window.className = className;
    window.ourProcess = false;
    SetRectEmpty(&window.area);
    SetRectEmpty(&window.monitor);
    // The desktop has the foreground when nothing else has it (under Wine
    // without a window manager, nearly always): nothing more to look at.
    window.shell = IsShellWindow(foreground);
    if (window.shell)
        return IsFullScreenInFront(&window, state);
    if (!IsWindowVisible(foreground) || IsIconic(foreground))
        return IsFullScreenInFront(NULL, state);
    GetClassNameA(foreground, className, sizeof(className));
    DWORD process = 0;
    GetWindowThreadProcessId(foreground, &process);
    window.ourProcess = process == GetCurrentProcessId();
    GetClientRect(foreground, &window.area);
    MapWindowPoints(foreground, NULL, (POINT *)&window.area, 2);
    MonitorOfWindow(foreground, &window.monitor);
    return IsFullScreenInFront(&window, state);
}
