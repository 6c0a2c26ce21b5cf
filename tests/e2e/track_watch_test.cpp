// The player's track events: what the plug-in asks the player, what the
// track popup says, and which events bring a popup at all.
#include "tests/e2e/support.h"

#include <string>

using TrackWatch = PlayerTest;

TEST_F(TrackWatch, TrackStartAsksThePlayerFromOneWorkerThreadThenShowsOnePopup)
{
    SetIni("Seconds", 0);
    ASSERT_TRUE(Load());
    // One hour, two minutes and five seconds.
    SetTrack(6, "Northbound Trains - Paper Lanterns", 3725, 44, 192, 2);
    int from = PlayerCommandCount();

    DWORD sent = GetTickCount();
    PlayerTrackStarted();
    ASSERT_TRUE(WaitForCommand(PLAYER_CMD_POSITION, 1, from, 2000));
    // The player gets a moment to settle on the new track first.
    EXPECT_GE(GetTickCount() - sent, 250u);
    ASSERT_TRUE(WaitForVisiblePopups(1));

    std::vector<PlayerCommand> asked = CommandsFrom(from);
    ASSERT_EQ(asked.size(), 6u);
    const int commands[6] = { 125, 126, 126, 126, 105, 213 };
    const WPARAM wParams[6] = { 0, 0, 1, 2, 1, 6 };
    for (int i = 0; i < 6; i++) {
        EXPECT_EQ(asked[i].command, commands[i]) << "query " << i;
        EXPECT_EQ(asked[i].wParam, wParams[i]) << "query " << i;
        EXPECT_EQ(asked[i].threadId, asked[0].threadId) << "query " << i;
    }
    EXPECT_NE(asked[0].threadId, PlayerThreadId());

    HWND popup = VisiblePopups()[0];
    PopupParts parts = ReadPopupParts(popup);
    EXPECT_EQ(WindowText(parts.title), " 07. Northbound Trains - Paper Lanterns ");
    EXPECT_EQ(WindowText(parts.info), " 62:05 [44 KHz - 192 Kbit - Stereo] ");
}

TEST_F(TrackWatch, MissingTitleAndLengthAndLongTitlesShowSensibly)
{
    SetIni("Seconds", 0);
    ASSERT_TRUE(Load());

    SetTrack(99, NULL, -1, 22, 64, 1);
    DWORD firstEvent = GetTickCount();
    PlayerTrackStarted();
    ASSERT_TRUE(WaitForVisiblePopups(1));
    HWND popup = FindPopupWithTitle(" 100. Unknown ");
    ASSERT_NE(popup, (HWND)NULL) << WindowText(ReadPopupParts(VisiblePopups()[0]).title);
    EXPECT_EQ(WindowText(ReadPopupParts(popup).info), " 00:00 [22 KHz - 64 Kbit - Mono] ");

    // Past the throttle: a title of 300 characters, six channels.
    std::string longTitle;
    for (int i = 0; i < 300; i++)
        longTitle += (char)('a' + i % 26);
    SetTrack(0, longTitle.c_str(), 59, 48, 320, 6);
    PumpUntil(firstEvent, kEventGapMs);
    PlayerTrackStarted();
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
    ASSERT_TRUE(InstallFakeClock(t0)) << "the plug-in does not read GetTickCount";
    SetTrack(0, "Song", 100, 44, 128, 2);
    int from = PlayerCommandCount();

    PlayerTrackStarted();          // shown
    PlayerTagsChanged();           // the same moment: dropped
    PlayerTrackStarted();          // dropped
    SetFakeClock(t0 + 399);        // past the wrap
    PlayerTrackStarted();          // dropped
    SetFakeClock(t0 + 401);
    PlayerTagsChanged();           // shown
    const DWORD t1 = t0 + 401 + 5000;
    SetFakeClock(t1);
    PlayerTrackStarted();          // shown
    SetFakeClock(t1 + 399);
    PlayerTagsChanged();           // dropped
    SetFakeClock(t1 + 401);
    PlayerTrackStarted();          // shown

    ASSERT_TRUE(WaitForVisiblePopups(4, 5000));
    // A fifth request would reach the player within the worker's next turn.
    PlayerPumpFor(kEventGapMs);
    EXPECT_EQ(CountCommands(PLAYER_CMD_WIDE_TITLE, from), 4);
    EXPECT_EQ(VisiblePopups().size(), 4u);
}

