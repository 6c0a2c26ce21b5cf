// Functions of Windows that the plug-in looks up instead of importing them,
// because a system the plug-in runs on may lack them; each is NULL where it
// is missing, and what needs it is then left out. Looked up once, when the
// popup engine starts, and forgotten when it stops; read by every thread
// without a lock in between.
#ifndef TUNEBELL_OPTIONAL_FUNCTIONS_H
#define TUNEBELL_OPTIONAL_FUNCTIONS_H

#include <windows.h>

typedef BOOL (WINAPI *SetLayeredWindowAttributesProc)(HWND, COLORREF, BYTE, DWORD);
typedef BOOL (WINAPI *AnimateWindowProc)(HWND, DWORD, DWORD);
typedef BOOL (WINAPI *TrackMouseEventProc)(LPTRACKMOUSEEVENT);
typedef BOOL (WINAPI *EnumDisplayMonitorsProc)(HDC, LPCRECT, MONITORENUMPROC, LPARAM);
typedef BOOL (WINAPI *GetMonitorInfoProc)(HMONITOR, LPMONITORINFO);
typedef void (WINAPI *NotifyWinEventProc)(DWORD event, HWND window, LONG object, LONG child);
typedef HWND (WINAPI *GetShellWindowProc)(void);
typedef HRESULT (WINAPI *QueryUserStateProc)(int *state);

// The fade and translucency (Windows 2000 on), and the slide (Windows 98
// and 2000 on).
extern SetLayeredWindowAttributesProc pSetLayeredWindowAttributes;
extern AnimateWindowProc pAnimateWindow;
// The hold while the pointer rests on a popup (Windows 98 and NT 4 on).
extern TrackMouseEventProc pTrackMouseEvent;
// Telling monitors apart (Windows 98 and 2000 on): both or neither.
extern EnumDisplayMonitorsProc pEnumDisplayMonitors;
extern GetMonitorInfoProc pGetMonitorInfoA;
// The word to screen readers (Windows 98 and 2000 on).
extern NotifyWinEventProc pNotifyWinEvent;
// The shell's own window (Windows 2000 on) and the user's state as the shell
// sees it (SHQueryUserNotificationState, Windows Vista on), for the
// full-screen check.
extern GetShellWindowProc pGetShellWindow;
extern QueryUserStateProc pSHQueryUserNotificationState;

void LookUpOptionalFunctions(void);
void ForgetOptionalFunctions(void);

// Whether this system can tell its monitors apart.
bool MonitorFunctionsAvailable(void);
// Whether this system tells a window that the pointer left it.
bool PointerLeaveNoticeAvailable(void);

#endif
