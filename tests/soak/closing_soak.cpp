// Popups closing at the same moment. A closing popup re-places the others
// and tells each its new place, and one of those may be closing too: hidden
// already and out of the list, but not destroyed yet. It must stay hidden.
#include "tests/soak/soak.h"

using ClosingSoak = SoakTest;

TEST_F(ClosingSoak, APopupClosedWhileAnotherClosesIsNotShownAgain)
{
    SetIni("Seconds", 0);
    PlayerSetTrack(kSong);
    ASSERT_TRUE(StartLedger());
    ASSERT_TRUE(LoadPatched());
    std::vector<HWND> popups = ShowPopups(3);
    ASSERT_EQ(popups.size(), 3u);
    HWND first = popups[0], second = popups[1], third = popups[2];

    // The first closes and stops before it tells the second to move; then
    // the second closes and stops before it tells the third.
    ArmPause(kPauseMovingPopup, second);
    PostMessageA(first, WM_CONTEXTMENU, (WPARAM)first, 0);
    ASSERT_TRUE(WaitForPause(kPauseMovingPopup));
    ArmPause(kPauseMovingPopupToo, third);
    PostMessageA(second, WM_CONTEXTMENU, (WPARAM)second, 0);
    ASSERT_TRUE(WaitForPause(kPauseMovingPopupToo));
    ASSERT_FALSE(IsWindowVisible(second));

    // The first goes on: it tells the second and the third, and is gone.
    ReleasePause(kPauseMovingPopup);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(first); }));
    EXPECT_FALSE(IsWindowVisible(second)) << "a popup being closed was shown again";

    ReleasePause(kPauseMovingPopupToo);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(second); }));
    ASSERT_EQ(VisiblePopups(), std::vector<HWND>{ third });
    EXPECT_TRUE(InLowerRightCorner(third));

    EXPECT_LT(QuitAndUnload(), 2000u);
    ExpectNothingLeft();
}
