// What a screen reader hears of a popup: the popup's window text is its
// title and information line, and showing it raises an alert.
#ifndef TUNEBELL_POPUP_ANNOUNCE_H
#define TUNEBELL_POPUP_ANNOUNCE_H

struct PopupWindowRecord;

// Once the popup shows, on its thread. Takes no focus.
void AnnouncePopup(const PopupWindowRecord *record);

#endif
