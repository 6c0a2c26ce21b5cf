// One popup: its thread, its window and children, and how it closes.
#ifndef TUNEBELL_POPUP_WINDOW_H
#define TUNEBELL_POPUP_WINDOW_H

#include <windows.h>
#include "plugin/messages.h"
#include "popup/hover.h"
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
    BOOL Closing;        // from the close on: hides are the plug-in's own
    PopupHover Hover;    // the pointer on the popup
    HBITMAP Cover;       // the cover over the background, in IconStatic; NULL: the icon
};

// The popup's window class, registered by the engine (in UTF-16), and the
// same name for code that reads class names in ANSI.
#define POPUP_CLASS_A "PopUpWnd"
#define POPUP_CLASS L"" POPUP_CLASS_A

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
