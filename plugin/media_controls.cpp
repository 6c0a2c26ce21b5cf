// The media controls' thread: it looks for Windows' controls, registers the
// player's window with them, keeps them told of what plays and how, and
// turns their buttons into the player's commands. Every call on Windows'
// objects is made here, in the thread's multithreaded apartment, so the
// player's thread never waits for Windows' media service.
#include "plugin/media_controls.h"
#include "plugin/media_display.h"
#include "plugin/media_handlers.h"
#include "plugin/media_rules.h"
#include "plugin/track_format.h"
#include "plugin/winrt_media.h"
#include "base/messages.h"
#include "base/player.h"
#include "base/worker_thread.h"
#include "settings/settings.h"

#define RO_INIT_MULTITHREADED 1
// While playing, Windows' timeline is put right this often.
#define TIMELINE_PERIOD_MS 5000
// Track events closer than the settle wait are shown once, after the last;
// a burst longer than this is shown at least this often.
#define SETTLE_BURST_MOST_MS 1000

struct MediaControlsState {
    WorkerThread worker;
    volatile LONG presence;           // a MediaControlsPresence
    HWND volatile tellWindow;
    volatile UINT tellMessage;

    // The rest belongs to the thread.
    bool looked;
    bool apartment;                   // RoInitialize succeeded: undone at the end
    MediaInterop *interop;            // Windows has the controls
    bool heldByOthers;                // enabled by another program before us: theirs for this run
    MediaControls *controls;          // registered
    MediaControls2 *controls2;        // and Windows has the timeline
    MediaDisplayUpdater *updater;
    MediaHandler *buttonHandler;
    MediaHandler *positionHandler;
    bool buttonAdded;
    bool positionAdded;
    WinrtEventToken buttonToken;
    WinrtEventToken positionToken;
    UINT_PTR settleTimer;             // a track event waits for the player to settle
    DWORD firstUnsettledEvent;
    UINT_PTR timelineTimer;           // runs while the player plays
};
static MediaControlsState gMedia;

static void SetPresence(MediaControlsPresence presence)
{
    InterlockedExchange(&gMedia.presence, presence);
    HWND window = gMedia.tellWindow;
    if (window)
        PostMessageA(window, gMedia.tellMessage, 0, 0);
}

static void LookForControls(void)
{
    gMedia.looked = true;
    bool present = false;
    if (LoadWinrtRuntime()) {
        gMedia.apartment = SUCCEEDED(gWinrt.initialize(RO_INIT_MULTITHREADED));
        present = gMedia.apartment
               && SUCCEEDED(GetWinrtFactory(L"Windows.Media.SystemMediaTransportControls", IidMediaInterop,
                                            (void **)&gMedia.interop))
               && gMedia.interop;
    }
    SetPresence(present ? MEDIA_CONTROLS_PRESENT : MEDIA_CONTROLS_ABSENT);
}

static void StopTimer(UINT_PTR *timer)
{
    if (*timer)
        KillTimer(NULL, *timer);
    *timer = 0;
}

// Takes the player out of Windows' controls: the handlers removed, the
// display cleared, the controls off, every object let go.
static void Unregister(void)
{
    StopTimer(&gMedia.settleTimer);
    StopTimer(&gMedia.timelineTimer);
    if (gMedia.buttonAdded)
        gMedia.controls->methods->remove_ButtonPressed(gMedia.controls, gMedia.buttonToken);
    if (gMedia.positionAdded)
        gMedia.controls2->methods->remove_PlaybackPositionChangeRequested(gMedia.controls2, gMedia.positionToken);
    gMedia.buttonAdded = gMedia.positionAdded = false;
    if (gMedia.updater)
        ClearMediaDisplay(gMedia.updater);
    if (gMedia.controls)
        gMedia.controls->methods->put_IsEnabled(gMedia.controls, 0);
    ReleaseWinrtObject(&gMedia.updater);
    ReleaseWinrtObject(&gMedia.controls2);
    ReleaseWinrtObject(&gMedia.controls);
    // Windows may still call a handler it took before the removal.
    RetireMediaHandler(gMedia.buttonHandler);
    RetireMediaHandler(gMedia.positionHandler);
    gMedia.buttonHandler = gMedia.positionHandler = NULL;
}

