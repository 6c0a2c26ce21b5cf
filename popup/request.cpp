// Popup submission: checks, a private copy, and a detached popup thread.
#include "popup/request.h"
#include "popup/engine.h"
#include "popup/list.h"
#include "popup/thread_pool.h"
#include "settings/settings.h"

bool IsPopupRequestValid(const PopupRequest *request)
{
    if (!request->Icon || request->Title[0] == 0)
        return false;
    return request->BackColour != request->TextColour || request->BackColour == 0;
}

void SetPopupTextA(WCHAR field[POPUP_TEXT_SIZE], const char *text)
{
    char cut[POPUP_TEXT_SIZE];
    lstrcpynA(cut, text, POPUP_TEXT_SIZE);
    // No more units than bytes, so the field always has room.
    if (!MultiByteToWideChar(CP_ACP, 0, cut, -1, field, POPUP_TEXT_SIZE))
        field[0] = 0;
}

// Places in the list kept for popups submitted whose threads have not joined
// the list yet. They count against the limit with the listed ones: a new
// popup thread takes a while to build its window and join, and submissions
// meeting in that time would all find room, so a burst of them could start
// any number of popup threads.
static volatile LONG gReservedPopupSlots;

void ReleasePopupSlot(void)
{
    InterlockedDecrement(&gReservedPopupSlots);
}

int TimeoutFromSeconds(int seconds)
{
    return seconds > 0 ? seconds : -1;
}

int SubmitPopup(const PopupRequest *request)
{
    PopupRequest *working = (PopupRequest *)HeapAlloc(GetProcessHeap(), 0, sizeof(PopupRequest));
    if (!working)
        return -1;
    // The whole record, so that no field is left out; then the one field
    // that submission sets itself.
    *working = *request;
    working->Timeout = TimeoutFromSeconds(gSettings.Seconds);
    int result = SubmitPopupTimed(working);
    HeapFree(GetProcessHeap(), 0, working);
    return result;
}

int SubmitPopupTimed(const PopupRequest *request)
{
    // Nothing of the engine exists before a successful start or after the
    // shutdown began: refuse without touching it.
    if (!IsPopupEngineRunning())
        return -1;
    // The place is taken before the count is looked at, so that of several
    // submissions at the same moment only those that fit get through.
    LONG reserved = InterlockedIncrement(&gReservedPopupSlots);
    if (GetPopupCount() + reserved > MAX_OPEN_POPUPS || !IsPopupRequestValid(request)) {
        ReleasePopupSlot();
        return -1;
    }

    // Owned by the popup thread from here; its window's destroy handler frees it.
    PopupRequest *copy = (PopupRequest *)HeapAlloc(GetProcessHeap(), 0, sizeof(PopupRequest));
    if (!copy) {
        ReleasePopupSlot();
        return -1;
    }
    *copy = *request;
    copy->Title[POPUP_TEXT_SIZE - 1] = 0;
    copy->Text[POPUP_TEXT_SIZE - 1] = 0;

    // The thread gives the place up once its popup is listed.
    if (!StartPopup(copy)) {
        HeapFree(GetProcessHeap(), 0, copy);
        ReleasePopupSlot();
        return -1;
    }
    return 0;
}
