// Windows' media controls: the rules between them and the player, and the
// slots of Windows' interfaces the plug-in calls, as Windows' metadata
// numbers them (IUnknown's three and IInspectable's three come first).
#include <gtest/gtest.h>

#include <stddef.h>

#include "plugin/media_rules.h"
#include "plugin/winrt_media.h"
#include "base/player.h"

TEST(MediaRules, WindowsShowsPlayingPausedOrStopped)
{
    EXPECT_EQ(MEDIA_STATUS_PLAYING, MediaStatusForPlayState(PLAY_PLAYING));
    EXPECT_EQ(MEDIA_STATUS_PAUSED, MediaStatusForPlayState(PLAY_PAUSED));
    EXPECT_EQ(MEDIA_STATUS_STOPPED, MediaStatusForPlayState(PLAY_STOPPED));
    EXPECT_EQ(MEDIA_STATUS_STOPPED, MediaStatusForPlayState(7)) << "a state the player never gives";
}

TEST(MediaRules, EachButtonBecomesThePlayersOwnCommandAsItsStateAsks)
{
    struct Row {
        int button;
        UINT stopped, playing, paused;
    } rows[] = {
        { MEDIA_BUTTON_PLAY, 40045, 0, 40046 },       // play would start a paused track again
        { MEDIA_BUTTON_PAUSE, 0, 40046, 0 },          // pause would resume a paused one
        { MEDIA_BUTTON_STOP, 40047, 40047, 40047 },
        { MEDIA_BUTTON_NEXT, 40048, 40048, 40048 },
        { MEDIA_BUTTON_PREVIOUS, 40044, 40044, 40044 },
        { 3, 0, 0, 0 },                               // record: never enabled
        { 4, 0, 0, 0 },                               // fast forward
    };
    for (const Row &row : rows) {
        EXPECT_EQ(row.stopped, PlayerCommandForMediaButton(row.button, PLAY_STOPPED)) << row.button;
        EXPECT_EQ(row.playing, PlayerCommandForMediaButton(row.button, PLAY_PLAYING)) << row.button;
        EXPECT_EQ(row.paused, PlayerCommandForMediaButton(row.button, PLAY_PAUSED)) << row.button;
    }
}

TEST(MediaRules, ATrackNumberIsTheNumberItsTagBeginsWith)
{
    struct Row {
        const WCHAR *tag;
        UINT number;
    } rows[] = {
        { L"3/12", 3 }, { L"07", 7 }, { L" 5", 5 }, { L"12", 12 }, { L"", 0 }, { L"A1", 0 },
        { L"/12", 0 }, { L"4 of 9", 4 }, { L"99999999999999", 999999 },
    };
    for (const Row &row : rows)
        EXPECT_EQ(row.number, TrackNumberFromTag(row.tag)) << "the tag of row " << (&row - rows);
    EXPECT_EQ(0u, TrackNumberFromTag(NULL));
}

TEST(MediaRules, TheTimelineRunsFromZeroToTheLengthAndAStreamHasNoEnd)
{
    struct Row {
        const char *name;
        int lengthSeconds, positionMs;
        LONGLONG end, position;
    } rows[] = {
        { "a track", 200, 61500, 200000, 61500 },
        { "a stream", -1, 61500, 0, 61500 },
        { "stopped: the player's -1", 200, -1, 200000, 0 },
        { "a position past the end", 200, 250000, 200000, 200000 },
    };
    for (const Row &row : rows) {
        MediaTimelineValues values = MediaTimelineFromPlayer(row.lengthSeconds, row.positionMs);
        EXPECT_EQ(0, values.start) << row.name;
        EXPECT_EQ(row.end, values.end) << row.name;
        EXPECT_EQ(row.position, values.position) << row.name;
        EXPECT_EQ(0, values.minSeek) << row.name;
        EXPECT_EQ(row.end, values.maxSeek) << row.name;
    }
}

