#include "host/plugin_patches.h"
#include "host/iat_hook.h"
#include "host/player.h"

static volatile LONG gClockOffset;

static DWORD WINAPI OffsetGetTickCount(void)
{
    return GetTickCount() + (DWORD)gClockOffset;
}

bool PlayerOffsetPluginClock()
{
    return IatReplaceImport(PlayerPluginModule(), "kernel32.dll", "GetTickCount",
                            (void *)OffsetGetTickCount) > 0;
}

void PlayerAdvancePluginClock(DWORD ms)
{
    InterlockedExchangeAdd(&gClockOffset, (LONG)ms);
}

static DWORD WINAPI QuickWaitForSingleObject(HANDLE object, DWORD ms)
{
    return WaitForSingleObject(object, ms == INFINITE ? INFINITE : 0);
}

bool PlayerSkipSettleWait()
{
    return IatReplaceImport(PlayerPluginModule(), "kernel32.dll", "WaitForSingleObject",
                            (void *)QuickWaitForSingleObject) > 0;
}
