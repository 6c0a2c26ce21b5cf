// The cover thread and the asks it serves. Each ask takes a slot, found
// again by its ticket; the thread serves asks first come first served and
// look-aheads after them, one at a time. A slot stays until its cover is
// taken, or until it is the oldest when every slot is in use.
//
// The thread holds a reference on our module. A quit waits for it a moment
// only: a thread inside a long decode, which cannot be cut short, is left
// to end by itself, frees what the covers hold and lets the module go.
#include "cover/cover.h"
#include "cover/decode.h"
#include "cover/folder.h"
#include "cover/lookup.h"
#include "cover/cache.h"

#define COVER_SLOTS 64
// How long a quit waits for the cover thread before leaving it to itself.
#define COVER_STOP_WAIT_MS 100

enum SlotState { SLOT_FREE, SLOT_QUEUED, SLOT_RUNNING, SLOT_DONE };

struct CoverSlot {
    DWORD ticket;          // a multiple of COVER_SLOTS plus the slot's index
    SlotState state;
    bool lookAhead;
    bool taken;
    int waiters;           // in TakeCover: the slot and its event stay
    int box;
    WCHAR *source;         // the track file, on the process heap
    DWORD askedAt;         // the tick of the ask, which the wait counts from
    DWORD order;           // asks in order, first come first served
    HANDLE done;           // set once the cover was looked for; made with the slot's first use
    CoverImage *image;     // the cover found, until taken
};

static CRITICAL_SECTION gLock;
static bool gStarted;      // StartCovers ran, StopCovers did not
static bool gAccepting;    // asks are taken
static CoverSlot gSlots[COVER_SLOTS];
static DWORD gGeneration;
static DWORD gOrder;
static HANDLE gThread;
static HANDLE gWake;
static volatile LONG gStop;
static bool gServingLookAhead;
static HMODULE gThreadModule;   // the thread's reference on our module
static bool gThreadEnded;       // lock held: the thread is past its last use of the covers
static bool gLeftToItself;      // lock held: the quit did not wait; the thread frees everything
static HANDLE gLeftThread;      // that thread, which a new start waits for

static void EmptySlot(CoverSlot *slot)
{
    if (slot->source)
        HeapFree(GetProcessHeap(), 0, slot->source);
    if (slot->image)
        FreeCoverImage(slot->image);
    slot->source = NULL;
    slot->image = NULL;
    slot->state = SLOT_FREE;
}

// The next ask to serve, marked running; NULL when none waits. Lock held.
static CoverSlot *NextAsk(void)
{
    CoverSlot *next = NULL;
    for (int i = 0; i < COVER_SLOTS; i++) {
        CoverSlot *slot = &gSlots[i];
        if (slot->state != SLOT_QUEUED)
            continue;
        // Asks before look-aheads, then the earlier one.
        if (!next || (next->lookAhead && !slot->lookAhead)
            || (next->lookAhead == slot->lookAhead && slot->order - next->order > 0x80000000u))
            next = slot;
    }
    if (next)
        next->state = SLOT_RUNNING;
    return next;
}

// Everything the covers hold but the lock and the thread's handle.
static void FreeCovers(void)
{
    for (int i = 0; i < COVER_SLOTS; i++) {
        EmptySlot(&gSlots[i]);
        if (gSlots[i].done)
            CloseHandle(gSlots[i].done);
        gSlots[i].done = NULL;
        gSlots[i].ticket = 0;
    }
    ClearCoverCache();
    if (gWake)
        CloseHandle(gWake);
    gWake = NULL;
}

