// The global hot key. One long-lived thread owns the registration: a hot
// key registered without a window belongs to the registering thread's queue,
// so registering, re-registering and releasing all happen there, and the
// player's thread only posts to it.
#include "plugin/hotkey.h"
#include "plugin/track_watch.h"
#include "plugin/wait.h"
#include "settings/settings.h"

static HANDLE gHotKeyThread;
static DWORD gHotKeyThreadId;
static volatile LONG gHotKeyStop;
// Set by the thread once its first registration has been tried.
static HANDLE gHotKeyReady;
// The hot key as last saved (or loaded at the start): an unsaved edit in the
// open settings dialog is not taken into use.
static volatile LONG gHotKeySaved;
// Set while the saved key is one the thread could not take.
static volatile LONG gHotKeyMissing;

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

DWORD PackHotKeyParameter(UINT modifiers, UINT virtualKey)
{
    return ((modifiers & 0xFF) << 8) | (virtualKey & 0xFF);
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
    InterlockedExchange(&gHotKeyMissing, virtualKey != 0 && !held->taken);
}

static DWORD WINAPI HotKeyThread(LPVOID parameter)
{
    // The queue must exist before anything is registered for it (on Wine a
    // hot key pressed for a thread without a queue brings the whole window
    // system down), and before the stop flag is first tested, so that a stop
    // posted after that test is never lost.
    MSG msg;
    PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE);

    DWORD packed = (DWORD)(DWORD_PTR)parameter;
    ATOM id = GlobalAddAtomA(HOTKEY_ATOM_NAME);
    // A hot key another program holds leaves us without one, but the thread
    // stays: it tries again at the next track event and the next save.
    HeldHotKey held = { 0, 0, false };
    HoldHotKey(id, &held, (packed >> 8) & 0xFF, packed & 0xFF);
    SetEvent(gHotKeyReady);

    // Only the stop flag ends the thread and lets the key go: a WM_QUIT or a
    // UM_HOTKEY_STOP that another program posts here is one more message to
    // ignore. (-1 comes only with a bad window filter, which this wait has not.)
    while (!gHotKeyStop) {
        if (GetMessageA(&msg, NULL, 0, 0) == -1)
            break;
        if (msg.message == WM_HOTKEY) {
            PostThreadMessageA(TrackInfoThreadId(), UM_SHOW_TRACK, SHOW_TRACK_FROM_HOT_KEY, 0);
        } else if (msg.message == UM_HOTKEY_SET) {
            // Anyone can post this: the key is the saved one, never the
            // message's, or any program could take any key for us.
            UINT modifiers, virtualKey;
            HotKeyToModifiers((WORD)gHotKeySaved, &modifiers, &virtualKey);
            HoldHotKey(id, &held, modifiers, virtualKey);
        }
    }
    if (held.taken)
        UnregisterHotKey(NULL, id);
    if (id)
        GlobalDeleteAtom(id);
    return 0;
}

void StartHotKeyThread(void)
{
    InterlockedExchange(&gHotKeyStop, 0);
    InterlockedExchange(&gHotKeySaved, gSettings.HotKey);
    UINT modifiers, virtualKey;
    HotKeyToModifiers(gSettings.HotKey, &modifiers, &virtualKey);
    DWORD parameter = PackHotKeyParameter(modifiers, virtualKey);

    gHotKeyReady = CreateEventA(NULL, TRUE, FALSE, NULL);
    gHotKeyThread = CreateThread(NULL, 0, HotKeyThread, (LPVOID)(DWORD_PTR)parameter, 0,
                                 &gHotKeyThreadId);
    if (gHotKeyThread) {
        SetThreadPriority(gHotKeyThread, THREAD_PRIORITY_BELOW_NORMAL);
        // A save right after the start must find a queue to post to. The
        // thread never waits for the player, so this wait is short.
        if (gHotKeyReady) {
            HANDLE waits[2] = { gHotKeyReady, gHotKeyThread };
            WaitForMultipleObjects(2, waits, FALSE, INFINITE);
        }
    } else {
        gHotKeyThreadId = 0;
    }
    // The thread has set the event or ended: nobody touches it any more.
    if (gHotKeyReady)
        CloseHandle(gHotKeyReady);
    gHotKeyReady = NULL;
}

void StopHotKeyThread(void)
{
    InterlockedExchange(&gHotKeyStop, 1);
    if (!gHotKeyThread)
        return;
    PostThreadMessageA(gHotKeyThreadId, UM_HOTKEY_STOP, 0, 0);
    WaitAnsweringSentMessages(gHotKeyThread, INFINITE);
    CloseHandle(gHotKeyThread);
    gHotKeyThread = NULL;
    gHotKeyThreadId = 0;
    InterlockedExchange(&gHotKeyMissing, 0);
}

void SetHotKey(WORD hotKey)
{
    InterlockedExchange(&gHotKeySaved, hotKey);
    UINT modifiers, virtualKey;
    HotKeyToModifiers(hotKey, &modifiers, &virtualKey);
    PostThreadMessageA(gHotKeyThreadId, UM_HOTKEY_SET, modifiers, virtualKey);
}

void RetryMissingHotKey(void)
{
    // One try per event at most, and one on its way at a time.
    if (gHotKeyMissing && InterlockedExchange(&gHotKeyMissing, 0))
        PostThreadMessageA(gHotKeyThreadId, UM_HOTKEY_SET, 0, 0);
}
