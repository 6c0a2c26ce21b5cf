// How many spare popup threads are kept.
#include <gtest/gtest.h>

#include "popup/thread_pool.h"

TEST(SparesWanted, TwoFromABurstUntilItsTimeIsOver)
{
    EXPECT_EQ(SparesWanted(false, 0), 1);
    EXPECT_EQ(SparesWanted(true, 0), 2);
    EXPECT_EQ(SparesWanted(true, POOL_BURST_KEEP_MS - 1), 2);
    EXPECT_EQ(SparesWanted(true, POOL_BURST_KEEP_MS), 1);
}
