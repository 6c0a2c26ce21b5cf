// The list of open popups, oldest first: it bounds their number, owns their
// records and defines how they stack.
#ifndef TUNEBELL_POPUP_LIST_H
#define TUNEBELL_POPUP_LIST_H

#include <windows.h>

struct PopupWindowRecord;

struct PopupListNode {
    PopupWindowRecord *record;
    PopupListNode *next;       // younger
    PopupListNode *previous;   // older
};

// Guards head, tail, links and count. Never nested with another lock, and no
// window is moved while it is held.
extern CRITICAL_SECTION gPopupListLock;

void InitPopupList(void);
int GetPopupCount(void);
int AddPopup(PopupWindowRecord *record);
void ComputeStartRect(HWND popup, const RECT *workArea, RECT *rect);
void MovePopup(HWND popup, const RECT *rect);
void ReplaceAllPopups(void);
// Unlinks the closing popup, closes the gap and destroys its window.
int RemovePopup(HWND popup);
// At shutdown, on the popup's own thread: unlinks and destroys the popup
// without re-placing the others.
int RemovePopupAtShutdown(HWND popup);
// At shutdown, on the player's thread: has every popup thread destroy its
// popup and end, then empties the list.
void RemoveAllPopups(void);

#endif
