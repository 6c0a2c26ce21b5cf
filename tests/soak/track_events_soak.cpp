// The player's track events in bulk: ten thousand of them with random gaps
// of 0 to 50 ms on the plug-in's clock. The gaps are on the plug-in's clock
// so that the run takes seconds, not minutes: the plug-in then sees popups
// asked for ten times faster than real time allows, so they meet the limit
// of 48 at once and stay there, while the user (the test) clicks one away
// now and then and another takes its place.
#include "tests/soak/soak.h"

#include <algorithm>

using TrackEventSoak = SoakTest;

TEST_F(TrackEventSoak, TenThousandEventsWithRandomGapsLoseNothingAndLeaveNothing)
{
    const int kEvents = 10000, kLimit = 48, kGap = 400;
    SetIni("Seconds", 0);
    ASSERT_TRUE(StartLedger());
    ASSERT_TRUE(LoadPatched());
    PlayerSetPluginClock(1000);
    PlayerSetTrack({ 0, "Soak - Track", 200, 44, 192, 2 });
    int from = PlayerCommandCount();

    Random random(20240607);
    int acted = 0, clicked = 0;
    DWORD lastActed = 0;
    size_t mostVisible = 0;
    for (int i = 0; i < kEvents; i++) {
        PlayerAdvancePluginClock(random.Between(0, 50));
        // The throttle as the player sees it: an event counts when more than
        // 400 ms have passed since the last one that did.
        if (acted == 0 || PlayerPluginClock() - lastActed > (DWORD)kGap) {
            acted++;
            lastActed = PlayerPluginClock();
        }
        PlayerStartTrack();
        PlayerPumpFor(random.Between(0, 4));
        if (i % 10 == 0) {
            std::vector<HWND> visible = VisiblePopups();
            mostVisible = std::max(mostVisible, visible.size());
            // About four clicks a second, as fast as a user clears popups.
            if (i % 100 == 0 && !visible.empty()) {
                HWND popup = visible[random.Between(0, (int)visible.size() - 1)];
                PostMessageA(popup, WM_CONTEXTMENU, (WPARAM)popup, 0);
                clicked++;
            }
        }
    }
    printf("%d events acted on, %d popups clicked away, at most %d visible at once\n", acted, clicked,
           (int)mostVisible);

    // Every acted event reaches the worker, which asks the player once per
    // event, whether or not the limit lets its popup through.
    EXPECT_TRUE(WaitForCommand(PLAYER_CMD_POSITION, acted, from, 20000))
        << CountCommands(PLAYER_CMD_POSITION, from) << " of " << acted << " events served";
    EXPECT_EQ(PlayerCommandsDropped(), 0);
    EXPECT_EQ((int)mostVisible, kLimit);

    // The rest clicked away at once: all close, re-placing each other.
    for (HWND popup : VisiblePopups())
        PostMessageA(popup, WM_CONTEXTMENU, (WPARAM)popup, 0);
    EXPECT_TRUE(WaitForNoPopupWindows(30000)) << PlayerFindPopups(NULL, 0) << " popups stayed open";

    DWORD took = QuitAndUnload();
    EXPECT_LT(took, 2000u);
    ExpectNothingLeft();
}
