// Slide directions and the pacing of fades.
#include <gtest/gtest.h>

#include <vector>

#include "popup/effects.h"
#include "settings/settings.h"

TEST(SlideFlags, SlideAwayFromTheEdgeAndBackTowardIt)
{
    // { position, show row, show column, hide row, hide column }
    const DWORD table[5][5] = {
        { POSITION_UPPER_LEFT, 0x40004, 0x40001, 0x50008, 0x50002 },
        { POSITION_LOWER_LEFT, 0x40008, 0x40001, 0x50004, 0x50002 },
        { POSITION_LOWER_RIGHT, 0x40008, 0x40002, 0x50004, 0x50001 },
        { POSITION_UPPER_RIGHT, 0x40004, 0x40002, 0x50008, 0x50001 },
        { POSITION_CENTRE, 0x10, 0x10, 0x10010, 0x10010 },
    };
    for (const auto &row : table) {
        int p = (int)row[0];
        EXPECT_EQ(row[1], SlideFlags(p, SPREAD_ROW, true)) << p;
        EXPECT_EQ(row[2], SlideFlags(p, SPREAD_COLUMN, true)) << p;
        EXPECT_EQ(row[3], SlideFlags(p, SPREAD_ROW, false)) << p;
        EXPECT_EQ(row[4], SlideFlags(p, SPREAD_COLUMN, false)) << p;
        EXPECT_EQ(row[2], SlideFlags(p, 7, true)) << "any non-zero spreading is a column";
    }
}

TEST(FadeSchedule, StepsAndTargets)
{
    EXPECT_EQ(255, TargetOpacity(false, 200));
    EXPECT_EQ(200, TargetOpacity(true, 200));
    EXPECT_EQ(128, FadeStepCount(255));
    EXPECT_EQ(100, FadeStepCount(200));
    EXPECT_EQ(0, FadeStepCount(0));
    EXPECT_EQ(0, FadeOpacity(true, 255, 0));
    EXPECT_EQ(254, FadeOpacity(true, 255, 127));
    EXPECT_EQ(200, FadeOpacity(false, 200, 0));
    EXPECT_EQ(2, FadeOpacity(false, 200, 99));
}

namespace {

// A clock whose sleeps last whole ticks of `tick` ms, like Windows' default
// 15.6 ms timer, and never less than asked.
struct SimulatedClock {
    DWORD now;
    DWORD tick;
    std::vector<BYTE> shown;
    int stopAfter;
};

DWORD ClockNow(void *c)
{
    return ((SimulatedClock *)c)->now;
}

void ClockSleep(DWORD ms, void *c)
{
    SimulatedClock *clock = (SimulatedClock *)c;
    DWORD ticks = (ms + clock->tick - 1) / clock->tick;
    clock->now += (ticks ? ticks : 1) * clock->tick;
}

void ClockShow(BYTE opacity, void *c)
{
    ((SimulatedClock *)c)->shown.push_back(opacity);
}

bool ClockStop(void *c)
{
    SimulatedClock *clock = (SimulatedClock *)c;
    return clock->stopAfter >= 0 && (int)clock->shown.size() >= clock->stopAfter;
}

SimulatedClock Fade(bool in, BYTE target, DWORD duration, DWORD tick, int stopAfter = -1)
{
    SimulatedClock clock = { 1000, tick, {}, stopAfter };
    FadeDriver driver = { ClockNow, ClockSleep, ClockShow, ClockStop, &clock };
    PlayFade(in, target, duration, &driver);
    return clock;
}

}  // namespace

TEST(FadeSchedule, LastsItsTimeOnAFineClock)
{
    SimulatedClock c = Fade(true, 255, 250, 1);
    EXPECT_EQ(128u, c.shown.size());
    EXPECT_NEAR(250, (int)(c.now - 1000), 2);
    for (size_t i = 0; i < c.shown.size(); i++)
        EXPECT_EQ(2 * i, c.shown[i]);
}

TEST(FadeSchedule, LastsItsTimeOnACoarseClockBySkippingSteps)
{
    // Step by step, 1 ms sleeps on a 15.6 ms timer would take two seconds.
    for (DWORD duration : { 250u, 1000u, 5000u }) {
        SimulatedClock c = Fade(true, 255, duration, 16);
        DWORD spent = c.now - 1000;
        EXPECT_GE(spent, duration) << duration;
        EXPECT_LE(spent, duration + 16) << duration;
        if (duration < 128 * 16)   // steps shorter than a tick must be skipped
            EXPECT_LT(c.shown.size(), 128u) << duration;
        // What is shown is still the same rising sequence, only thinner.
        for (size_t i = 1; i < c.shown.size(); i++) {
            EXPECT_GT(c.shown[i], c.shown[i - 1]);
            EXPECT_EQ(0, c.shown[i] % 2);
        }
        EXPECT_EQ(0, c.shown[0]);
    }
}

TEST(FadeSchedule, FadeOutStopsAboveZeroAndCanBeCutShort)
{
    SimulatedClock c = Fade(false, 200, 1000, 1);
    ASSERT_EQ(100u, c.shown.size());
    EXPECT_EQ(200, c.shown.front());
    EXPECT_EQ(2, c.shown.back());

    c = Fade(false, 255, 5000, 1, 3);
    EXPECT_EQ(3u, c.shown.size());
    EXPECT_LT(c.now - 1000, 200u);

    c = Fade(true, 0, 250, 1);
    EXPECT_TRUE(c.shown.empty());
}
