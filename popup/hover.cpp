// Following the pointer over a popup, to hold its close timer while the
// pointer rests on it and to show its controls: the Win32 side of the rules
// in popup/hover_rules.cpp.
//
// The pointer's moves over a popup reach its window procedure as
// WM_SETCURSOR, from the popup and (through the children's default
// processing) from each child.
#include "popup/hover.h"
#include "popup/pointer.h"
#include "popup/record.h"
#include "settings/settings.h"

static void ArmCloseTimer(HWND popup, const PopupWindowRecord *record)
{
    UINT period = CloseTimerPeriod(record->Request->Timeout, gSettings.Seconds);
    if (period)
        SetTimer(popup, POPUP_TIMER_ID, period, NULL);
}

// The popup has let the pointer go (it is off the popup, or cannot be
// followed): a held popup gets its full time again, and the controls are
// told to go.
static PointerNews LetGo(HWND popup, const PopupWindowRecord *record, bool wasHeld)
{
    KillTimer(popup, POINTER_CHECK_TIMER_ID);
    if (wasHeld)
        ArmCloseTimer(popup, record);
    PointerNews news = { POINTER_LET_GO, { 0, 0 } };
    return news;
}

static PointerNews NoNews(void)
{
    PointerNews news = { POINTER_NO_NEWS, { 0, 0 } };
    return news;
}

// Asks to hear when the pointer leaves the part of the popup it is on, and
// lets the popup go once the pointer is off it. A notice asked for a window
// the pointer has just left may never come, so the pointer is looked at
// again after each request.
static PointerNews FollowPointer(HWND popup, PopupWindowRecord *record, HWND under)
{
    PopupHover *hover = &record->Hover;
    for (int tries = 0; tries < 3; tries++) {
        bool held = hover->held;
        HoverAction action = HoverFollowStep(hover, under);
        if (action == HOVER_RELEASE)
            return LetGo(popup, record, held);
        if (action != HOVER_FOLLOW)
            break;
        TRACKMOUSEEVENT request;
        request.cbSize = sizeof(request);
        request.dwFlags = TME_LEAVE;
        request.hwndTrack = under;
        request.dwHoverTime = 0;
        if (!TrackMouseEvent(&request)) {
            HoverLetGo(hover);
            return LetGo(popup, record, held);
        }
        HoverFollowing(hover, under);
        under = PartUnderPointer(popup, NULL);
    }
    return NoNews();
}

PointerNews OnPointerOverPopup(HWND popup, PopupWindowRecord *record)
{
    // Any program can send WM_SETCURSOR, naming any window: only the real
    // pointer on the popup counts, or another program could hold it open.
    POINT pointer;
    HWND under = record && record->Request ? PartUnderPointer(popup, &pointer) : NULL;
    if (!under)
        return NoNews();
    HoverConditions conditions;
    conditions.showing = record->Showing;
    conditions.holdOnHover = gSettings.HoldOnHover != 0;
    conditions.closesByItself = CloseTimerPeriod(record->Request->Timeout, gSettings.Seconds) != 0;
    conditions.controls = gSettings.Controls != 0;
    bool followed = record->Hover.followed;
    HoverAction action = HoverPointerOver(&record->Hover, pointer, &conditions);
    if (action == HOVER_HOLD)
        KillTimer(popup, POPUP_TIMER_ID);
    if (action == HOVER_NOTHING)
        return NoNews();
    // While followed, the popup's check timer looks at the real pointer:
    // a leave notice never comes when a window of another program covers
    // the popup under a still pointer, and Wine keeps one request for the
    // whole process, which the next popup that asks takes.
    if (!followed)
        SetTimer(popup, POINTER_CHECK_TIMER_ID, HOVER_CHECK_MS, NULL);
    PointerNews news = FollowPointer(popup, record, under);
    if (news.kind == POINTER_NO_NEWS) {
        news.kind = POINTER_ON_POPUP;
        news.at = pointer;
    }
    return news;
}

PointerNews OnPointerCheckTimer(HWND popup, PopupWindowRecord *record)
{
    if (!record || !record->Request || !record->Hover.followed) {
        KillTimer(popup, POINTER_CHECK_TIMER_ID);
        return NoNews();
    }
    bool held = record->Hover.held;
    if (HoverCheckTick(&record->Hover, PartUnderPointer(popup, NULL)) == HOVER_RELEASE)
        return LetGo(popup, record, held);
    return NoNews();
}

PointerNews OnPointerLeftPopup(HWND popup, PopupWindowRecord *record, HWND left)
{
    if (record && record->Request && HoverPointerLeft(&record->Hover, left) == HOVER_FOLLOW)
        return FollowPointer(popup, record, PartUnderPointer(popup, NULL));
    return NoNews();
}

static void NotePointer(PopupWindowRecord *record)
{
    POINT pointer;
    if (GetCursorPos(&pointer))
        record->Hover.pointerSeen = pointer;
}

void OnPopupMovedUnderPointer(PopupWindowRecord *record, const WINDOWPOS *change)
{
    if (!record || !change || (change->flags & SWP_NOMOVE))
        return;
    POINT to = { change->x, change->y };
    if (HoverPopupMoved(&record->Hover, to, record->Showing))
        NotePointer(record);
}

void NotePointerBeforeShow(PopupWindowRecord *record)
{
    NotePointer(record);
}

void RouteLeaveNotice(MSG *msg, HWND popup)
{
    if (msg->message != WM_MOUSELEAVE || !IsPartOfPopup(msg->hwnd, popup))
        return;
    msg->wParam = (WPARAM)msg->hwnd;
    msg->hwnd = popup;
}
