// The soak tests' fixture, heap check and random source.
#include "tests/soak/soak.h"

#include <stdio.h>

bool HeapsValidate()
{
    HANDLE heaps[64];
    DWORD count = GetProcessHeaps(64, heaps);
    for (DWORD i = 0; i < count && i < 64; i++)
        if (!HeapValidate(heaps[i], 0, NULL))
            return false;
    return count > 0;
}

// --- the fixture -----------------------------------------------------------------

void SoakTest::SetUp()
{
    // GoogleTest starts a thread of its own the first time a trace is kept;
    // it must be there before the threads are counted.
    {
        SCOPED_TRACE("");
    }
    PlayerTest::SetUp();
}

void SoakTest::TearDown()
{
    // No plug-in thread may stay stopped while the player unloads it.
    ReleaseAllPauses();
    PlayerTest::TearDown();
    StopLedger();
    EXPECT_TRUE(HeapsValidate()) << "a heap of the process is damaged";
}

void SoakTest::ExpectNothingLeft()
{
    PlayerUnloadPlugin();
    // The ledger's own mapping goes too, so the module is really unloaded:
    // what it gives back as it goes counts.
    StopLedger();
    EXPECT_TRUE(NoPopupAndBaselineThreads(3000));
    EXPECT_EQ(LedgerOutstanding(), "") << "the plug-in did not give back everything it took";
    EXPECT_EQ(GetModuleHandleA("gen_tunebell.dll"), (HMODULE)NULL) << "the plug-in stayed mapped";
}

// --- random ------------------------------------------------------------------------

Random::Random(unsigned seed) : state(seed ? seed : 1)
{
    printf("random seed %u\n", seed);
}

unsigned Random::Next()
{
    // xorshift32: small, and the same on every compiler.
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

int Random::Between(int low, int high)
{
    return low + (int)(Next() % (unsigned)(high - low + 1));
}
