// The popup list and the moves that apply a placement.
#include "popup/list.h"
#include "popup/engine_state.h"
#include "popup/placement.h"
#include "popup/record.h"
#include "popup/work_area.h"
#include "base/messages.h"
#include "settings/settings.h"

// The list, from the engine's start to its stop; the places kept count
// across both.
struct PopupList {
    CRITICAL_SECTION lock;
    PopupListNode *head;   // the oldest
    PopupListNode *tail;
    volatile BYTE count;
    // Places kept for popups submitted whose threads have not joined the
    // list yet.
    volatile LONG reserved;
};
static PopupList gList;

void InitPopupList(void)
{
    InitializeCriticalSection(&gList.lock);
    gList.head = gList.tail = NULL;
    gList.count = 0;
}

void DeletePopupList(void)
{
    // Every popup thread has ended, each after removing its own popup.
    gList.head = gList.tail = NULL;
    gList.count = 0;
    DeleteCriticalSection(&gList.lock);
}

int GetPopupCount(void)
{
    return gList.count;
}

bool ReservePopupSlot(void)
{
    // The place is taken before the count is looked at, so that of several
    // submissions at the same moment only those that fit get through.
    LONG reserved = InterlockedIncrement(&gList.reserved);
    if (GetPopupCount() + reserved <= MAX_OPEN_POPUPS)
        return true;
    ReleasePopupSlot();
    return false;
}

void ReleasePopupSlot(void)
{
    InterlockedDecrement(&gList.reserved);
}

bool AddPopup(PopupWindowRecord *record)
{
    PopupListNode *node = (PopupListNode *)HeapAlloc(GetProcessHeap(), 0, sizeof(PopupListNode));
    if (!node)
        return false;
    node->record = record;
    node->next = NULL;
    SetRect(&node->place, 0, 0, 0, 0);
    node->placed = false;
    EnterCriticalSection(&gList.lock);
    node->previous = gList.tail;
    if (gList.tail)
        gList.tail->next = node;
    else
        gList.head = node;
    gList.tail = node;
    gList.count = gList.count + 1;
    LeaveCriticalSection(&gList.lock);
    return true;
}

// Lock held. Places every listed popup from the corner of the work area on,
// by the places stored: a popup that its thread has not placed yet takes no
// room (it is not on the screen) and gets no place here. The popup `own`,
// when given, is placing itself now, by its window's size; its place goes to
// ownPlace. Returns how many of the others got a new place, their windows in
// moved.
static int PlaceListed(const PlacementPass *pass, HWND own, RECT *ownPlace, HWND *moved)
{
    RECT rect = { 0, 0, 0, 0 };
    int count = 0;
    for (PopupListNode *node = gList.head; node; node = node->next) {
        HWND popup = node->record->Popup;
        RECT place = rect;
        if (popup == own) {
            if (!PlacePopup(popup, pass, &place))
                continue;
        } else if (node->placed) {
            // By the scale it was made with, whichever thread places.
            const RECT &size = node->place;
            place = PlaceAfter(pass->position, pass->spreading, &pass->workArea, size.right - size.left,
                               size.bottom - size.top, &rect, &node->record->Scale);
        } else {
            continue;
        }
        rect = place;
        if (popup == own) {
            *ownPlace = place;
        } else if (!EqualRect(&place, &node->place)) {
            moved[count++] = popup;
        } else {
            continue;
        }
        node->place = place;
        node->placed = true;
    }
    return count;
}

// Tells each popup that must move where to go; each moves itself. Where
// popups sit apart (the corners), all are told at once, oldest first, so each
// moves into room the one ahead of it was told to leave first. At the centre
// they overlap and each must end up under the next younger one; under Wine
// that order holds only when each moves and paints before the next one
// moves, so the oldest is told and each passes the word on when it is done.
static void PostPlaces(int position, const HWND *moved, int count)
{
    if (count > 0 && position == POSITION_CENTRE) {
        PostMessageA(moved[0], UM_POPUP_PLACE, PLACE_PASS_ON, 0);
        return;
    }
    for (int i = 0; i < count; i++)
        PostMessageA(moved[i], UM_POPUP_PLACE, 0, 0);
}

