// The global hot key. One long-lived thread owns the registration: a hot
// key registered without a window belongs to the registering thread's queue,
// so registering, re-registering and releasing all happen there, and the
// player's thread only posts to it.
#include "plugin/hotkey.h"
#include "plugin/track_watch.h"
#include "plugin/worker_thread.h"
#include "settings/settings.h"

static WorkerThread gHotKeyThread;
// The hot key's atom, on the hot-key thread only.
static ATOM gHotKeyId;

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

// Registers the hot key for this thread's queue. A key of 0 is what an empty
// hot-key control saves: the user wants no hot key, which is no failure.
// Key repeat would turn a held key into a stream of popups, so the first try
// asks the system to drop repeats; systems that do not know that flag refuse
// it, and the second try goes without.
static bool RegisterTrackHotKey(ATOM id, UINT modifiers, UINT virtualKey)
{
    if (virtualKey == 0)
        return true;
    if (RegisterHotKey(NULL, id, modifiers | HOTKEY_MOD_NOREPEAT, virtualKey))
        return true;
    return RegisterHotKey(NULL, id, modifiers, virtualKey) != FALSE;
}

// The queue exists already: on Wine a hot key pressed for a thread without
// a queue brings the whole window system down. A hot key another program
// holds leaves us without one, but the thread stays: a later save with a
// free combination must still take effect.
static void OnHotKeyThreadStart(WorkerThread *worker)
{
    DWORD packed = (DWORD)(DWORD_PTR)worker->parameter;
    gHotKeyId = GlobalAddAtomA(HOTKEY_ATOM_NAME);
    RegisterTrackHotKey(gHotKeyId, (packed >> 8) & 0xFF, packed & 0xFF);
}

static void OnHotKeyMessage(WorkerThread *, const MSG *msg)
{
    switch (msg->message) {
    case WM_HOTKEY:
        PostThreadMessageA(TrackInfoThreadId(), UM_SHOW_TRACK, SHOW_TRACK_FROM_HOT_KEY, 0);
        break;
    case UM_HOTKEY_SET: {
        // Anyone can post this: the key comes from the settings, never from
        // the message, or any program could take any key for us.
        UINT modifiers, virtualKey;
        HotKeyToModifiers(gSettings.HotKey, &modifiers, &virtualKey);
        UnregisterHotKey(NULL, gHotKeyId);
        RegisterTrackHotKey(gHotKeyId, modifiers, virtualKey);
        break;
    }
    }
}

// Only the stop releases the key: a UM_HOTKEY_STOP that another program
// posts wakes the thread and changes nothing.
static void OnHotKeyThreadEnd(WorkerThread *)
{
    UnregisterHotKey(NULL, gHotKeyId);
    if (gHotKeyId)
        GlobalDeleteAtom(gHotKeyId);
    gHotKeyId = 0;
}

static const WorkerRoutine kHotKeyRoutine = { OnHotKeyThreadStart, OnHotKeyMessage, OnHotKeyThreadEnd };

void StartHotKeyThread(void)
{
    UINT modifiers, virtualKey;
    HotKeyToModifiers(gSettings.HotKey, &modifiers, &virtualKey);
    DWORD parameter = PackHotKeyParameter(modifiers, virtualKey);
    StartWorkerThread(&gHotKeyThread, &kHotKeyRoutine, (void *)(DWORD_PTR)parameter);
}

void StopHotKeyThread(void)
{
    StopWorkerThread(&gHotKeyThread, UM_HOTKEY_STOP);
}

void SetHotKey(WORD hotKey)
{
    UINT modifiers, virtualKey;
    HotKeyToModifiers(hotKey, &modifiers, &virtualKey);
    PostThreadMessageA(WorkerThreadId(&gHotKeyThread), UM_HOTKEY_SET, modifiers, virtualKey);
}
