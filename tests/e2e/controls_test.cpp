// The player controlled from a popup, with real input: the buttons that show
// once the pointer rests on a popup, the wheel and the middle button, what
// each sends the stand-in player and what the player then does.
#include "tests/e2e/support.h"
#include "host/dialog_driver.h"
#include "host/plugin_patches.h"
#include "res/resource.h"

namespace {

const PlayerTrack kPlaylist[] = {
    { 0, "Northbound Trains - Paper Lanterns", 205, 44, 192, 2, NULL },
    { 1, "Lena Ostrova - Radio Static", 187, 48, 320, 2, NULL },
    { 2, "The Quiet Harbour - Low Tide", 3599, 96, 1411, 2, NULL },
};

// A window of the test's own in front, with the keyboard focus, as the
// program the user works in.
struct WorkWindow {
    HWND window = NULL;
    WorkWindow()
    {
        window = CreateWindowExA(0, "EDIT", "working", WS_POPUP | WS_VISIBLE | WS_BORDER, 20, 20, 200, 60,
                                 NULL, NULL, GetModuleHandleA(NULL), NULL);
        SetForegroundWindow(window);
        SetFocus(window);
        PlayerPump();
    }
    ~WorkWindow() { DestroyWindow(window); }
};

bool ButtonsShow(HWND popup, const char *playPause)
{
    return VisibleChild(popup, "Previous") && VisibleChild(popup, playPause) && VisibleChild(popup, "Next");
}

// Onto the popup's left end in two moves, away from where the buttons come;
// `right` pixels further right.
void RestOn(HWND popup, int right = 0)
{
    RECT r = WindowRectOf(popup);
    ASSERT_TRUE(PlayerMovePointer(r.left + 6 + right, r.top + 6));
    ASSERT_TRUE(PlayerMovePointer(r.left + 10 + right, r.top + 8));
}

// Onto the button until it says `text`: the button for a click.
HWND PointAt(HWND popup, const std::string &text)
{
    bool playPause = text == "Play" || text == "Pause";
    HWND button = playPause ? VisibleChild(popup, text == "Play" ? "Pause" : "Play") : NULL;
    if (!button)
        button = VisibleChild(popup, text);
    RECT r = WindowRectOf(button);
    EXPECT_TRUE(button && PlayerMovePointer((r.left + r.right) / 2, (r.top + r.bottom) / 2)) << text;
    EXPECT_TRUE(WaitUntil([&] { return WindowText(button) == text; })) << "the button says " << WindowText(button);
    return button;
}

void Click(HWND button)
{
    RECT r = WindowRectOf(button);
    PlayerClickAt((r.left + r.right) / 2, (r.top + r.bottom) / 2, false);
}

bool AnotherPopupShows(HWND popup, const PlayerTrack &track)
{
    for (HWND other : VisiblePopups())
        if (other != popup && WindowText(ReadPopupParts(other).title) == TitleLine(track.position, track.title))
            return true;
    return false;
}

std::vector<Step> CommandsOfThread(int from, DWORD thread)
{
    std::vector<Step> mine;
    for (const Step &step : CommandsFrom(from))
        if (step.thread == thread)
            mine.push_back(step);
    return mine;
}

enum Input { kClick, kWheel, kMiddleClick };

// The first track's popup, once its buttons show under the resting pointer;
// NULL when they did not.
HWND PopupWithButtons()
{
    PlayerStartTrack(kPlaylist[0]);
    if (!WaitForVisiblePopups(1))
        return NULL;
    HWND popup = VisiblePopups()[0];
    if (!WaitUntil([&] { return !WindowText(popup).empty(); }))   // its show done
        return NULL;
    EXPECT_FALSE(VisibleChild(popup, "Next")) << "buttons before the pointer came";
    RestOn(popup);
    return WaitUntil([&] { return ButtonsShow(popup, "Pause"); }) ? popup : NULL;
}

// The low-level mouse hooks the plug-in holds.
volatile LONG gHooksHeld;

HHOOK WINAPI CountedSetWindowsHookExW(int kind, HOOKPROC proc, HINSTANCE module, DWORD thread)
{
    HHOOK hook = SetWindowsHookExW(kind, proc, module, thread);
    if (hook && kind == WH_MOUSE_LL)
        InterlockedIncrement(&gHooksHeld);
    return hook;
}

BOOL WINAPI CountedUnhookWindowsHookEx(HHOOK hook)
{
    BOOL done = UnhookWindowsHookEx(hook);
    if (done)
        InterlockedDecrement(&gHooksHeld);
    return done;
}

const WPARAM kRead = (WPARAM)-666;
const int kPlaying = PLAYER_PLAYING, kPaused = PLAYER_PAUSED, kStopped = PLAYER_STOPPED;

}  // namespace

