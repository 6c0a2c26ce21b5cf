// Functions of Windows that the plug-in looks up instead of importing them:
// the two effects, which the settings dialog offers only where they are
// found, and the shell's word on the user's state, which Windows before Vista
// lacks. Each is NULL where it is missing, and what needs it is then left
// out. Looked up once, when the popup engine starts, and forgotten when it
// stops; read by every thread without a lock in between.
#ifndef TUNEBELL_OPTIONAL_FUNCTIONS_H
#define TUNEBELL_OPTIONAL_FUNCTIONS_H

#include <windows.h>

typedef BOOL (WINAPI *SetLayeredWindowAttributesProc)(HWND, COLORREF, BYTE, DWORD);
typedef BOOL (WINAPI *AnimateWindowProc)(HWND, DWORD, DWORD);
typedef HRESULT (WINAPI *QueryUserStateProc)(int *state);

// The fade and translucency, and the slide.
extern SetLayeredWindowAttributesProc pSetLayeredWindowAttributes;
extern AnimateWindowProc pAnimateWindow;
// SHQueryUserNotificationState, for the full-screen check.
extern QueryUserStateProc pSHQueryUserNotificationState;

void LookUpOptionalFunctions(void);
void ForgetOptionalFunctions(void);

#endif
