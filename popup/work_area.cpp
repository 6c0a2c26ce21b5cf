// Choosing the monitor whose work area the popups use.
#include "popup/work_area.h"
#include "base/player.h"
#include "settings/settings.h"

#include <limits.h>

// More monitors than this are not told apart: the later ones count as none.
#define MONITORS_TOLD_APART 16

static LONGLONG SharedArea(const RECT *a, const RECT *b)
{
    LONG width = (a->right < b->right ? a->right : b->right) - (a->left > b->left ? a->left : b->left);
    LONG height = (a->bottom < b->bottom ? a->bottom : b->bottom) - (a->top > b->top ? a->top : b->top);
    if (width <= 0 || height <= 0)
        return 0;
    return (LONGLONG)width * height;
}

int MonitorOfRect(const MonitorAreas *monitors, int count, const RECT *window)
{
    int best = -1;
    LONGLONG bestArea = 0;
    for (int i = 0; i < count; i++) {
        LONGLONG area = SharedArea(&monitors[i].monitor, window);
        if (area > bestArea) {
            best = i;
            bestArea = area;
        }
    }
    return best;
}

int MonitorOfPoint(const MonitorAreas *monitors, int count, POINT point)
{
    for (int i = 0; i < count; i++) {
        const RECT &m = monitors[i].monitor;
        if (point.x >= m.left && point.x < m.right && point.y >= m.top && point.y < m.bottom)
            return i;
    }
    return -1;
}

RECT ChooseWorkArea(int monitorSetting, const MonitorAreas *monitors, int count,
                    const RECT *primaryWork, const RECT *playerWindow, POINT pointer)
{
    int chosen = -1;
    if (monitorSetting == MONITOR_PLAYER)
        chosen = MonitorOfRect(monitors, count, playerWindow);
    else if (monitorSetting == MONITOR_POINTER)
        chosen = MonitorOfPoint(monitors, count, pointer);
    return chosen >= 0 ? monitors[chosen].work : *primaryWork;
}

// --- the system's side ----------------------------------------------------------

struct MonitorList {
    MonitorAreas areas[MONITORS_TOLD_APART];
    int count;
};

static BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM param)
{
    MonitorList *list = (MonitorList *)param;
    MONITORINFO info;
    info.cbSize = sizeof(info);
    if (list->count < MONITORS_TOLD_APART && GetMonitorInfoA(monitor, &info)) {
        list->areas[list->count].monitor = info.rcMonitor;
        list->areas[list->count].work = info.rcWork;
        list->count++;
    }
    return list->count < MONITORS_TOLD_APART;
}

static int ListMonitors(MonitorList *list)
{
    list->count = 0;
    EnumDisplayMonitors(NULL, NULL, AddMonitor, (LPARAM)list);
    return list->count;
}

bool MonitorOfWindow(HWND window, RECT *monitor)
{
    RECT r;
    if (!GetWindowRect(window, &r))
        return false;
    MonitorList list;
    int chosen = MonitorOfRect(list.areas, ListMonitors(&list), &r);
    if (chosen < 0)
        return false;
    *monitor = list.areas[chosen].monitor;
    return true;
}

// Where the player's main window is. A minimised window counts where it
// will be restored to, as the system's own choice of its monitor does; its
// restored place is kept relative to the primary work area.
static RECT PlayerWindowRect(const RECT *primaryWork)
{
    RECT r = { 0, 0, 0, 0 };
    if (!gHostWindow)
        return r;
    WINDOWPLACEMENT placement;
    placement.length = sizeof(placement);
    if (IsIconic(gHostWindow) && GetWindowPlacement(gHostWindow, &placement)) {
        r = placement.rcNormalPosition;
        if (!(GetWindowLongA(gHostWindow, GWL_EXSTYLE) & WS_EX_TOOLWINDOW))
            OffsetRect(&r, primaryWork->left, primaryWork->top);
        return r;
    }
    if (!GetWindowRect(gHostWindow, &r))
        SetRectEmpty(&r);
    return r;
}

RECT PopupWorkArea(void)
{
    RECT primaryWork;
    if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &primaryWork, 0))
        SetRect(&primaryWork, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    int setting = gSettings.Monitor;
    if (setting == MONITOR_PRIMARY)
        return primaryWork;

    MonitorList list;
    int count = ListMonitors(&list);
    RECT player = PlayerWindowRect(&primaryWork);
    POINT pointer = { 0, 0 };
    if (!GetCursorPos(&pointer))
        pointer.x = pointer.y = LONG_MIN;   // on no monitor: the primary one
    return ChooseWorkArea(setting, list.areas, count, &primaryWork, &player, pointer);
}
