// Choosing the monitor whose work area the popups use.
#include "popup/work_area.h"
#include "base/player.h"
#include "settings/settings.h"

#include <limits.h>

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
