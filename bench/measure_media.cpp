// 11. Init and quit with the player shown in Windows' media controls (the
// recording double registered as Windows 10 has the classes), against both
// in the stock prefix, where the classes are missing: the registration runs
// on the plug-in's own thread, so init must not wait for it; quit takes the
// registration away before it returns. The two alternate, so that whatever
// else the machine does falls on both alike.
#include "bench/bench.h"
#include "host/media_double.h"

// One load, init, quit and unload; false when the plug-in did not load or,
// with the double, did not register.
static bool InitAndQuit(bool withDouble, std::vector<double> *inits, std::vector<double> *quits)
{
    if (withDouble && !RegisterMediaDouble())
        return false;
    MediaDoubleForget();
    double start = NowMs();
    bool loaded = PlayerLoadPlugin(PlayerDefaultPluginPath());
    double init = NowMs() - start;
    // Quit once the registration is done and the plug-in has settled.
    bool registered = loaded && (!withDouble || MediaDoubleWaitFor("add_ButtonPressed", 5000));
    if (loaded) {
        PlayerPumpFor(300);
        start = NowMs();
        PlayerQuitPlugin();
        quits->push_back(NowMs() - start);
        inits->push_back(init);
        PlayerUnloadPlugin();
    }
    if (withDouble)
        UnregisterMediaDouble();
    return registered;
}

void MeasureMediaControls()
{
    std::vector<double> stockInits, stockQuits, mediaInits, mediaQuits;
    bool measured = true;
    for (int i = 0; i < 10 && measured; i++)
        measured = InitAndQuit(false, &stockInits, &stockQuits) && InitAndQuit(true, &mediaInits, &mediaQuits);
    if (!measured) {
        Row("11", "Init and quit in Windows' media controls", "the double did not register or load", "", "", "",
            "no");
        return;
    }
    double ratio = Median(mediaInits) / Median(stockInits);
    bool met = ratio <= 1.5 && Median(mediaQuits) <= 200;
    Row("11", "Init, then quit, in Windows' media controls (the double registered)",
        Format("init %.2f ms, quit %.1f ms (medians of 10)", Median(mediaInits), Median(mediaQuits)),
        Format("stock prefix: init %.2f ms, quit %.1f ms", Median(stockInits), Median(stockQuits)),
        Format("%.2f", ratio), "init <= 1.5 x stock, quit <= 200 ms", met ? "yes" : "no");
}
