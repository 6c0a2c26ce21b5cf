// Whether a program runs full screen in front (a game, a film, a
// presentation), so that the player's track events show no popup meanwhile.
#ifndef TUNEBELL_FULLSCREEN_H
#define TUNEBELL_FULLSCREEN_H

#include <windows.h>

// What the shell says of the user's state (SHQueryUserNotificationState,
// Windows Vista on); the numbers are the shell's own.
enum UserNotificationState {
    USER_STATE_UNKNOWN = 0,            // no shell function to ask
    USER_STATE_NOT_PRESENT = 1,        // screen saver, locked, another session
    USER_STATE_BUSY = 2,               // a full-screen program
    USER_STATE_DIRECT3D_FULLSCREEN = 3,
    USER_STATE_PRESENTATION = 4,
    USER_STATE_ACCEPTS_NOTIFICATIONS = 5,
    USER_STATE_QUIET_TIME = 6,         // the first hour after a new user's first logon
    USER_STATE_APP = 7,                // a full-screen app of the newer kind
};

// The foreground window as the test sees it.
struct ForegroundWindow {
    RECT area;               // its client area, in screen coordinates
    RECT monitor;            // the whole monitor it is on
    const char *className;
    bool shell;              // the desktop window or the shell's own
    bool ourProcess;         // a window of the player's process
};

// True when the window (NULL: none, or one hidden or minimised) covers its
// whole monitor, task bar included, or the shell's state is one in which
// notifications wait. The desktop, the shell's windows and our own popups
// never count. Pure.
bool IsFullScreenInFront(const ForegroundWindow *window, int userState);

// Looks at the foreground window and asks the shell, now.
bool FullScreenProgramInFront(void);

#endif
