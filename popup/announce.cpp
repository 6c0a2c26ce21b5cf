// Announcing a popup to screen readers.
#include "popup/announce.h"
#include "popup/window.h"

// The two lines and the line break between them.
#define POPUP_NAME_SIZE (2 * POPUP_TEXT_SIZE + 2)

typedef void (WINAPI *NotifyWinEventProc)(DWORD event, HWND window, LONG object, LONG child);

void AnnouncePopup(HWND popup)
{
    PopupWindowRecord *record = GetPopupRecord(popup);
    if (!record || !record->Request)
        return;
    // The information line only when the popup shows it.
    WCHAR name[POPUP_NAME_SIZE];
    lstrcpynW(name, record->Request->Title, POPUP_TEXT_SIZE);
    if (record->InfoStatic) {
        lstrcatW(name, L"\n");
        lstrcatW(name, record->Request->Text);
    }
    SetWindowTextW(popup, name);

    // Windows 98 and 2000 on; user32 is loaded with us.
    HMODULE user32 = GetModuleHandleA("user32.dll");
    NotifyWinEventProc notify = user32 ? (NotifyWinEventProc)(void *)GetProcAddress(user32, "NotifyWinEvent") : NULL;
    if (notify)
        notify(EVENT_SYSTEM_ALERT, popup, OBJID_CLIENT, CHILDID_SELF);
}
