// The one wait that keeps answering other threads' sent messages.
#include <gtest/gtest.h>

#include "base/wait.h"

namespace {

LONG gAnswered;

LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_APP) {
        gAnswered++;
        return 42;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

DWORD WINAPI SendThenEnd(LPVOID window)
{
    // Blocks until the waiting thread answers: the thread ends only then.
    return SendMessageA((HWND)window, WM_APP, 0, 0) == 42 ? 0 : 1;
}

}  // namespace

TEST(WaitAnsweringSentMessages, AnswersSentMessagesUntilTheObjectIsSignalled)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = CountingProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "WaitTestWindow";
    ASSERT_TRUE(RegisterClassA(&wc));
    HWND window = CreateWindowExA(0, wc.lpszClassName, NULL, 0, 0, 0, 0, 0, HWND_MESSAGE, NULL,
                                  wc.hInstance, NULL);
    ASSERT_TRUE(window != NULL);
    gAnswered = 0;

    HANDLE sender = CreateThread(NULL, 0, SendThenEnd, window, 0, NULL);
    ASSERT_TRUE(sender != NULL);
    // Without the answer the sender never ends and the limit is reached.
    EXPECT_TRUE(WaitAnsweringSentMessages(sender, 10000));
    EXPECT_EQ(1, gAnswered);
    DWORD code = 1;
    GetExitCodeThread(sender, &code);
    EXPECT_EQ(0u, code);

    CloseHandle(sender);
    DestroyWindow(window);
    UnregisterClassA(wc.lpszClassName, wc.hInstance);
}

TEST(WaitAnsweringSentMessages, EndsAtTheLimitOrOnABadHandle)
{
    // With no object it is a pause that lasts its whole time.
    DWORD start = GetTickCount();
    EXPECT_FALSE(WaitAnsweringSentMessages(NULL, 30));
    EXPECT_GE(GetTickCount() - start, 30u);

    // No time at all still looks at the object once.
    HANDLE event = CreateEventA(NULL, TRUE, FALSE, NULL);
    EXPECT_FALSE(WaitAnsweringSentMessages(event, 0));
    SetEvent(event);
    EXPECT_TRUE(WaitAnsweringSentMessages(event, 0));
    CloseHandle(event);
    // A handle closed already: no wait for ever.
    EXPECT_FALSE(WaitAnsweringSentMessages(event, INFINITE));
}
