/* The record of calls, the thumbnail last handed over, and what the tests
 * ask of the double (host/media_double.cpp reaches these exports): reading
 * the record, pressing Windows' buttons from a thread of the double's own,
 * holding handlers as an event source does while it raises an event. */
#include "double.h"

#include <stdarg.h>
#include <stdio.h>

enum { kMaxHeld = 16 };

static CRITICAL_SECTION gRecordLock;
static char *gRecord;
static int gRecordLength, gRecordRoom;
static unsigned char *gThumbnail;
static int gThumbnailLength = -1;
static IUnknown *gHeld[kMaxHeld], *gArmed[kMaxHeld];
static int gHeldCount, gArmedCount, gArmedButton;

void RecordingInit(void)
{
    InitializeCriticalSection(&gRecordLock);
}

static void Append(const char *line, int length)
{
    EnterCriticalSection(&gRecordLock);
    if (gRecordLength + length + 2 > gRecordRoom) {
        int room = (gRecordLength + length + 2) * 2 + 1024;
        char *grown = gRecord ? (char *)HeapReAlloc(GetProcessHeap(), 0, gRecord, room)
                              : (char *)HeapAlloc(GetProcessHeap(), 0, room);
        if (!grown) {
            LeaveCriticalSection(&gRecordLock);
            return;
        }
        gRecord = grown;
        gRecordRoom = room;
    }
    CopyMemory(gRecord + gRecordLength, line, length);
    gRecordLength += length;
    gRecord[gRecordLength++] = '\n';
    gRecord[gRecordLength] = '\0';
    LeaveCriticalSection(&gRecordLock);
}

void Record(const char *format, ...)
{
    char line[1024];
    int length;
    va_list arguments;
    va_start(arguments, format);
    length = _vsnprintf(line, sizeof line - 1, format, arguments);
    va_end(arguments);
    if (length < 0 || length > (int)sizeof line - 1)
        length = (int)sizeof line - 1;
    Append(line, length);
}

void RecordString(const char *what, HSTRING_ text)
{
    char line[2048];
    int at = lstrlenA(what), bytes;
    CopyMemory(line, what, at);
    line[at++] = ' ';
    bytes = WideCharToMultiByte(CP_UTF8, 0, StringText(text), -1, line + at, (int)sizeof line - at, NULL, NULL);
    Append(line, bytes > 0 ? at + bytes - 1 : at);
}

void ForgetThumbnail(void)
{
    EnterCriticalSection(&gRecordLock);
    if (gThumbnail)
        HeapFree(GetProcessHeap(), 0, gThumbnail);
    gThumbnail = NULL;
    gThumbnailLength = -1;
    LeaveCriticalSection(&gRecordLock);
}

void RecordThumbnail(const unsigned char *bytes, int length)
{
    ForgetThumbnail();
    if (length < 0) {
        Record("put_Thumbnail none");
        return;
    }
    EnterCriticalSection(&gRecordLock);
    gThumbnail = (unsigned char *)HeapAlloc(GetProcessHeap(), 0, length + 1);
    if (gThumbnail) {
        CopyMemory(gThumbnail, bytes, length);
        gThumbnailLength = length;
    }
    LeaveCriticalSection(&gRecordLock);
    Record("put_Thumbnail %d bytes", length);
}

/* --- combase's strings ----------------------------------------------------- */

typedef const WCHAR *(WINAPI *RawBufferProc)(HSTRING_, UINT32 *);
typedef HRESULT(WINAPI *CreateStringProc)(const WCHAR *, UINT32, HSTRING_ *);

static FARPROC Combase(const char *name)
{
    HMODULE combase = GetModuleHandleA("combase.dll");
    if (!combase)
        combase = LoadLibraryA("combase.dll");
    return combase ? GetProcAddress(combase, name) : NULL;
}

const WCHAR *StringText(HSTRING_ text)
{
    static RawBufferProc raw;
    const WCHAR *buffer;
    if (!raw)
        raw = (RawBufferProc)(void *)Combase("WindowsGetStringRawBuffer");
    buffer = raw && text ? raw(text, NULL) : NULL;
    return buffer ? buffer : L"";
}

HSTRING_ MakeString(const WCHAR *text)
{
    static CreateStringProc create;
    HSTRING_ made = NULL;
    if (!create)
        create = (CreateStringProc)(void *)Combase("WindowsCreateString");
    if (create)
        create(text, (UINT32)lstrlenW(text), &made);
    return made;
}

/* --- what the tests ask ------------------------------------------------------ */

int WINAPI DoubleCopyCalls(char *out, int size)
{
    int length;
    EnterCriticalSection(&gRecordLock);
    length = gRecordLength;
    if (out && size > 0) {
        int copied = length < size - 1 ? length : size - 1;
        if (copied > 0)
            CopyMemory(out, gRecord, copied);
        out[copied] = '\0';
    }
    LeaveCriticalSection(&gRecordLock);
    return length;
}

void WINAPI DoubleForget(void)
{
    EnterCriticalSection(&gRecordLock);
    gRecordLength = 0;
    LeaveCriticalSection(&gRecordLock);
}

