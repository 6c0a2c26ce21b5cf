// The player's controls on a popup: previous, play/pause and next buttons
// over its right end once the pointer rests on it, the volume under the
// wheel with a bar that shows it for a moment, and play/pause on a middle
// click. None of it takes the focus or activates anything: the user goes on
// working where they were. All of it runs on the popup's own thread, and
// nothing of it when the Controls setting is off.
#ifndef TUNEBELL_POPUP_CONTROLS_H
#define TUNEBELL_POPUP_CONTROLS_H

#include <windows.h>

// The buttons' and the bar's window class, registered with the popup's.
#define CONTROL_CLASS L"PopUpControl"
bool RegisterControlClass(void);
void UnregisterControlClass(void);

struct PopupWindowRecord;

// The popup's window procedure tells them what its following of the pointer
// (popup/hover.h) came to: the pointer moved on the popup, and it is off it.
void ControlsPointerOver(HWND popup, PopupWindowRecord *record, POINT pointer);
void ControlsPointerLeft(HWND popup, PopupWindowRecord *record);

// The popup's window procedure, with the popup's record (NULL once it is
// destroyed): its controls' timers (true when the timer was theirs), the
// wheel its hook saw, and a static that painted over them.
bool OnControlsTimer(HWND popup, PopupWindowRecord *record, WPARAM id);
void OnPopupWheel(HWND popup, PopupWindowRecord *record);
void RepaintControls(const PopupWindowRecord *record);
// As the popup closes or is destroyed: the hook and the timers go.
void DropControls(HWND popup, PopupWindowRecord *record);
// The Controls setting changed: turned off, the buttons, the bar and the
// hook go at once, wherever the pointer is.
void ApplyControlsSetting(HWND popup, PopupWindowRecord *record);

// The popup thread's message loop: the wheel and the middle button over the
// popup or any part of it are the controls'. True when the message was taken.
bool RouteControlInput(const MSG *msg, HWND popup);

#endif
