// One popup on its thread: its window and children, its show, its message
// loop, and how it closes.
#ifndef TUNEBELL_POPUP_WINDOW_H
#define TUNEBELL_POPUP_WINDOW_H

#include <windows.h>
#include "popup/record.h"

// Builds, shows and runs one popup on the calling thread until it is gone.
void RunPopup(PopupRequest *request);
PopupWindowRecord *CreatePopupWindow(PopupRequest *request);
LRESULT CALLBACK PopupWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK DefaultPopupCallback(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PaintPopupBorder(HWND popup, HDC dc);

#endif