using Controls = PlayerTest;

TEST_F(Controls, ButtonsWheelAndMiddleClickDriveThePlayerWithoutTakingTheFocus)
{
    PlayerSetPlaylist(kPlaylist, 3);
    ASSERT_TRUE(LoadPatched());
    WorkWindow work;
    HWND front = GetForegroundWindow();
    HWND popup = PopupWithButtons();
    ASSERT_NE(popup, (HWND)NULL) << "no buttons on a popup the pointer rests on";
    DWORD popupThread = GetWindowThreadProcessId(popup, NULL);

    struct Row {
        const char *name;
        Input input;
        const char *what;          // the button clicked; the wheel's notches
        int notches;
        int stateBefore, volumeBefore;
        std::vector<ExpectedStep> sent;   // by the popup's thread
        int stateAfter, volumeAfter, positionAfter;
        const char *shows;         // a control of the popup that shows afterwards
    } rows[] = {
        { "Next", kClick, "Next", 0, kPlaying, 200, { { PLAYER_BUTTON_NEXT, 0, kOnWorker },
          { PLAYER_CMD_PLAY_STATE, 0, kOnWorker } }, kPlaying, 200, 1, "Pause" },
        { "Pause", kClick, "Pause", 0, kPlaying, 200, { { PLAYER_CMD_PLAY_STATE, 0, kOnWorker },
          { PLAYER_BUTTON_PAUSE, 0, kOnWorker }, { PLAYER_CMD_PLAY_STATE, 0, kOnWorker } }, kPaused, 200, 1, "Play" },
        { "Play resumes", kClick, "Play", 0, kPaused, 200, { { PLAYER_CMD_PLAY_STATE, 0, kOnWorker },
          { PLAYER_BUTTON_PAUSE, 0, kOnWorker }, { PLAYER_CMD_PLAY_STATE, 0, kOnWorker } }, kPlaying, 200, 1, "Pause" },
        { "Previous", kClick, "Previous", 0, kPlaying, 200, { { PLAYER_BUTTON_PREVIOUS, 0, kOnWorker },
          { PLAYER_CMD_PLAY_STATE, 0, kOnWorker } }, kPlaying, 200, 0, "Pause" },
        { "Play from stopped", kClick, "Play", 0, kStopped, 200, { { PLAYER_CMD_PLAY_STATE, 0, kOnWorker },
          { PLAYER_BUTTON_PLAY, 0, kOnWorker }, { PLAYER_CMD_PLAY_STATE, 0, kOnWorker } }, kPlaying, 200, 0, "Pause" },
        { "a notch up", kWheel, NULL, 1, kPlaying, 100, { { PLAYER_CMD_VOLUME, kRead, kOnWorker },
          { PLAYER_CMD_VOLUME, 108, kOnWorker } }, kPlaying, 108, 0, "Volume 42%" },
        { "a notch up from 250 stops at 255", kWheel, NULL, 1, kPlaying, 250, { { PLAYER_CMD_VOLUME, kRead, kOnWorker },
          { PLAYER_CMD_VOLUME, 255, kOnWorker } }, kPlaying, 255, 0, "Volume 100%" },
        { "a notch down from 5 stops at 0", kWheel, NULL, -1, kPlaying, 5, { { PLAYER_CMD_VOLUME, kRead, kOnWorker },
          { PLAYER_CMD_VOLUME, 0, kOnWorker } }, kPlaying, 0, 0, "Volume 0%" },
        { "a middle click pauses", kMiddleClick, NULL, 0, kPlaying, 200, { { PLAYER_CMD_PLAY_STATE, 0, kOnWorker },
          { PLAYER_BUTTON_PAUSE, 0, kOnWorker }, { PLAYER_CMD_PLAY_STATE, 0, kOnWorker } }, kPaused, 200, 0, "Play" },
    };
    // Wine sends the wheel to the window with the focus, as Windows 8.1 does:
    // these turns reach the popup through the hook it holds while the
    // pointer rests on it.
    for (const Row &row : rows) {
        PlayerSetPlayState(row.stateBefore);
        PlayerSetVolume(row.volumeBefore);
        PlayerAdvancePluginClock(kEventGapMs);   // a new track's event is never throttled
        HWND button = row.input == kClick ? PointAt(popup, row.what) : NULL;
        int from = PlayerCommandCount();
        if (button)
            Click(button);
        for (int i = 0; i < row.notches || i < -row.notches; i++)
            PlayerTurnWheel(row.notches > 0 ? WHEEL_DELTA : -WHEEL_DELTA);
        if (row.input == kMiddleClick)
            PlayerMiddleClick();
        EXPECT_TRUE(WaitUntil([&] {
            return CommandsOfThread(from, popupThread).size() >= row.sent.size() &&
                   PlayerPlayState() == row.stateAfter && PlayerVolume() == row.volumeAfter;
        })) << row.name;
        EXPECT_TRUE(SameSequence(CommandsOfThread(from, popupThread), row.sent)) << row.name;
        EXPECT_EQ(PlayerPlayState(), row.stateAfter) << row.name;
        EXPECT_EQ(PlayerVolume(), row.volumeAfter) << row.name;
        EXPECT_TRUE(WaitUntil([&] { return VisibleChild(popup, row.shows) != NULL; })) << row.name << ": no "
                                                                                        << row.shows;
        bool newTrack = CountCommands(PLAYER_BUTTON_NEXT, from) + CountCommands(PLAYER_BUTTON_PREVIOUS, from) +
                        CountCommands(PLAYER_BUTTON_PLAY, from) > 0;
        if (newTrack)
            EXPECT_TRUE(WaitUntil([&] { return AnotherPopupShows(popup, kPlaylist[row.positionAfter]); }))
                << row.name << ": no popup for the new track";
        EXPECT_TRUE(IsWindowVisible(popup)) << row.name << ": the popup closed";
        EXPECT_EQ(GetForegroundWindow(), front) << row.name;
        EXPECT_EQ(GetFocus(), work.window) << row.name;
    }

    ASSERT_TRUE(PlayerMovePointer(300, 40));
    EXPECT_TRUE(WaitUntil([&] { return !VisibleChild(popup, "Next"); })) << "the buttons stayed after the pointer left";
}

