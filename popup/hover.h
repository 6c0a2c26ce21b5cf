// A popup the user is reading with the pointer on it stays open: while the
// pointer rests on it its close timer is held, and when the pointer leaves
// the popup gets its full time again. The rules are in popup/hover_rules.h;
// these hand them what the popup's window learns of the pointer and do what
// they say.
#ifndef TUNEBELL_POPUP_HOVER_H
#define TUNEBELL_POPUP_HOVER_H

#include <windows.h>

// The popup's window procedure hands on WM_SETCURSOR for a mouse move over
// the popup or one of its children, which counts when the real pointer is
// on the popup...
void OnPointerOverPopup(HWND popup);
// ...WM_MOUSELEAVE, with wParam the window it was meant for...
void OnPointerLeftPopup(HWND popup, HWND left);
// ...and WM_WINDOWPOSCHANGED: the popup moved under the pointer.
void OnPopupMovedUnderPointer(HWND popup, const WINDOWPOS *change);

// How often a popup that follows the pointer looks whether the pointer is
// still on it, and its timer's tick: true when the timer was that one.
#define HOVER_CHECK_MS 250
bool OnPointerCheckTimer(HWND popup, WPARAM id);

// Around the show effect: where the pointer is before it, and after it
// whether the pointer came onto the popup meanwhile (moves seen during the
// show are judged only then, once the popup has its close timer).
void NotePointerBeforeShow(HWND popup);
void CheckPointerAfterShow(HWND popup);

// The popup, or the child of it, under the pointer; NULL when the pointer
// is elsewhere.
HWND PartUnderPointer(HWND popup);

// The popup thread's message loop: a child's leave notice goes to the popup
// itself, with the child in wParam (the children are plain statics).
void RouteLeaveNotice(MSG *msg, HWND popup);

#endif
