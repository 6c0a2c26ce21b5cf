// When a program counts as running full screen in front.
#include <gtest/gtest.h>

#include "plugin/fullscreen.h"

namespace {

const RECT kScreen = { 0, 0, 1920, 1080 };
const RECT kLeftScreen = { -1280, 0, 0, 1024 };

ForegroundWindow Window(RECT area, RECT monitor, const char *className = "GameWindow")
{
    ForegroundWindow window = { area, monitor, className, false, false };
    return window;
}

bool Quiet(const ForegroundWindow &window, int state = USER_STATE_ACCEPTS_NOTIFICATIONS)
{
    return IsFullScreenInFront(&window, state);
}

}  // namespace

TEST(FullScreen, AWindowCoveringItsWholeMonitorCounts)
{
    EXPECT_TRUE(Quiet(Window(kScreen, kScreen)));
    EXPECT_TRUE(Quiet(Window(kLeftScreen, kLeftScreen)));
    // Reaching past the monitor's edges still covers it.
    EXPECT_TRUE(Quiet(Window({ -8, -8, 1928, 1088 }, kScreen)));
    // A window on the left monitor that covers the primary one's place does not.
    EXPECT_FALSE(Quiet(Window(kScreen, kLeftScreen)));
    // A maximised window: below its caption, above the task bar.
    EXPECT_FALSE(Quiet(Window({ 0, 23, 1920, 1040 }, kScreen)));
    EXPECT_FALSE(Quiet(Window({ 0, 0, 1920, 1079 }, kScreen)));
    // A window on no monitor.
    EXPECT_FALSE(Quiet(Window(kScreen, { 0, 0, 0, 0 })));
}

TEST(FullScreen, TheDesktopTheShellAndOurOwnPopupsNeverCount)
{
    ForegroundWindow desktop = Window(kScreen, kScreen, "#32769");
    desktop.shell = true;
    EXPECT_FALSE(Quiet(desktop));
    EXPECT_FALSE(Quiet(Window(kScreen, kScreen, "Progman")));
    EXPECT_FALSE(Quiet(Window(kScreen, kScreen, "WorkerW")));
    ForegroundWindow popup = Window(kScreen, kScreen, "PopUpWnd");
    popup.ourProcess = true;
    EXPECT_FALSE(Quiet(popup));
    // Another program's window of the same class name is no popup of ours.
    popup.ourProcess = false;
    EXPECT_TRUE(Quiet(popup));
    // The player's own window, covering the screen with a film.
    ForegroundWindow film = Window(kScreen, kScreen, "PlayerVideo");
    film.ourProcess = true;
    EXPECT_TRUE(Quiet(film));
}

TEST(FullScreen, TheShellsBusyPresentationDirect3DAndQuietStatesCount)
{
    ForegroundWindow small = Window({ 100, 100, 500, 400 }, kScreen);
    for (int state : { USER_STATE_BUSY, USER_STATE_DIRECT3D_FULLSCREEN, USER_STATE_PRESENTATION,
                       USER_STATE_QUIET_TIME }) {
        EXPECT_TRUE(Quiet(small, state)) << state;
        EXPECT_TRUE(IsFullScreenInFront(NULL, state)) << state;
    }
    for (int state : { USER_STATE_UNKNOWN, USER_STATE_NOT_PRESENT, USER_STATE_ACCEPTS_NOTIFICATIONS,
                       USER_STATE_APP }) {
        EXPECT_FALSE(Quiet(small, state)) << state;
        EXPECT_FALSE(IsFullScreenInFront(NULL, state)) << state;
    }
}
