// Holding a popup's close timer while the pointer rests on the popup: the
// Win32 side of the rules in popup/hover_rules.cpp.
//
// The pointer's moves over a popup reach its window procedure as
// WM_SETCURSOR, from the popup and (through the children's default
// processing) from each child.
#include "popup/hover.h"
#include "popup/record.h"
#include "settings/settings.h"

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

static void ArmCloseTimer(HWND popup, const PopupWindowRecord *record)
{
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
    PopupHover *hover = &record->Hover;
    for (int tries = 0; tries < 3; tries++) {
        HoverAction action = HoverFollowStep(hover, under);
        if (action == HOVER_RELEASE)
            ArmCloseTimer(popup, record);
        if (action != HOVER_FOLLOW)
            return;
        TRACKMOUSEEVENT request;
        request.cbSize = sizeof(request);
        request.dwFlags = TME_LEAVE;
        request.hwndTrack = under;
        request.dwHoverTime = 0;
        if (!TrackMouseEvent(&request)) {
            HoverLetGo(hover);
            ArmCloseTimer(popup, record);
            return;
        }
        HoverFollowing(hover, under);
        under = PartUnderPointer(popup);
    }
}

void OnPointerOverPopup(HWND popup, HWND under)
{
    PopupWindowRecord *record = GetPopupRecord(popup);
    POINT pointer;
    if (!record || !record->Request || !GetCursorPos(&pointer))
        return;
    HoverConditions conditions;
    conditions.showing = record->Showing != FALSE;
    conditions.holdOnHover = gSettings.HoldOnHover != 0;
    conditions.closesByItself = CloseTimerPeriod(record->Request->Timeout, gSettings.Seconds) != 0;
    HoverAction action = HoverPointerOver(&record->Hover, pointer, &conditions);
    // While held the popup's timer looks at the real pointer: a leave notice
    // never comes when a window of another program covers the popup under a
    // still pointer.
    if (action == HOVER_HOLD)
        SetTimer(popup, POPUP_TIMER_ID, HOVER_CHECK_MS, NULL);
    if (action != HOVER_NOTHING)
        FollowPointer(popup, record, IsPartOf(under, popup) ? under : NULL);
}

void OnPointerLeftPopup(HWND popup, HWND left)
{
    PopupWindowRecord *record = GetPopupRecord(popup);
    if (record && record->Request && HoverPointerLeft(&record->Hover, left) == HOVER_FOLLOW)
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
    POINT to = { change->x, change->y };
    if (HoverPopupMoved(&record->Hover, to, record->Showing != FALSE))
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
    if (!record || !record->Request)
        return false;
    PopupHover *hover = &record->Hover;
    HoverAction action = HoverTimerTick(hover, hover->held ? PartUnderPointer(popup) : NULL);
    if (action == HOVER_RELEASE)
        ArmCloseTimer(popup, record);
    return action != HOVER_CLOSE;
}
