// What the benchmark's measures share: a fine clock, the plug-in's INI file,
// popups in bulk, the process's figures and the one table that everything is
// printed into. Waits are the stand-in player's WaitUntil, which keeps the
// player answering; the measures that time what they wait for look at it
// every millisecond (kTimedPollMs), as a player idle in its message loop
// answers the plug-in's queries the moment they arrive.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "host/player.h"
#include "host/plugin_patches.h"

const DWORD kTimedPollMs = 1;

double NowMs();

// A fresh INI file holding only what the measure sets (PlayerWriteSetting):
// popups stay until clicked (Seconds 0) and no effect plays unless asked for.
void ResetSettings();

// Loads the plug-in. Its clock can be redirected, to be stepped past its
// 400 ms event throttle (PlayerStartTrackPastThrottle), and its settle wait
// can be skipped, so that popups can be had in bulk.
bool LoadPlugin(bool redirectClock, bool skipSettleWait);
void UnloadPlugin();

// The plug-in's warm threads, each keeping one hidden window of this class,
// whether it waits for a popup or shows one.
int SpareWindowCount();
// The process's threads but the warm popup threads: what stays while popups
// come and go.
int ThreadsBesidesWarm();
int PopupWindowCount();
int VisiblePopupCount();
std::vector<HWND> PopupWindows();
// No popup window left and the process's threads back at `threads`.
bool NothingLeftAt(int threads);
// Asks every popup to close (as a right click does) and waits until no popup
// window is left and every popup thread waits warm (ThreadsBesidesWarm back
// at baselineThreads); false at the deadline.
bool CloseAllPopups(int baselineThreads, DWORD timeoutMs);
// With both patches: shows popups until `count` are visible; false when they do not.
bool ShowPopups(int count, DWORD timeoutMs);

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

// Milliseconds for a new thread to make and show one plain window: the least
// a popup on a thread of its own can cost (the reference of 2).
double BareThreadWindowShown();

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
void MeasureFullScreenCheck();
void MeasureCovers();
void MeasureMediaControls();
