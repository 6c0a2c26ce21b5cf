#include "host/other_program.h"

#include <stdio.h>
#include <string.h>

static const char kOtherProgram[] = "--other-program";

// The copy's whole life: the job, word that it is done, then messages until
// it is told to quit.
static int RunOtherProgram(const char *job)
{
    unsigned ready, a, b, c = 0, d = 0;
    char what[16];
    if (sscanf(job, "%u %15s %u %u %u %u", &ready, what, &a, &b, &c, &d) < 4)
        return 2;
    // A queue first: Wine's window system falls over when a hot key is
    // pressed for a thread that has none.
    MSG msg;
    PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE);
    if (!strcmp(what, "hotkey") && !RegisterHotKey(NULL, 1, a, b))
        return 1;
    if (!strcmp(what, "cover") && !CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "STATIC", "",
                                                   WS_POPUP | WS_VISIBLE, a, b, c - a, d - b, NULL, NULL, NULL, NULL))
        return 1;
    SetEvent((HANDLE)(UINT_PTR)ready);
    while (GetMessageA(&msg, NULL, 0, 0) > 0)
        DispatchMessageA(&msg);
    return 0;
}

// A copy started as the other program does its job before anything else of
// the program runs, and ends.
static struct OtherProgramMain {
    OtherProgramMain()
    {
        const char *job = strstr(GetCommandLineA(), kOtherProgram);
        if (job)
            ExitProcess(RunOtherProgram(job + sizeof kOtherProgram));
    }
} gOtherProgramMain;

bool OtherProgram::Start(const char *job)
{
    SECURITY_ATTRIBUTES inherited;
    inherited.nLength = sizeof inherited;
    inherited.lpSecurityDescriptor = NULL;
    inherited.bInheritHandle = TRUE;
    HANDLE ready = CreateEventA(&inherited, TRUE, FALSE, NULL);
    char exe[MAX_PATH], line[MAX_PATH + 128];
    GetModuleFileNameA(NULL, exe, sizeof exe);
    snprintf(line, sizeof line, "\"%s\" %s %u %s", exe, kOtherProgram, (unsigned)(UINT_PTR)ready, job);
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    bool done = false;
    if (ready && CreateProcessA(NULL, line, NULL, NULL, TRUE, 0, NULL, NULL, &startup, &process)) {
        CloseHandle(process.hThread);
        HANDLE either[2] = { ready, process.hProcess };
        done = WaitForMultipleObjects(2, either, FALSE, 10000) == WAIT_OBJECT_0;
    }
    if (ready)
        CloseHandle(ready);
    return done;
}

void OtherProgram::Stop()
{
    if (!process.hProcess)
        return;
    PostThreadMessageA(process.dwThreadId, WM_QUIT, 0, 0);
    WaitForSingleObject(process.hProcess, 10000);
    CloseHandle(process.hProcess);
    process.hProcess = NULL;
}