int WINAPI DoubleCopyThumbnail(unsigned char *out, int size)
{
    int length;
    EnterCriticalSection(&gRecordLock);
    length = gThumbnailLength;
    if (out && length > 0)
        CopyMemory(out, gThumbnail, length < size ? length : size);
    LeaveCriticalSection(&gRecordLock);
    return length;
}

void WINAPI DoubleStartEnabled(BOOL on)
{
    NextControlsStartEnabled(on);
}

int WINAPI DoubleHoldHandlers(void)
{
    IUnknown *taken[kMaxHeld];
    int count = TakeHandlers(0, taken, kMaxHeld), i;
    EnterCriticalSection(&gRecordLock);
    for (i = 0; i < count && gHeldCount < kMaxHeld; i++)
        gHeld[gHeldCount++] = taken[i];
    LeaveCriticalSection(&gRecordLock);
    return count;
}

typedef struct {
    int what;   /* 0 press, 1 position request */
    int button;
    LONGLONG ticks;
    int count;
    IUnknown *handlers[kMaxHeld];   /* a reference on each, given back here */
} Firing;

/* A delegate's slot 3, after IUnknown's three: Invoke(sender, args). */
typedef HRESULT(STDMETHODCALLTYPE *InvokeProc)(IUnknown *, Face *, Face *);

static DWORD WINAPI FireThread(void *parameter)
{
    Firing *firing = (Firing *)parameter;
    Face *args;
    int i, count = firing->count;
    /* Windows raises its events on threads of its multithreaded apartment. */
    CoInitializeEx(NULL, COINIT_MULTITHREADED);
    args = firing->what == 1 ? NewPositionArgs(firing->ticks) : NewButtonArgs(firing->button);
    for (i = 0; i < count; i++) {
        if (args)
            ((InvokeProc)((void **)firing->handlers[i]->lpVtbl)[3])(firing->handlers[i], AnyControls(), args);
        firing->handlers[i]->lpVtbl->Release(firing->handlers[i]);
    }
    if (args)
        FaceRelease(args);
    CoUninitialize();
    HeapFree(GetProcessHeap(), 0, firing);
    return (DWORD)count;
}

static Firing *NewFiring(int what, int button, LONGLONG ticks)
{
    Firing *firing = (Firing *)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof *firing);
    if (firing) {
        firing->what = what;
        firing->button = button;
        firing->ticks = ticks;
    }
    return firing;
}

/* Takes the held references, or those armed for the next remove. */
static void TakeHeld(Firing *firing, IUnknown **held, int *count)
{
    EnterCriticalSection(&gRecordLock);
    for (firing->count = 0; firing->count < *count; firing->count++)
        firing->handlers[firing->count] = held[firing->count];
    *count = 0;
    LeaveCriticalSection(&gRecordLock);
}

static HANDLE StartFiring(Firing *firing)
{
    HANDLE thread = CreateThread(NULL, 0, FireThread, firing, 0, NULL);
    int i;
    if (!thread) {
        for (i = 0; i < firing->count; i++)
            firing->handlers[i]->lpVtbl->Release(firing->handlers[i]);
        HeapFree(GetProcessHeap(), 0, firing);
    }
    return thread;
}

/* The thread that fires, for the caller to wait for and close; its exit
 * code is how many handlers it called. `what` 0 press, 1 position request,
 * 2 press through the held handlers. */
HANDLE WINAPI DoubleFire(int what, int button, LONGLONG ticks)
{
    Firing *firing = NewFiring(what == 1 ? 1 : 0, button, ticks);
    if (!firing)
        return NULL;
    if (what == 2)
        TakeHeld(firing, gHeld, &gHeldCount);
    else
        firing->count = TakeHandlers(what, firing->handlers, kMaxHeld);
    return StartFiring(firing);
}

/* Handlers taken now, fired from the double's thread while the next
 * remove_ButtonPressed is under way: an event Windows started raising just
 * before the remove. */
int WINAPI DoubleArmAtRemove(int button)
{
    IUnknown *taken[kMaxHeld];
    int count = TakeHandlers(0, taken, kMaxHeld), i;
    EnterCriticalSection(&gRecordLock);
    for (i = 0; i < count && gArmedCount < kMaxHeld; i++)
        gArmed[gArmedCount++] = taken[i];
    gArmedButton = button;
    LeaveCriticalSection(&gRecordLock);
    return count;
}

void FireArmedAtRemove(void)
{
    Firing *firing;
    HANDLE thread;
    DWORD called = 0;
    if (!gArmedCount || !(firing = NewFiring(0, gArmedButton, 0)))
        return;
    TakeHeld(firing, gArmed, &gArmedCount);
    thread = StartFiring(firing);
    if (!thread)
        return;
    if (WaitForSingleObject(thread, 5000) == WAIT_OBJECT_0) {
        GetExitCodeThread(thread, &called);
        Record("fired %lu held handlers at the remove", called);
    } else {
        Record("held handlers fired at the remove did not return within 5 s");
    }
    CloseHandle(thread);
}
