// Following the pointer over a popup, to hold its close timer while the
// pointer rests on it and to show its controls: the Win32 side of the rules
// in popup/hover_rules.cpp.
//
// The pointer's moves over a popup reach its window procedure as
// WM_SETCURSOR, from the popup and (through the children's default
// processing) from each child.
#include "popup/hover.h"
#include "popup/controls.h"
#include "popup/record.h"
#include "settings/settings.h"

static bool IsPartOf(HWND window, HWND popup)
{
    return window && (window == popup || GetParent(window) == popup);
}

HWND PartUnderPointer(HWND popup)
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

// The popup has let the pointer go (it is off the popup, or cannot be
// followed): a held popup gets its full time again, and the controls go.
static void LetGo(HWND popup, const PopupWindowRecord *record, bool wasHeld)
{
    KillTimer(popup, POINTER_CHECK_TIMER_ID);
    if (wasHeld)
        ArmCloseTimer(popup, record);
    ControlsPointerLeft(popup);
}

// Asks to hear when the pointer leaves the part of the popup it is on, and
// lets the popup go once the pointer is off it. A notice asked for a window
// the pointer has just left may never come, so the pointer is looked at
// again after each request.
static void FollowPointer(HWND popup, PopupWindowRecord *record, HWND under)
{
    PopupHover *hover = &record->Hover;
    for (int tries = 0; tries < 3; tries++) {
        bool held = hover->held != FALSE;
        HoverAction action = HoverFollowStep(hover, under);
        if (action == HOVER_RELEASE)
            LetGo(popup, record, held);
        if (action != HOVER_FOLLOW)
            return;
        TRACKMOUSEEVENT request;
        request.cbSize = sizeof(request);
        request.dwFlags = TME_LEAVE;
        request.hwndTrack = under;
        request.dwHoverTime = 0;
        if (!TrackMouseEvent(&request)) {
            HoverLetGo(hover);
            LetGo(popup, record, held);
            return;
        }
        HoverFollowing(hover, under);
        under = PartUnderPointer(popup);
    }
}

void OnPointerOverPopup(HWND popup)
{
    PopupWindowRecord *record = GetPopupRecord(popup);
    POINT pointer;
    if (!record || !record->Request || !GetCursorPos(&pointer))
        return;
    // Any program can send WM_SETCURSOR, naming any window: only the real
    // pointer on the popup counts, or another program could hold it open.
    HWND under = WindowFromPoint(pointer);
    if (!IsPartOf(under, popup))
        return;
    HoverConditions conditions;
    conditions.showing = record->Showing != FALSE;
    conditions.holdOnHover = gSettings.HoldOnHover != 0;
    conditions.closesByItself = CloseTimerPeriod(record->Request->Timeout, gSettings.Seconds) != 0;
    conditions.controls = gSettings.Controls != 0;
    bool followed = record->Hover.followed != FALSE;
    HoverAction action = HoverPointerOver(&record->Hover, pointer, &conditions);
    if (action == HOVER_HOLD)
        KillTimer(popup, POPUP_TIMER_ID);
    if (action == HOVER_NOTHING)
        return;
    // While followed, the popup's check timer looks at the real pointer:
    // a leave notice never comes when a window of another program covers
    // the popup under a still pointer, and Wine keeps one request for the
    // whole process, which the next popup that asks takes.
    if (!followed)
        SetTimer(popup, POINTER_CHECK_TIMER_ID, HOVER_CHECK_MS, NULL);
    FollowPointer(popup, record, under);
    if (record->Hover.followed)
        ControlsPointerOver(popup, pointer);
}

bool OnPointerCheckTimer(HWND popup, WPARAM id)
{
    if (id != POINTER_CHECK_TIMER_ID)
        return false;
    PopupWindowRecord *record = GetPopupRecord(popup);
    if (!record || !record->Request || !record->Hover.followed) {
        KillTimer(popup, POINTER_CHECK_TIMER_ID);
        return true;
    }
    bool held = record->Hover.held != FALSE;
    if (HoverCheckTick(&record->Hover, PartUnderPointer(popup)) == HOVER_RELEASE)
        LetGo(popup, record, held);
    return true;
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
    OnPointerOverPopup(popup);
}

void RouteLeaveNotice(MSG *msg, HWND popup)
{
    if (msg->message != WM_MOUSELEAVE || !IsPartOf(msg->hwnd, popup))
        return;
    msg->wParam = (WPARAM)msg->hwnd;
    msg->hwnd = popup;
}
