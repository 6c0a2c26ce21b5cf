// The work area the popups stack in: the primary monitor's, the player's
// monitor's or the pointer's monitor's, as the Monitor setting says. Taken
// afresh for every placement pass, so a stack follows the player to
// another monitor.
#ifndef TUNEBELL_POPUP_WORK_AREA_H
#define TUNEBELL_POPUP_WORK_AREA_H

#include "base/monitors.h"

// The work area for a Monitor setting: the player's window or the pointer
// picks the monitor, and the primary work area stands in for a monitor
// that is not there. Pure.
RECT ChooseWorkArea(int monitorSetting, const MonitorAreas *monitors, int count,
                    const RECT *primaryWork, const RECT *playerWindow, POINT pointer);

// The work area for this placement pass, from the system's monitors now.
RECT PopupWorkArea(void);

#endif
