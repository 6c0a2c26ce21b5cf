// What the host's own files share with each other; tests use player.h.
#pragma once

#include <windows.h>

// The command log (command_log.cpp). CommandLogInit runs once, on the
// player's thread, before any plug-in thread can send.
void CommandLogInit();
void CommandLogAdd(int command, WPARAM wParam, DWORD threadId);

// The preferences record lives in the plug-in: forgotten when it is freed.
void PlayerForgetPrefsPage();
