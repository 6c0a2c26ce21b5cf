// Waiting on the player's thread while still answering the plug-in: every
// wait pumps, since plug-in threads block in SendMessage until it does.
#include "host/player.h"

// How often a condition is looked at when no message wakes the thread.
static const DWORD kPollMs = 5;

void PlayerPump()
{
    MSG message;
    // PeekMessage also runs the messages other threads send to this one.
    while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
        // Nothing here ends on WM_QUIT: the tests and the demo own the loop.
        if (message.message == WM_QUIT)
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

bool PlayerWaitFor(bool (*cond)(void *ctx), void *ctx, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        PlayerPump();
        if (cond && cond(ctx))
            return true;
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs)
            return cond ? cond(ctx) : false;
        DWORD slice = timeoutMs - elapsed;
        if (slice > kPollMs)
            slice = kPollMs;
        MsgWaitForMultipleObjectsEx(0, NULL, slice, QS_ALLINPUT,
                                    MWMO_INPUTAVAILABLE);
    }
}

void PlayerPumpFor(DWORD ms)
{
    PlayerWaitFor(NULL, NULL, ms);
}
