// Popups closing at the same moment. A closing popup re-places the others
// from its own thread, and one of those may be closing too: hidden already
// and out of the list, but not destroyed yet. It must stay hidden.
#include "tests/soak/soak.h"

#include <algorithm>

using ClosingSoak = SoakTest;

TEST_F(ClosingSoak, APopupClosedWhileAnotherClosesIsNotShownAgain)
{
    SetIni("Seconds", 0);
    PlayerSetTrack(kSong);
    ASSERT_TRUE(StartLedger());
    ASSERT_TRUE(LoadPatched());
    for (int i = 0; i < 3; i++) {
        PlayerStartTrackPastThrottle();
        ASSERT_TRUE(WaitForVisiblePopups(i + 1));
    }
    // In the lower right corner the oldest popup is the lowest.
    std::vector<HWND> popups = VisiblePopups();
    std::sort(popups.begin(), popups.end(),
              [](HWND a, HWND b) { return WindowRectOf(a).bottom > WindowRectOf(b).bottom; });
    HWND first = popups[0], second = popups[1], third = popups[2];

    // The first closes and stops before it moves the second; then the
    // second closes and stops before it moves the third.
    ArmPause(kPauseMovingPopup, second);
    PostMessageA(first, WM_CONTEXTMENU, (WPARAM)first, 0);
    ASSERT_TRUE(WaitForPause(kPauseMovingPopup));
    ArmPause(kPauseMovingPopupToo, third);
    PostMessageA(second, WM_CONTEXTMENU, (WPARAM)second, 0);
    ASSERT_TRUE(WaitForPause(kPauseMovingPopupToo));
    ASSERT_FALSE(IsWindowVisible(second));

    // The first goes on: it moves the second and the third, and is gone.
    ReleasePause(kPauseMovingPopup);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(first); }));
    EXPECT_FALSE(IsWindowVisible(second)) << "a popup being closed was shown again";

    ReleasePause(kPauseMovingPopupToo);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(second); }));
    ASSERT_EQ(VisiblePopups(), std::vector<HWND>{ third });
    RECT area = WorkArea(), r = WindowRectOf(third);
    EXPECT_EQ(r.right, area.right - 2);
    EXPECT_EQ(r.bottom, area.bottom - 2);

    EXPECT_LT(QuitAndUnload(), 2000u);
    ExpectNothingLeft();
}
