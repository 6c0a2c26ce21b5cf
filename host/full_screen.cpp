// A program running full screen in front of everything, for the plug-in's
// quiet over games and films: a black window of the player's own.
#include "host/player.h"

HWND PlayerShowFullScreenWindow()
{
    HWND window = CreateWindowExA(0, "static", "Full screen", WS_POPUP | WS_VISIBLE | SS_BLACKRECT, 0, 0,
                                  GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), NULL, NULL,
                                  GetModuleHandleA(NULL), NULL);
    if (!window)
        return NULL;
    SetForegroundWindow(window);
    if (!WaitUntil([&] { return GetForegroundWindow() == window; }, 2000)) {
        DestroyWindow(window);
        return NULL;
    }
    return window;
}

void PlayerCloseFullScreenWindow(HWND window)
{
    DestroyWindow(window);
    PlayerPump();
}
