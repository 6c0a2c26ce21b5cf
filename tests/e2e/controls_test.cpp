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

HWND VisibleChild(HWND popup, const std::string &text)
{
    HWND children[32];
    int count = PlayerChildWindows(popup, children, 32);
    for (int i = 0; i < count && i < 32; i++)
        if (IsWindowVisible(children[i]) && WindowText(children[i]) == text)
            return children[i];
    return NULL;
}

bool ButtonsShow(HWND popup, const char *playPause)
{
    return VisibleChild(popup, "Previous") && VisibleChild(popup, playPause) && VisibleChild(popup, "Next");
}

// Onto the popup's left end in two moves, away from where the buttons come.
void RestOn(HWND popup)
{
    RECT r = WindowRectOf(popup);
    ASSERT_TRUE(PlayerMovePointer(r.left + 6, r.top + 6));
    ASSERT_TRUE(PlayerMovePointer(r.left + 10, r.top + 8));
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
    if (!WaitUntil([&] { return !WindowText(popup).empty(); }))
        return NULL;
    RestOn(popup);
    return WaitUntil([&] { return ButtonsShow(popup, "Pause"); }) ? popup : NULL;
}

// Notches of the wheel, as fast as the system takes them.
void TurnWheelOften(int delta, int notches)
{
    std::vector<INPUT> turns(notches);
    for (INPUT &turn : turns) {
        ZeroMemory(&turn, sizeof turn);
        turn.type = INPUT_MOUSE;
        turn.mi.dwFlags = MOUSEEVENTF_WHEEL;
        turn.mi.mouseData = (DWORD)delta;
    }
    SendInput((UINT)notches, turns.data(), sizeof(INPUT));
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
    PlayerStartTrack(kPlaylist[0]);
    ASSERT_TRUE(WaitForVisiblePopups(1));
    HWND popup = VisiblePopups()[0];
    ASSERT_TRUE(WaitUntil([&] { return !WindowText(popup).empty(); }));   // its show done
    DWORD popupThread = GetWindowThreadProcessId(popup, NULL);
    EXPECT_FALSE(VisibleChild(popup, "Next")) << "buttons before the pointer came";
    RestOn(popup);
    ASSERT_TRUE(WaitUntil([&] { return ButtonsShow(popup, "Pause"); })) << "no buttons on a popup the pointer rests on";

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


// The wheel turned 5,000 notches over the buttons while the player is busy:
// they add up into one change, sent once the player answers the volume it
// was asked for (each notch was a change of its own, two messages to the
// player, queued on the popup's thread); and quit, right after such a
// flood, waits for none of it (it used to send the queue's every message).
TEST_F(Controls, AWheelFloodAddsUpIntoOneChangeAndQuitWaitsForNoneOfIt)
{
    PlayerSetPlaylist(kPlaylist, 3);
    ASSERT_TRUE(Load());
    HWND popup = PopupWithButtons();
    ASSERT_NE(popup, (HWND)NULL);
    DWORD popupThread = GetWindowThreadProcessId(popup, NULL);
    int from = PlayerCommandCount();
    PlayerBusyWhile([] { TurnWheelOften(-WHEEL_DELTA, 5000); });
    EXPECT_TRUE(WaitUntil([] { return PlayerVolume() == 0; })) << "the volume is " << PlayerVolume();
    EXPECT_TRUE(SameSequence(CommandsOfThread(from, popupThread),
                             { { PLAYER_CMD_VOLUME, kRead, kOnWorker }, { PLAYER_CMD_VOLUME, 0, kOnWorker } }));

    from = PlayerCommandCount();
    PlayerBusyWhile([] { TurnWheelOften(WHEEL_DELTA, 2000); });
    EXPECT_LT(QuitAndUnload(), 1000u);
    EXPECT_LE(CountCommands(PLAYER_CMD_VOLUME, from), 2);
    EXPECT_TRUE(NoPopupAndBaselineThreads());
}

// The player's thread busy for seconds (with a long task of its own) while
// the user turns the wheel over a popup and then moves the pointer away:
// the popup's thread, which holds the wheel hook, never waits for the
// player. Its buttons go as the pointer leaves, the pointer stays where it
// was moved, and the turn reaches the player once it answers again.
TEST_F(Controls, ABusyPlayerHoldsNeitherThePopupNorThePointer)
{
    PlayerSetPlaylist(kPlaylist, 3);
    PlayerSetVolume(100);
    ASSERT_TRUE(Load());
    HWND popup = PopupWithButtons();
    ASSERT_NE(popup, (HWND)NULL);
    DWORD popupThread = GetWindowThreadProcessId(popup, NULL);
    int from = PlayerCommandCount();
    const POINT away = { 300, 40 };
    bool buttonsWent = false;
    std::vector<POINT> strays;
    PlayerBusyWhile([&] {
        PlayerTurnWheel(WHEEL_DELTA);
        if (!PlayerMovePointer(away.x, away.y))
            return;
        buttonsWent = WaitUntil([&] { return !VisibleChild(popup, "Next"); }, 2000);
        // The rest of the player's busy time: only checks that nothing moves.
        DWORD start = GetTickCount();
        while (GetTickCount() - start < 1500) {
            POINT at;
            if (GetCursorPos(&at) && (at.x != away.x || at.y != away.y))
                strays.push_back(at);
            Sleep(10);
        }
    });
    EXPECT_TRUE(buttonsWent) << "the buttons stayed while the player was busy";
    EXPECT_TRUE(strays.empty()) << "the pointer went back to " << strays[0].x << "," << strays[0].y;
    ASSERT_TRUE(WaitUntil([] { return PlayerVolume() == 108; })) << "the volume is " << PlayerVolume();

    std::vector<Step> sent = CommandsOfThread(from, popupThread);
    EXPECT_TRUE(SameSequence(sent, { { PLAYER_CMD_VOLUME, kRead, kOnWorker }, { PLAYER_CMD_VOLUME, 108, kOnWorker } }));
    for (int i = from; i < PlayerCommandCount(); i++) {
        PlayerCommand command;
        if (PlayerCommandAt(i, &command) && command.threadId == popupThread)
            EXPECT_LT(command.ms, 100u) << "the popup's thread waited for command " << command.command;
    }
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
        EXPECT_EQ(gHooksHeld, 1);
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
