// The monitors as the system lists them, and which of them a window or a
// point is on.
#ifndef TUNEBELL_BASE_MONITORS_H
#define TUNEBELL_BASE_MONITORS_H

#include <windows.h>

// One monitor as the system describes it, in screen coordinates: monitors
// left of or above the primary one have negative coordinates.
struct MonitorAreas {
    RECT monitor;   // the whole monitor
    RECT work;      // without the task bar and docked tool bars
};

// More monitors than this are not told apart: the later ones count as none.
#define MONITORS_TOLD_APART 16

struct MonitorList {
    MonitorAreas areas[MONITORS_TOLD_APART];
    int count;
};

// The monitor that holds the larger share of a window's rectangle, as the
// system's own choice for a window goes (the first of equal shares); -1
// when the window is on none. Pure.
int MonitorOfRect(const MonitorAreas *monitors, int count, const RECT *window);
// The monitor a point lies on (left and top edges in, right and bottom
// out); -1 when it is on none. Pure.
int MonitorOfPoint(const MonitorAreas *monitors, int count, POINT point);

// The system's monitors now; returns how many.
int ListMonitors(MonitorList *list);
// The whole monitor a window is on (the one with the larger share of it).
// False when it is on none.
bool MonitorOfWindow(HWND window, RECT *monitor);

#endif
