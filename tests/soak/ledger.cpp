// The ledger of what the plug-in takes from the system and gives back, kept
// by redirecting the plug-in's own imports; and the pauses and slow slides
// that the same redirections make possible.
#include "tests/soak/soak.h"

#include "host/iat_hook.h"
#include "base/messages.h"

#include <stdio.h>
#include <string.h>

#include <map>
#include <string>

// --- the ledger ------------------------------------------------------------------

namespace {

enum Kind { kHeapBlock, kGdiObject, kIcon, kDeviceContext, kKernelHandle, kAtom, kWindowClass, kKinds };
const char *const kKindNames[kKinds] = { "heap blocks", "GDI objects", "icons", "device contexts",
                                         "kernel handles", "atoms", "window classes" };

CRITICAL_SECTION gLock;
// What is out, by kind and value, with how many times it was handed out.
std::map<std::pair<int, std::string>, int> gOut;
HMODULE gModule;

std::string Key(const void *value)
{
    char text[16];
    snprintf(text, sizeof text, "%p", value);
    return text;
}

void Took(Kind kind, const std::string &value)
{
    EnterCriticalSection(&gLock);
    gOut[std::make_pair((int)kind, value)]++;
    LeaveCriticalSection(&gLock);
}

// Gives back one; what the plug-in gives back that it did not take here
// (a stock object, say) is none of the ledger's business.
void Gave(Kind kind, const std::string &value)
{
    EnterCriticalSection(&gLock);
    auto found = gOut.find(std::make_pair((int)kind, value));
    if (found != gOut.end() && --found->second == 0)
        gOut.erase(found);
    LeaveCriticalSection(&gLock);
}

template <typename T>
T Took(Kind kind, T value)
{
    if (value)
        Took(kind, Key((const void *)value));
    return value;
}

LPVOID WINAPI LedgerHeapAlloc(HANDLE heap, DWORD flags, SIZE_T bytes)
{
    return Took(kHeapBlock, HeapAlloc(heap, flags, bytes));
}

BOOL WINAPI LedgerHeapFree(HANDLE heap, DWORD flags, LPVOID block)
{
    if (block)
        Gave(kHeapBlock, Key(block));
    return HeapFree(heap, flags, block);
}

HFONT WINAPI LedgerCreateFontIndirectW(const LOGFONTW *font)
{
    return Took(kGdiObject, CreateFontIndirectW(font));
}

HBRUSH WINAPI LedgerCreateSolidBrush(COLORREF colour)
{
    return Took(kGdiObject, CreateSolidBrush(colour));
}

HBRUSH WINAPI LedgerCreateHatchBrush(int style, COLORREF colour)
{
    return Took(kGdiObject, CreateHatchBrush(style, colour));
}

HPEN WINAPI LedgerCreatePen(int style, int width, COLORREF colour)
{
    return Took(kGdiObject, CreatePen(style, width, colour));
}

BOOL WINAPI LedgerDeleteObject(HGDIOBJ object)
{
    Gave(kGdiObject, Key(object));
    return DeleteObject(object);
}

HANDLE WINAPI LedgerCopyImage(HANDLE image, UINT type, int cx, int cy, UINT flags)
{
    return Took(type == IMAGE_ICON ? kIcon : kGdiObject, CopyImage(image, type, cx, cy, flags));
}

BOOL WINAPI LedgerDestroyIcon(HICON icon)
{
    Gave(kIcon, Key(icon));
    return DestroyIcon(icon);
}

HDC WINAPI LedgerGetDC(HWND window)
{
    return Took(kDeviceContext, GetDC(window));
}

int WINAPI LedgerReleaseDC(HWND window, HDC dc)
{
    Gave(kDeviceContext, Key(dc));
    return ReleaseDC(window, dc);
}

HANDLE WINAPI LedgerCreateEventA(LPSECURITY_ATTRIBUTES security, BOOL manual, BOOL initial, LPCSTR name)
{
    return Took(kKernelHandle, CreateEventA(security, manual, initial, name));
}

HANDLE WINAPI LedgerCreateThread(LPSECURITY_ATTRIBUTES security, SIZE_T stack,
                                 LPTHREAD_START_ROUTINE start, LPVOID parameter, DWORD flags,
                                 LPDWORD id)
{
    return Took(kKernelHandle, CreateThread(security, stack, start, parameter, flags, id));
}

BOOL WINAPI LedgerCloseHandle(HANDLE handle)
{
    Gave(kKernelHandle, Key(handle));
    return CloseHandle(handle);
}

ATOM WINAPI LedgerGlobalAddAtomA(LPCSTR name)
{
    ATOM atom = GlobalAddAtomA(name);
    if (atom)
        Took(kAtom, Key((void *)(UINT_PTR)atom));
    return atom;
}

ATOM WINAPI LedgerGlobalDeleteAtom(ATOM atom)
{
    Gave(kAtom, Key((void *)(UINT_PTR)atom));
    return GlobalDeleteAtom(atom);
}

// Classes go by name: the plug-in unregisters them by name.
ATOM WINAPI LedgerRegisterClassA(const WNDCLASSA *windowClass)
{
    ATOM atom = RegisterClassA(windowClass);
    if (atom)
        Took(kWindowClass, std::string(windowClass->lpszClassName));
    return atom;
}

// Class names are plain ASCII.
std::string Narrow(LPCWSTR name)
{
    std::string narrow;
    while (*name)
        narrow += (char)*name++;
    return narrow;
}

ATOM WINAPI LedgerRegisterClassExA(const WNDCLASSEXA *windowClass)
{
    ATOM atom = RegisterClassExA(windowClass);
    if (atom)
        Took(kWindowClass, std::string(windowClass->lpszClassName));
    return atom;
}

ATOM WINAPI LedgerRegisterClassExW(const WNDCLASSEXW *windowClass)
{
    ATOM atom = RegisterClassExW(windowClass);
    if (atom)
        Took(kWindowClass, Narrow(windowClass->lpszClassName));
    return atom;
}

BOOL WINAPI LedgerUnregisterClassA(LPCSTR name, HINSTANCE instance)
{
    BOOL done = UnregisterClassA(name, instance);
    if (done && HIWORD((UINT_PTR)name))
        Gave(kWindowClass, std::string(name));
    return done;
}

BOOL WINAPI LedgerUnregisterClassW(LPCWSTR name, HINSTANCE instance)
{
    BOOL done = UnregisterClassW(name, instance);
    if (done && HIWORD((UINT_PTR)name))
        Gave(kWindowClass, Narrow(name));
    return done;
}

// --- pauses and slides ------------------------------------------------------------

struct Pause {
    volatile LONG armed;
    HWND target;
    HANDLE reached, release;
};
Pause gPauses[kPausePoints];

void MaybePause(PausePoint point, HWND moved)
{
    Pause &pause = gPauses[point];
    if (!pause.reached || (pause.target && pause.target != moved) ||
        InterlockedCompareExchange(&pause.armed, 0, 1) != 1)
        return;
    SetEvent(pause.reached);
    // A paused thread answers what others send it, as it would inside any
    // call that waits on another thread.
    for (DWORD start = GetTickCount(); GetTickCount() - start < 10000;) {
        if (MsgWaitForMultipleObjects(1, &pause.release, FALSE, 100, QS_SENDMESSAGE) == WAIT_OBJECT_0)
            return;
        MSG msg;
        PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

HWND WINAPI LedgerCreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR name, DWORD style, int x,
                                  int y, int w, int h, HWND parent, HMENU menu, HINSTANCE instance,
                                  LPVOID param)
{
    HWND window = CreateWindowExW(exStyle, className, name, style, x, y, w, h, parent, menu, instance,
                                  param);
    if (HIWORD((UINT_PTR)className) && lstrcmpW(className, L"PopUpWnd") == 0)
        MaybePause(kPausePopupWindowMade, NULL);
    return window;
}

// A closing popup tells each other popup its new place by a message posted
// to it.
BOOL WINAPI LedgerPostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == UM_POPUP_PLACE) {
        MaybePause(kPauseMovingPopup, window);
        MaybePause(kPauseMovingPopupToo, window);
    }
    return PostMessageA(window, message, wParam, lParam);
}

