// A popup the user is reading with the pointer on it stays open: while the
// pointer rests on it its close timer is held, and when the pointer leaves
// the popup gets its full time again. The rules are in popup/hover_rules.h;
// these hand them what the popup's window learns of the pointer and do what
// they say. What comes of it for the popup's controls they report to the
// window procedure, which tells the controls (popup/controls.h).
#ifndef TUNEBELL_POPUP_HOVER_H
#define TUNEBELL_POPUP_HOVER_H

#include <windows.h>

struct PopupWindowRecord;

// What following the pointer came to, for the controls.
enum PointerNewsKind {
    POINTER_NO_NEWS,
    POINTER_ON_POPUP,    // followed, and on the popup at `at`
    POINTER_LET_GO,      // the popup let the pointer go: off it, or not to be followed
};
struct PointerNews {
    PointerNewsKind kind;
    POINT at;
};

// The popup's window procedure hands on WM_SETCURSOR for a mouse move over
// the popup or one of its children, which counts when the real pointer is
// on the popup...
PointerNews OnPointerOverPopup(HWND popup, PopupWindowRecord *record);
// ...WM_MOUSELEAVE, with wParam the window it was meant for...
PointerNews OnPointerLeftPopup(HWND popup, PopupWindowRecord *record, HWND left);
// ...and WM_WINDOWPOSCHANGED: the popup moved under the pointer.
void OnPopupMovedUnderPointer(PopupWindowRecord *record, const WINDOWPOS *change);

// How often a popup that follows the pointer looks whether the pointer is
// still on it (POINTER_CHECK_TIMER_ID), and that timer's tick.
#define HOVER_CHECK_MS 250
PointerNews OnPointerCheckTimer(HWND popup, PopupWindowRecord *record);

// Before the show effect, where the pointer is; after it, the popup looks
// whether the pointer came onto it meanwhile, as OnPointerOverPopup (moves
// seen during the show are judged only then, once the popup has its close
// timer).
void NotePointerBeforeShow(PopupWindowRecord *record);

// The popup thread's message loop: a child's leave notice goes to the popup
// itself, with the child in wParam (the children are plain statics).
void RouteLeaveNotice(MSG *msg, HWND popup);

#endif
