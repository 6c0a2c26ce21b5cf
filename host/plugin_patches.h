// Patches of the loaded plug-in's imports for programs that drive it faster
// than real time: a clock of their own in place of its GetTickCount, and no
// settle wait before the plug-in asks the player about a new track.
#pragma once

#include "host/player.h"

// The plug-in's GetTickCount becomes a clock of the caller's: it runs with
// the real one plus an offset that only grows, until it is set, and then
// stands where it was set until set again. A running clock keeps fades and
// delays in real time while a step of the offset past the 400 ms throttle
// makes the next player event due at once; a standing one drives the
// throttle to the millisecond, for programs that play no fade. False when
// the loaded plug-in does not import GetTickCount.
bool PlayerRedirectPluginClock();
void PlayerAdvancePluginClock(DWORD ms);
void PlayerSetPluginClock(DWORD now);
DWORD PlayerPluginClock();
// The clock steps past the throttle, then a track starts (PlayerStartTrack).
void PlayerStartTrackPastThrottle();
void PlayerStartTrackPastThrottle(const PlayerTrack &track);

// The worker's settle wait before it asks the player ends at once (still
// reporting a signalled object); the plug-in's other waits, a popup's wait
// for its cover among them, stay as they are. False when the plug-in does
// not import WaitForSingleObject.
bool PlayerSkipSettleWait();
