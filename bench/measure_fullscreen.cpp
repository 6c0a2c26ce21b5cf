// 9. What the full-screen test adds to each track event: the plug-in's own
// check, called here as its worker calls it before asking the player about
// a new track, against the least a popup costs, which the check can spare.
#include "bench/bench.h"
#include "plugin/fullscreen.h"
#include "base/optional_functions.h"

// Microseconds per check over one batch.
static double TimeChecks(int count, bool *sawFullScreen)
{
    bool seen = false;
    double start = NowMs();
    for (int i = 0; i < count; i++)
        seen = FullScreenProgramInFront();
    double took = (NowMs() - start) * 1000 / count;
    *sawFullScreen = seen;
    return took;
}

void MeasureFullScreenCheck()
{
    const int kRounds = 31, kBatch = 200;
    bool fullScreen = false;
    // As the plug-in does at its start: the shell's function, among others.
    double start = NowMs();
    LookUpOptionalFunctions();
    double first = NowMs() - start;

    std::vector<double> nothing, film, bare;
    bool quietWithNothing = false, quietWithFilm = true;
    for (int i = 0; i < kRounds; i++) {
        nothing.push_back(TimeChecks(kBatch, &fullScreen));
        quietWithNothing = quietWithNothing || fullScreen;
        bare.push_back(BareThreadWindowShown());
    }
    HWND cover = PlayerShowFullScreenWindow();
    for (int i = 0; cover && i < kRounds; i++) {
        film.push_back(TimeChecks(kBatch, &fullScreen));
        quietWithFilm = quietWithFilm && fullScreen;
        bare.push_back(BareThreadWindowShown());
    }
    if (cover)
        PlayerCloseFullScreenWindow(cover);
    ForgetOptionalFunctions();
    if (!cover || quietWithNothing || !quietWithFilm) {
        Row("9", "Full-screen check per track event",
            !cover ? "no full-screen window in front" : "the check gave the wrong answer", "", "", "", "no");
        return;
    }
    double worst = Median(film) > Median(nothing) ? Median(film) : Median(nothing);
    double reference = Median(bare);
    double ratio = worst / 1000 / reference;
    Row("9", "Full-screen check per track event",
        Format("%.1f us with a full-screen window in front, %.1f us with none (medians of %d x %d); "
               "looking up the optional functions once, the shell's among them, %.1f ms",
               Median(film), Median(nothing), kRounds, kBatch, first),
        Format("bare thread making and showing one window: %.1f ms", reference),
        Format("%.3f", ratio), "<= 0.05", ratio <= 0.05 ? "yes" : "no");
}
