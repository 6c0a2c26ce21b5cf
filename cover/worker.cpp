// The cover thread and the asks it serves. Each ask takes a slot, found
// again by its ticket; the thread serves asks first come first served and
// look-aheads after them, one at a time. A slot stays until its cover is
// taken, or until it is the oldest when every slot is in use.
#include "cover/cover.h"
#include "cover/decode.h"
#include "cover/folder.h"
#include "cover/lookup.h"
#include "cover/cache.h"

#define COVER_SLOTS 64

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
    return 0;
}

void StartCovers(void)
{
    if (gStarted)
        return;
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
    if (gThread) {
        SetEvent(gWake);
        WaitForSingleObject(gThread, INFINITE);
        CloseHandle(gThread);
        gThread = NULL;
    }
    // Nobody waits any more: whoever asked has ended before the quit.
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
    DeleteCriticalSection(&gLock);
    gStarted = false;
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
    if (slot && !gThread) {
        gThread = CreateThread(NULL, 0, CoverThread, NULL, 0, NULL);
        if (gThread)
            SetThreadPriority(gThread, THREAD_PRIORITY_BELOW_NORMAL);
    }
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