TEST_F(Controls, WithControlsOffAPopupShowsNoButtonsIgnoresWheelAndMiddleClickAndClosesOnAClick)
{
    SetIni("Controls", 0);
    PlayerSetPlaylist(kPlaylist, 3);
    ASSERT_TRUE(Load());
    PlayerStartTrack(kPlaylist[0]);
    ASSERT_TRUE(WaitForVisiblePopups(1));
    HWND popup = VisiblePopups()[0];
    ASSERT_TRUE(WaitUntil([&] { return !WindowText(popup).empty(); }));
    DWORD popupThread = GetWindowThreadProcessId(popup, NULL);
    RestOn(popup);
    int from = PlayerCommandCount();
    PlayerTurnWheel(WHEEL_DELTA);
    PlayerMiddleClick();
    PlayerPumpFor(800);   // twice the time the pointer must rest
    EXPECT_FALSE(VisibleChild(popup, "Next"));
    EXPECT_TRUE(CommandsOfThread(from, popupThread).empty());
    EXPECT_EQ(PlayerVolume(), 200);
    EXPECT_EQ(PlayerPlayState(), PLAYER_PLAYING);

    // Where the buttons would be.
    RECT r = WindowRectOf(popup);
    PlayerClickAt(r.right - 12, (r.top + r.bottom) / 2, false);
    EXPECT_TRUE(WaitForPopupClosed(popup));
}


