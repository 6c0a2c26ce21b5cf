#include "host/plugin_patches.h"
#include "host/iat_hook.h"
#include "plugin/track_format.h"

// One step more than the plug-in's 400 ms between two events it acts on.
static const DWORD kPastThrottleMs = 401;

static volatile LONG gClockOffset;
static volatile LONG gClockStands;
static volatile DWORD gClockStandsAt;

static DWORD WINAPI RedirectedGetTickCount(void)
{
    return gClockStands ? gClockStandsAt : GetTickCount() + (DWORD)gClockOffset;
}

bool PlayerRedirectPluginClock()
{
    InterlockedExchange(&gClockStands, 0);
    return IatReplaceImport(PlayerPluginModule(), "kernel32.dll", "GetTickCount",
                            (void *)RedirectedGetTickCount) > 0;
}

void PlayerAdvancePluginClock(DWORD ms)
{
    if (gClockStands)
        gClockStandsAt += ms;
    else
        InterlockedExchangeAdd(&gClockOffset, (LONG)ms);
}

void PlayerSetPluginClock(DWORD now)
{
    gClockStandsAt = now;
    InterlockedExchange(&gClockStands, 1);
}

DWORD PlayerPluginClock()
{
    return RedirectedGetTickCount();
}

void PlayerStartTrackPastThrottle()
{
    PlayerAdvancePluginClock(kPastThrottleMs);
    PlayerStartTrack();
}

void PlayerStartTrackPastThrottle(const PlayerTrack &track)
{
    PlayerSetTrack(track);
    PlayerStartTrackPastThrottle();
}

// Only the settle wait: a popup's wait for its cover, say, stays as it is.
static DWORD WINAPI QuickWaitForSingleObject(HANDLE object, DWORD ms)
{
    return WaitForSingleObject(object, ms == TRACK_QUERY_DELAY ? 0 : ms);
}

bool PlayerSkipSettleWait()
{
    return IatReplaceImport(PlayerPluginModule(), "kernel32.dll", "WaitForSingleObject",
                            (void *)QuickWaitForSingleObject) > 0;
}