// One placement pass: the settings and the work area are read once for it
// (the work area outside the lock: it asks about the player's window).
static void PlaceAll(HWND own, const RECT *workArea, RECT *ownPlace)
{
    PlacementPass pass;
    pass.position = gSettings.Position;
    pass.spreading = gSettings.Spreading;
    pass.workArea = workArea ? *workArea : PopupWorkArea();
    HWND moved[256];
    EnterCriticalSection(&gList.lock);
    int count = PlaceListed(&pass, own, ownPlace, moved);
    LeaveCriticalSection(&gList.lock);
    PostPlaces(pass.position, moved, count);
}

void PlaceNewPopup(HWND popup, const RECT *workArea, RECT *rect)
{
    SetRect(rect, 0, 0, 0, 0);
    PlaceAll(popup, workArea, rect);
}

void MovePopup(HWND popup, const RECT *rect, bool paintNow)
{
    // A move never shows the popup: it may be hidden already as it closes,
    // or not be shown yet.
    SetWindowPos(popup, HWND_TOPMOST, rect->left, rect->top, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    // Left out, a moved popup is now and then left black.
    RedrawWindow(popup, NULL, NULL, RDW_INVALIDATE | RDW_ALLCHILDREN | (paintNow ? RDW_UPDATENOW : 0));
}

void MoveToStoredPlace(HWND popup, WPARAM how)
{
    RECT place;
    HWND younger = NULL;
    bool found = false;
    EnterCriticalSection(&gList.lock);
    for (PopupListNode *node = gList.head; node; node = node->next) {
        if (node->record->Popup == popup) {
            found = node->placed;
            place = node->place;
            if (node->next)
                younger = node->next->record->Popup;
            break;
        }
    }
    LeaveCriticalSection(&gList.lock);
    // Out of the list: it is closing, and its place no longer counts.
    if (found)
        MovePopup(popup, &place, how == PLACE_PASS_ON);
    if (how == PLACE_PASS_ON && younger)
        PostMessageA(younger, UM_POPUP_PLACE, PLACE_PASS_ON, 0);
}

void ReplaceAllPopups(void)
{
    // At shutdown every popup is going away: moving them is wasted time.
    if (IsPopupEngineStopping())
        return;
    RECT unused;
    PlaceAll(NULL, NULL, &unused);
}

// Unlinks the node of the popup; returns it, or NULL when it is not listed.
static PopupListNode *UnlinkPopup(HWND popup)
{
    EnterCriticalSection(&gList.lock);
    PopupListNode *node = gList.head;
    while (node && node->record->Popup != popup)
        node = node->next;
    if (node) {
        if (node->previous)
            node->previous->next = node->next;
        else
            gList.head = node->next;
        if (node->next)
            node->next->previous = node->previous;
        else
            gList.tail = node->previous;
        gList.count = gList.count - 1;
    }
    LeaveCriticalSection(&gList.lock);
    return node;
}

static void DestroyUnlinkedPopup(PopupListNode *node)
{
    DestroyWindow(node->record->Popup);
    HeapFree(GetProcessHeap(), 0, node->record);
    HeapFree(GetProcessHeap(), 0, node);
}

bool RemovePopup(HWND popup)
{
    PopupListNode *node = UnlinkPopup(popup);
    if (!node)
        return false;
    ReplaceAllPopups();
    DestroyUnlinkedPopup(node);
    return true;
}

bool RemovePopupAtShutdown(HWND popup)
{
    PopupListNode *node = UnlinkPopup(popup);
    if (!node)
        return false;
    DestroyUnlinkedPopup(node);
    return true;
}

void PostToEveryPopup(UINT message)
{
    EnterCriticalSection(&gList.lock);
    for (PopupListNode *node = gList.head; node; node = node->next)
        PostMessageA(node->record->Popup, message, 0, 0);
    LeaveCriticalSection(&gList.lock);
}

void RemoveAllPopups(void)
{
    // Only a popup's own thread can destroy its window: ask each one. A
    // popup that joins the list after this walk sees the engine stopping
    // and removes itself.
    PostToEveryPopup(UM_POPUP_DESTROY);
}
