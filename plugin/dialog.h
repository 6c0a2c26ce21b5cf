// The settings dialog: edits the global settings in place, previews them,
// and saves them on OK or reloads them on Cancel.
#ifndef TUNEBELL_SETTINGS_DIALOG_H
#define TUNEBELL_SETTINGS_DIALOG_H

#include <windows.h>

#include "base/messages.h"   // UM_RESTORE_INT, which the dialog sends itself

// Registers the common controls the dialog's template names (track bar,
// hot-key control), so that the dialog opens whatever the player set up.
void InitSettingsDialogControls(void);

INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// A dialog open already is brought to the front (true): a second one would
// edit the same settings, and its Cancel would throw away the first one's
// edits. False when none is open.
bool BringSettingsDialogForward(void);

// Tells the user the bounds of a numeric edit.
void ShowRangeError(int minimum, int maximum);

#endif
