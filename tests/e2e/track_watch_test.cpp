// The player's track events: what the plug-in asks the player, what the
// track popup says, and which events bring a popup at all.
#include "tests/e2e/support.h"

#include <string>

class TrackWatch : public PlayerTest {
protected:
    // With the plug-in loaded on the settings written so far: what ignored
    // sends brings no question to the player and no popup within the
    // worker's settle wait, and what actedOn sends then brings a popup.
    void IgnoredThenActedOn(void (*ignored)(), void (*actedOn)())
    {
        SetIni("Seconds", 0);
        ASSERT_TRUE(Load());
        PlayerSetTrack(kSong);
        int from = PlayerCommandCount();
        ignored();
        PlayerPumpFor(700);
        EXPECT_TRUE(SameSequence(CommandsFrom(from), {}));
        EXPECT_EQ(PlayerFindPopups(NULL, 0), 0);
        actedOn();
        EXPECT_TRUE(WaitForVisiblePopups(1));
    }
};

TEST_F(TrackWatch, TrackStartAsksThePlayerFromOneWorkerThreadThenShowsOnePopup)
{
    SetIni("Seconds", 0);
    ASSERT_TRUE(Load());
    int from = PlayerCommandCount();

    DWORD sent = GetTickCount();
    // One hour, two minutes and five seconds.
    PlayerStartTrack({ 6, "Northbound Trains - Paper Lanterns", 3725, 44, 192, 2 });
    ASSERT_TRUE(WaitForCommand(PLAYER_CMD_POSITION, 1, from, 2000));
    // The player gets a moment to settle on the new track first.
    EXPECT_GE(GetTickCount() - sent, 250u);
    ASSERT_TRUE(WaitForVisiblePopups(1));
    EXPECT_TRUE(SameSequence(CommandsFrom(from), TrackQueries(6)));

    HWND popup = VisiblePopups()[0];
    PopupParts parts = ReadPopupParts(popup);
    EXPECT_EQ(WindowText(parts.title), " 07. Northbound Trains - Paper Lanterns ");
    EXPECT_EQ(WindowText(parts.info), " 62:05 [44 KHz - 192 Kbit - Stereo] ");
}

TEST_F(TrackWatch, MissingTitleAndLengthAndLongTitlesShowSensibly)
{
    SetIni("Seconds", 0);
    ASSERT_TRUE(Load());

    DWORD firstEvent = GetTickCount();
    ASSERT_NE(ShowPopup({ 99, NULL, -1, 22, 64, 1 }), (HWND)NULL);
    HWND popup = FindPopupWithTitle(" 100. Unknown ");
    ASSERT_NE(popup, (HWND)NULL) << WindowText(ReadPopupParts(VisiblePopups()[0]).title);
    EXPECT_EQ(WindowText(ReadPopupParts(popup).info), " 00:00 [22 KHz - 64 Kbit - Mono] ");

    // Past the throttle: a title of 300 characters, six channels.
    std::string longTitle;
    for (int i = 0; i < 300; i++)
        longTitle += (char)('a' + i % 26);
    PumpUntil(firstEvent, kEventGapMs);
    PlayerStartTrack({ 0, longTitle.c_str(), 59, 48, 320, 6 });
    ASSERT_TRUE(WaitForVisiblePopups(2));
    popup = FindPopupWithTitle(" 01. " + longTitle.substr(0, 254) + " ");
    ASSERT_NE(popup, (HWND)NULL) << "the title was not cut to 254 characters";
    EXPECT_EQ(WindowText(ReadPopupParts(popup).info), " 00:59 [48 KHz - 320 Kbit - Mono] ");
}

