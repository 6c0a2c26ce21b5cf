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

static void ReleaseHotKey(ATOM *id)
{
    UnregisterHotKey(NULL, *id);
    if (*id)
        GlobalDeleteAtom(*id);
    *id = 0;
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
    // stays: a later save with a free combination must still take effect.
    RegisterTrackHotKey(id, (packed >> 8) & 0xFF, packed & 0xFF);
    SetEvent(gHotKeyReady);

    bool released = false;
    while (!gHotKeyStop) {
        // Only the stop flag ends the thread: a WM_QUIT that another program
        // posts here is one more message to ignore. (-1 comes only with a
        // bad window filter, which this wait has not.)
        if (GetMessageA(&msg, NULL, 0, 0) == -1)
            break;
        switch (msg.message) {
        case WM_HOTKEY:
            PostThreadMessageA(TrackInfoThreadId(), UM_SHOW_TRACK, SHOW_TRACK_FROM_HOT_KEY, 0);
            break;
        case UM_HOTKEY_SET: {
            // Anyone can post this: the key comes from the settings, never
            // from the message, or any program could take any key for us.
            UINT modifiers, virtualKey;
            HotKeyToModifiers(gSettings.HotKey, &modifiers, &virtualKey);
            UnregisterHotKey(NULL, id);
            RegisterTrackHotKey(id, modifiers, virtualKey);
            break;
        }
        case UM_HOTKEY_STOP:
            ReleaseHotKey(&id);
            released = true;
            break;
        }
    }
    // The flag can be seen before the stop message is: release all the same.
    if (!released)
        ReleaseHotKey(&id);
    return 0;
}

void StartHotKeyThread(void)
{
    InterlockedExchange(&gHotKeyStop, 0);
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
}

void SetHotKey(WORD hotKey)
{
    UINT modifiers, virtualKey;
    HotKeyToModifiers(hotKey, &modifiers, &virtualKey);
    PostThreadMessageA(gHotKeyThreadId, UM_HOTKEY_SET, modifiers, virtualKey);
}
