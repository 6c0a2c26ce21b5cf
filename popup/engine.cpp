// Start-up and shutdown of the popup engine.
#include "popup/engine.h"
#include "popup/list.h"
#include "popup/thread_pool.h"
#include "popup/window.h"
#include "plugin/own_module.h"
#include "plugin/plugin.h"
#include "plugin/wait.h"
#include "settings/colour_picker.h"
#include "settings/settings.h"

#include <string.h>

SetLayeredWindowAttributesProc pSetLayeredWindowAttributes;
AnimateWindowProc pAnimateWindow;
HFONT PopupFont;
HFONT PopupBoldFont;
static LOGFONTA gPopupLogFont;
static LOGFONTA gPopupBoldLogFont;
static HMODULE gUser32;

static volatile LONG gEngineRunning;
static volatile LONG gEngineStopping;

// Popup threads started and not yet finished, and the event each one sets
// as it finishes, so the shutdown can wait for the last one. The last thread
// may still be setting the event when the shutdown sees the count at 0, so
// the event lives as long as the module (each popup thread holds a
// reference to the module until it has ended).
static volatile LONG gPopupThreads;
static HANDLE gPopupThreadEnded;

// The handle of every popup thread running. A thread that ends while the
// plug-in runs closes its own; one that ends at shutdown leaves it for the
// shutdown, which waits for the threads themselves (a thread's word that it
// is done comes just before it lets go of the module), so that the player's
// FreeLibrary after quit really unmaps the module.
struct PopupThreadHandle {
    HANDLE thread;
    DWORD id;
    PopupThreadHandle *next;
};
static CRITICAL_SECTION gThreadHandlesLock;
static PopupThreadHandle *gThreadHandles;

// The shutdown, once no popup thread can start another: waits for each
// thread still listed to end, and closes its handle.
static void WaitForListedThreads(void)
{
    EnterCriticalSection(&gThreadHandlesLock);
    while (gThreadHandles) {
        PopupThreadHandle *kept = gThreadHandles;
        WaitAnsweringSentMessages(kept->thread, INFINITE);
        gThreadHandles = kept->next;
        CloseHandle(kept->thread);
        HeapFree(GetProcessHeap(), 0, kept);
    }
    LeaveCriticalSection(&gThreadHandlesLock);
}

// A popup thread as it ends while the plug-in runs: nobody will wait for it.
static void ForgetThisThread(void)
{
    DWORD self = GetCurrentThreadId();
    EnterCriticalSection(&gThreadHandlesLock);
    for (PopupThreadHandle **at = &gThreadHandles; *at; at = &(*at)->next) {
        PopupThreadHandle *kept = *at;
        if (kept->id == self) {
            *at = kept->next;
            CloseHandle(kept->thread);
            HeapFree(GetProcessHeap(), 0, kept);
            break;
        }
    }
    LeaveCriticalSection(&gThreadHandlesLock);
}

void ShowInfoMessage(const char *text)
{
    MessageBoxA(NULL, text, "PopUp Plugin", MB_ICONINFORMATION);
}

int RegisterPopupClass(void)
{
    WNDCLASSEXW wc;
    memset(&wc, 0, sizeof(wc));
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = PopupWndProc;
    wc.hInstance = gInstance;
    wc.hCursor = LoadCursorA(NULL, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)GetStockObject(LTGRAY_BRUSH);
    wc.lpszClassName = POPUP_CLASS;
    return RegisterClassExW(&wc) != 0;
}

void CreatePopupFonts(void)
{
    if (PopupFont)
        DeleteObject(PopupFont);
    if (PopupBoldFont)
        DeleteObject(PopupBoldFont);
    memset(&gPopupLogFont, 0, sizeof(gPopupLogFont));
    gPopupLogFont.lfHeight = -11;
    gPopupLogFont.lfWeight = FW_NORMAL;
    gPopupLogFont.lfCharSet = DEFAULT_CHARSET;
    gPopupLogFont.lfPitchAndFamily = FF_SWISS | DEFAULT_PITCH;
    lstrcpyA(gPopupLogFont.lfFaceName, "Tahoma");
    gPopupBoldLogFont = gPopupLogFont;
    gPopupBoldLogFont.lfWeight = FW_BOLD;
    PopupFont = CreateFontIndirectA(&gPopupLogFont);
    PopupBoldFont = CreateFontIndirectA(&gPopupBoldLogFont);
}

