// The player quits at every stage of a popup's life: being built, sliding
// in, fading in, waiting for a click, fading out, being removed. Each time
// quit returns promptly, and no window, thread or resource of the plug-in is
// left behind.
#include "tests/soak/soak.h"

#include <stdio.h>

namespace {

enum Stage { kBeingBuilt, kMidSlide, kMidFadeIn, kWaiting, kMidFadeOut, kBeingRemoved };

const char *const kStageNames[] = { "BeingBuilt", "MidSlide",   "MidFadeIn",
                                    "Waiting",    "MidFadeOut", "BeingRemoved" };

// Quit that has not returned after this is stuck: fail at once, with the
// stage, instead of waiting for the test runner's time-out.
const DWORD kStuckMs = 10000;
// Prompt: well under the shortest fade that quit must not wait out (5000 ms).
const DWORD kPromptMs = 2000;

HANDLE gQuitReturned;

DWORD WINAPI Watchdog(LPVOID stage)
{
    if (WaitForSingleObject(gQuitReturned, kStuckMs) == WAIT_TIMEOUT) {
        fprintf(stderr, "quit did not return within %lu ms at stage %s\n", kStuckMs,
                kStageNames[(int)(INT_PTR)stage]);
        fflush(stderr);
        TerminateProcess(GetCurrentProcess(), 4);
    }
    return 0;
}

}  // namespace

class QuitStage : public SoakTest, public ::testing::WithParamInterface<Stage> {};

TEST_P(QuitStage, ReturnsPromptlyAndLeavesNothing)
{
    Stage stage = GetParam();
    SetIni("Seconds", 0);
    if (stage == kMidSlide)
        SetIni("UseAnimations", 1);
    if (stage == kMidFadeIn || stage == kMidFadeOut)
        SetIni({ { "Fade", 1 }, { "FadeInTime", stage == kMidFadeIn ? 5000 : 150 }, { "FadeOutTime", 5000 } });
    PlayerSetTrack(kSong);
    ASSERT_TRUE(StartLedger());
    UseSlowSlides(stage == kMidSlide);
    ASSERT_TRUE(LoadPatched());

    switch (stage) {
    case kBeingBuilt:
        ArmPause(kPausePopupWindowMade);
        PlayerStartTrackPastThrottle();
        ASSERT_TRUE(WaitForPause(kPausePopupWindowMade));
        // The popup thread goes on while quit runs.
        ReleasePauseLater(kPausePopupWindowMade, 50);
        break;
    case kMidSlide:
        PlayerStartTrackPastThrottle();
        ASSERT_TRUE(WaitUntil([] { return WaitForSingleObject(SlideStarted(), 0) == WAIT_OBJECT_0; }));
        break;
    case kMidFadeIn: {
        HWND popup = ShowPopup();
        ASSERT_NE(popup, (HWND)NULL);
        ASSERT_TRUE(WaitUntil([&] { return MidFade(popup); }));
        break;
    }
    case kWaiting:
        ASSERT_NE(ShowPopup(), (HWND)NULL);
        break;
    case kMidFadeOut: {
        HWND popup = ShowPopup();
        ASSERT_NE(popup, (HWND)NULL);
        ASSERT_TRUE(WaitForAlpha(popup, 255, 3000));
        PostMessageA(popup, WM_CONTEXTMENU, (WPARAM)popup, 0);
        ASSERT_TRUE(WaitUntil([&] {
            int alpha = LayeredAlpha(popup);
            return alpha > 0 && alpha < 250;
        }));
        break;
    }
    case kBeingRemoved: {
        std::vector<HWND> popups = ShowPopups(2);
        ASSERT_EQ(popups.size(), 2u);
        HWND oldest = popups[0];
        // The oldest closes and stops as it is about to tell the other to move.
        ArmPause(kPauseMovingPopup);
        PostMessageA(oldest, WM_CONTEXTMENU, (WPARAM)oldest, 0);
        ASSERT_TRUE(WaitForPause(kPauseMovingPopup));
        ReleasePauseLater(kPauseMovingPopup, 50);
        break;
    }
    }

    gQuitReturned = CreateEventA(NULL, TRUE, FALSE, NULL);
    CloseHandle(CreateThread(NULL, 0, Watchdog, (LPVOID)(INT_PTR)stage, 0, NULL));
    DWORD start = GetTickCount();
    PlayerQuitPlugin();
    DWORD took = GetTickCount() - start;
    SetEvent(gQuitReturned);
    EXPECT_LT(took, kPromptMs);
    EXPECT_EQ(PlayerFindPopups(NULL, 0), 0) << "a popup window outlived quit";
    ExpectNothingLeft();
}

INSTANTIATE_TEST_SUITE_P(EveryStage, QuitStage,
                         ::testing::Values(kBeingBuilt, kMidSlide, kMidFadeIn, kWaiting, kMidFadeOut,
                                           kBeingRemoved),
                         [](const ::testing::TestParamInfo<Stage> &info) {
                             return std::string(kStageNames[info.param]);
                         });
