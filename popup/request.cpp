// Popup submission: checks, a private copy, and a detached popup thread.
#include "popup/request.h"
#include "popup/engine_state.h"
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

int TimeoutFromSeconds(int seconds)
{
    return seconds > 0 ? seconds : -1;
}

bool SubmitPopup(const PopupRequest *request)
{
    PopupRequest *working = (PopupRequest *)HeapAlloc(GetProcessHeap(), 0, sizeof(PopupRequest));
    if (!working)
        return false;
    // The whole record, so that no field is left out; then the one field
    // that submission sets itself.
    *working = *request;
    working->Timeout = TimeoutFromSeconds(gSettings.Seconds);
    bool started = SubmitPopupTimed(working);
    HeapFree(GetProcessHeap(), 0, working);
    return started;
}

// A copy of the request for a new popup thread, which owns it from then
// on (its window's destroy handler frees it); false when none started.
static bool StartPopupCopy(const PopupRequest *request)
{
    PopupRequest *copy = (PopupRequest *)HeapAlloc(GetProcessHeap(), 0, sizeof(PopupRequest));
    if (!copy)
        return false;
    *copy = *request;
    copy->Title[POPUP_TEXT_SIZE - 1] = 0;
    copy->Text[POPUP_TEXT_SIZE - 1] = 0;
    bool started = StartPopup(copy);
    if (!started)
        HeapFree(GetProcessHeap(), 0, copy);
    return started;
}

bool SubmitPopupTimed(const PopupRequest *request)
{
    // Nothing of the engine exists before a successful start or after the
    // shutdown began: refuse without touching it.
    if (!IsPopupEngineRunning() || !IsPopupRequestValid(request) || !ReservePopupSlot())
        return false;
    // The thread gives the place up once its popup is listed.
    bool started = StartPopupCopy(request);
    if (!started)
        ReleasePopupSlot();
    return started;
}
