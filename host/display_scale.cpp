// A child process on a display scaled as the caller asks. Wine, like
// Windows before per-user scaling, takes the resolution from the user's
// LogPixels value when a program starts; the value is set for the child
// and put back afterwards, so the rest of the session keeps its own.
#include "host/player.h"

#include <stdio.h>

#include <string>

static const char kDesktopKey[] = "Control Panel\\Desktop";
static const char kLogPixels[] = "LogPixels";

int PlayerScreenDpi()
{
    HDC screen = GetDC(NULL);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(NULL, screen);
    return dpi;
}

// The LogPixels value before; false when there was none.
static bool ReadLogPixels(HKEY key, DWORD *value)
{
    DWORD type = 0, size = sizeof *value;
    return RegQueryValueExA(key, kLogPixels, NULL, &type, (BYTE *)value, &size) == ERROR_SUCCESS &&
           type == REG_DWORD;
}

static bool WriteLogPixels(HKEY key, DWORD value)
{
    return RegSetValueExA(key, kLogPixels, 0, REG_DWORD, (const BYTE *)&value, sizeof value) == ERROR_SUCCESS;
}

static int RunChild(const char *commandLine, DWORD timeoutMs)
{
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    std::string line = commandLine;   // CreateProcessA may write into it
    PROCESS_INFORMATION child;
    if (!CreateProcessA(NULL, &line[0], NULL, NULL, TRUE, 0, NULL, NULL, &startup, &child)) {
        fprintf(stderr, "cannot start %s: error %lu\n", commandLine, GetLastError());
        return -1;
    }
    CloseHandle(child.hThread);
    bool ended = WaitUntil([&] { return WaitForSingleObject(child.hProcess, 0) == WAIT_OBJECT_0; },
                           timeoutMs, 50);
    DWORD code = (DWORD)-1;
    if (!ended) {
        fprintf(stderr, "%s did not end within %lu ms\n", commandLine, timeoutMs);
        TerminateProcess(child.hProcess, (UINT)-1);
        WaitForSingleObject(child.hProcess, 5000);
    } else {
        GetExitCodeProcess(child.hProcess, &code);
    }
    CloseHandle(child.hProcess);
    return ended ? (int)code : -1;
}

int PlayerRunAtDpi(const char *commandLine, int dpi, DWORD timeoutMs)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kDesktopKey, 0, NULL, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, NULL,
                        &key, NULL) != ERROR_SUCCESS) {
        fprintf(stderr, "cannot open HKCU\\%s\n", kDesktopKey);
        return -1;
    }
    DWORD before = 0;
    bool had = ReadLogPixels(key, &before);
    int code = -1;
    if (WriteLogPixels(key, (DWORD)dpi))
        code = RunChild(commandLine, timeoutMs);
    else
        fprintf(stderr, "cannot set HKCU\\%s\\%s\n", kDesktopKey, kLogPixels);
    if (had)
        WriteLogPixels(key, before);
    else
        RegDeleteValueA(key, kLogPixels);
    RegCloseKey(key);
    return code;
}