static bool Register(void)
{
    MediaControls *controls = NULL;
    if (!gMedia.interop
        || FAILED(gMedia.interop->methods->GetForWindow(gMedia.interop, gHostWindow, IidMediaControls,
                                                        (void **)&controls))
        || !controls)
        return false;
    BYTE enabled = 0;
    if (SUCCEEDED(controls->methods->get_IsEnabled(controls, &enabled)) && enabled) {
        // Another program drives the window's controls: two would fight
        // over one display.
        OutputDebugStringA("Tunebell: the player's window is already in Windows' media controls "
                           "(another program shows it there); leaving them alone\n");
        gMedia.heldByOthers = true;
        ReleaseWinrtObject(&controls);
        return false;
    }
    gMedia.controls = controls;
    controls->methods->put_IsPlayEnabled(controls, 1);
    controls->methods->put_IsPauseEnabled(controls, 1);
    controls->methods->put_IsStopEnabled(controls, 1);
    controls->methods->put_IsPreviousEnabled(controls, 1);
    controls->methods->put_IsNextEnabled(controls, 1);
    controls->methods->put_IsEnabled(controls, 1);
    gMedia.buttonHandler = NewMediaHandler(MEDIA_HANDLER_BUTTON, GetCurrentThreadId());
    gMedia.buttonAdded = gMedia.buttonHandler
        && SUCCEEDED(controls->methods->add_ButtonPressed(controls, gMedia.buttonHandler, &gMedia.buttonToken));
    if (!gMedia.buttonAdded || FAILED(controls->methods->get_DisplayUpdater(controls, &gMedia.updater))
        || !gMedia.updater) {
        Unregister();
        return false;
    }
    // The timeline, where Windows has it.
    if (SUCCEEDED(controls->methods->QueryInterface(controls, IidMediaControls2, (void **)&gMedia.controls2))
        && gMedia.controls2) {
        gMedia.positionHandler = NewMediaHandler(MEDIA_HANDLER_POSITION, GetCurrentThreadId());
        gMedia.positionAdded = gMedia.positionHandler
            && SUCCEEDED(gMedia.controls2->methods->add_PlaybackPositionChangeRequested(
                   gMedia.controls2, gMedia.positionHandler, &gMedia.positionToken));
    }
    return true;
}

static void UpdateTimeline(void)
{
    MediaTimeline *timeline = NULL;
    if (!gMedia.controls2
        || FAILED(ActivateWinrtObject(L"Windows.Media.SystemMediaTransportControlsTimelineProperties",
                                      IidMediaTimeline, (void **)&timeline)))
        return;
    int length = (int)AskPlayer(1, PLAYER_GET_LENGTH);
    int position = (int)AskPlayer(0, PLAYER_GET_LENGTH);
    MediaTimelineValues values = MediaTimelineFromPlayer(length, position);
    timeline->methods->put_StartTime(timeline, TimeSpanFromMs(values.start));
    timeline->methods->put_EndTime(timeline, TimeSpanFromMs(values.end));
    timeline->methods->put_Position(timeline, TimeSpanFromMs(values.position));
    timeline->methods->put_MinSeekTime(timeline, TimeSpanFromMs(values.minSeek));
    timeline->methods->put_MaxSeekTime(timeline, TimeSpanFromMs(values.maxSeek));
    gMedia.controls2->methods->UpdateTimelineProperties(gMedia.controls2, timeline);
    ReleaseWinrtObject(&timeline);
}

static void UpdatePlayState(void)
{
    int state = (int)AskPlayer(0, PLAYER_GET_PLAY_STATE);
    gMedia.controls->methods->put_PlaybackStatus(gMedia.controls, MediaStatusForPlayState(state));
    UpdateTimeline();
    // Windows moves its slider on between our updates, and drifts.
    if (state == PLAY_PLAYING && !gMedia.timelineTimer && gMedia.controls2)
        gMedia.timelineTimer = SetTimer(NULL, 0, TIMELINE_PERIOD_MS, NULL);
    else if (state != PLAY_PLAYING)
        StopTimer(&gMedia.timelineTimer);
}

static void ShowTrack(void)
{
    UpdateMediaDisplay(gMedia.updater);
    UpdatePlayState();
}