int PopupEngineInit(void)
{
    if (!RegisterPopupClass()) {
        ShowInfoMessage("Error: I could not register the PopUp Window class.\nThe plugin will not operate.");
        return 0;
    }
    gUser32 = LoadLibraryA("user32.dll");
    if (gUser32) {
        pSetLayeredWindowAttributes = (SetLayeredWindowAttributesProc)(void *)GetProcAddress(gUser32, "SetLayeredWindowAttributes");
        pAnimateWindow = (AnimateWindowProc)(void *)GetProcAddress(gUser32, "AnimateWindow");
    }
    InitializeCriticalSection(&gPopupListLock);
    InitPopupList();
    CreatePopupFonts();
    gPopupThreads = 0;
    InitializeCriticalSection(&gThreadHandlesLock);
    gThreadHandles = NULL;
    if (!gPopupThreadEnded)
        gPopupThreadEnded = CreateEventA(NULL, FALSE, FALSE, NULL);
    RegisterColourPickerClass();
    ResolveIniPath();
    LoadSettings();
    InterlockedExchange(&gEngineStopping, 0);
    InterlockedExchange(&gEngineRunning, 1);
    StartPopupThreadPool();
    return 0;
}

int PopupEngineShutdown(void)
{
    // A failed start set up nothing else: release only what it made.
    if (!InterlockedExchange(&gEngineRunning, 0))
        return 0;
    InterlockedExchange(&gEngineStopping, 1);

    StopPopupThreadPool();
    RemoveAllPopups();
    WaitForListedThreads();
    DeleteCriticalSection(&gThreadHandlesLock);
    DeleteCriticalSection(&gPopupListLock);
    ReleasePopupThreadPool();

    DeleteObject(PopupFont);
    DeleteObject(PopupBoldFont);
    PopupFont = PopupBoldFont = NULL;
    pSetLayeredWindowAttributes = NULL;
    pAnimateWindow = NULL;
    if (gUser32)
        FreeLibrary(gUser32);
    gUser32 = NULL;
    UnregisterClassW(POPUP_CLASS, gInstance);
    // Its procedure is in this module: left behind, it would outlive our code.
    UnregisterColourPickerClass();
    return 0;
}

bool IsPopupEngineRunning(void)
{
    return gEngineRunning != 0;
}

bool IsPopupEngineStopping(void)
{
    return gEngineStopping != 0;
}

bool StartPopupThread(PopupRequest *copy)
{
    if (copy && HandPopupToSpare(copy))
        return true;
    HMODULE self = OwnModule(MODULE_ADD_REFERENCE);
    if (!self)
        return false;
    InterlockedIncrement(&gPopupThreads);
    // Listed before it runs, so that it finds its handle when it ends.
    DWORD threadId;
    HANDLE thread = CreateThread(NULL, 0, PopupThreadProc, copy, CREATE_SUSPENDED, &threadId);
    if (!thread) {
        if (InterlockedDecrement(&gPopupThreads) == 0)
            SetEvent(gPopupThreadEnded);
        FreeLibrary(self);
        return false;
    }
    PopupThreadHandle *kept = (PopupThreadHandle *)HeapAlloc(GetProcessHeap(), 0, sizeof(PopupThreadHandle));
    if (kept) {
        kept->thread = thread;
        kept->id = threadId;
        EnterCriticalSection(&gThreadHandlesLock);
        kept->next = gThreadHandles;
        gThreadHandles = kept;
        LeaveCriticalSection(&gThreadHandlesLock);
    }
    ResumeThread(thread);
    if (!kept)
        CloseHandle(thread);   // the shutdown then trusts the thread's word alone
    return true;
}

void ExitPopupThread(void)
{
    HMODULE self = OwnModule(MODULE_NO_REFERENCE);
    // At shutdown the shutdown waits on this thread's handle, and closes it.
    if (!IsPopupEngineStopping())
        ForgetThisThread();
    if (InterlockedDecrement(&gPopupThreads) == 0)
        SetEvent(gPopupThreadEnded);
    // Past this call no code of ours runs on this thread; the reference taken
    // at its start keeps the module mapped until then.
    FreeLibraryAndExitThread(self, 0);
}

void WaitForPopupThreads(void)
{
    // Without an event (none could be made) the count is looked at again
    // every 10 ms; the popup threads are answered meanwhile either way.
    while (gPopupThreads > 0)
        WaitAnsweringSentMessages(gPopupThreadEnded, gPopupThreadEnded ? INFINITE : 10);
}

void ReleasePopupEngine(void)
{
    if (gPopupThreadEnded)
        CloseHandle(gPopupThreadEnded);
    gPopupThreadEnded = NULL;
}