// The player's thread busy for seconds (a long task of its own) while the
// user works a popup: the popup's thread, which holds the wheel hook, never
// waits for the player. A notch, then the pointer moved away: the buttons
// go, the pointer stays, and the notch reaches the player once it answers.
// 3,000 notches add up into one change (each was a change of its own, two
// messages queued on the popup's thread); and a quit right after 1,000 more
// waits for none of them.
TEST_F(Controls, ABusyPlayerHoldsNeitherThePopupNorThePointerAndAWheelFloodAddsUp)
{
    SetIni("Seconds", 0);   // no close while the pointer is away
    PlayerSetPlaylist(kPlaylist, 3);
    PlayerSetVolume(100);
    ASSERT_TRUE(Load());
    HWND popup = PopupWithButtons();
    ASSERT_NE(popup, (HWND)NULL);
    DWORD popupThread = GetWindowThreadProcessId(popup, NULL);
    int from = PlayerCommandCount();
    bool buttonsWent = false, pointerMovedBack = true;
    PlayerBusyWhile([&] {
        PlayerTurnWheel(WHEEL_DELTA);
        buttonsWent = PlayerMovePointer(300, 40) && WaitUntil([&] { return !VisibleChild(popup, "Next"); }, 2000);
        pointerMovedBack = WaitUntil([] {
            POINT at;
            return GetCursorPos(&at) && (at.x != 300 || at.y != 40);
        }, 1500);
    });
    EXPECT_TRUE(buttonsWent) << "the buttons stayed while the player was busy";
    EXPECT_FALSE(pointerMovedBack) << "the pointer went back onto the popup";
    EXPECT_TRUE(WaitUntil([] { return PlayerVolume() == 108; })) << "the volume is " << PlayerVolume();
    EXPECT_TRUE(SameSequence(CommandsOfThread(from, popupThread),
                             { { PLAYER_CMD_VOLUME, kRead, kOnWorker }, { PLAYER_CMD_VOLUME, 108, kOnWorker } }));
    PlayerCommand sent;
    for (int i = from; PlayerCommandAt(i, &sent); i++)
        EXPECT_TRUE(sent.threadId != popupThread || sent.ms < 100) << "the popup's thread waited " << sent.ms << " ms";

    // Back onto the popup, elsewhere than it last saw the pointer: the moves
    // may reach it as one, which at the same place would be no move at all.
    RestOn(popup, 20);
    ASSERT_TRUE(WaitUntil([&] { return ButtonsShow(popup, "Pause"); }));
    from = PlayerCommandCount();
    PlayerBusyWhile([] {
        for (int i = 0; i < 3000; i++)
            PlayerTurnWheel(-WHEEL_DELTA);
    });
    EXPECT_TRUE(WaitUntil([] { return PlayerVolume() == 0; })) << "the volume is " << PlayerVolume();
    EXPECT_TRUE(SameSequence(CommandsOfThread(from, popupThread),
                             { { PLAYER_CMD_VOLUME, kRead, kOnWorker }, { PLAYER_CMD_VOLUME, 0, kOnWorker } }));
    from = PlayerCommandCount();
    PlayerBusyWhile([] {
        for (int i = 0; i < 1000; i++)
            PlayerTurnWheel(WHEEL_DELTA);
    });
    EXPECT_LT(QuitAndUnload(), 1000u);
    EXPECT_LE(CountCommands(PLAYER_CMD_VOLUME, from), 2);
    EXPECT_TRUE(NoPopupAndBaselineThreads());
}

// Controls turned off in the settings dialog while the buttons show, the
// pointer resting on the popup: the buttons and the wheel hook go at once,
// as every setting applies while the dialog is open, not at the pointer's
// next move; and OK keeps them away.
TEST_F(Controls, ControlsTurnedOffInTheDialogTakeTheButtonsAndTheHookAwayAtOnce)
{
    PreloadedPlugin plugin;
    ASSERT_TRUE(plugin.Redirect("user32.dll", "SetWindowsHookExW", (void *)CountedSetWindowsHookExW));
    ASSERT_TRUE(plugin.Redirect("user32.dll", "UnhookWindowsHookEx", (void *)CountedUnhookWindowsHookEx));
    gHooksHeld = 0;
    PlayerSetPlaylist(kPlaylist, 3);
    ASSERT_TRUE(Load());
    PlayerStartTrack(kPlaylist[0]);
    ASSERT_TRUE(WaitForVisiblePopups(1));
    HWND popup = VisiblePopups()[0];
    ASSERT_TRUE(DriveSettingsDialog([&](HWND dialog) {
        // The dialog opened under the pointer, in the middle of the screen.
        RestOn(popup);
        ASSERT_TRUE(WaitUntil([&] { return ButtonsShow(popup, "Pause"); }));
        EXPECT_TRUE(WaitUntil([] { return gHooksHeld == 1; })) << gHooksHeld << " hooks";
        // What the box tells the dialog as it turns off. (A click would also
        // let the mouse capture go, and the window under the pointer hears
        // then that the pointer moved; so would it as the dialog closes.)
        HWND box = GetDlgItem(dialog, IDC_CONTROLS);
        CheckDlgButton(dialog, IDC_CONTROLS, BST_UNCHECKED);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_CONTROLS, BN_CLICKED), (LPARAM)box);
        EXPECT_TRUE(WaitUntil([&] { return !VisibleChild(popup, "Next"); }, 1000)) << "the buttons stayed";
        EXPECT_TRUE(WaitUntil([] { return gHooksHeld == 0; }, 1000)) << "the hook stayed";
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
    }));
    EXPECT_EQ(PlayerReadSetting("Controls"), 0);
    EXPECT_FALSE(VisibleChild(popup, "Next"));
    EXPECT_TRUE(IsWindowVisible(popup));
}