volatile LONG gSlowSlides;
HANDLE gSlideStarted;

BOOL WINAPI SlowAnimateWindow(HWND window, DWORD ms, DWORD flags)
{
    SetEvent(gSlideStarted);
    Sleep(ms);
    return AnimateWindow(window, ms, flags);
}

FARPROC WINAPI LedgerGetProcAddress(HMODULE module, LPCSTR name)
{
    if (gSlowSlides && HIWORD((UINT_PTR)name) && strcmp(name, "AnimateWindow") == 0)
        return (FARPROC)(void *)SlowAnimateWindow;
    return GetProcAddress(module, name);
}

struct Redirect {
    const char *dll;
    const char *function;
    void *replacement;
};

const Redirect kRedirects[] = {
    { "kernel32.dll", "HeapAlloc", (void *)LedgerHeapAlloc },
    { "kernel32.dll", "HeapFree", (void *)LedgerHeapFree },
    { "kernel32.dll", "CreateEventA", (void *)LedgerCreateEventA },
    { "kernel32.dll", "CreateThread", (void *)LedgerCreateThread },
    { "kernel32.dll", "CloseHandle", (void *)LedgerCloseHandle },
    { "kernel32.dll", "GlobalAddAtomA", (void *)LedgerGlobalAddAtomA },
    { "kernel32.dll", "GlobalDeleteAtom", (void *)LedgerGlobalDeleteAtom },
    { "kernel32.dll", "GetProcAddress", (void *)LedgerGetProcAddress },
    { "gdi32.dll", "CreateFontIndirectW", (void *)LedgerCreateFontIndirectW },
    { "gdi32.dll", "CreateSolidBrush", (void *)LedgerCreateSolidBrush },
    { "gdi32.dll", "CreateHatchBrush", (void *)LedgerCreateHatchBrush },
    { "gdi32.dll", "CreatePen", (void *)LedgerCreatePen },
    { "gdi32.dll", "DeleteObject", (void *)LedgerDeleteObject },
    { "user32.dll", "CopyImage", (void *)LedgerCopyImage },
    { "user32.dll", "DestroyIcon", (void *)LedgerDestroyIcon },
    { "user32.dll", "GetDC", (void *)LedgerGetDC },
    { "user32.dll", "ReleaseDC", (void *)LedgerReleaseDC },
    { "user32.dll", "RegisterClassA", (void *)LedgerRegisterClassA },
    { "user32.dll", "RegisterClassExA", (void *)LedgerRegisterClassExA },
    { "user32.dll", "RegisterClassExW", (void *)LedgerRegisterClassExW },
    { "user32.dll", "UnregisterClassA", (void *)LedgerUnregisterClassA },
    { "user32.dll", "UnregisterClassW", (void *)LedgerUnregisterClassW },
    { "user32.dll", "CreateWindowExW", (void *)LedgerCreateWindowExW },
    { "user32.dll", "PostMessageA", (void *)LedgerPostMessageA },
};

}  // namespace

