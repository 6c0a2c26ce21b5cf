// Functions of Windows that the plug-in looks up instead of importing them:
// the two effects, which the settings dialog offers only where they are
// found, the shell's word on the user's state, which Windows before Vista
// lacks, the functions of display scaling, which come with Windows 8.1
// and 10, and for the look that follows Windows the registry's values
// read in one call (Vista), the real version, and round corners. Each is NULL where it is missing, and what needs it is then left
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
typedef LONG (WINAPI *RegGetValueWProc)(HKEY, const WCHAR *subKey, const WCHAR *value, DWORD flags,
                                        DWORD *type, void *data, DWORD *size);
typedef LONG (WINAPI *RtlGetVersionProc)(OSVERSIONINFOW *version);
typedef HRESULT (WINAPI *DwmSetWindowAttributeProc)(HWND, DWORD attribute, const void *value, DWORD size);

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
// The registry's values: looked up, so that the plug-in imports no more
// than it did.
extern RegGetValueWProc pRegGetValueW;
// The real version: GetVersionEx answers for an older Windows to a program
// without a manifest. Then the window's corners (dwmapi: Vista).
extern RtlGetVersionProc pRtlGetVersion;
extern DwmSetWindowAttributeProc pDwmSetWindowAttribute;

void LookUpOptionalFunctions(void);
void ForgetOptionalFunctions(void);

#endif
