// Driving the modal settings dialog: the player's thread sits inside
// config() while a script works the dialog from a worker thread, with real
// clicks and keys where the dialog looks at the focus.
#pragma once

#include "host/player.h"

extern const char kDialogCaption[];

// Calls config() with the mouse in the middle of the screen, moves the
// dialog to the top of the work area, clear of the corners where popups go,
// puts the mouse back where it was, and runs script on a worker thread;
// whatever the script leaves open is cancelled afterwards. False when no
// dialog appeared.
bool DriveSettingsDialog(const std::function<void(HWND dialog)> &script);

// A visible dialog-class window of the player's thread with this caption
// (NULL: any caption but the settings dialog's and the message boxes').
HWND WaitForPlayerDialog(const char *caption, DWORD timeoutMs = 3000);
// The window with the keyboard focus on the player's thread.
HWND PlayerFocus();

// Real input (more in host/player.h). A second click on the same spot waits
// out the double-click time unless twice asks for a double click.
void ClickControl(HWND control, bool twice = false);
void TypeKeys(const char *digits);

// What the controls send when the user changes them.
void SelectComboItem(HWND dialog, int id, int index);
void SetHotKeyControl(HWND dialog, WORD value);
void Press(HWND dialog, int id);

// Whether some thread holds this combination: our own registration fails.
bool HotKeyTaken(UINT modifiers, UINT vk);

// Maps the plug-in before the player loads it, so that its imports can be
// redirected before its init runs.
struct PreloadedPlugin {
    PreloadedPlugin();
    ~PreloadedPlugin();
    bool Redirect(const char *dll, const char *function, void *replacement);
    HMODULE module;
};
