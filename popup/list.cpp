// The popup list and the moves that apply a placement.
#include "popup/list.h"
#include "popup/engine.h"
#include "popup/placement.h"
#include "popup/work_area.h"
#include "popup/window.h"

CRITICAL_SECTION gPopupListLock;
static PopupListNode *gHead;
static PopupListNode *gTail;
static volatile BYTE gCount;

void InitPopupList(void)
{
    gHead = gTail = NULL;
    gCount = 0;
}

int GetPopupCount(void)
{
    return gCount;
}

int AddPopup(PopupWindowRecord *record)
{
    PopupListNode *node = (PopupListNode *)HeapAlloc(GetProcessHeap(), 0, sizeof(PopupListNode));
    if (!node)
        return 0;
    node->record = record;
    node->next = NULL;
    EnterCriticalSection(&gPopupListLock);
    node->previous = gTail;
    if (gTail)
        gTail->next = node;
    else
        gHead = node;
    gTail = node;
    gCount = gCount + 1;
    LeaveCriticalSection(&gPopupListLock);
    return 1;
}

void ComputeStartRect(HWND popup, const RECT *workArea, RECT *rect)
{
    EnterCriticalSection(&gPopupListLock);
    SetRect(rect, 0, 0, 0, 0);
    for (PopupListNode *node = gHead; node; node = node->next) {
        if (node->record->Popup == popup)
            break;
        PlacePopup(node->record->Popup, workArea, rect);
    }
    LeaveCriticalSection(&gPopupListLock);
}

void MovePopup(HWND popup, const RECT *rect)
{
    // A move never shows the popup: one in the snapshot may have been hidden
    // meanwhile by its own thread as it closes, or not be shown yet, and
    // showing it is that thread's business alone. Shown here, a popup the
    // user has just closed would come back until its thread destroys it.
    SetWindowPos(popup, HWND_TOPMOST, rect->left, rect->top, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    UpdateWindow(popup);
    RedrawWindow(popup, NULL, NULL, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void ReplaceAllPopups(void)
{
    // At shutdown every popup is going away: moving them is wasted time.
    if (IsPopupEngineStopping())
        return;

    EnterCriticalSection(&gPopupListLock);
    int count = gCount;
    HWND *windows = count > 0 ? (HWND *)HeapAlloc(GetProcessHeap(), 0, count * sizeof(HWND)) : NULL;
    int taken = 0;
    if (windows) {
        for (PopupListNode *node = gHead; node && taken < count; node = node->next)
            windows[taken++] = node->record->Popup;
    }
    LeaveCriticalSection(&gPopupListLock);

    // Moves happen on the snapshot, outside the lock. A popup that closed
    // since has no rectangle any more and is skipped, so the others still
    // stack from the last one that is there.
    RECT workArea = PopupWorkArea();
    RECT rect = { 0, 0, 0, 0 };
    for (int i = 0; i < taken; i++) {
        if (!PlacePopup(windows[i], &workArea, &rect))
            continue;
        MovePopup(windows[i], &rect);
    }
    if (windows)
        HeapFree(GetProcessHeap(), 0, windows);
}

// Unlinks the node of the popup; returns it, or NULL when it is not listed.
static PopupListNode *UnlinkPopup(HWND popup)
{
    EnterCriticalSection(&gPopupListLock);
    PopupListNode *node = gHead;
    while (node && node->record->Popup != popup)
        node = node->next;
    if (node) {
        if (node->previous)
            node->previous->next = node->next;
        else
            gHead = node->next;
        if (node->next)
            node->next->previous = node->previous;
        else
            gTail = node->previous;
        gCount = gCount - 1;
    }
    LeaveCriticalSection(&gPopupListLock);
    return node;
}

static void DestroyUnlinkedPopup(PopupListNode *node)
{
    DestroyWindow(node->record->Popup);
    HeapFree(GetProcessHeap(), 0, node->record);
    HeapFree(GetProcessHeap(), 0, node);
}

int RemovePopup(HWND popup)
{
    PopupListNode *node = UnlinkPopup(popup);
    if (!node)
        return 0;
    ReplaceAllPopups();
    DestroyUnlinkedPopup(node);
    return 1;
}

int RemovePopupAtShutdown(HWND popup)
{
    PopupListNode *node = UnlinkPopup(popup);
    if (!node)
        return 0;
    DestroyUnlinkedPopup(node);
    return 1;
}

void RemoveAllPopups(void)
{
    // Only a popup's own thread can destroy its window: ask each one. A
    // popup that joins the list after this walk sees the engine stopping
    // and removes itself.
    EnterCriticalSection(&gPopupListLock);
    for (PopupListNode *node = gHead; node; node = node->next)
        PostMessageA(node->record->Popup, UM_POPUP_DESTROY, 0, 0);
    LeaveCriticalSection(&gPopupListLock);

    WaitForPopupThreads();

    // Every popup thread has ended, each after removing its own popup.
    EnterCriticalSection(&gPopupListLock);
    InitPopupList();
    LeaveCriticalSection(&gPopupListLock);
}