// The popups wait as long for the player to settle on a new track; neither
// waits for the other.
static void WaitToShowTrack(void)
{
    DWORD now = GetTickCount();
    if (gMedia.settleTimer && now - gMedia.firstUnsettledEvent >= SETTLE_BURST_MOST_MS)
        return;
    if (!gMedia.settleTimer)
        gMedia.firstUnsettledEvent = now;
    StopTimer(&gMedia.settleTimer);
    gMedia.settleTimer = SetTimer(NULL, 0, TRACK_QUERY_DELAY, NULL);
    if (!gMedia.settleTimer)
        ShowTrack();
}

static void ApplySetting(bool on)
{
    if (!gMedia.looked)
        LookForControls();
    if (on && !gMedia.controls && !gMedia.heldByOthers) {
        if (Register())
            ShowTrack();
    } else if (!on && gMedia.controls) {
        Unregister();
    }
}

static void PressPlayerButton(int button)
{
    UINT command = PlayerCommandForMediaButton(button, (int)AskPlayer(0, PLAYER_GET_PLAY_STATE));
    // Posted, as the player's own buttons come: it acts on them in its own
    // time, and nobody waits.
    if (command)
        PostMessageA(gHostWindow, WM_COMMAND, command, 0);
}

static void OnMediaMessage(WorkerThread *, const MSG *msg)
{
    if (msg->message == UM_MEDIA_SETTING) {
        ApplySetting(msg->wParam != 0);
        return;
    }
    // Everything else is for registered controls only.
    if (!gMedia.controls)
        return;
    switch (msg->message) {
    case UM_MEDIA_TRACK:
        WaitToShowTrack();
        break;
    case UM_MEDIA_STATE:
        UpdatePlayState();
        break;
    case UM_MEDIA_BUTTON:
        PressPlayerButton((int)msg->wParam);
        break;
    case UM_MEDIA_SEEK:
        PostMessageA(gHostWindow, WM_USER, msg->wParam, PLAYER_JUMP_TO);
        break;
    case WM_TIMER:
        if (gMedia.settleTimer && msg->wParam == gMedia.settleTimer) {
            StopTimer(&gMedia.settleTimer);
            ShowTrack();
        } else if (gMedia.timelineTimer && msg->wParam == gMedia.timelineTimer) {
            UpdateTimeline();
        }
        break;
    }
}

static void EndMediaThread(WorkerThread *)
{
    Unregister();
    ReleaseWinrtObject(&gMedia.interop);
    if (gMedia.apartment)
        gWinrt.uninitialize();
    gMedia.apartment = false;
}

static const WorkerRoutine kMediaRoutine = { NULL, OnMediaMessage, EndMediaThread };

void StartMediaControls(void)
{
    if (gMedia.worker.thread)
        return;
    ZeroMemory(&gMedia, sizeof(gMedia));
    // The thread looks for Windows' controls (which may take a while) once
    // init has returned.
    if (StartWorkerThread(&gMedia.worker, &kMediaRoutine, NULL))
        PostThreadMessageA(gMedia.worker.id, UM_MEDIA_SETTING, gSettings.MediaControls != 0, 0);
    else
        SetPresence(MEDIA_CONTROLS_ABSENT);
}

void StopMediaControls(void)
{
    StopWorkerThread(&gMedia.worker, UM_MEDIA_STOP);
}

void NoteMediaTrackEvent(void)
{
    PostThreadMessageA(WorkerThreadId(&gMedia.worker), UM_MEDIA_TRACK, 0, 0);
}

void NoteMediaPlayStateChanged(void)
{
    PostThreadMessageA(WorkerThreadId(&gMedia.worker), UM_MEDIA_STATE, 0, 0);
}

void ApplyMediaControlsSetting(bool on)
{
    PostThreadMessageA(WorkerThreadId(&gMedia.worker), UM_MEDIA_SETTING, on, 0);
}

MediaControlsPresence MediaControlsPresent(void)
{
    return (MediaControlsPresence)gMedia.presence;
}

void TellWhenMediaControlsKnown(HWND window, UINT message)
{
    gMedia.tellMessage = message;
    InterlockedExchangePointer((void **)&gMedia.tellWindow, window);
    if (window && gMedia.presence != MEDIA_CONTROLS_UNKNOWN)
        PostMessageA(window, message, 0, 0);
}
