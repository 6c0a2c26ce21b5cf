// tunebell_bench.exe: what the plug-in costs the player, measured on the real
// DLL inside the stand-in player. Prints one table; every figure and its
// reference are measured in this run, on this machine.
#include "bench/bench.h"

#include <stdio.h>
#include <stdlib.h>

// With numbers on the command line, only those measures run: "3 6".
static bool Wanted(int argc, char **argv, int measure)
{
    if (argc < 2)
        return true;
    for (int i = 1; i < argc; i++)
        if (atoi(argv[i]) == measure)
            return true;
    return false;
}

int main(int argc, char **argv)
{
    if (!PlayerStart(NULL)) {
        fprintf(stderr, "bench: the player did not start\n");
        return 1;
    }
    PlayerSetTrack({ 0, "Benchmark - Track", 200, 44, 192, 2 });

    PrintTableHead();
    void (*const measures[])() = {
        MeasureHookOverhead, MeasureEventToVisible, MeasureReplacing, MeasureQuitWithPopups,
        MeasureIdleCost,     MeasureCostAndLeaks,   MeasureFades,     MeasureDllSizeAndImports,
        MeasureFullScreenCheck, MeasureCovers, MeasureMediaControls,
    };
    for (int i = 0; i < (int)(sizeof measures / sizeof measures[0]); i++)
        if (Wanted(argc, argv, i + 1))
            measures[i]();
    PrintNotes();

    PlayerStop();
    return 0;
}