static DWORD WINAPI CoverThread(LPVOID)
{
    bool decoding = StartDecoding();
    while (!gStop) {
        EnterCriticalSection(&gLock);
        CoverSlot *slot = NextAsk();
        gServingLookAhead = slot && slot->lookAhead;
        LeaveCriticalSection(&gLock);
        if (!slot) {
            WaitForSingleObject(gWake, INFINITE);
            continue;
        }
        // A look-ahead gives way to everything else the machine does; an
        // ask that comes meanwhile raises the thread again.
        SetThreadPriority(GetCurrentThread(), slot->lookAhead ? THREAD_PRIORITY_LOWEST : THREAD_PRIORITY_BELOW_NORMAL);
        // A running slot is not touched by others: its fields are read freely.
        CoverImage *image = decoding ? FindCover(slot->source, slot->box, !slot->lookAhead, &gStop) : NULL;
        EnterCriticalSection(&gLock);
        slot->image = image;
        slot->state = SLOT_DONE;
        gServingLookAhead = false;
        SetEvent(slot->done);
        LeaveCriticalSection(&gLock);
    }
    StopDecoding();
    EnterCriticalSection(&gLock);
    bool alone = gLeftToItself;
    gThreadEnded = true;
    LeaveCriticalSection(&gLock);
    // Left to itself, the thread is the last to use the covers.
    if (alone) {
        FreeCovers();
        DeleteCriticalSection(&gLock);
    }
    FreeLibraryAndExitThread(gThreadModule, 0);
    return 0;
}

void StartCovers(void)
{
    if (gStarted)
        return;
    // A thread an earlier quit left to itself still uses what starts here.
    if (gLeftThread) {
        WaitForSingleObject(gLeftThread, INFINITE);
        CloseHandle(gLeftThread);
        gLeftThread = NULL;
    }
    gThreadEnded = gLeftToItself = false;
    InitializeCriticalSection(&gLock);
    gWake = CreateEventA(NULL, FALSE, FALSE, NULL);
    gStop = 0;
    gStarted = true;
    gAccepting = gWake != NULL;
}

void StopCovers(void)
{
    if (!gStarted)
        return;
    EnterCriticalSection(&gLock);
    gAccepting = false;
    InterlockedExchange(&gStop, 1);
    LeaveCriticalSection(&gLock);
    bool alone = false;
    if (gThread) {
        SetEvent(gWake);
        if (WaitForSingleObject(gThread, COVER_STOP_WAIT_MS) != WAIT_OBJECT_0) {
            EnterCriticalSection(&gLock);
            alone = !gThreadEnded;
            gLeftToItself = alone;
            LeaveCriticalSection(&gLock);
            // Past its last use of the covers, it is only leaving.
            if (!alone)
                WaitForSingleObject(gThread, INFINITE);
        }
        if (alone)
            gLeftThread = gThread;
        else
            CloseHandle(gThread);
        gThread = NULL;
    }
    gStarted = false;
    if (alone)
        return;
    // Nobody waits any more: whoever asked has ended before the quit.
    FreeCovers();
    DeleteCriticalSection(&gLock);
}

// Lock held.
static void StartCoverThread(void)
{
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, (LPCSTR)(void *)&CoverThread, &gThreadModule))
        return;
    gThread = CreateThread(NULL, 0, CoverThread, NULL, 0, NULL);
    if (gThread)
        SetThreadPriority(gThread, THREAD_PRIORITY_BELOW_NORMAL);
    else
        FreeLibrary(gThreadModule);
}

// A slot for a new ask: a free one, else one whose cover was taken or was a
// look-ahead's, else the oldest done. NULL when every slot is busy. Lock held.
static CoverSlot *FreeSlot(void)
{
    CoverSlot *best = NULL;
    for (int i = 0; i < COVER_SLOTS; i++) {
        CoverSlot *slot = &gSlots[i];
        if (slot->state == SLOT_FREE)
            return slot;
        if (slot->state != SLOT_DONE || slot->waiters > 0)
            continue;
        bool spent = slot->taken || slot->lookAhead;
        bool bestSpent = best && (best->taken || best->lookAhead);
        if (!best || (spent && !bestSpent) || (spent == bestSpent && gOrder - slot->order > gOrder - best->order))
            best = slot;
    }
    return best;
}

