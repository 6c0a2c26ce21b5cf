// The rules of submission. Pure.
#ifndef TUNEBELL_POPUP_REQUEST_H
#define TUNEBELL_POPUP_REQUEST_H

#include "popup/popup.h"

// An icon and a title, and the two colours not the same unless both are 0.
bool IsPopupRequestValid(const PopupRequest *request);
// The Timeout a request gets from the Seconds setting.
int TimeoutFromSeconds(int seconds);

#endif
