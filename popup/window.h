// One popup: its thread, its window and children, and how it closes.
#ifndef TUNEBELL_POPUP_WINDOW_H
#define TUNEBELL_POPUP_WINDOW_H

#include <windows.h>
#include "popup/request.h"

// Kept in the popup window's user data; owned by the popup list once listed.
struct PopupWindowRecord {
    HWND Popup;
    HWND IconStatic;
    HWND TitleStatic;
    HWND TimeStatic;     // NULL unless DisplayTime is on
    HWND InfoStatic;     // NULL unless ShowText is on
    HWND BackStatic;
    PopupRequest *Request;
    HBRUSH BackBrush;    // made at the first paint that needs it
    BOOL Showing;        // while the show effect plays; closes wait for it
};

#define UM_POPUP_CLOSE   0x601
#define UM_POPUP_CREATED 0x602
// Posted by the shutdown: destroy at once, no effect, no re-placing.
#define UM_POPUP_DESTROY 0x603
// Posted by the thread that re-placed the popups: move to the place stored
// for this popup in the list (wParam: see MoveToStoredPlace).
#define UM_POPUP_PLACE   (WM_APP + 0x100)
// To a warm thread waiting in the pool: lParam is the request to show.
#define UM_POOL_RUN      (WM_APP + 0x101)
// To a warm thread waiting in the pool: the engine stops, the thread ends.
#define UM_POOL_END      (WM_APP + 0x102)
// To a warm thread's hidden window, handled after its popup's show: start
// the next spare when one is wanted.
#define UM_POOL_REFILL   (WM_APP + 0x103)

#define POPUP_TIMER_ID 26378

DWORD WINAPI PopupThreadProc(LPVOID requestCopy);
// Builds, shows and runs one popup on the calling thread until it is gone.
void RunPopup(PopupRequest *request);
PopupWindowRecord *CreatePopupWindow(PopupRequest *request);
LRESULT CALLBACK PopupWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK DefaultPopupCallback(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PaintPopupBorder(HWND popup, HDC dc);
PopupWindowRecord *GetPopupRecord(HWND popup);

// The close timer's period in ms for a request's Timeout (0 takes the
// Seconds setting); 0 when the popup stays until it is closed. Pure.
UINT CloseTimerPeriod(int timeout, int seconds);

#endif
