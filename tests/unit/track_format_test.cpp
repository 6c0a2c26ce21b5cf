// The two lines of a track popup and the throttle of player events.
#include <gtest/gtest.h>

#include <limits.h>

#include <string>

#include "plugin/track_format.h"

namespace {

TrackInfo Track(int position, const WCHAR *title, int length, int rate, int bitRate, int channels)
{
    TrackInfo t = { title, length, position, rate, bitRate, channels };
    return t;
}

std::wstring Title(const TrackInfo &t)
{
    WCHAR out[1024];
    FormatTrackTitle(out, &t);
    return out;
}

std::wstring Text(const TrackInfo &t)
{
    WCHAR out[1024];
    FormatTrackText(out, &t);
    return out;
}

}  // namespace

TEST(TrackLines, FormatTheTitleAndInformationLines)
{
    TrackInfo t = Track(0, L"Artist - Song", 205, 44, 192, 2);
    EXPECT_EQ(L" 01. Artist - Song ", Title(t));
    EXPECT_EQ(L" 03:25 [44 KHz - 192 Kbit - Stereo] ", Text(t));

    EXPECT_EQ(L" 100. X ", Title(Track(99, L"X", 0, 0, 0, 0)));
    EXPECT_EQ(L" 62:05 [48 KHz - 320 Kbit - Mono] ", Text(Track(0, L"X", 3725, 48, 320, 1)));
    EXPECT_EQ(L" 00:59 [22 KHz - 64 Kbit - Mono] ", Text(Track(0, L"X", 59, 22, 64, 6)));
    EXPECT_EQ(L" 00:00 [0 KHz - 0 Kbit - Mono] ", Text(Track(0, L"X", 0, 0, 0, 0)));

    // Format codes in a title are shown as they stand, and so is a title
    // beyond the ANSI code page.
    EXPECT_EQ(L" 01. %s%n&\t ", Title(Track(0, L"%s%n&\t", 0, 0, 0, 0)));
    EXPECT_EQ(L" 01. \u6d77\u8fba\u306e\u6b4c ", Title(Track(0, L"\u6d77\u8fba\u306e\u6b4c", 0, 0, 0, 0)));
}

TEST(TrackEventThrottle, ActsOncePer400MillisecondsWhateverTheTickCount)
{
    // The first event after load always acts, even with a tick count that
    // reads as "before" the initial zero.
    EXPECT_TRUE(IsTrackEventDue(0, 0, false));
    EXPECT_TRUE(IsTrackEventDue(0x90000000u, 0, false));

    DWORD acted = 1000;
    DWORD next = acted + TRACK_EVENT_GAP;
    EXPECT_FALSE(IsTrackEventDue(acted + 399, next, true));
    EXPECT_FALSE(IsTrackEventDue(acted + 400, next, true));
    EXPECT_TRUE(IsTrackEventDue(acted + 401, next, true));
    // Long quiet spells, up to the tick count's full cycle, still act.
    EXPECT_TRUE(IsTrackEventDue(acted + 0x90000000u, next, true));

    // Across the wrap of the 32-bit count.
    acted = 0xFFFFFF00u;
    next = acted + TRACK_EVENT_GAP;   // wraps to a small number
    EXPECT_FALSE(IsTrackEventDue(acted + 100, next, true));
    EXPECT_FALSE(IsTrackEventDue(acted + 399, next, true));
    EXPECT_TRUE(IsTrackEventDue(acted + 401, next, true));
}

TEST(TrackLines, NegativeNumbersFromThePlayerShowAsNone)
{
    // An empty playlist's -1 and anything below it alike.
    EXPECT_EQ(L" 00. X ", Title(Track(-1, L"X", 0, 0, 0, 0)));
    EXPECT_EQ(L" 00. X ", Title(Track(INT_MIN, L"X", 0, 0, 0, 0)));
    EXPECT_EQ(L" 2147483647. X ", Title(Track(INT_MAX, L"X", 0, 0, 0, 0)));
    EXPECT_EQ(L" 00:00 [0 KHz - 0 Kbit - Mono] ", Text(Track(0, L"X", -2147483640, -44, -1, -2)));
    EXPECT_EQ(L" 00:00 [0 KHz - 0 Kbit - Mono] ", Text(Track(0, L"X", -1, INT_MIN, INT_MIN, INT_MIN)));
}
