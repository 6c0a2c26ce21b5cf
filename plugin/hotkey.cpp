// The global hot key. One long-lived thread owns the registration: a hot
// key registered without a window belongs to the registering thread's queue,
// so registering, re-registering and releasing all happen there, and the
// player's thread only posts to it.
#include "plugin/hotkey.h"
#include "base/worker_thread.h"

void HotKeyToModifiers(WORD hotKey, UINT *modifiers, UINT *virtualKey)
{
    UINT flags = (hotKey >> 8) & 0xFF;
    UINT mask = 0;
    if (flags & HOTKEY_FLAG_CONTROL)
        mask |= MOD_CONTROL;
    if (flags & HOTKEY_FLAG_SHIFT)
        mask |= MOD_SHIFT;
    if (flags & HOTKEY_FLAG_ALT)
        mask |= MOD_ALT;
    *modifiers = mask;
    *virtualKey = hotKey & 0xFF;
}

// Registers the hot key for this thread's queue. Key repeat would turn a
// held key into a stream of popups, so the first try asks the system to drop
// repeats; systems that do not know that flag refuse it, and the second try
// goes without.
static bool RegisterTrackHotKey(ATOM id, UINT modifiers, UINT virtualKey)
{
    if (RegisterHotKey(NULL, id, modifiers | HOTKEY_MOD_NOREPEAT, virtualKey))
        return true;
    return RegisterHotKey(NULL, id, modifiers, virtualKey) != FALSE;
}

// The key the hot-key thread holds for its queue; taken is false while it
// holds none. A key of 0 is what an empty hot-key control saves: the user
// wants no hot key, which is no failure.
struct HeldHotKey {
    UINT modifiers, virtualKey;
    bool taken;
};

// The hot key's thread and what it holds, from StartHotKeyThread to
// StopHotKeyThread.
struct HotKeyService {
    WorkerThread thread;
    DWORD showTrackThread;   // where a press asks for the track's popup
    // The hot key's atom and the key held, on the hot-key thread only.
    ATOM id;
    HeldHotKey held;
    // The hot key as last saved (or loaded at the start): an unsaved edit in
    // the open settings dialog is not taken into use.
    volatile LONG saved;
    // Set while the saved key is one the thread could not take.
    volatile LONG missing;
};
static HotKeyService gHotKey;

// The saved key, in the terms RegisterHotKey takes.
static void SavedHotKey(UINT *modifiers, UINT *virtualKey)
{
    HotKeyToModifiers((WORD)gHotKey.saved, modifiers, virtualKey);
}

// Holds the key wanted. A key held already stays held: let go even for a
// moment, another program could take it. A key that cannot be taken (another
// program holds it) is noted as missing, for the next try.
static void HoldHotKey(ATOM id, HeldHotKey *held, UINT modifiers, UINT virtualKey)
{
    bool same = held->modifiers == modifiers && held->virtualKey == virtualKey;
    if (same && (held->taken || virtualKey == 0))
        return;
    if (held->taken)
        UnregisterHotKey(NULL, id);
    held->modifiers = modifiers;
    held->virtualKey = virtualKey;
    held->taken = virtualKey != 0 && RegisterTrackHotKey(id, modifiers, virtualKey);
    InterlockedExchange(&gHotKey.missing, virtualKey != 0 && !held->taken);
}

// The queue exists already: on Wine a hot key pressed for a thread without
// a queue brings the whole window system down. A hot key another program
// holds leaves us without one, but the thread stays: it tries again at the
// next track event and the next save.
static void OnHotKeyThreadStart(WorkerThread *)
{
    gHotKey.id = GlobalAddAtomA(HOTKEY_ATOM_NAME);
    gHotKey.held.modifiers = gHotKey.held.virtualKey = 0;
    gHotKey.held.taken = false;
    UINT modifiers, virtualKey;
    SavedHotKey(&modifiers, &virtualKey);
    HoldHotKey(gHotKey.id, &gHotKey.held, modifiers, virtualKey);
}

static void OnHotKeyMessage(WorkerThread *, const MSG *msg)
{
    if (msg->message == WM_HOTKEY) {
        PostThreadMessageA(gHotKey.showTrackThread, UM_SHOW_TRACK, SHOW_TRACK_FROM_HOT_KEY, 0);
    } else if (msg->message == UM_HOTKEY_SET) {
        // Anyone can post this: the key is the saved one, never the
        // message's, or any program could take any key for us.
        UINT modifiers, virtualKey;
        SavedHotKey(&modifiers, &virtualKey);
        HoldHotKey(gHotKey.id, &gHotKey.held, modifiers, virtualKey);
    }
}

// Only the stop lets the key go: a UM_HOTKEY_STOP that another program posts
// wakes the thread and changes nothing.
static void OnHotKeyThreadEnd(WorkerThread *)
{
    if (gHotKey.held.taken)
        UnregisterHotKey(NULL, gHotKey.id);
    gHotKey.held.taken = false;
    if (gHotKey.id)
        GlobalDeleteAtom(gHotKey.id);
    gHotKey.id = 0;
}

static const WorkerRoutine kHotKeyRoutine = { OnHotKeyThreadStart, OnHotKeyMessage, OnHotKeyThreadEnd };

void StartHotKeyThread(WORD hotKey, DWORD showTrackThread)
{
    gHotKey.showTrackThread = showTrackThread;
    InterlockedExchange(&gHotKey.saved, hotKey);
    StartWorkerThread(&gHotKey.thread, &kHotKeyRoutine, NULL);
}

void StopHotKeyThread(void)
{
    StopWorkerThread(&gHotKey.thread, UM_HOTKEY_STOP);
    InterlockedExchange(&gHotKey.missing, 0);
}

void SetHotKey(WORD hotKey)
{
    InterlockedExchange(&gHotKey.saved, hotKey);
    UINT modifiers, virtualKey;
    HotKeyToModifiers(hotKey, &modifiers, &virtualKey);
    PostThreadMessageA(WorkerThreadId(&gHotKey.thread), UM_HOTKEY_SET, modifiers, virtualKey);
}

void RetryMissingHotKey(void)
{
    // One try per event at most, and one on its way at a time.
    if (gHotKey.missing && InterlockedExchange(&gHotKey.missing, 0))
        PostThreadMessageA(WorkerThreadId(&gHotKey.thread), UM_HOTKEY_SET, 0, 0);
}
