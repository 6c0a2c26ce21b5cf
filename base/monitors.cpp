// Listing the monitors, and finding a window's or a point's among them.
#include "base/monitors.h"

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

// --- the system's side ----------------------------------------------------------

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

int ListMonitors(MonitorList *list)
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
