#include <gtest/gtest.h>
#include "popup/colours.h"
TEST(Colours, ShadeExamples) { EXPECT_EQ(0x00E0FFFFu, LightenColour(0x00C8FFFF)); }
