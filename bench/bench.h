// What the benchmark's measures share: a fine clock, waits that keep the
// player answering, the plug-in's INI file, popups in bulk, the process's
// figures and the one table that everything is printed into.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "host/player.h"

double NowMs();

// Pumps until cond holds or the deadline passes, looking at cond about every
// millisecond and answering the plug-in's queries the moment they arrive, as
// a player idle in its message loop does.
template <typename Cond>
bool WaitUntil(Cond cond, double timeoutMs)
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

void PumpFor(double ms);

// A fresh INI file holding only what the measure sets: popups stay until
// clicked (Seconds 0) and no effect plays unless asked for.
void ResetSettings();
void WriteSetting(const char *key, int value);

// Loads the plug-in. Its clock can be put on an offset that steps past its
// 400 ms event throttle, and its settle wait can be skipped, so that popups
// can be had in bulk (see host/plugin_patches.h).
bool LoadPlugin(bool offsetClock, bool skipSettleWait);
void UnloadPlugin();
// A track start that the throttle lets through (offset clock only).
void FastTrackStart();

// The plug-in's warm threads, each keeping one hidden window of this class,
// whether it waits for a popup or shows one.
int SpareWindowCount();
// The process's threads but the warm popup threads: what stays while popups
// come and go.
int ThreadsBesidesWarm();
int PopupWindowCount();
int VisiblePopupCount();
std::vector<HWND> PopupWindows();
// Asks every popup to close (as a right click does) and waits until no popup
// window is left and every popup thread waits warm (ThreadsBesidesWarm back
// at baselineThreads); false at the deadline.
bool CloseAllPopups(int baselineThreads, double timeoutMs);
// With both patches: shows popups until `count` are visible; false when they do not.
bool ShowPopups(int count, double timeoutMs);

double Median(std::vector<double> values);
double Worst(const std::vector<double> &values);

// What the process holds, for costs and leaks.
struct ProcessFigures {
    double heapBytes;        // busy blocks of every heap of the process
    int heapBlocks;
    double committedBytes;   // private committed memory
    int gdiObjects;          // -1: not reported
    int userObjects;         // -1: not reported
    int windows;             // top-level windows of the process and their children
    int threads;
};
ProcessFigures TakeFigures();
// Whether GetGuiResources counts GDI objects here: Windows does, Wine says 0.
bool GdiFromGuiResources();
std::string DescribeDelta(const ProcessFigures &now, const ProcessFigures &base, int per);

// The table: one row per figure, printed as it is measured.
void PrintTableHead();
void Row(const char *number, const std::string &measure, const std::string &figure,
         const std::string &reference, const std::string &ratio, const std::string &goal,
         const std::string &met);
// Notes printed below the table, for goals missed and figures Wine lacks.
void Note(const std::string &text);
void PrintNotes();

std::string Format(const char *format, ...);

// The measures, one per file; each loads and unloads the plug-in itself.
void MeasureHookOverhead();
void MeasureEventToVisible();
void MeasureReplacing();
void MeasureQuitWithPopups();
void MeasureIdleCost();
void MeasureCostAndLeaks();
void MeasureFades();
void MeasureDllSizeAndImports();
