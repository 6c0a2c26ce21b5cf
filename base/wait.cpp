#include "base/wait.h"

bool WaitAnsweringSentMessages(HANDLE object, DWORD timeout)
{
    DWORD count = object ? 1 : 0;
    DWORD start = GetTickCount();
    for (;;) {
        DWORD left = INFINITE;
        if (timeout != INFINITE) {
            DWORD spent = GetTickCount() - start;
            left = spent < timeout ? timeout - spent : 0;
        }
        DWORD result = MsgWaitForMultipleObjects(count, &object, FALSE, left, QS_SENDMESSAGE);
        if (count && result == WAIT_OBJECT_0)
            return true;
        if (result == WAIT_OBJECT_0 + count) {
            MSG msg;
            PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        } else if (result != WAIT_TIMEOUT || left == 0) {
            return false;   // the time is up, or the handle is bad
        }
        // Otherwise the wait ended a tick before the tick count shows the
        // time as spent: the count decides.
    }
}
