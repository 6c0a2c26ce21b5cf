// Start-up and shutdown of the popup engine: its window classes, its list,
// its fonts and its threads. What popups read besides (the settings, the
// optional functions) is made ready before the engine starts, and let go
// after it stops, by the plug-in.
#include "popup/popup.h"
#include "popup/controls.h"
#include "popup/engine_state.h"
#include "popup/fonts.h"
#include "popup/list.h"
#include "popup/popup_thread.h"
#include "popup/record.h"
#include "popup/thread_pool.h"
#include "popup/window.h"
#include "base/player.h"

#include <string.h>

static bool RegisterPopupClass(void)
{
    WNDCLASSEXW wc;
    memset(&wc, 0, sizeof(wc));
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = PopupWndProc;
    wc.hInstance = gInstance;
    wc.hCursor = LoadCursorA(NULL, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)GetStockObject(LTGRAY_BRUSH);
    wc.lpszClassName = POPUP_CLASS;
    return RegisterClassExW(&wc) != 0;
}

bool PopupEngineInit(void)
{
    if (!RegisterPopupClass()) {
        ShowInfoMessage("Error: I could not register the PopUp Window class.\nThe plugin will not operate.");
        return false;
    }
    // Without it popups only lack their controls.
    RegisterControlClass();
    InitPopupList();
    InitPopupFonts();
    InitPopupThreads();
    InterlockedExchange(&gPopupEngine.stopping, 0);
    InterlockedExchange(&gPopupEngine.running, 1);
    StartPopupThreadPool();
    return true;
}

void PopupEngineShutdown(void)
{
    // A failed start set up nothing else: release only what it made.
    if (!InterlockedExchange(&gPopupEngine.running, 0))
        return;
    InterlockedExchange(&gPopupEngine.stopping, 1);

    // Threads waiting in the pool end; each open popup is destroyed by its
    // own thread, which then ends; a popup about to join the list sees the
    // engine stopping and goes by itself.
    StopPopupThreadPool();
    RemoveAllPopups();
    WaitForPopupThreads();
    DeletePopupList();
    ReleasePopupThreadPool();

    ReleasePopupFonts();
    UnregisterClassW(POPUP_CLASS, gInstance);
    UnregisterControlClass();
}

void ReleasePopupEngine(void)
{
    ReleasePopupThreads();
}
