// The global hot key that shows the current track's popup on demand.
#ifndef TUNEBELL_HOTKEY_H
#define TUNEBELL_HOTKEY_H

#include <windows.h>

void StartHotKeyThread(void);
void StopHotKeyThread(void);
// Takes a new hot-key control value into use at once.
void SetHotKey(WORD hotKey);

#endif
