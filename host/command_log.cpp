// The commands the plug-in sent to the main window, with their threads, in
// the order they were sent. Written from any plug-in thread, read by tests.
#include "host/player.h"
#include "host/player_internal.h"

static CRITICAL_SECTION gLogLock;
static bool gLogReady;
static PlayerCommand gLog[PLAYER_COMMAND_LOG_SIZE];
static int gLogCount;
static int gLogDropped;

void CommandLogInit()
{
    // Never deleted: a plug-in thread left running must not meet a dead lock.
    if (gLogReady)
        return;
    InitializeCriticalSection(&gLogLock);
    gLogReady = true;
}

int CommandLogAdd(int command, WPARAM wParam, DWORD threadId)
{
    if (!gLogReady)
        return -1;
    int index = -1;
    EnterCriticalSection(&gLogLock);
    if (gLogCount < PLAYER_COMMAND_LOG_SIZE) {
        index = gLogCount++;
        gLog[index].command = command;
        gLog[index].wParam = wParam;
        gLog[index].threadId = threadId;
        gLog[index].ms = 0;
    } else {
        gLogDropped++;
    }
    LeaveCriticalSection(&gLogLock);
    return index;
}

void CommandLogTook(int index, DWORD ms)
{
    if (!gLogReady || index < 0)
        return;
    EnterCriticalSection(&gLogLock);
    // A clear meanwhile may have given the entry to another command.
    if (index < gLogCount)
        gLog[index].ms = ms;
    LeaveCriticalSection(&gLogLock);
}

int PlayerCommandCount()
{
    if (!gLogReady)
        return 0;
    EnterCriticalSection(&gLogLock);
    int count = gLogCount;
    LeaveCriticalSection(&gLogLock);
    return count;
}

bool PlayerCommandAt(int index, PlayerCommand *out)
{
    if (!gLogReady)
        return false;
    EnterCriticalSection(&gLogLock);
    bool found = index >= 0 && index < gLogCount;
    if (found)
        *out = gLog[index];
    LeaveCriticalSection(&gLogLock);
    return found;
}

void PlayerClearCommands()
{
    if (!gLogReady)
        return;
    EnterCriticalSection(&gLogLock);
    gLogCount = 0;
    gLogDropped = 0;
    LeaveCriticalSection(&gLogLock);
}

int PlayerCommandsDropped()
{
    if (!gLogReady)
        return 0;
    EnterCriticalSection(&gLogLock);
    int dropped = gLogDropped;
    LeaveCriticalSection(&gLogLock);
    return dropped;
}
