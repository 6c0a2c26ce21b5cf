// The player in Windows' media controls, met through the recording double
// (host/media_double.h) registered in this prefix as Windows 10 has the
// classes; each test takes the registration away again, so every other
// test meets the stock prefix, where the classes are missing.
#include "host/media_double.h"
#include "host/pictures.h"
#include "host/tag_builder.h"
#include "tests/e2e/support.h"

#include <functional>

namespace {

const DWORD kMediaDeadlineMs = 5000;
// The timeline is brought up to date every 5 s while the player plays.
const DWORD kTimelineRefreshDeadlineMs = 8000;

enum Status { kClosed = 0, kStopped = 2, kPlaying = 3, kPaused = 4 };
enum Button { kPlay = 0, kPause = 1, kStop = 2, kNext = 6, kPrevious = 7 };

std::wstring Wide(const std::string &s)
{
    return std::wstring(s.begin(), s.end());
}

std::string ShownText(const MediaShown &s)
{
    char text[768];
    snprintf(text, sizeof text,
             "enabled %d, status %d, type %d, title \"%s\", artist \"%s\", album artist \"%s\", album \"%s\", "
             "track %u, thumbnail %d bytes, timeline \"%s\" (%d updates, %d timelines since)",
             s.enabled, s.status, s.type, s.title.c_str(), s.artist.c_str(), s.albumArtist.c_str(), s.album.c_str(),
             s.trackNumber, s.thumbnailBytes, s.timeline.c_str(), s.updates, s.timelinesSinceUpdate);
    return text;
}

class MediaControls : public PlayerTest {
protected:
    void SetUp() override
    {
        PlayerTest::SetUp();
        ASSERT_TRUE(RegisterMediaDouble());
        music = iniDir + "\\Music";
        ASSERT_TRUE(PlayerMakeDirectories((music + "\\Album").c_str()));
        ASSERT_TRUE(PlayerMakeDirectories((music + "\\Loose").c_str()));
        Bytes audio = Be(0xFFFB9000, 4) + Be(0, 400);
        cover = MakePicture(PICTURE_JPEG, 40, 40, RGB(200, 30, 30));
        ASSERT_FALSE(cover.empty());
        ASSERT_TRUE(WriteBytesToFile(music + "\\Album\\03 Harbour.mp3", audio));
        ASSERT_TRUE(WriteBytesToFile(music + "\\Album\\folder.jpg", cover));
        ASSERT_TRUE(WriteBytesToFile(music + "\\Loose\\untagged.mp3", audio));
        PlayerSetPlaylistFiles({ Wide(music + "\\Album\\03 Harbour.mp3"), Wide(music + "\\Loose\\untagged.mp3") });
        PlayerSetPlaylist(kPlaylist, 2);
    }
    void TearDown() override
    {
        PlayerTest::TearDown();
        UnregisterMediaDouble();
    }
    // The plug-in as Windows 10 meets it, on the plug-in's clock with no
    // settle wait, registered with the double.
    bool LoadOnWindows10()
    {
        PlayerPatchBeforeInit(PatchPluginForMediaDouble);
        return LoadPatched() && MediaDoubleWaitFor("add_ButtonPressed", kMediaDeadlineMs);
    }
    // Waits until Windows shows what `wanted` says; false (with both on
    // stderr) at the deadline.
    ::testing::AssertionResult WaitForShown(const std::function<bool(const MediaShown &)> &wanted,
                                            DWORD deadline = kMediaDeadlineMs)
    {
        if (WaitUntil([&] { return wanted(MediaShownBy(MediaDoubleCalls())); }, deadline))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "Windows shows " << ShownText(MediaShownBy(MediaDoubleCalls()))
                                             << "\nafter the calls:\n" << MediaDoubleCalls();
    }