TEST(MediaRules, WindowsTimeIsIn100NanosecondsAndAJumpIsNeverNegative)
{
    EXPECT_EQ(615000000LL, TimeSpanFromMs(61500));
    EXPECT_EQ(61500u, JumpMsFromTimeSpan(615009999LL));
    EXPECT_EQ(0u, JumpMsFromTimeSpan(-10000LL));
    EXPECT_EQ(0x7FFFFFFFu, JumpMsFromTimeSpan(0x7FFFFFFFFFFFLL));
}

// A slot off by one calls another method than meant, with no error: each
// method we call, its slot in Windows' metadata.
TEST(MediaRules, EveryMethodCalledSitsInItsSlotOfWindowsMetadata)
{
    struct Row {
        const char *method;
        size_t offset;
        size_t slot;
    } rows[] = {
#define SLOT(table, method, slot) { #table "." #method, offsetof(table, method), slot }
        SLOT(WinrtObjectMethods, QueryInterface, 0),
        SLOT(WinrtObjectMethods, Release, 2),
        SLOT(MediaHandlerMethods, Invoke, 3),
        SLOT(MediaInteropMethods, GetForWindow, 6),
        SLOT(MediaControlsMethods, QueryInterface, 0),
        SLOT(MediaControlsMethods, put_PlaybackStatus, 7),
        SLOT(MediaControlsMethods, get_DisplayUpdater, 8),
        SLOT(MediaControlsMethods, get_IsEnabled, 10),
        SLOT(MediaControlsMethods, put_IsEnabled, 11),
        SLOT(MediaControlsMethods, put_IsPlayEnabled, 13),
        SLOT(MediaControlsMethods, put_IsStopEnabled, 15),
        SLOT(MediaControlsMethods, put_IsPauseEnabled, 17),
        SLOT(MediaControlsMethods, put_IsPreviousEnabled, 25),
        SLOT(MediaControlsMethods, put_IsNextEnabled, 27),
        SLOT(MediaControlsMethods, add_ButtonPressed, 32),
        SLOT(MediaControlsMethods, remove_ButtonPressed, 33),
        SLOT(MediaControls2Methods, UpdateTimelineProperties, 12),
        SLOT(MediaControls2Methods, add_PlaybackPositionChangeRequested, 13),
        SLOT(MediaControls2Methods, remove_PlaybackPositionChangeRequested, 14),
        SLOT(MediaDisplayUpdaterMethods, put_Type, 7),
        SLOT(MediaDisplayUpdaterMethods, put_Thumbnail, 11),
        SLOT(MediaDisplayUpdaterMethods, get_MusicProperties, 12),
        SLOT(MediaDisplayUpdaterMethods, ClearAll, 16),
        SLOT(MediaDisplayUpdaterMethods, Update, 17),
        SLOT(MediaMusicPropertiesMethods, put_Title, 7),
        SLOT(MediaMusicPropertiesMethods, put_AlbumArtist, 9),
        SLOT(MediaMusicPropertiesMethods, put_Artist, 11),
        SLOT(MediaMusicProperties2Methods, put_AlbumTitle, 7),
        SLOT(MediaMusicProperties2Methods, put_TrackNumber, 9),
        SLOT(MediaTimelineMethods, put_StartTime, 7),
        SLOT(MediaTimelineMethods, put_EndTime, 9),
        SLOT(MediaTimelineMethods, put_MinSeekTime, 11),
        SLOT(MediaTimelineMethods, put_MaxSeekTime, 13),
        SLOT(MediaTimelineMethods, put_Position, 15),
        SLOT(MediaButtonArgsMethods, get_Button, 6),
        SLOT(MediaPositionArgsMethods, get_RequestedPlaybackPosition, 6),
        SLOT(StreamReferenceStaticsMethods, CreateFromStream, 8),
#undef SLOT
    };
    for (const Row &row : rows)
        EXPECT_EQ(row.slot, row.offset / sizeof(void *)) << row.method;
}
