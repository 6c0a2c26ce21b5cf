// Start-up and shutdown of the popup engine: its window classes, its list,
// its fonts and its threads. What popups read besides (the settings, the
// optional functions) is made ready before the engine starts, and let go
// after it stops, by the plug-in.
#include "popup/engine.h"
#include "popup/controls.h"
#include "popup/fonts.h"
#include "popup/list.h"
#include "popup/popup_thread.h"
#include "popup/record.h"
#include "popup/thread_pool.h"
#include "popup/window.h"
#include "base/player.h"

#include <string.h>

HFONT PopupFont;
HFONT PopupBoldFont;
static LOGFONTA gPopupLogFont;
static LOGFONTA gPopupBoldLogFont;

volatile LONG gPopupEngineRunning;
volatile LONG gPopupEngineStopping;

bool RegisterPopupClass(void)
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

void CreatePopupFonts(void)
{
    if (PopupFont)
        DeleteObject(PopupFont);
    if (PopupBoldFont)
        DeleteObject(PopupBoldFont);
    memset(&gPopupLogFont, 0, sizeof(gPopupLogFont));
    gPopupLogFont.lfHeight = -11;
    gPopupLogFont.lfWeight = FW_NORMAL;
    gPopupLogFont.lfCharSet = DEFAULT_CHARSET;
    gPopupLogFont.lfPitchAndFamily = FF_SWISS | DEFAULT_PITCH;
    lstrcpyA(gPopupLogFont.lfFaceName, "Tahoma");
    gPopupBoldLogFont = gPopupLogFont;
    gPopupBoldLogFont.lfWeight = FW_BOLD;
    PopupFont = CreateFontIndirectA(&gPopupLogFont);
    PopupBoldFont = CreateFontIndirectA(&gPopupBoldLogFont);
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
    CreatePopupFonts();
    InitScaledFonts();
    InitPopupThreads();
    InterlockedExchange(&gPopupEngineStopping, 0);
    InterlockedExchange(&gPopupEngineRunning, 1);
    StartPopupThreadPool();
    return true;
}

void PopupEngineShutdown(void)
{
    // A failed start set up nothing else: release only what it made.
    if (!InterlockedExchange(&gPopupEngineRunning, 0))
        return;
    InterlockedExchange(&gPopupEngineStopping, 1);

    // Threads waiting in the pool end; each open popup is destroyed by its
    // own thread, which then ends; a popup about to join the list sees the
    // engine stopping and goes by itself.
    StopPopupThreadPool();
    RemoveAllPopups();
    WaitForPopupThreads();
    DeletePopupList();
    ReleasePopupThreadPool();

    ReleaseScaledFonts();
    DeleteObject(PopupFont);
    DeleteObject(PopupBoldFont);
    PopupFont = PopupBoldFont = NULL;
    UnregisterClassW(POPUP_CLASS, gInstance);
    UnregisterControlClass();
}

void ReleasePopupEngine(void)
{
    ReleasePopupThreads();
}
