// One popup on its thread: its window and children, its show, its message
// loop, and how it closes.
#ifndef TUNEBELL_POPUP_WINDOW_H
#define TUNEBELL_POPUP_WINDOW_H

#include <windows.h>
#include "popup/record.h"

// The copy of the plug-in's own icon (the track's and the dialog's popups
// show it) that a warm thread makes while it waits, at the small-icon size
// of the monitor the next popup will likely go to: copying an icon takes a
// millisecond, which the popup then need not wait for.
struct ReadyIcon {
    HICON source;          // the plug-in's icon as LoadIcon hands it out (shared)
    HICON copy;            // NULL once a popup took it
    int width, height;     // of the copy
};
void MakeReadyIcon(ReadyIcon *ready);
void DropReadyIcon(ReadyIcon *ready);

// Builds, shows and runs one popup on the calling thread until it is gone;
// a popup of the plug-in's own icon takes the ready copy, when there is one.
void RunPopup(PopupRequest *request, ReadyIcon *ready);
// Builds the popup hidden, for the monitor of the work area it will be
// placed in.
PopupWindowRecord *CreatePopupWindow(PopupRequest *request, const RECT *workArea, ReadyIcon *ready);
LRESULT CALLBACK PopupWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK DefaultPopupCallback(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PaintPopupBorder(HWND popup, HDC dc);
// The settings dialog changed what open popups show: each takes it up on
// its own thread.
void ApplySettingsToPopups(void);

#endif
