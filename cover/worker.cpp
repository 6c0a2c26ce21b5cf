// The cover thread and the asks it serves. Each ask takes a slot, found
// again by its ticket; the thread serves asks first come first served and
// look-aheads after them, one at a time. A slot stays until its cover is
// taken, or until it is the oldest when every slot is in use.
//
// The thread holds a reference on our module. A quit waits for it a moment
// only: a thread inside a long decode, which cannot be cut short, is left
// to end by itself, frees what the covers hold and lets the module go. What
// the covers hold is one record per start, which such a thread takes with
// it: a start that follows at once makes its own and waits for nothing.
#include "cover/cover.h"
#include "cover/folder.h"
#include "cover/lookup.h"
#include "base/module_thread.h"

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

// One start's covers, on the process heap: StopCovers frees them, or the
// thread it left to itself does.
struct CoverWorker {
    CRITICAL_SECTION lock;
    bool accepting;            // asks are taken
    CoverSlot slots[COVER_SLOTS];
    DWORD generation;
    DWORD order;
    HANDLE thread;
    HANDLE wake;
    volatile LONG stop;
    bool servingLookAhead;
    bool threadEnded;          // lock held: the thread is past its last use of the covers
    bool leftToItself;         // lock held: the quit did not wait; the thread frees everything
    CoverCache cache;          // the thread's
};

static CoverWorker *gCovers;   // between StartCovers and StopCovers

static void EmptySlot(CoverSlot *slot)
{
    if (slot->source)
        HeapFree(GetProcessHeap(), 0, slot->source);
    FreeCoverImage(slot->image);
    slot->source = NULL;
    slot->image = NULL;
    slot->state = SLOT_FREE;
}

