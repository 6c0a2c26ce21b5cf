// The rules of the pointer on a popup: when a move of the pointer counts,
// when the popup starts to follow it (to hold its close timer, or for its
// controls, which show once the pointer rests), which part of the popup is
// followed, and when the popup is let go. Pure: the popup's window procedure
// hands on what it learns of the pointer (popup/hover.cpp) and does what
// these say. Only the pointer moving onto a popup counts, not a popup that
// appears, or is re-placed, under a pointer that stands still.
#ifndef TUNEBELL_POPUP_HOVER_RULES_H
#define TUNEBELL_POPUP_HOVER_RULES_H

#include <windows.h>

// Kept in the popup's record; all zeros when the popup is made.
struct PopupHover {
    POINT pointerSeen;   // where the pointer was when last looked at
    POINT placedAt;      // where the popup was when last moved or shown
    HWND tracked;        // the popup or child whose leave notice is asked for
    bool held;           // the close timer is held
    bool followed;       // the pointer is followed: held, or for the controls
};

// What following the pointer needs, when the pointer comes.
struct HoverConditions {
    bool showing;          // the show effect plays: moves are judged after it
    bool holdOnHover;      // the HoldOnHover setting
    bool closesByItself;   // the popup has a close timer to hold
    bool controls;         // the Controls setting: the pointer is followed for them
};

enum HoverAction {
    HOVER_NOTHING,
    HOVER_HOLD,      // the hold starts: kill the close timer, then follow the pointer
    HOVER_FOLLOW,    // follow the pointer: ask to hear when it leaves the part it is on
    HOVER_RELEASE,   // let go: a held close timer counts its full time again
};

// The pointer over the popup at `pointer` (a mouse move's WM_SETCURSOR). A
// move counts only when the pointer is somewhere else than where it was last
// seen: the system says the same when a window appears or moves under a
// pointer that stands still. HOVER_HOLD, HOVER_FOLLOW (followed already, or
// for the controls alone) or HOVER_NOTHING.
HoverAction HoverPointerOver(PopupHover *hover, POINT pointer, const HoverConditions *conditions);

// The notice that the pointer left `left`: HOVER_FOLLOW when it is for the
// part followed (no part is followed now), else HOVER_NOTHING:
// a notice for a part the pointer had already left behind is stale.
HoverAction HoverPointerLeft(PopupHover *hover, HWND left);

// Following the pointer, now on the popup's part `under` (NULL: off the
// popup): HOVER_RELEASE (the hold is over), HOVER_NOTHING when that part is
// followed already, HOVER_FOLLOW when a notice is to be asked for it; once
// asked, HoverFollowing, and HoverLetGo when the system refused.
HoverAction HoverFollowStep(PopupHover *hover, HWND under);
void HoverFollowing(PopupHover *hover, HWND part);
void HoverLetGo(PopupHover *hover);

// The check timer of a popup that follows the pointer went off, the pointer
// on the popup's part `under` (NULL: off the popup): HOVER_NOTHING while it
// is on the popup (or nothing is followed), HOVER_RELEASE (let go) once it
// is off it, covered or gone without a leave notice.
HoverAction HoverCheckTick(PopupHover *hover, HWND under);

// The popup moved to `to`. Only a real move brings it under the pointer:
// changes that leave it where it is (the display driver's, other
// programs') would otherwise swallow a move of the pointer that came just
// before. True when the pointer's place is to be noted (not during the
// show, which is judged around the show effect).
bool HoverPopupMoved(PopupHover *hover, POINT to, bool showing);

#endif