void ArmPause(PausePoint point, HWND target)
{
    ResetEvent(gPauses[point].reached);
    ResetEvent(gPauses[point].release);
    gPauses[point].target = target;
    InterlockedExchange(&gPauses[point].armed, 1);
}

bool WaitForPause(PausePoint point, DWORD timeoutMs)
{
    return WaitUntil([&] { return WaitForSingleObject(gPauses[point].reached, 0) == WAIT_OBJECT_0; },
                     timeoutMs);
}

void ReleasePause(PausePoint point)
{
    InterlockedExchange(&gPauses[point].armed, 0);
    SetEvent(gPauses[point].release);
}

static DWORD WINAPI ReleaseLater(LPVOID param)
{
    Sleep(LOWORD((DWORD_PTR)param));
    ReleasePause((PausePoint)HIWORD((DWORD_PTR)param));
    return 0;
}

void ReleasePauseLater(PausePoint point, DWORD ms)
{
    CloseHandle(CreateThread(NULL, 0, ReleaseLater, (LPVOID)(DWORD_PTR)MAKELONG(ms, point), 0, NULL));
}

void UseSlowSlides(bool on)
{
    ResetEvent(gSlideStarted);
    InterlockedExchange(&gSlowSlides, on ? 1 : 0);
}

HANDLE SlideStarted()
{
    return gSlideStarted;
}

void ReleaseAllPauses()
{
    for (int point = 0; point < kPausePoints; point++)
        if (gPauses[point].release)
            ReleasePause((PausePoint)point);
    if (gSlideStarted)
        UseSlowSlides(false);
}

bool StartLedger()
{
    static bool ready;
    if (!ready) {
        InitializeCriticalSection(&gLock);
        for (Pause &pause : gPauses) {
            pause.reached = CreateEventA(NULL, TRUE, FALSE, NULL);
            pause.release = CreateEventA(NULL, TRUE, FALSE, NULL);
        }
        gSlideStarted = CreateEventA(NULL, TRUE, FALSE, NULL);
        ready = true;
    }
    gOut.clear();
    gModule = LoadLibraryA(PlayerDefaultPluginPath());
    if (!gModule)
        return false;
    for (const Redirect &r : kRedirects) {
        if (IatReplaceImport(gModule, r.dll, r.function, r.replacement) <= 0) {
            fprintf(stderr, "ledger: the plug-in does not import %s\n", r.function);
            return false;
        }
    }
    return true;
}

void StopLedger()
{
    if (gModule)
        FreeLibrary(gModule);
    gModule = NULL;
}

std::string LedgerOutstanding()
{
    int counts[kKinds] = {};
    EnterCriticalSection(&gLock);
    for (const auto &out : gOut)
        counts[out.first.first] += out.second;
    LeaveCriticalSection(&gLock);
    std::string text;
    for (int kind = 0; kind < kKinds; kind++) {
        if (!counts[kind])
            continue;
        char part[64];
        snprintf(part, sizeof part, "%s%d %s", text.empty() ? "" : ", ", counts[kind], kKindNames[kind]);
        text += part;
    }
    return text;
}
