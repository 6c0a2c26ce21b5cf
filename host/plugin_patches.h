// Patches of the loaded plug-in's imports for programs that need many popups
// fast: a clock that can be moved past the plug-in's 400 ms event throttle,
// and no settle wait before the plug-in asks the player about a new track.
#pragma once

#include <windows.h>

// The plug-in's GetTickCount becomes the real tick count plus an offset that
// only grows: fades and delays keep real time, while moving the offset on by
// more than 400 ms makes the next player event due at once. False when the
// loaded plug-in does not import GetTickCount.
bool PlayerOffsetPluginClock();
void PlayerAdvancePluginClock(DWORD ms);

// Waits of the loaded plug-in that have a time-out end at once (still
// reporting a signalled object); waits without one stay as they are. The
// only such wait is the worker's settle wait before it asks the player.
// False when the plug-in does not import WaitForSingleObject.
bool PlayerSkipSettleWait();
