// The work area the popups stack in: the primary monitor's, the player's
// monitor's or the pointer's monitor's, as the Monitor setting says. Taken
// afresh for every placement pass, so a stack follows the player to
// another monitor.
#ifndef TUNEBELL_POPUP_WORK_AREA_H
#define TUNEBELL_POPUP_WORK_AREA_H

#include <windows.h>

// One monitor as the system describes it, in screen coordinates: monitors
// left of or above the primary one have negative coordinates.
struct MonitorAreas {
    RECT monitor;   // the whole monitor
    RECT work;      // without the task bar and docked tool bars
};

// The monitor that holds the larger share of a window's rectangle, as the
// system's own choice for a window goes (the first of equal shares); -1
// when the window is on none. Pure.
int MonitorOfRect(const MonitorAreas *monitors, int count, const RECT *window);
// The monitor a point lies on (left and top edges in, right and bottom
// out); -1 when it is on none. Pure.
int MonitorOfPoint(const MonitorAreas *monitors, int count, POINT point);

// The work area for a Monitor setting: the player's window or the pointer
// picks the monitor, and the primary work area stands in for a monitor
// that is not there. Pure.
RECT ChooseWorkArea(int monitorSetting, const MonitorAreas *monitors, int count,
                    const RECT *primaryWork, const RECT *playerWindow, POINT pointer);

// The work area for this placement pass, from the system's monitors now.
RECT PopupWorkArea(void);
// The whole monitor a window is on (the one with the larger share of it).
// False when it is on none.
bool MonitorOfWindow(HWND window, RECT *monitor);

#endif
