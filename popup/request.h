// What a popup shows, and the one way to ask for one.
#ifndef TUNEBELL_POPUP_REQUEST_H
#define TUNEBELL_POPUP_REQUEST_H

#include <windows.h>

#define POPUP_TEXT_SIZE 2048
#define MAX_OPEN_POPUPS 48

// Callers clear the whole record, then fill what they use; Timeout is set by
// submission. The popup borrows Icon and never destroys it. The texts are
// UTF-16, POPUP_TEXT_SIZE units each.
struct PopupRequest {
    HICON Icon;
    WCHAR Title[POPUP_TEXT_SIZE];
    WCHAR Text[POPUP_TEXT_SIZE];
    COLORREF BackColour;    // both colours 0: the settings' colours
    COLORREF TextColour;
    WNDPROC Callback;       // NULL: a click closes the popup
    int Timeout;            // seconds; -1 until closed; 0 the Seconds setting
    DWORD CoverTicket;      // the cover asked for (cover/cover.h); 0: the icon
    int CoverSize;          // the cover's side at 96 dpi, with a ticket
};

// Gives the request its display time from the Seconds setting and submits it.
// 0 when a popup thread was started, -1 when the request was refused.
int SubmitPopup(const PopupRequest *request);
// Submits a complete request, Timeout included.
int SubmitPopupTimed(const PopupRequest *request);

bool IsPopupRequestValid(const PopupRequest *request);
// Fills a request's Title or Text from ANSI text (the ANSI code page), cut
// to what the field holds.
void SetPopupTextA(WCHAR field[POPUP_TEXT_SIZE], const char *text);
// Gives up the place in the list that submission kept for a popup: called
// once for each submission, when the submission is refused after all, or by
// the popup thread once its popup has joined the list or never will.
void ReleasePopupSlot(void);
// The Timeout a request gets from the Seconds setting.
int TimeoutFromSeconds(int seconds);

#endif