// The next ask to serve, marked running; NULL when none waits. Lock held.
static CoverSlot *NextSlotToServe(CoverWorker *covers)
{
    CoverSlot *next = NULL;
    for (int i = 0; i < COVER_SLOTS; i++) {
        CoverSlot *slot = &covers->slots[i];
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

static void FreeCoverWorker(CoverWorker *covers)
{
    for (int i = 0; i < COVER_SLOTS; i++) {
        EmptySlot(&covers->slots[i]);
        if (covers->slots[i].done)
            CloseHandle(covers->slots[i].done);
    }
    ClearCoverCache(&covers->cache);
    if (covers->wake)
        CloseHandle(covers->wake);
    DeleteCriticalSection(&covers->lock);
    HeapFree(GetProcessHeap(), 0, covers);
}

static DWORD WINAPI CoverThread(LPVOID parameter)
{
    CoverWorker *covers = (CoverWorker *)parameter;
    CoverDecoder decoder;
    bool decoding = StartDecoding(&decoder);
    CoverLookup lookup = { &covers->cache, &decoder, 0, &covers->stop };
    while (!covers->stop) {
        EnterCriticalSection(&covers->lock);
        CoverSlot *slot = NextSlotToServe(covers);
        covers->servingLookAhead = slot && slot->lookAhead;
        LeaveCriticalSection(&covers->lock);
        if (!slot) {
            WaitForSingleObject(covers->wake, INFINITE);
            continue;
        }
        // A look-ahead gives way to everything else the machine does; an
        // ask that comes meanwhile raises the thread again.
        SetThreadPriority(GetCurrentThread(), slot->lookAhead ? THREAD_PRIORITY_LOWEST : THREAD_PRIORITY_BELOW_NORMAL);
        // A running slot is not touched by others: its fields are read freely.
        lookup.now = GetTickCount();
        CoverImage *image = decoding ? FindCover(&lookup, slot->source, slot->box, !slot->lookAhead) : NULL;
        EnterCriticalSection(&covers->lock);
        slot->image = image;
        slot->state = SLOT_DONE;
        covers->servingLookAhead = false;
        SetEvent(slot->done);
        LeaveCriticalSection(&covers->lock);
    }
    StopDecoding(&decoder);
    EnterCriticalSection(&covers->lock);
    bool leftToItself = covers->leftToItself;
    covers->threadEnded = true;
    LeaveCriticalSection(&covers->lock);
    // Left to itself, the thread is the last to use its covers.
    if (leftToItself)
        FreeCoverWorker(covers);
    ExitModuleThread(0);
    return 0;
}

void StartCovers(void)
{
    if (gCovers)
        return;
    CoverWorker *covers = (CoverWorker *)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(CoverWorker));
    if (!covers)
        return;
    InitializeCriticalSection(&covers->lock);
    covers->wake = CreateEventA(NULL, FALSE, FALSE, NULL);
    covers->accepting = covers->wake != NULL;
    gCovers = covers;
}

// Waits a moment for the stopped thread to end; true when it was left to
// end by itself, and so to free the covers.
static bool WaitOrLeaveCoverThread(CoverWorker *covers, HANDLE thread)
{
    SetEvent(covers->wake);
    if (WaitForSingleObject(thread, COVER_STOP_WAIT_MS) == WAIT_OBJECT_0)
        return false;
    EnterCriticalSection(&covers->lock);
    bool leftToItself = !covers->threadEnded;
    covers->leftToItself = leftToItself;
    LeaveCriticalSection(&covers->lock);
    // Past its last use of the covers, it is only leaving.
    if (!leftToItself)
        WaitForSingleObject(thread, INFINITE);
    return leftToItself;
}

void StopCovers(void)
{
    CoverWorker *covers = gCovers;
    if (!covers)
        return;
    gCovers = NULL;
    EnterCriticalSection(&covers->lock);
    covers->accepting = false;
    InterlockedExchange(&covers->stop, 1);
    HANDLE thread = covers->thread;
    LeaveCriticalSection(&covers->lock);
    bool leftToItself = false;
    if (thread) {
        leftToItself = WaitOrLeaveCoverThread(covers, thread);
        CloseHandle(thread);
    }
    // Nobody waits any more: whoever asked has ended before the quit.
    if (!leftToItself)
        FreeCoverWorker(covers);
}

// A slot for a new ask: a free one, else one whose cover was taken or was a
// look-ahead's, else the oldest done. NULL when every slot is busy. Lock held.
static CoverSlot *SlotToReuse(CoverWorker *covers)
{
    CoverSlot *best = NULL;
    for (int i = 0; i < COVER_SLOTS; i++) {
        CoverSlot *slot = &covers->slots[i];
        if (slot->state == SLOT_FREE)
            return slot;
        if (slot->state != SLOT_DONE || slot->waiters > 0)
            continue;
        bool spent = slot->taken || slot->lookAhead;
        bool bestSpent = best && (best->taken || best->lookAhead);
        if (!best || (spent && !bestSpent) || (spent == bestSpent && covers->order - slot->order > covers->order - best->order))
            best = slot;
    }
    return best;
}

// The slot a new ask goes into, with its event made and the thread started;
// NULL when the ask cannot be taken. Lock held.
static CoverSlot *SlotForAsk(CoverWorker *covers, bool lookAhead)
{
    if (!covers->accepting)
        return NULL;
    CoverSlot *slot = NULL;
    // Only the latest look-ahead is worth doing.
    for (int i = 0; lookAhead && i < COVER_SLOTS && !slot; i++) {
        if (covers->slots[i].state == SLOT_QUEUED && covers->slots[i].lookAhead)
            slot = &covers->slots[i];
    }
    if (!slot)
        slot = SlotToReuse(covers);
    if (slot && !slot->done)
        slot->done = CreateEventA(NULL, TRUE, FALSE, NULL);
    if (slot && !covers->thread) {
        covers->thread = StartModuleThread(CoverThread, covers, 0, NULL);
        if (covers->thread)
            SetThreadPriority(covers->thread, THREAD_PRIORITY_BELOW_NORMAL);
    }
    return slot && slot->done && covers->thread ? slot : NULL;
}

// A copy of the track's path on the process heap; NULL when it is longer
// than a path can be, or there is no memory.
static WCHAR *CopySource(const WCHAR *source)
{
    int bytes = (lstrlenW(source) + 1) * (int)sizeof(WCHAR);
    if (bytes > COVER_PATH_UNITS * (int)sizeof(WCHAR))
        return NULL;
    WCHAR *copy = (WCHAR *)HeapAlloc(GetProcessHeap(), 0, bytes);
    if (copy)
        CopyMemory(copy, source, bytes);
    return copy;
}

// Queues the search for a track's cover; its ticket, or 0 when there is
// nothing to look for or the search could not be queued.
static DWORD QueueCoverSearch(const WCHAR *source, int box, bool lookAhead)
{
    CoverWorker *covers = gCovers;
    if (!covers || box < COVER_SMALLEST_BOX || box > COVER_LARGEST_BOX || !IsLocalOrNetworkPath(source))
        return 0;
    WCHAR *copy = CopySource(source);
    if (!copy)
        return 0;

    DWORD ticket = 0;
    EnterCriticalSection(&covers->lock);
    CoverSlot *slot = SlotForAsk(covers, lookAhead);
    if (slot) {
        EmptySlot(slot);
        covers->generation++;
        if (covers->generation > 0xFFFFFFFFu / COVER_SLOTS)
            covers->generation = 1;
        ticket = covers->generation * COVER_SLOTS + (DWORD)(slot - covers->slots);
        slot->ticket = ticket;
        slot->state = SLOT_QUEUED;
        slot->lookAhead = lookAhead;
        slot->taken = false;
        slot->box = box;
        slot->source = copy;   // the slot's from here
        copy = NULL;
        slot->askedAt = GetTickCount();
        slot->order = ++covers->order;
        ResetEvent(slot->done);
        if (!lookAhead && covers->servingLookAhead)
            SetThreadPriority(covers->thread, THREAD_PRIORITY_BELOW_NORMAL);
    }
    LeaveCriticalSection(&covers->lock);
    if (copy)
        HeapFree(GetProcessHeap(), 0, copy);
    if (ticket)
        SetEvent(covers->wake);
    return ticket;
}

DWORD AskForCover(const WCHAR *source, int box)
{
    return QueueCoverSearch(source, box, false);
}

void LookAheadCover(const WCHAR *source, int box)
{
    QueueCoverSearch(source, box, true);
}

CoverImage *TakeCover(DWORD ticket)
{
    CoverWorker *covers = gCovers;
    if (!covers || ticket == 0)
        return NULL;
    CoverSlot *slot = &covers->slots[ticket % COVER_SLOTS];
    EnterCriticalSection(&covers->lock);
    bool ours = covers->accepting && slot->ticket == ticket && slot->state != SLOT_FREE;
    HANDLE done = slot->done;
    DWORD askedAt = slot->askedAt;
    if (ours)
        slot->waiters++;
    LeaveCriticalSection(&covers->lock);
    if (!ours)
        return NULL;

    // Counted on the tick count, which may be slower than the waits: the
    // wait goes on until the tick count says the time is over.
    for (;;) {
        DWORD waited = GetTickCount() - askedAt;
        if (waited >= COVER_WAIT_MS || covers->stop)
            break;
        if (WaitForSingleObject(done, COVER_WAIT_MS - waited) == WAIT_OBJECT_0)
            break;
    }

    CoverImage *image = NULL;
    EnterCriticalSection(&covers->lock);
    if (slot->state == SLOT_DONE) {
        image = slot->image;
        slot->image = NULL;
        slot->taken = true;
    }
    slot->waiters--;
    LeaveCriticalSection(&covers->lock);
    return image;
}