    static const PlayerTrack kPlaylist[2];
    std::string music;
    Bytes cover;
};

const PlayerTrack MediaControls::kPlaylist[2] = {
    { 0, "The Quiet Harbour - Low Tide", 100, 44, 128, 2, NULL, L"Low Tide", L"The Quiet Harbour", L"Various Harbours",
      L"Coastlines", L"3/12" },
    { 1, "untagged", 200, 44, 128, 2, NULL },
};

TEST_F(MediaControls, RegistersOnThePlayersWindowWithItsButtonsAndHandlers)
{
    ASSERT_TRUE(LoadOnWindows10()) << MediaDoubleCalls();
    std::string calls = MediaDoubleCalls();
    char window[32];
    snprintf(window, sizeof window, "GetForWindow %08X", (unsigned)(UINT_PTR)PlayerWindow());
    for (const char *line : { (const char *)window, "put_IsPlayEnabled 1", "put_IsPauseEnabled 1", "put_IsStopEnabled 1",
                              "put_IsPreviousEnabled 1", "put_IsNextEnabled 1", "put_IsEnabled 1", "add_ButtonPressed",
                              "add_PlaybackPositionChangeRequested" })
        EXPECT_TRUE(MediaDoubleWaitFor(line, kMediaDeadlineMs)) << line << " missing from:\n" << calls;
}

// What Windows shows after each event, whatever the popups' settings say.
TEST_F(MediaControls, FollowsEveryTrackEventThePlayStateAndTheTimeline)
{
    SetIni({ { "PopUpOnlyOnHotKey", 1 }, { "PopupOnTagUpdate", 0 }, { "ShowCover", 0 } });
    ASSERT_TRUE(LoadOnWindows10()) << MediaDoubleCalls();
    const std::string coverBytes(cover.begin(), cover.end());
    struct Row {
        const char *event;
        std::function<void()> act;
        MediaShown wanted;
        std::string thumbnail;   // the picture's own bytes; empty: none
        bool display;            // the event shows the track anew (Update, then the timeline)
        DWORD deadline;
    };
    auto shown = [](int status, const char *title, const char *artist, const char *albumArtist, const char *album,
                    unsigned track, const char *timeline) {
        MediaShown s;
        s.enabled = true;
        s.status = status;
        s.type = 1;
        s.title = title;
        s.artist = artist;
        s.albumArtist = albumArtist;
        s.album = album;
        s.trackNumber = track;
        s.timeline = timeline;
        return s;
    };
    const MediaShown tagged = shown(kPlaying, "Low Tide", "The Quiet Harbour", "Various Harbours", "Coastlines", 3,
                                    "0 100000 0 0 100000");
    MediaShown taggedPaused = tagged, taggedStopped = tagged, untagged, untaggedLater;
    taggedPaused.status = kPaused;
    taggedPaused.timeline = "0 100000 12000 0 100000";
    taggedStopped.status = kStopped;   // and back at the start

    untagged = shown(kPlaying, "untagged", "", "", "", 0, "0 200000 0 0 200000");
    untaggedLater = untagged;
    untaggedLater.timeline = "0 200000 42000 0 200000";
    MediaShown untaggedRefreshed = untagged;
    untaggedRefreshed.timeline = "0 200000 47000 0 200000";
    const Row rows[] = {
        { "a tagged track with a cover beside it", [] { PlayerStartTrackPastThrottle(kPlaylist[0]); }, tagged,
          coverBytes, true, kMediaDeadlineMs },
        { "paused with the player's button", [] {
              PlayerSetPositionMs(12000);
              SendMessageA(PlayerWindow(), WM_COMMAND, PLAYER_BUTTON_PAUSE, 0);
          }, taggedPaused, coverBytes, false, kMediaDeadlineMs },
        { "stopped", [] { SendMessageA(PlayerWindow(), WM_COMMAND, PLAYER_BUTTON_STOP, 0); }, taggedStopped,
          coverBytes, false, kMediaDeadlineMs },
        { "a track without tags or cover", [] { PlayerStartTrackPastThrottle(kPlaylist[1]); }, untagged, "",
          true, kMediaDeadlineMs },
        { "its tags changed at 42 s", [] {
              PlayerSetPositionMs(42000);
              PlayerAdvancePluginClock(kEventGapMs);
              PlayerTagsChanged();
          }, untaggedLater, "", true, kMediaDeadlineMs },
        { "5 s on while playing", [] { PlayerSetPositionMs(47000); }, untaggedRefreshed, "",
          false, kTimelineRefreshDeadlineMs },
    };
    // Each row waits for the last call of the event's handling, so that the
    // next row's changes to the player meet none of it under way: a new
    // display ends with the timeline, a new state or timeline with a value
    // the last row had not.
    for (const Row &row : rows) {
        int updates = MediaShownBy(MediaDoubleCalls()).updates;
        row.act();
        MediaShown want = row.wanted;
        EXPECT_TRUE(WaitForShown([&](const MediaShown &s) {
            return (!row.display || (s.updates > updates && s.timelinesSinceUpdate > 0)) && s.enabled == want.enabled && s.status == want.status && s.type == want.type &&
                   s.title == want.title && s.artist == want.artist && s.albumArtist == want.albumArtist &&
                   s.album == want.album && s.trackNumber == want.trackNumber && s.timeline == want.timeline &&
                   s.thumbnailBytes == (row.thumbnail.empty() ? -1 : (int)row.thumbnail.size());
        }, row.deadline)) << row.event << ": wanted " << ShownText(want);
        EXPECT_TRUE(MediaDoubleThumbnail() == row.thumbnail) << row.event << ": the thumbnail's "
                                                             << MediaDoubleThumbnail().size()
                                                             << " bytes are not the picture's own";
    }
}

TEST_F(MediaControls, WindowsButtonsAndSeeksBecomeThePlayersCommands)
{
    ASSERT_TRUE(LoadOnWindows10()) << MediaDoubleCalls();
    PlayerStartTrackPastThrottle(kPlaylist[0]);
    const int kCommands[] = { PLAYER_BUTTON_PREVIOUS, PLAYER_BUTTON_PLAY, PLAYER_BUTTON_PAUSE, PLAYER_BUTTON_STOP,
                              PLAYER_BUTTON_NEXT };
    auto arrived = [&] {
        int total = 0;
        for (int command : kCommands)
            total += PlayerOwnCommandCalls(command);
        return total;
    };
    struct Row {
        const char *name;
        int state;
        Button button;
        int command;   // 0: nothing
    } rows[] = {
        { "Play on a stopped player", PLAYER_STOPPED, kPlay, PLAYER_BUTTON_PLAY },
        { "Play on a paused one resumes", PLAYER_PAUSED, kPlay, PLAYER_BUTTON_PAUSE },
        { "Play on a playing one", PLAYER_PLAYING, kPlay, 0 },
        { "Pause", PLAYER_PLAYING, kPause, PLAYER_BUTTON_PAUSE },
        { "Pause on a paused one", PLAYER_PAUSED, kPause, 0 },
        { "Stop", PLAYER_PLAYING, kStop, PLAYER_BUTTON_STOP },
        { "Next", PLAYER_PLAYING, kNext, PLAYER_BUTTON_NEXT },
        { "Previous", PLAYER_PLAYING, kPrevious, PLAYER_BUTTON_PREVIOUS },
    };
    for (const Row &row : rows) {
        PlayerSetPlayState(row.state);
        // The plug-in learns of the state through 603 on its own thread.
        EXPECT_TRUE(WaitForShown([&](const MediaShown &s) {
            return s.status == (row.state == PLAYER_PLAYING ? kPlaying : row.state == PLAYER_PAUSED ? kPaused : kStopped);
        })) << row.name;
        int before = arrived(), sentBefore = PlayerCommandCount();
        int expected = row.command ? row.command : PLAYER_BUTTON_STOP;
        int expectedBefore = PlayerOwnCommandCalls(expected);
        EXPECT_TRUE(MediaDoublePress(row.button)) << row.name << ": no handler took the press";
        // A press that does nothing, told by a Stop that follows it.
        if (!row.command)
            EXPECT_TRUE(MediaDoublePress(kStop));
        EXPECT_TRUE(WaitUntil([&] { return arrived() > before; }, kMediaDeadlineMs)) << row.name << ": nothing arrived";
        PlayerPump();
        EXPECT_EQ(arrived(), before + 1) << row.name;
        EXPECT_EQ(PlayerOwnCommandCalls(expected), expectedBefore + 1) << row.name << ": not " << expected;
        for (int i = sentBefore; i < PlayerCommandCount(); i++) {
            PlayerCommand sent;
            ASSERT_TRUE(PlayerCommandAt(i, &sent));
            EXPECT_TRUE(sent.command < PLAYER_BUTTON_PREVIOUS || sent.command > PLAYER_BUTTON_NEXT)
                << row.name << ": " << sent.command << " was sent, not posted";
        }
    }

    int jumps = PlayerOwnCommandCalls(PLAYER_CMD_JUMP);
    EXPECT_TRUE(MediaDoubleRequestPosition(42000));
    EXPECT_TRUE(WaitUntil([&] { return PlayerOwnCommandCalls(PLAYER_CMD_JUMP) == jumps + 1; }, kMediaDeadlineMs));
    EXPECT_EQ(PlayerPositionMs(), 42000);
}

// Windows' event source takes its handlers as it starts raising an event, so
// it may call them during the quit and after the DLL is gone.
TEST_F(MediaControls, QuitTakesEverythingAwayAndHandlersCalledLateRunNothing)
{
    ASSERT_TRUE(LoadOnWindows10()) << MediaDoubleCalls();
    PlayerStartTrackPastThrottle(kPlaylist[0]);
    ASSERT_TRUE(WaitForShown([](const MediaShown &s) { return s.title == "Low Tide"; }));
    ASSERT_TRUE(MediaDoubleHoldHandlers());
    ASSERT_GT(MediaDoubleFireAtRemove(kNext), 0);
    MediaDoubleForget();

    QuitAndUnload();
    ASSERT_EQ(GetModuleHandleA("gen_tunebell.dll"), (HMODULE)NULL);
    std::string calls = "\n" + MediaDoubleCalls();
    for (const char *line : { "remove_ButtonPressed", "remove_PlaybackPositionChangeRequested", "ClearAll",
                              "put_IsEnabled 0", "fired 1 held handlers at the remove" })
        EXPECT_NE(calls.find(std::string("\n") + line + "\n"), std::string::npos) << line << " missing from quit's:"
                                                                                  << calls;

    PlayerPump();   // what a handler called during the quit may have posted
    int next = PlayerOwnCommandCalls(PLAYER_BUTTON_NEXT);
    EXPECT_TRUE(MediaDoubleFireHeld(kNext));   // crashes here if a handler still runs the DLL's code
    PlayerPump();
    EXPECT_EQ(PlayerOwnCommandCalls(PLAYER_BUTTON_NEXT), next) << "a handler called after unload still acted";
}

TEST_F(MediaControls, TurnedOffAlreadyDrivenOrMissingLeavesWindowsAlone)
{
    // Turned off: nothing is registered.
    SetIni("MediaControls", 0);
    PlayerPatchBeforeInit(PatchPluginForMediaDouble);
    ASSERT_TRUE(LoadPatched());
    ASSERT_NE(ShowPopup(kPlaylist[0]), (HWND)NULL);
    PlayerPumpFor(500);
    EXPECT_EQ(MediaDoubleCalls(), "") << "with MediaControls=0";
    QuitAndUnload();

    // Another program drives the window's controls: Tunebell only looks.
    SetIni("MediaControls", 1);
    MediaDoubleStartEnabled(true);
    MediaDoubleForget();
    ASSERT_TRUE(LoadPatched());
    ASSERT_TRUE(WaitUntil([] { return MediaDoubleCalls().find("GetForWindow") != std::string::npos; }, kMediaDeadlineMs));
    ASSERT_NE(ShowPopup(kPlaylist[0]), (HWND)NULL);
    PlayerPumpFor(500);
    QuitAndUnload();
    std::string calls = MediaDoubleCalls();
    for (const char *touch : { "put_", "add_", "remove_", "Update", "ClearAll" })
        EXPECT_EQ(calls.find(touch), std::string::npos) << "already enabled by another, yet:\n" << calls;

    // The stock prefix: the classes are missing and nothing loads the double.
    UnregisterMediaDouble();
    MediaDoubleForget();
    ASSERT_TRUE(LoadPatched());
    ASSERT_NE(ShowPopup(kPlaylist[1]), (HWND)NULL);
    PlayerPumpFor(500);
    EXPECT_EQ(MediaDoubleCalls(), "") << "without the classes";
}

} // namespace
