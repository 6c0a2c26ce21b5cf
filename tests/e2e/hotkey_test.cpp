// The global hot key: registered at init, pressed through the system's
// input, replaced by a saved one, held elsewhere, or left empty.
#include "host/dialog_driver.h"
#include "tests/e2e/support.h"

#include <algorithm>

namespace {

const WORD kShiftF11 = 0x017A;   // HOTKEYF_SHIFT with VK_F11, as the control saves it
const UINT kNoRepeat = 0x4000;   // MOD_NOREPEAT

// The plug-in's calls to RegisterHotKey, made through our stand-in: the
// modifiers and the key as a step, and the id.
Step gCalls[32];
int gCallIds[32];
volatile LONG gCallCount;
// Like the systems before MOD_NOREPEAT existed.
volatile bool gRefuseNoRepeat;

BOOL WINAPI RecordingRegisterHotKey(HWND window, int id, UINT modifiers, UINT vk)
{
    LONG n = InterlockedIncrement(&gCallCount) - 1;
    if (n < 32) {
        gCalls[n] = Step{ (int)modifiers, vk, GetCurrentThreadId() };
        gCallIds[n] = id;
    }
    if (gRefuseNoRepeat && (modifiers & kNoRepeat)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return RegisterHotKey(window, id, modifiers, vk);
}

std::vector<Step> Calls()
{
    return std::vector<Step>(gCalls, gCalls + std::min<LONG>((LONG)gCallCount, 32));
}

void SaveHotKeyInDialog(WORD value)
{
    ASSERT_TRUE(DriveSettingsDialog([&](HWND dialog) {
        SetHotKeyControl(dialog, value);
        Press(dialog, IDOK);
    }));
}

// A combination this thread holds for the length of a test.
struct HeldHotKey {
    HeldHotKey(UINT modifiers, UINT vk) : held(RegisterHotKey(NULL, kId, modifiers, vk) != FALSE) {}
    ~HeldHotKey() { UnregisterHotKey(NULL, kId); }
    static const int kId = 0x7123;
    bool held;
};

}  // namespace

using HotKey = PlayerTest;

TEST_F(HotKey, DefaultCtrlF12ShowsOnePopupPerPress)
{
    SetIni("Seconds", 0);
    PlayerSetTrack({ 2, "Harbour Lights", 200, 44, 192, 2 });
    ASSERT_TRUE(Load());
    EXPECT_TRUE(HotKeyTaken(MOD_CONTROL, VK_F12));

    int from = PlayerCommandCount();
    for (int i = 0; i < 3; i++)
        PlayerPressHotKey(MOD_CONTROL, VK_F12);
    EXPECT_TRUE(WaitForVisiblePopups(3));
    // A fourth would have come within the worker's settle wait.
    PlayerPumpFor(700);
    EXPECT_EQ(VisiblePopups().size(), 3u);
    EXPECT_TRUE(SameSequence(CommandsFrom(from), TrackQueries(2, 3)));
    EXPECT_NE(FindPopupWithTitle(TitleLine(2, "Harbour Lights")), (HWND)NULL);
}

TEST_F(HotKey, SavedHotKeyReplacesTheOldOneAtOnce)
{
    ASSERT_TRUE(Load());
    SaveHotKeyInDialog(kShiftF11);
    EXPECT_EQ(PlayerReadSetting("HotKey"), kShiftF11);

    EXPECT_TRUE(WaitUntil([] { return !HotKeyTaken(MOD_CONTROL, VK_F12); }));
    EXPECT_TRUE(WaitUntil([] { return HotKeyTaken(MOD_SHIFT, VK_F11); }));
    PlayerPressHotKey(MOD_SHIFT, VK_F11);
    EXPECT_TRUE(WaitForVisiblePopups(1));
}

TEST_F(HotKey, AKeyThatOkCouldNotSaveIsNotTakenIntoUse)
{
    // A directory that is no absolute path: there is no file to save to.
    PlayerSetIniDir("rel");
    ASSERT_TRUE(Load());
    ASSERT_TRUE(DriveSettingsDialog([](HWND dialog) {
        SetHotKeyControl(dialog, kShiftF11);
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        HWND box = WaitForPlayerDialog("PopUp Plugin");
        ASSERT_NE(box, (HWND)NULL) << "OK said nothing";
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
        Press(dialog, IDCANCEL);
    }));
    // The press reaches the hot-key thread after whatever the OK asked of it.
    PlayerPressHotKey(MOD_CONTROL, VK_F12);
    EXPECT_TRUE(WaitForVisiblePopups(1));
    EXPECT_FALSE(HotKeyTaken(MOD_SHIFT, VK_F11));
}

TEST_F(HotKey, HeldElsewhereAtStartQuitsAtOnceAndTakesALaterSave)
{
    HeldHotKey elsewhere(MOD_CONTROL, VK_F12);
    ASSERT_TRUE(elsewhere.held);
    ASSERT_TRUE(Load());

    // The plug-in went on without a hot key; a free one saved later works.
    SaveHotKeyInDialog(kShiftF11);
    EXPECT_TRUE(WaitUntil([] { return HotKeyTaken(MOD_SHIFT, VK_F11); }));
    PlayerPressHotKey(MOD_SHIFT, VK_F11);
    EXPECT_TRUE(WaitForVisiblePopups(1));

    EXPECT_LT(QuitAndUnload(), 1000u);
    EXPECT_TRUE(NoPopupAndBaselineThreads());
}

TEST_F(HotKey, RegistersWithoutKeyRepeatAndFallsBackWhereThatIsRefused)
{
    PreloadedPlugin plugin;
    ASSERT_TRUE(plugin.Redirect("user32.dll", "RegisterHotKey", (void *)RecordingRegisterHotKey));
    gCallCount = 0;
    gRefuseNoRepeat = true;
    PlayerSetTrack(kSong);
    ASSERT_TRUE(Load());

    // Init returns once the first registration was tried, on a thread of
    // the plug-in's own, identified by the global atom.
    EXPECT_TRUE(SameSequence(Calls(), { { MOD_CONTROL | kNoRepeat, VK_F12, kOnWorker },
                                        { MOD_CONTROL, VK_F12, kOnWorker } }));
    EXPECT_EQ(gCallIds[1], (int)GlobalFindAtomA("TunebellPluginHotKey"));

    PlayerPressHotKey(MOD_CONTROL, VK_F12);
    EXPECT_TRUE(WaitForVisiblePopups(1));
}

TEST_F(HotKey, AnEmptyHotKeyRegistersNothing)
{
    PreloadedPlugin plugin;
    ASSERT_TRUE(plugin.Redirect("user32.dll", "RegisterHotKey", (void *)RecordingRegisterHotKey));
    gCallCount = 0;
    gRefuseNoRepeat = false;
    SetIni("HotKey", 0x0200);   // Ctrl and no key: the control left empty
    ASSERT_TRUE(Load());
    EXPECT_TRUE(SameSequence(Calls(), {}));

    // The thread is there all the same, for a save that names a key...
    SaveHotKeyInDialog(0x027B);
    EXPECT_TRUE(WaitUntil([] { return HotKeyTaken(MOD_CONTROL, VK_F12); }));
    // ...and a save that empties it again releases the key.
    SaveHotKeyInDialog(0);
    EXPECT_TRUE(WaitUntil([] { return !HotKeyTaken(MOD_CONTROL, VK_F12); }));
    for (const Step &call : Calls())
        EXPECT_NE(call.value, 0u) << "a call with modifiers " << call.what;
    QuitAndUnload();
}
