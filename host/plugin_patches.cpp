#include "host/plugin_patches.h"
#include "host/iat_hook.h"
#include "host/media_double.h"
#include "host/player_internal.h"
#include "plugin/track_format.h"

#include <string.h>

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

// What Windows 10 answers where Wine differs: no wine_get_version in ntdll,
// and a CreateRandomAccessStreamOverStream that works (Wine 8's raises).
static FARPROC WINAPI Windows10GetProcAddress(HMODULE module, LPCSTR name)
{
    if (HIWORD((DWORD_PTR)name) != 0) {
        if (strcmp(name, "wine_get_version") == 0)
            return NULL;
        if (strcmp(name, "CreateRandomAccessStreamOverStream") == 0)
            return MediaDoubleStreamFunction();
    }
    return GetProcAddress(module, name);
}

bool PatchPluginForMediaDouble(void)
{
    return PlayerPluginModule() && IatReplaceImport(PlayerPluginModule(), "kernel32.dll", "GetProcAddress",
                                                    (void *)Windows10GetProcAddress) > 0;
}
