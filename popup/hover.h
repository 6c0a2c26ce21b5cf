// A popup the user is reading with the pointer on it stays open: while the
// pointer rests on it its close timer is held, and when the pointer leaves
// the popup gets its full time again. Only the pointer moving onto a popup
// holds it, not a popup that appears, or is re-placed, under a pointer
// that stands still.
#ifndef TUNEBELL_POPUP_HOVER_H
#define TUNEBELL_POPUP_HOVER_H

#include <windows.h>

// Kept in the popup's record; all zeros when the popup is made.
struct PopupHover {
    POINT pointerSeen;   // where the pointer was when last looked at
    POINT placedAt;      // where the popup was when last moved or shown
    HWND tracked;        // the popup or child whose leave notice is asked for
    BOOL held;           // the close timer is held
};

// The popup's window procedure hands on what it learns of the pointer:
// WM_SETCURSOR for a mouse move over the popup or one of its children...
void OnPointerOverPopup(HWND popup, HWND under);
// ...WM_MOUSELEAVE, with wParam the window it was meant for...
void OnPointerLeftPopup(HWND popup, HWND left);
// ...and WM_WINDOWPOSCHANGED: the popup moved under the pointer.
void OnPopupMovedUnderPointer(HWND popup, const WINDOWPOS *change);

// Around the show effect: where the pointer is before it, and after it
// whether the pointer came onto the popup meanwhile (moves seen during the
// show are judged only then, once the popup has its close timer).
void NotePointerBeforeShow(HWND popup);
void CheckPointerAfterShow(HWND popup);

// How often a held popup looks whether the pointer is still on it.
#define HOVER_CHECK_MS 250

// The popup's timer: true when the popup is held, and the tick only looked
// at the pointer (letting the popup go when the pointer is off it); false
// when the popup's time is up.
bool OnHeldPopupTimer(HWND popup);

// The popup thread's message loop: a child's leave notice goes to the popup
// itself, with the child in wParam (the children are plain statics).
void RouteLeaveNotice(MSG *msg, HWND popup);

// Whether this system tells a window that the pointer left it (Windows 98
// and NT 4 on).
bool PointerLeaveNoticeAvailable(void);

#endif
