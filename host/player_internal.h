// What the host's own files share with each other; tests use player.h.
#pragma once

#include <windows.h>

// The command log (command_log.cpp). CommandLogInit runs once, on the
// player's thread, before any plug-in thread can send.
void CommandLogInit();
// CommandLogAdd returns the entry's index (-1 once the log is full), for
// CommandLogTook to note how long its send took.
int CommandLogAdd(int command, WPARAM wParam, DWORD threadId);
void CommandLogTook(int index, DWORD ms);

// The preferences record lives in the plug-in: forgotten when it is freed.
void PlayerForgetPrefsPage();

// The double's stand-in for shcore!CreateRandomAccessStreamOverStream
// (media_double.cpp), the double loaded first; NULL without it.
FARPROC MediaDoubleStreamFunction();
