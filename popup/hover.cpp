// Holding a popup's close timer while the pointer rests on the popup.
//
// The pointer's moves over a popup reach its window procedure as
// WM_SETCURSOR, from the popup and (through the children's default
// processing) from each child. The system also sends one when a window
// appears or moves under a pointer that stands still, so a move counts only
// when the pointer is somewhere else than where it was last seen, and the
// popup notes where the pointer is each time it moves or shows.
#include "popup/hover.h"
#include "popup/window.h"
#include "settings/settings.h"

typedef BOOL (WINAPI *TrackMouseEventProc)(LPTRACKMOUSEEVENT);

// Looked up when needed: Windows 95 lacks it. user32 is loaded with us.
static TrackMouseEventProc LookUpTrackMouseEvent(void)
{
    HMODULE user32 = GetModuleHandleA("user32.dll");
    return user32 ? (TrackMouseEventProc)(void *)GetProcAddress(user32, "TrackMouseEvent") : NULL;
}

bool PointerLeaveNoticeAvailable(void)
{
    return LookUpTrackMouseEvent() != NULL;
}

static bool IsPartOf(HWND window, HWND popup)
{
    return window && (window == popup || GetParent(window) == popup);
}

// The popup, or the child of it, under the pointer; NULL when the pointer
// is elsewhere.
static HWND PartUnderPointer(HWND popup)
{
    POINT pointer;
    if (!GetCursorPos(&pointer))
        return NULL;
    HWND under = WindowFromPoint(pointer);
    return IsPartOf(under, popup) ? under : NULL;
}

static void Release(HWND popup, PopupWindowRecord *record)
{
    record->Hover.held = FALSE;
    record->Hover.tracked = NULL;
    UINT period = CloseTimerPeriod(record->Request->Timeout, gSettings.Seconds);
    if (period)
        SetTimer(popup, POPUP_TIMER_ID, period, NULL);
}

// Asks to hear when the pointer leaves the part of the popup it is on, and
// lets the popup go once the pointer is off it. A notice asked for a window
// the pointer has just left may never come, so the pointer is looked at
// again after each request.
static void FollowPointer(HWND popup, PopupWindowRecord *record, HWND under)
{
    TrackMouseEventProc track = LookUpTrackMouseEvent();
    for (int tries = 0; tries < 3; tries++) {
        if (!under || !track) {
            Release(popup, record);
            return;
        }
        if (under == record->Hover.tracked)
            return;
        TRACKMOUSEEVENT request;
        request.cbSize = sizeof(request);
        request.dwFlags = TME_LEAVE;
        request.hwndTrack = under;
        request.dwHoverTime = 0;
        if (!track(&request)) {
            Release(popup, record);
            return;
        }
        record->Hover.tracked = under;
        under = PartUnderPointer(popup);
    }
}

void OnPointerOverPopup(HWND popup, HWND under)
{
    PopupWindowRecord *record = GetPopupRecord(popup);
    POINT pointer;
    if (!record || !record->Request || !GetCursorPos(&pointer))
        return;
    // Moves during the show are judged once it is over.
    if (record->Showing)
        return;
    PopupHover *hover = &record->Hover;
    bool moved = pointer.x != hover->pointerSeen.x || pointer.y != hover->pointerSeen.y;
    hover->pointerSeen = pointer;
    if (!hover->held) {
        // One that stays until clicked has no timer to hold.
        if (!moved || !gSettings.HoldOnHover || !PointerLeaveNoticeAvailable() ||
            !CloseTimerPeriod(record->Request->Timeout, gSettings.Seconds))
            return;
        // While held the popup's timer looks at the real pointer: a leave
        // notice never comes when a window of another program covers the
        // popup under a still pointer.
        SetTimer(popup, POPUP_TIMER_ID, HOVER_CHECK_MS, NULL);
        hover->held = TRUE;
    }
    FollowPointer(popup, record, IsPartOf(under, popup) ? under : NULL);
}

void OnPointerLeftPopup(HWND popup, HWND left)
{
    PopupWindowRecord *record = GetPopupRecord(popup);
    // A notice for a part the pointer had already left behind is stale.
    if (!record || !record->Request || !record->Hover.held || left != record->Hover.tracked)
        return;
    record->Hover.tracked = NULL;
    FollowPointer(popup, record, PartUnderPointer(popup));
}

static void NotePointer(PopupWindowRecord *record)
{
    POINT pointer;
    if (GetCursorPos(&pointer))
        record->Hover.pointerSeen = pointer;
}

void OnPopupMovedUnderPointer(HWND popup, const WINDOWPOS *change)
{
    PopupWindowRecord *record = GetPopupRecord(popup);
    if (!record || !change || (change->flags & SWP_NOMOVE))
        return;
    // Only a real move brings the popup under the pointer. The display
    // driver (Wine's, as it hears back from the X server) and other programs
    // also send changes that leave the popup where it is; taken as moves,
    // they would swallow a move of the pointer that came just before. The
    // show is judged around the show effect instead.
    PopupHover *hover = &record->Hover;
    if (change->x == hover->placedAt.x && change->y == hover->placedAt.y)
        return;
    hover->placedAt.x = change->x;
    hover->placedAt.y = change->y;
    if (!record->Showing)
        NotePointer(record);
}

void NotePointerBeforeShow(HWND popup)
{
    PopupWindowRecord *record = GetPopupRecord(popup);
    if (record)
        NotePointer(record);
}

void CheckPointerAfterShow(HWND popup)
{
    HWND under = PartUnderPointer(popup);
    if (under)
        OnPointerOverPopup(popup, under);
}

void RouteLeaveNotice(MSG *msg, HWND popup)
{
    if (msg->message != WM_MOUSELEAVE || !IsPartOf(msg->hwnd, popup))
        return;
    msg->wParam = (WPARAM)msg->hwnd;
    msg->hwnd = popup;
}

bool OnHeldPopupTimer(HWND popup)
{
    PopupWindowRecord *record = GetPopupRecord(popup);
    if (!record || !record->Request || !record->Hover.held)
        return false;
    if (!PartUnderPointer(popup))
        Release(popup, record);
    return true;
}
