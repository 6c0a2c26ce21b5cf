// tunebell_bench.exe: what the plug-in costs the player, measured on the real
// DLL inside the stand-in player. Prints one table; each figure is measured
// in this run.
#include "host/player.h"

#include <algorithm>
#include <string>
#include <stdio.h>
#include <string.h>
#include <vector>

static LARGE_INTEGER gFrequency;

static double NowMs()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart * 1000.0 / gFrequency.QuadPart;
}

static void WriteSetting(const char *key, int value)
{
    char path[MAX_PATH], text[32];
    snprintf(path, sizeof path, "%s\\plugins\\tunebell.ini", PlayerIniDir());
    snprintf(text, sizeof text, "%d", value);
    WritePrivateProfileStringA("Tunebell", key, text, path);
}

static void ResetSettings()
{
    char path[MAX_PATH];
    snprintf(path, sizeof path, "%s\\plugins\\tunebell.ini", PlayerIniDir());
    DeleteFileA(path);
    WriteSetting("Seconds", 0);
}

// Pumps until cond holds or the deadline passes, looking at cond every
// millisecond and answering the plug-in's queries the moment they arrive, as
// a player idle in its message loop does.
template <typename Cond>
static bool WaitUntil(Cond cond, double timeoutMs)
{
    double start = NowMs();
    while (!cond()) {
        if (NowMs() - start > timeoutMs)
            return false;
        PlayerPump();
        MsgWaitForMultipleObjectsEx(0, NULL, 1, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
    return true;
}

static int VisiblePopups()
{
    HWND popups[64];
    int count = PlayerFindPopups(popups, 64);
    int visible = 0;
    for (int i = 0; i < count && i < 64; i++)
        visible += IsWindowVisible(popups[i]) ? 1 : 0;
    return visible;
}

static HWND NewestPopup()
{
    HWND popups[64];
    int count = PlayerFindPopups(popups, 64);
    return count > 0 ? popups[0] : NULL;
}

static void CloseAllPopups()
{
    HWND popups[64];
    int count = PlayerFindPopups(popups, 64);
    for (int i = 0; i < count && i < 64; i++)
        SendMessageA(popups[i], WM_CONTEXTMENU, (WPARAM)popups[i], 0);
    WaitUntil([] { return PlayerFindPopups(NULL, 0) == 0; }, 5000);
}

static PlayerTrack gTrack = { 0, "Benchmark - Track", 200, 44, 192, 2 };

// One track start, then the popup visible: returns ms, or -1.
static double EventToVisible()
{
    int before = VisiblePopups();
    double start = NowMs();
    PlayerTrackStarted();
    if (!WaitUntil([&] { return VisiblePopups() > before; }, 3000))
        return -1;
    return NowMs() - start;
}

static double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

static void Row(const char *what, const char *figure, const char *goal)
{
    printf("| %-58s | %-28s | %-22s |\n", what, figure, goal);
    fflush(stdout);
}

static void MeasureEventToVisible()
{
    ResetSettings();
    PlayerLoadPlugin(PlayerDefaultPluginPath());
    std::vector<double> times;
    for (int i = 0; i < 20; i++) {
        double t = EventToVisible();
        if (t >= 0)
            times.push_back(t);
        CloseAllPopups();
        Sleep(420);   // the plug-in acts on one event per 400 ms
    }
    PlayerQuitPlugin();
    PlayerUnloadPlugin();
    char figure[96];
    snprintf(figure, sizeof figure, "median %.1f ms, worst %.1f ms (%d of 20)",
             Median(times) - 300, times.empty() ? 0 : *std::max_element(times.begin(), times.end()) - 300,
             (int)times.size());
    Row("Event to visible, beyond the 300 ms wait (effects off)", figure, "median <= 20 ms");
}

static double FadeIn(int fadeTime, HWND *popup)
{
    *popup = NULL;
    PlayerTrackStarted();
    if (!WaitUntil([&] { *popup = NewestPopup(); return *popup && IsWindowVisible(*popup); }, 3000))
        return -1;
    double start = NowMs();
    BYTE alpha = 0;
    DWORD flags = 0;
    if (!WaitUntil([&] { return GetLayeredWindowAttributes(*popup, NULL, &alpha, &flags) && alpha == 255; },
                   fadeTime * 3.0))
        return -1;
    return NowMs() - start;
}

static void MeasureFades()
{
    for (int fadeTime : { 250, 1000, 5000 }) {
        ResetSettings();
        WriteSetting("Fade", 1);
        WriteSetting("FadeInTime", fadeTime);
        WriteSetting("FadeOutTime", fadeTime);
        PlayerLoadPlugin(PlayerDefaultPluginPath());
        HWND popup;
        double in = FadeIn(fadeTime, &popup);
        // The close runs on the popup's thread and returns when the popup is
        // gone: the fade out is most of it.
        double start = NowMs();
        if (popup)
            SendMessageA(popup, WM_CONTEXTMENU, (WPARAM)popup, 0);
        double out = NowMs() - start;
        PlayerQuitPlugin();
        PlayerUnloadPlugin();
        char what[96], figure[96];
        snprintf(what, sizeof what, "Fade in / out against %d ms", fadeTime);
        snprintf(figure, sizeof figure, "%.2f / %.2f", in / fadeTime, out / fadeTime);
        Row(what, figure, "ratio 0.9 to 1.2");
        Sleep(420);
    }
}

static void MeasureQuitWithPopups()
{
    ResetSettings();
    WriteSetting("Fade", 1);
    WriteSetting("FadeInTime", 5000);
    WriteSetting("FadeOutTime", 5000);
    int baseline = PlayerThreadCount();
    PlayerLoadPlugin(PlayerDefaultPluginPath());
    for (int i = 0; i < 4; i++) {
        PlayerTrackStarted();
        WaitUntil([&] { return PlayerFindPopups(NULL, 0) > i; }, 3000);
        WaitUntil([] { return false; }, 420);
    }
    // The newest is still fading in; the oldest is made to fade out.
    HWND popups[8];
    int count = PlayerFindPopups(popups, 8);
    if (count > 0)
        PostMessageA(popups[count - 1], WM_CONTEXTMENU, (WPARAM)popups[count - 1], 0);
    WaitUntil([] { return false; }, 100);
    double start = NowMs();
    PlayerQuitPlugin();
    double quit = NowMs() - start;
    bool clean = WaitUntil([&] { return PlayerThreadCount() == baseline; }, 1000);
    int left = PlayerFindPopups(NULL, 0);
    PlayerUnloadPlugin();
    char figure[96];
    snprintf(figure, sizeof figure, "%.1f ms; %d windows, threads %s", quit, left,
             clean ? "back to baseline" : "LEFT BEHIND");
    char what[96];
    snprintf(what, sizeof what, "Quit with %d popups open, mid-fade (5000 ms fades)", count);
    Row(what, figure, "<= 200 ms, none left");
}

int main()
{
    QueryPerformanceFrequency(&gFrequency);
    if (!PlayerStart(NULL)) {
        fprintf(stderr, "bench: the player did not start\n");
        return 1;
    }
    PlayerSetTrack(&gTrack);
    printf("| %-58s | %-28s | %-22s |\n", "Measure", "Figure", "Goal");
    printf("|%s|%s|%s|\n", std::string(60, '-').c_str(), std::string(30, '-').c_str(),
           std::string(24, '-').c_str());
    MeasureEventToVisible();
    MeasureQuitWithPopups();
    MeasureFades();
    PlayerStop();
    return 0;
}