TEST_F(TrackWatch, ThrottleFollowsTheRealClock)
{
    SetIni("Seconds", 0);
    ASSERT_TRUE(Load());
    SetTrack(0, "Song", 100, 44, 128, 2);
    int from = PlayerCommandCount();

    DWORD start = GetTickCount();
    PlayerTrackStarted();
    PlayerTagsChanged();
    PlayerTrackStarted();
    ASSERT_TRUE(WaitForVisiblePopups(1));
    PumpUntil(start, 600);
    EXPECT_EQ(CountCommands(PLAYER_CMD_WIDE_TITLE, from), 1);

    PlayerTrackStarted();
    ASSERT_TRUE(WaitForVisiblePopups(2));
    PlayerPumpFor(kEventGapMs);
    EXPECT_EQ(CountCommands(PLAYER_CMD_WIDE_TITLE, from), 2);
    EXPECT_EQ(VisiblePopups().size(), 2u);
}

TEST_F(TrackWatch, HotKeyOnlyIgnoresTrackStartsButNotTagUpdates)
{
    SetIni("Seconds", 0);
    SetIni("PopUpOnlyOnHotKey", 1);
    ASSERT_TRUE(Load());
    SetTrack(0, "Song", 100, 44, 128, 2);
    int from = PlayerCommandCount();

    PlayerTrackStarted();
    PlayerPumpFor(700);
    EXPECT_EQ(CountCommands(PLAYER_CMD_POSITION, from), 0);
    EXPECT_EQ(PlayerFindPopups(NULL, 0), 0);

    PlayerTagsChanged();
    EXPECT_TRUE(WaitForVisiblePopups(1));
}

TEST_F(TrackWatch, TagUpdatesCanBeTurnedOff)
{
    SetIni("Seconds", 0);
    SetIni("PopupOnTagUpdate", 0);
    ASSERT_TRUE(Load());
    SetTrack(0, "Song", 100, 44, 128, 2);
    int from = PlayerCommandCount();

    PlayerTagsChanged();
    PlayerPumpFor(700);
    EXPECT_EQ(CountCommands(PLAYER_CMD_POSITION, from), 0);
    EXPECT_EQ(PlayerFindPopups(NULL, 0), 0);

    PlayerTrackStarted();
    EXPECT_TRUE(WaitForVisiblePopups(1));
}

TEST_F(TrackWatch, OnlyWmUserCarriesEvents)
{
    SetIni("Seconds", 0);
    ASSERT_TRUE(Load());
    SetTrack(0, "Song", 100, 44, 128, 2);
    int from = PlayerCommandCount();

    HWND main = PlayerWindow();
    SendMessageA(main, WM_APP, 0, PLAYER_EVENT_TRACK_STARTED);
    SendMessageA(main, WM_USER + 1, 0, PLAYER_EVENT_TRACK_STARTED);
    SendMessageA(main, WM_NULL, 0, PLAYER_EVENT_TAGS_CHANGED);
    PlayerPumpFor(700);
    EXPECT_EQ(CountCommands(PLAYER_CMD_POSITION, from), 0);
    EXPECT_EQ(PlayerFindPopups(NULL, 0), 0);

    // The same event as WM_USER does bring one.
    PlayerTrackStarted();
    EXPECT_TRUE(WaitForVisiblePopups(1));
}

// The worker asks the player while the player's thread is busy elsewhere and
// then calls quit: quit must answer the waiting query and still return, with
// no popup shown for the event it cut short.
TEST_F(TrackWatch, QuitWhileTheWorkerWaitsForThePlayersAnswerReturns)
{
    SetIni("Seconds", 0);
    ASSERT_TRUE(Load());
    SetTrack(0, "Song", 100, 44, 128, 2);
    int from = PlayerCommandCount();
    PlayerTrackStarted();

    // Deliberately not pumping: the worker's first query is logged before it
    // is sent, then it blocks in SendMessage until this thread answers.
    DWORD start = GetTickCount();
    while (CountCommands(PLAYER_CMD_POSITION, from) == 0 && GetTickCount() - start < 3000)
        Sleep(1);
    ASSERT_EQ(1, CountCommands(PLAYER_CMD_POSITION, from));

    DWORD quitMs = QuitAndUnload();
    EXPECT_LT(quitMs, 2000u);
    EXPECT_EQ(0, PlayerFindPopups(NULL, 0));
    EXPECT_TRUE(WaitForThreadCount(baselineThreads, 2000));
}
