// The hook on the player's main window and the track-information thread.
#include "plugin/track_watch.h"
#include "plugin/file_query.h"
#include "plugin/fullscreen.h"
#include "plugin/media_controls.h"
#include "plugin/title_query.h"
#include "plugin/track_cover.h"
#include "plugin/track_format.h"
#include "base/own_module.h"
#include "base/player.h"
#include "base/worker_thread.h"
#include "popup/popup.h"
#include "res/resource.h"
#include "settings/settings.h"

// The hook and the thread: one record, from StartTrackWatch to
// StopTrackWatch, and beyond a stop for a hook left in someone's chain.
struct TrackWatch {
    WNDPROC previousProc;
    // The player's window is a Unicode one: the hook is put in, called on
    // and taken out with the wide functions, or the window would turn ANSI
    // and its texts (the title in its caption) would lose what the code page
    // lacks.
    bool hookWide;
    // The hook's calls under way on the player's thread (only it changes this).
    volatile LONG hookDepth;
    // When the player's next event may act again: TRACK_EVENT_GAP after the
    // last one that did.
    DWORD nextEventDue;
    bool anyEvent;
    volatile LONG watching;   // the hook acts only while the watch runs
    // The window whose chain a stop left the hook in, under someone else's
    // subclass.
    HWND stillHookedIn;
    // Told of each of the player's track events, on the player's thread.
    void (*onTrackEvent)(void);
    WorkerThread infoThread;
};
static TrackWatch gWatch;

DWORD TrackInfoThreadId(void)
{
    return WorkerThreadId(&gWatch.infoThread);
}

LRESULT CALLBACK HostWindowHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_USER && gWatch.watching) {
        if (lParam == PLAYER_TRACK_STARTED || lParam == PLAYER_TAGS_CHANGED) {
            // Windows' controls follow every track, whatever popups are set to.
            NoteMediaTrackEvent();
            if (gWatch.onTrackEvent)
                gWatch.onTrackEvent();
        } else if (lParam == PLAYER_STATE_CHANGED && wParam == PLAYER_STATE_CHANGED_WPARAM) {
            NoteMediaPlayStateChanged();
        }
        bool trigger = (lParam == PLAYER_TRACK_STARTED && !gSettings.PopUpOnlyOnHotKey)
                    || (lParam == PLAYER_TAGS_CHANGED && gSettings.PopupOnTagUpdate);
        if (trigger && IsTrackEventDue(GetTickCount(), gWatch.nextEventDue, gWatch.anyEvent)) {
            PostThreadMessageA(TrackInfoThreadId(), UM_SHOW_TRACK, 0, 0);
            gWatch.nextEventDue = GetTickCount() + TRACK_EVENT_GAP;
            gWatch.anyEvent = true;
        }
    }
    gWatch.hookDepth = gWatch.hookDepth + 1;
    LRESULT result = gWatch.hookWide ? CallWindowProcW(gWatch.previousProc, window, message, wParam, lParam)
                                     : CallWindowProcA(gWatch.previousProc, window, message, wParam, lParam);
    gWatch.hookDepth = gWatch.hookDepth - 1;
    return result;
}

// Asks the player for the current track and fills the popup's two lines,
// then asks for its cover, `coverSize` at 96 dpi. Returns the playlist
// position.
static int GatherTrack(WCHAR titleCopy[TRACK_TITLE_COPY], int coverSize, PopupRequest *request)
{
    TrackInfo track;
    track.position = (int)AskPlayer(0, PLAYER_GET_POSITION);
    track.sampleRate = (int)AskPlayer(0, PLAYER_GET_TRACK_INFO);
    track.bitRate = (int)AskPlayer(1, PLAYER_GET_TRACK_INFO);
    track.channels = (int)AskPlayer(2, PLAYER_GET_TRACK_INFO);
    track.length = (int)AskPlayer(1, PLAYER_GET_LENGTH);
    if (track.length == -1)
        track.length = 0;
    track.title = QueryTrackTitle(track.position, titleCopy);

    ZeroMemory(request, sizeof(*request));
    request->Icon = LoadIconA(gInstance, MAKEINTRESOURCEA(IDI_TUNEBELL));
    FormatTrackTitle(request->Title, &track);
    FormatTrackText(request->Text, &track);
    AskForTrackCover(track.position, coverSize, request);
    return track.position;
}

