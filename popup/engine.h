// The popup engine's start and stop, the shared fonts, the optional user32
// entry points and the lifetime of popup threads.
#ifndef TUNEBELL_POPUP_ENGINE_H
#define TUNEBELL_POPUP_ENGINE_H

#include <windows.h>
#include "popup/request.h"

typedef BOOL (WINAPI *SetLayeredWindowAttributesProc)(HWND, COLORREF, BYTE, DWORD);
typedef BOOL (WINAPI *AnimateWindowProc)(HWND, DWORD, DWORD);

// NULL when this Windows lacks them: the effects that need them are skipped.
extern SetLayeredWindowAttributesProc pSetLayeredWindowAttributes;
extern AnimateWindowProc pAnimateWindow;

extern HFONT PopupFont;
extern HFONT PopupBoldFont;

int PopupEngineInit(void);
int PopupEngineShutdown(void);
int RegisterPopupClass(void);
void CreatePopupFonts(void);
void ShowInfoMessage(const char *text);

// True between a successful start and the beginning of the shutdown.
bool IsPopupEngineRunning(void);
// True once the shutdown began: effects stop at their next step.
bool IsPopupEngineStopping(void);

// Starts a detached popup thread for the request copy. The thread holds its
// own reference on this module, so the module stays mapped until the thread
// has left our code. False when the thread could not be started.
bool StartPopupThread(PopupRequest *copy);
// The popup thread's last call: releases its module reference and ends.
void ExitPopupThread(void);
// Returns when every popup thread has finished its work (player's thread).
void WaitForPopupThreads(void);
// What the engine keeps for the module's lifetime; when the module is unloaded.
void ReleasePopupEngine(void);

#endif
