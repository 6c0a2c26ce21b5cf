// What other programs and the user do to a popup behind the plug-in's back:
// close it with WM_CLOSE, post WM_QUIT to its thread, send it a WM_DESTROY
// of their own, close it while it is still fading in, or turn the fade off
// while it is being built. Each time the popup leaves the list as if it were
// clicked away (the others close the gap), or shows as the settings now say,
// and nothing is left behind.
#include "tests/soak/soak.h"

#include "host/dialog_driver.h"
#include "res/resource.h"

#include <algorithm>

class Interference : public SoakTest {
protected:
    void LoadWithClock()
    {
        PlayerSetTrack(kSong);
        ASSERT_TRUE(StartLedger());
        ASSERT_TRUE(LoadPatched());
    }

    // The oldest is gone the way a click takes it: the other moved into the
    // corner, and the place it held in the list is free again.
    void ExpectClosedLikeAClick(HWND oldest, HWND youngest)
    {
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(oldest); })) << "the popup stayed";
        WaitUntil([&] { return InLowerRightCorner(youngest); });
        EXPECT_TRUE(InLowerRightCorner(youngest)) << "the other popup did not close the gap";
        EXPECT_EQ(VisiblePopups(), std::vector<HWND>{ youngest });
    }

    // Two popups waiting for a click; interfere acts on the oldest; it must
    // go as a click takes it, and nothing be left after quit.
    void CloseOldestBehindItsBack(void (*interfere)(HWND oldest))
    {
        SetIni("Seconds", 0);
        ASSERT_NO_FATAL_FAILURE(LoadWithClock());
        std::vector<HWND> popups = ShowPopups(2);
        ASSERT_EQ(popups.size(), 2u);
        HWND oldest = popups[0], youngest = popups[1];
        interfere(oldest);
        ASSERT_NO_FATAL_FAILURE(ExpectClosedLikeAClick(oldest, youngest));
        EXPECT_LT(QuitAndUnload(), 2000u);
        ExpectNothingLeft();
    }
};

static void SendFromOutside(HWND window, UINT message)
{
    DWORD_PTR ignored;
    SendMessageTimeoutA(window, message, 0, 0, SMTO_NORMAL, 5000, &ignored);
}

TEST_F(Interference, WmCloseFromAnotherProgramClosesThePopupAsAClickDoes)
{
    CloseOldestBehindItsBack([](HWND oldest) { SendFromOutside(oldest, WM_CLOSE); });
}

TEST_F(Interference, WmQuitPostedToAPopupThreadClosesThePopupAsAClickDoes)
{
    CloseOldestBehindItsBack([](HWND oldest) {
        PostThreadMessageA(GetWindowThreadProcessId(oldest, NULL), WM_QUIT, 0, 0);
    });
}

// A WM_DESTROY sent (not a window destroyed): the popup lets go of what it
// holds and ends its loop with the window still there, which then goes as
// if it were closed.
TEST_F(Interference, AStrayWmDestroyClosesThePopupAsAClickDoes)
{
    CloseOldestBehindItsBack([](HWND oldest) { SendFromOutside(oldest, WM_DESTROY); });
}

// The fade answers what other threads send meanwhile; a close sent then
// must not pull the window out from under the fade (which goes on with it
// and then arms the close timer from the popup's request).
TEST_F(Interference, ACloseSentDuringTheFadeInComesAfterIt)
{
    SetIni({ { "Seconds", 0 }, { "Fade", 1 }, { "FadeInTime", 2000 }, { "FadeOutTime", 100 } });
    ASSERT_NO_FATAL_FAILURE(LoadWithClock());
    HWND popup = ShowPopup();
    ASSERT_NE(popup, (HWND)NULL);
    ASSERT_TRUE(WaitUntil([&] { return MidFade(popup); }));

    DWORD_PTR ignored;
    ASSERT_TRUE(SendMessageTimeoutA(popup, WM_CLOSE, 0, 0, SMTO_NORMAL, 5000, &ignored));
    ASSERT_TRUE(IsWindow(popup)) << "closed in the middle of its fade-in";
    EXPECT_TRUE(MidFade(popup)) << "opacity " << LayeredAlpha(popup);
    EXPECT_TRUE(WaitForPopupClosed(popup, 5000)) << "the close was lost";
    EXPECT_LT(QuitAndUnload(), 2000u);
    ExpectNothingLeft();
}

// A popup made for a fade starts fully transparent; when the user turns the
// fade off before the popup is shown, it must still be seen.
TEST_F(Interference, FadeTurnedOffWhileAPopupIsBuiltLeavesItVisible)
{
    SetIni({ { "Seconds", 0 }, { "Fade", 1 } });
    ASSERT_NO_FATAL_FAILURE(LoadWithClock());
    ArmPause(kPausePopupWindowMade);
    PlayerStartTrackPastThrottle();
    ASSERT_TRUE(WaitForPause(kPausePopupWindowMade));

    ASSERT_TRUE(DriveSettingsDialog([&](HWND dialog) {
        Press(dialog, IDC_FADE);
        Press(dialog, IDOK);
    }));
    ASSERT_EQ(PlayerReadSetting("Fade"), 0);
    ReleasePause(kPausePopupWindowMade);

    ASSERT_TRUE(WaitForVisiblePopups(1));
    HWND popup = VisiblePopups()[0];
    EXPECT_TRUE(WaitForAlpha(popup, 255, 3000)) << "opacity " << LayeredAlpha(popup);
    EXPECT_LT(QuitAndUnload(), 2000u);
    ExpectNothingLeft();
}