static DWORD Ask(const WCHAR *source, int box, bool lookAhead)
{
    if (!gStarted || box < COVER_SMALLEST_BOX || box > COVER_LARGEST_BOX || !IsLocalOrNetworkPath(source))
        return 0;
    int bytes = (lstrlenW(source) + 1) * (int)sizeof(WCHAR);
    if (bytes > COVER_PATH_UNITS * (int)sizeof(WCHAR))
        return 0;
    WCHAR *copy = (WCHAR *)HeapAlloc(GetProcessHeap(), 0, bytes);
    if (!copy)
        return 0;
    CopyMemory(copy, source, bytes);

    DWORD ticket = 0;
    EnterCriticalSection(&gLock);
    CoverSlot *slot = NULL;
    if (gAccepting) {
        // Only the latest look-ahead is worth doing.
        for (int i = 0; lookAhead && i < COVER_SLOTS && !slot; i++) {
            if (gSlots[i].state == SLOT_QUEUED && gSlots[i].lookAhead)
                slot = &gSlots[i];
        }
        if (!slot)
            slot = FreeSlot();
    }
    if (slot && !slot->done)
        slot->done = CreateEventA(NULL, TRUE, FALSE, NULL);
    if (slot && !gThread)
        StartCoverThread();
    if (slot && slot->done && gThread) {
        EmptySlot(slot);
        gGeneration++;
        if (gGeneration > 0xFFFFFFFFu / COVER_SLOTS)
            gGeneration = 1;
        ticket = gGeneration * COVER_SLOTS + (DWORD)(slot - gSlots);
        slot->ticket = ticket;
        slot->state = SLOT_QUEUED;
        slot->lookAhead = lookAhead;
        slot->taken = false;
        slot->box = box;
        slot->source = copy;
        copy = NULL;
        slot->askedAt = GetTickCount();
        slot->order = ++gOrder;
        ResetEvent(slot->done);
        if (!lookAhead && gServingLookAhead)
            SetThreadPriority(gThread, THREAD_PRIORITY_BELOW_NORMAL);
    }
    LeaveCriticalSection(&gLock);
    if (copy)
        HeapFree(GetProcessHeap(), 0, copy);
    if (ticket)
        SetEvent(gWake);
    return ticket;
}

DWORD AskForCover(const WCHAR *source, int box)
{
    return Ask(source, box, false);
}

void LookAheadCover(const WCHAR *source, int box)
{
    Ask(source, box, true);
}

CoverImage *TakeCover(DWORD ticket)
{
    if (!gStarted || ticket == 0)
        return NULL;
    CoverSlot *slot = &gSlots[ticket % COVER_SLOTS];
    EnterCriticalSection(&gLock);
    bool ours = gAccepting && slot->ticket == ticket && slot->state != SLOT_FREE;
    HANDLE done = slot->done;
    DWORD askedAt = slot->askedAt;
    if (ours)
        slot->waiters++;
    LeaveCriticalSection(&gLock);
    if (!ours)
        return NULL;

    // Counted on the tick count, which may be slower than the waits: the
    // wait goes on until the tick count says the time is over.
    for (;;) {
        DWORD waited = GetTickCount() - askedAt;
        if (waited >= COVER_WAIT_MS || gStop)
            break;
        if (WaitForSingleObject(done, COVER_WAIT_MS - waited) == WAIT_OBJECT_0)
            break;
    }

    CoverImage *image = NULL;
    EnterCriticalSection(&gLock);
    if (slot->state == SLOT_DONE) {
        image = slot->image;
        slot->image = NULL;
        slot->taken = true;
    }
    slot->waiters--;
    LeaveCriticalSection(&gLock);
    return image;
}

void FreeCoverImage(CoverImage *image)
{
    if (image)
        HeapFree(GetProcessHeap(), 0, image);
}
