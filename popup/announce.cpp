// Announcing a popup to screen readers.
#include "popup/announce.h"
#include "popup/record.h"

// The two lines and the line break between them.
#define POPUP_NAME_SIZE (2 * POPUP_TEXT_SIZE + 2)

void AnnouncePopup(const PopupWindowRecord *record)
{
    // A stray WM_DESTROY sent during the show took the request.
    if (!record->Request)
        return;
    HWND popup = record->Popup;
    // The information line only when the popup shows it.
    WCHAR name[POPUP_NAME_SIZE];
    lstrcpynW(name, record->Request->Title, POPUP_TEXT_SIZE);
    if (record->InfoStatic) {
        lstrcatW(name, L"\n");
        lstrcatW(name, record->Request->Text);
    }
    SetWindowTextW(popup, name);

    NotifyWinEvent(EVENT_SYSTEM_ALERT, popup, OBJID_CLIENT, CHILDID_SELF);
}