// One UM_SHOW_TRACK on the track-information thread.
static void OnTrackMessage(WorkerThread *worker, const MSG *msg)
{
    if (msg->message != UM_SHOW_TRACK)
        return;
    // The player gets a moment to settle on the new track.
    if (WorkerPauseStops(worker, TRACK_QUERY_DELAY))
        return;
    // The player's events keep quiet over a game or a film; the hot key
    // is the user asking, and is always answered.
    if (msg->wParam != SHOW_TRACK_FROM_HOT_KEY && gSettings.QuietInFullscreen && FullScreenProgramInFront())
        return;
    WCHAR titleCopy[TRACK_TITLE_COPY] = L"";
    // The next entry's file, whose cover is looked up ahead.
    static WCHAR nextFile[TRACK_FILE_UNITS];
    PopupRequest request;
    int coverSize = PopupCoverSize();
    int position = GatherTrack(titleCopy, coverSize, &request);
    QueryNextTrackFile(position, coverSize, nextFile);
    if (worker->stopping)
        return;
    SubmitPopup(&request);
    // The whole album, played through, finds every cover ready.
    LookAheadTrackCover(nextFile, coverSize);
}

static const WorkerRoutine kTrackInfoRoutine = { NULL, OnTrackMessage, NULL };

void StartTrackWatch(void (*onTrackEvent)(void))
{
    gWatch.onTrackEvent = onTrackEvent;
    StartWorkerThread(&gWatch.infoThread, &kTrackInfoRoutine, NULL);
    // Still in that window's chain: hooked again, it would be its own
    // previous procedure and call itself for ever.
    if (gWatch.stillHookedIn && gWatch.stillHookedIn == gHostWindow) {
        gWatch.stillHookedIn = NULL;
        InterlockedExchange(&gWatch.watching, 1);
        return;
    }
    gWatch.hookWide = IsWindowUnicode(gHostWindow) != FALSE;
    gWatch.previousProc = gWatch.hookWide
        ? (WNDPROC)SetWindowLongPtrW(gHostWindow, GWLP_WNDPROC, (LONG_PTR)HostWindowHook)
        : (WNDPROC)SetWindowLongPtrA(gHostWindow, GWLP_WNDPROC, (LONG_PTR)HostWindowHook);
    if (gWatch.previousProc)
        InterlockedExchange(&gWatch.watching, 1);
}

void StopTrackWatch(void)
{
    InterlockedExchange(&gWatch.watching, 0);
    StopWorkerThread(&gWatch.infoThread, UM_INFO_STOP);

    if (gHostWindow && gWatch.previousProc) {
        // A player that quits us from inside its window procedure, reached
        // through the hook, unloads us before the hook's call returns: the
        // return would land in unmapped code. Stay loaded instead.
        if (gWatch.hookDepth > 0)
            PinModule();
        // Asked in the kind it was put in, the window hands the hook back as
        // it is (asked in the other kind, it would hand out a stand-in).
        WNDPROC current = gWatch.hookWide ? (WNDPROC)GetWindowLongPtrW(gHostWindow, GWLP_WNDPROC)
                                          : (WNDPROC)GetWindowLongPtrA(gHostWindow, GWLP_WNDPROC);
        if (current == HostWindowHook) {
            if (gWatch.hookWide)
                SetWindowLongPtrW(gHostWindow, GWLP_WNDPROC, (LONG_PTR)gWatch.previousProc);
            else
                SetWindowLongPtrA(gHostWindow, GWLP_WNDPROC, (LONG_PTR)gWatch.previousProc);
        } else {
            // Someone subclassed the window over us and still calls into the
            // hook: stay loaded, and let the hook pass everything through.
            PinModule();
            gWatch.stillHookedIn = gHostWindow;
        }
    }
}