TEST_F(TrackWatch, EventsInside400msOfTheLastShownOneAreDropped)
{
    SetIni("Seconds", 0);
    ASSERT_TRUE(Load());
    // The first event comes just before the 32-bit clock wraps: no event
    // has been acted on yet, so it counts whatever the clock reads.
    const DWORD t0 = 0xFFFFFF00u;
    ASSERT_TRUE(PlayerRedirectPluginClock()) << "the plug-in does not read GetTickCount";
    PlayerSetPluginClock(t0);
    PlayerSetTrack(kSong);
    int from = PlayerCommandCount();

    PlayerStartTrack();          // shown
    PlayerTagsChanged();           // the same moment: dropped
    PlayerStartTrack();          // dropped
    PlayerSetPluginClock(t0 + 399);        // past the wrap
    PlayerStartTrack();          // dropped
    PlayerSetPluginClock(t0 + 401);
    PlayerTagsChanged();           // shown
    const DWORD t1 = t0 + 401 + 5000;
    PlayerSetPluginClock(t1);
    PlayerStartTrack();          // shown
    PlayerSetPluginClock(t1 + 399);
    PlayerTagsChanged();           // dropped
    PlayerSetPluginClock(t1 + 401);
    PlayerStartTrack();          // shown

    ASSERT_TRUE(WaitForVisiblePopups(4, 5000));
    // A fifth request would reach the player within the worker's next turn.
    PlayerPumpFor(kEventGapMs);
    EXPECT_TRUE(SameSequence(CommandsFrom(from), TrackQueries(0, 4)));
    EXPECT_EQ(VisiblePopups().size(), 4u);
}

TEST_F(TrackWatch, ThrottleFollowsTheRealClock)
{
    SetIni("Seconds", 0);
    ASSERT_TRUE(Load());
    PlayerSetTrack(kSong);
    int from = PlayerCommandCount();

    DWORD start = GetTickCount();
    PlayerStartTrack();
    PlayerTagsChanged();
    PlayerStartTrack();
    ASSERT_TRUE(WaitForVisiblePopups(1));
    PumpUntil(start, 600);
    EXPECT_TRUE(SameSequence(CommandsFrom(from), TrackQueries(0)));

    PlayerStartTrack();
    ASSERT_TRUE(WaitForVisiblePopups(2));
    PlayerPumpFor(kEventGapMs);
    EXPECT_TRUE(SameSequence(CommandsFrom(from), TrackQueries(0, 2)));
    EXPECT_EQ(VisiblePopups().size(), 2u);
}

TEST_F(TrackWatch, HotKeyOnlyIgnoresTrackStartsButNotTagUpdates)
{
    SetIni("PopUpOnlyOnHotKey", 1);
    IgnoredThenActedOn([] { PlayerStartTrack(); }, PlayerTagsChanged);
}

TEST_F(TrackWatch, TagUpdatesCanBeTurnedOff)
{
    SetIni("PopupOnTagUpdate", 0);
    IgnoredThenActedOn(PlayerTagsChanged, [] { PlayerStartTrack(); });
}

TEST_F(TrackWatch, OnlyWmUserCarriesEvents)
{
    IgnoredThenActedOn([] {
        HWND main = PlayerWindow();
        SendMessageA(main, WM_APP, 0, PLAYER_EVENT_TRACK_STARTED);
        SendMessageA(main, WM_USER + 1, 0, PLAYER_EVENT_TRACK_STARTED);
        SendMessageA(main, WM_NULL, 0, PLAYER_EVENT_TAGS_CHANGED);
    }, [] { PlayerStartTrack(); });   // the same event as WM_USER does bring one
}

// The worker asks the player while the player's thread is busy elsewhere and
// then calls quit: quit must answer the waiting query and still return, with
// no popup shown for the event it cut short.
TEST_F(TrackWatch, QuitWhileTheWorkerWaitsForThePlayersAnswerReturns)
{
    SetIni("Seconds", 0);
    ASSERT_TRUE(Load());
    int from = PlayerCommandCount();
    PlayerStartTrack(kSong);

    // Deliberately not pumping: the worker's first query is logged before it
    // is sent, then it blocks in SendMessage until this thread answers.
    DWORD start = GetTickCount();
    while (CountCommands(PLAYER_CMD_POSITION, from) == 0 && GetTickCount() - start < 3000)
        Sleep(1);
    ASSERT_TRUE(SameSequence(CommandsFrom(from), { { PLAYER_CMD_POSITION, 0, kOnWorker } }));

    DWORD quitMs = QuitAndUnload();
    EXPECT_LT(quitMs, 2000u);
    EXPECT_TRUE(NoPopupAndBaselineThreads());
}
