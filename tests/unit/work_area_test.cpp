// Which monitor's work area the popups use, with monitors as rectangles.
#include <gtest/gtest.h>

#include "popup/placement.h"
#include "popup/work_area.h"
#include "settings/settings.h"
#include "tests/rect_check.h"

namespace {

// The primary monitor with a task bar at the bottom, one to its left and
// one above it; the other two have negative coordinates.
const MonitorAreas kMonitors[] = {
    { { 0, 0, 1920, 1080 }, { 0, 0, 1920, 1040 } },
    { { -1280, 0, 0, 1024 }, { -1280, 0, 0, 984 } },
    { { 0, -1080, 1920, 0 }, { 0, -1080, 1920, -40 } },
};
const int kCount = 3;
const RECT kPrimaryWork = { 0, 0, 1920, 1040 };
const POINT kNowhere = { 100000, 100000 };

RECT Choose(int setting, RECT player, POINT pointer)
{
    return ChooseWorkArea(setting, kMonitors, kCount, &kPrimaryWork, &player, pointer);
}

}  // namespace

TEST(WorkArea, PrimaryIsTheSystemsWorkAreaWhateverThePlayerAndPointer)
{
    EXPECT_TRUE(RectIs(Choose(MONITOR_PRIMARY, { -900, 100, -300, 500 }, { -5, -5 }), kPrimaryWork));
}

TEST(WorkArea, ThePlayersMonitorIsTheOneHoldingMostOfItsWindow)
{
    EXPECT_TRUE(RectIs(Choose(MONITOR_PLAYER, { -900, 100, -300, 500 }, kNowhere), kMonitors[1].work));
    EXPECT_TRUE(RectIs(Choose(MONITOR_PLAYER, { 100, -700, 700, -100 }, kNowhere), kMonitors[2].work));
    // Straddling the primary and the left monitor: the larger share wins.
    EXPECT_TRUE(RectIs(Choose(MONITOR_PLAYER, { -300, 100, 500, 500 }, kNowhere), kPrimaryWork));
    EXPECT_TRUE(RectIs(Choose(MONITOR_PLAYER, { -500, 100, 300, 500 }, kNowhere), kMonitors[1].work));
    // Straddling the primary and the one above.
    EXPECT_TRUE(RectIs(Choose(MONITOR_PLAYER, { 100, -300, 600, 100 }, kNowhere), kMonitors[2].work));
    // Minimised away, or on a monitor that was unplugged: the primary.
    EXPECT_TRUE(RectIs(Choose(MONITOR_PLAYER, { -32000, -32000, -31840, -31976 }, kNowhere), kPrimaryWork));
    EXPECT_TRUE(RectIs(Choose(MONITOR_PLAYER, { 0, 0, 0, 0 }, kNowhere), kPrimaryWork));
}

TEST(WorkArea, ThePointersMonitorHoldsItsLeftAndTopEdgesOnly)
{
    RECT anywhere = { 0, 0, 10, 10 };
    EXPECT_TRUE(RectIs(Choose(MONITOR_POINTER, anywhere, { -1, 500 }), kMonitors[1].work));
    EXPECT_TRUE(RectIs(Choose(MONITOR_POINTER, anywhere, { -1280, 0 }), kMonitors[1].work));
    EXPECT_TRUE(RectIs(Choose(MONITOR_POINTER, anywhere, { 1919, -1 }), kMonitors[2].work));
    EXPECT_TRUE(RectIs(Choose(MONITOR_POINTER, anywhere, { 0, 0 }), kPrimaryWork));
    // Below the left monitor, which is shorter: no monitor, the primary.
    EXPECT_TRUE(RectIs(Choose(MONITOR_POINTER, anywhere, { -5, 1050 }), kPrimaryWork));
    EXPECT_TRUE(RectIs(Choose(MONITOR_POINTER, anywhere, kNowhere), kPrimaryWork));
}

TEST(WorkArea, CornersAndTheCentreOfAMonitorLeftOfThePrimary)
{
    const RECT &left = kMonitors[1].work, &above = kMonitors[2].work;
    const RECT none = { 0, 0, 0, 0 };
    const PopupScale scale = BaseScale();
    RECT first = PlaceAfter(POSITION_LOWER_RIGHT, SPREAD_COLUMN, &left, 151, 36, &none, &scale);
    EXPECT_TRUE(RectIs(first, -153, 946, -2, 982));
    RECT second = PlaceAfter(POSITION_LOWER_RIGHT, SPREAD_ROW, &left, 151, 36, &first, &scale);
    EXPECT_TRUE(RectIs(second, -306, 946, -155, 982));
    RECT upperLeft = PlaceAfter(POSITION_UPPER_LEFT, SPREAD_ROW, &left, 151, 36, &none, &scale);
    EXPECT_TRUE(RectIs(upperLeft, -1278, 2, -1127, 38));
    RECT centre = PlaceAfter(POSITION_CENTRE, SPREAD_ROW, &left, 151, 36, &none, &scale);
    EXPECT_TRUE(RectIs(centre, -716, 474, -565, 510));
    RECT upperRight = PlaceAfter(POSITION_UPPER_RIGHT, SPREAD_COLUMN, &above, 151, 36, &none, &scale);
    EXPECT_TRUE(RectIs(upperRight, 1767, -1078, 1918, -1042));
}
