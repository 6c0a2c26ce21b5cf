// The global hot key that shows the current track's popup on demand.
#ifndef TUNEBELL_HOTKEY_H
#define TUNEBELL_HOTKEY_H

#include <windows.h>

// Thread messages of the hot-key thread: UM_HOTKEY_SET, UM_HOTKEY_STOP.
#include "base/messages.h"

#define HOTKEY_ATOM_NAME "TunebellPluginHotKey"

// Hot-key control flags (high byte of a saved HotKey) and the modifier mask
// RegisterHotKey wants. Spelled out here because the common-controls header
// is not needed for anything else on this side.
#define HOTKEY_FLAG_SHIFT   0x01
#define HOTKEY_FLAG_CONTROL 0x02
#define HOTKEY_FLAG_ALT     0x04
#define HOTKEY_FLAG_EXT     0x08
#define HOTKEY_MOD_NOREPEAT 0x4000   // MOD_NOREPEAT; older systems refuse it

// Splits a hot-key control value (low byte key, high byte HOTKEYF_*) into
// RegisterHotKey's modifier mask and virtual key. The extended-key flag adds
// no modifier. Pure.
void HotKeyToModifiers(WORD hotKey, UINT *modifiers, UINT *virtualKey);

// Starts the thread that holds `hotKey` (a hot-key control value, as saved)
// and, at each press, asks the thread `showTrackThread` for the current
// track's popup.
void StartHotKeyThread(WORD hotKey, DWORD showTrackThread);
void StopHotKeyThread(void);
// Takes a newly saved hot-key control value into use at once: whoever saves
// the settings hands it over once the save succeeded.
void SetHotKey(WORD hotKey);
// At each of the player's track events, on the player's thread: a saved key
// that another program held when it was last tried is tried again.
void RetryMissingHotKey(void);

#endif
