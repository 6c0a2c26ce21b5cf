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
    // Where the popup was last placed. A window just told to move may still
    // report its old rectangle, so placing goes by these, not by windows.
    RECT place;
    bool placed;               // false until its own thread has placed it
};

// The list and its lock, which guards head, tail, links and count. Never
// nested with another lock, and no window is moved while it is held.
void InitPopupList(void);
// At shutdown, once every popup thread has ended: the list is emptied and
// its lock deleted.
void DeletePopupList(void);
// A place kept for a popup submitted whose thread has not joined the list
// yet. Kept places count against MAX_OPEN_POPUPS with the listed popups: a
// new popup thread takes a while to build its window and join, and
// submissions meeting in that time would all find room, so a burst of them
// could start any number of popup threads. False when none is left.
bool ReservePopupSlot(void);
// Gives the place up: once for each reservation, when the submission is
// refused after all, or by the popup thread once its popup has joined the
// list or never will.
void ReleasePopupSlot(void);
bool AddPopup(PopupWindowRecord *record);
// The new popup's place after every placed popup ahead of it (PlacePopup,
// in the work area it was laid out for), stored for it; popups behind it
// already placed make room when they must.
void PlaceNewPopup(HWND popup, const RECT *workArea, RECT *rect);
// On the popup's own thread: moves it, never shows it, and has it repainted,
// at once when paintNow.
void MovePopup(HWND popup, const RECT *rect, bool paintNow);
// On the popup's own thread, for UM_POPUP_PLACE: moves it to the place
// stored for it; with PLACE_PASS_ON, paints at once and then tells the next
// younger popup.
void MoveToStoredPlace(HWND popup, WPARAM how);
// Places every popup again from the corner of the work area of this pass
// and tells each one that has to move where to go; each moves itself.
void ReplaceAllPopups(void);
// Unlinks the closing popup, closes the gap and destroys its window; false
// when it was not listed.
bool RemovePopup(HWND popup);
// At shutdown, on the popup's own thread: unlinks and destroys the popup
// without re-placing the others.
bool RemovePopupAtShutdown(HWND popup);
// At shutdown, on the player's thread: asks every popup's thread to destroy
// its popup (RemovePopupAtShutdown) and end; the engine then waits for them.
void RemoveAllPopups(void);
// Posts the message to every listed popup.
void PostToEveryPopup(UINT message);

#endif
