// Functions of Windows that the plug-in looks up instead of importing them:
// the two effects, which the settings dialog offers only where they are
// found, the shell's word on the user's state, which Windows before Vista
// lacks, and the functions of display scaling, which come with Windows 8.1
// and 10. Each is NULL where it is missing, and what needs it is then left
// out. Looked up once, when the plug-in starts, and forgotten when it
// quits; read by every thread without a lock in between.
#ifndef TUNEBELL_OPTIONAL_FUNCTIONS_H
#define TUNEBELL_OPTIONAL_FUNCTIONS_H

#include <windows.h>

typedef BOOL (WINAPI *SetLayeredWindowAttributesProc)(HWND, COLORREF, BYTE, DWORD);
typedef BOOL (WINAPI *AnimateWindowProc)(HWND, DWORD, DWORD);
typedef HRESULT (WINAPI *QueryUserStateProc)(int *state);
typedef HANDLE (WINAPI *SetThreadDpiAwarenessContextProc)(HANDLE context);
typedef HRESULT (WINAPI *GetDpiForMonitorProc)(HMONITOR, int type, UINT *x, UINT *y);
typedef UINT (WINAPI *GetDpiForWindowProc)(HWND);
typedef int (WINAPI *GetSystemMetricsForDpiProc)(int metric, UINT dpi);

// The fade and translucency, and the slide.
extern SetLayeredWindowAttributesProc pSetLayeredWindowAttributes;
extern AnimateWindowProc pAnimateWindow;
// SHQueryUserNotificationState, for the full-screen check.
extern QueryUserStateProc pSHQueryUserNotificationState;
// Display scaling: Windows 10 version 1607 (shcore's GetDpiForMonitor: 8.1).
extern SetThreadDpiAwarenessContextProc pSetThreadDpiAwarenessContext;
extern GetDpiForMonitorProc pGetDpiForMonitor;
extern GetDpiForWindowProc pGetDpiForWindow;
extern GetSystemMetricsForDpiProc pGetSystemMetricsForDpi;

void LookUpOptionalFunctions(void);
void ForgetOptionalFunctions(void);

#endif
