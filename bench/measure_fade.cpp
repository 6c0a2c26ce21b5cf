// 7. Fade durations as played, against the FadeInTime and FadeOutTime they
// were asked for.
#include "bench/bench.h"

// One popup: ms from shown until opaque, and from the close until it is gone
// (the close returns when the popup has been destroyed; the fade is most of
// that). False when the popup did not come or did not finish.
static bool FadeOnce(int fadeTime, double *in, double *out)
{
    PlayerStartTrack();
    HWND popup = NULL;
    if (!WaitUntil([&] {
            std::vector<HWND> popups = PopupWindows();
            popup = popups.empty() ? NULL : popups[0];
            return popup && IsWindowVisible(popup);
        }, 3000, kTimedPollMs))
        return false;
    double start = NowMs();
    if (!WaitUntil([&] { return LayeredAlpha(popup) == 255; }, fadeTime * 3, kTimedPollMs))
        return false;
    *in = NowMs() - start;
    start = NowMs();
    SendMessageA(popup, WM_CONTEXTMENU, (WPARAM)popup, 0);
    *out = NowMs() - start;
    return !IsWindow(popup);
}

void MeasureFades()
{
    const int kTimes[3] = { 250, 1000, 5000 };
    const int kRepeats[3] = { 5, 3, 1 };
    for (int t = 0; t < 3; t++) {
        int fadeTime = kTimes[t];
        std::vector<double> in, out;
        for (int r = 0; r < kRepeats[t]; r++) {
            ResetSettings();
            PlayerWriteSetting("Fade", 1);
            PlayerWriteSetting("FadeInTime", fadeTime);
            PlayerWriteSetting("FadeOutTime", fadeTime);
            if (!LoadPlugin(false, false))
                break;
            double fadeIn, fadeOut;
            if (FadeOnce(fadeTime, &fadeIn, &fadeOut)) {
                in.push_back(fadeIn / fadeTime);
                out.push_back(fadeOut / fadeTime);
            }
            UnloadPlugin();
        }
        double ratioIn = Median(in), ratioOut = Median(out);
        bool met = (int)in.size() == kRepeats[t] && ratioIn >= 0.9 && ratioIn <= 1.2 &&
                   ratioOut >= 0.9 && ratioOut <= 1.2 && Worst(in) <= 1.2 && Worst(out) <= 1.2;
        Row(t == 0 ? "7a" : t == 1 ? "7b" : "7c", Format("Fade in / out of %d ms", fadeTime),
            Format("in %.0f ms, out %.0f ms (median of %d)", ratioIn * fadeTime, ratioOut * fadeTime,
                   (int)in.size()),
            Format("FadeInTime = FadeOutTime = %d ms", fadeTime),
            Format("%.2f / %.2f", ratioIn, ratioOut), "0.9 to 1.2", met ? "yes" : "no");
    }
}
