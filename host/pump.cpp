// Waiting while still answering the plug-in: every wait pumps, since plug-in
// threads block in SendMessage until the player's thread does.
#include "host/player.h"

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

bool WaitUntil(const std::function<bool()> &cond, DWORD timeoutMs, DWORD pollMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        PlayerPump();
        if (cond())
            return true;
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs)
            return cond();
        DWORD slice = timeoutMs - elapsed;
        MsgWaitForMultipleObjectsEx(0, NULL, slice < pollMs ? slice : pollMs, QS_ALLINPUT,
                                    MWMO_INPUTAVAILABLE);
    }
}

void PlayerPumpFor(DWORD ms)
{
    WaitUntil([] { return false; }, ms);
}

static DWORD WINAPI RunMeanwhile(LPVOID parameter)
{
    (*(const std::function<void()> *)parameter)();
    return 0;
}

void PlayerBusyWhile(const std::function<void()> &meanwhile)
{
    HANDLE thread = CreateThread(NULL, 0, RunMeanwhile, (LPVOID)&meanwhile, 0, NULL);
    if (!thread)
        return;
    // Neither pumping nor answering what is sent here: a player busy with a
    // long task of its own.
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
}
