// Pieces the demo's parts share: finding, waiting for and capturing popups,
// and shutting the plug-in down with checks.
#pragma once
#include "host/player.h"

#include <string>

enum {
    kMaxPopups = 64,
    kPopupDeadlineMs = 3000,
    kSettleDeadlineMs = 1500,
    kSettleStillMs = 60,
    // The plug-in drops track events closer together than 400 ms.
    kEventGapMs = 450,
    kShotPadding = 4
};

// What the popup for one event must show.
struct PopupSearch {
    std::string titleLine;
    std::string infoLine;
    HWND found;
};

// Added to every picture's name: "-150" for the set taken at 150 %.
extern const char *gShotSuffix;

// printf to stdout, flushed at once so the run script shows progress.
void Say(const char *format, ...);
// The settings every part of the demo starts from.
bool WriteDemoSettings();
void ExpectedLines(const PlayerTrack &track, PopupSearch *search);
bool ExpectedPopupShown(PopupSearch *search);
bool WaitUntilSettled(HWND popup);
bool PopupOnScreen(HWND popup);
bool SaveShot(const char *shotsDir, int number, const char *name, HWND popup);
// Saves a screen area as shotsDir\name.bmp once every popup in it is drawn.
bool SaveScreenArea(const char *shotsDir, const char *name, const RECT *area);
// The smallest screen area around the given popups, with a margin.
RECT AreaAround(const HWND *popups, int count);
const char *FileName(const char *path);
// quit(), then FreeLibrary, checking that the plug-in leaves nothing behind.
bool ShutDownPlugin(const char *pluginPath);

// The demo's further parts, each loading and unloading the plug-in itself.
bool RunLayoutDemo(const char *shotsDir, const char *pluginPath);
bool RunDialogDemo(const char *shotsDir, const char *pluginPath);
bool RunUnicodeDemo(const char *shotsDir, const char *pluginPath);
bool RunWhereWhenDemo(const char *shotsDir, const char *pluginPath);
bool RunCoverDemo(const char *shotsDir, const char *pluginPath);
// The album the cover part plays, made beside the demo's settings; the file
// of one of its tracks (from 0).
bool MakeDemoAlbum();
std::wstring DemoAlbumTrack(int index);
// Says whether the popup shows a cover; true when it does.
bool DescribeCover(HWND popup);
bool RunControlsDemo(const char *shotsDir, const char *pluginPath);
bool RunWindowsLookDemo(const char *shotsDir, const char *pluginPath);
// Prints what Windows' media controls would show, through the double.
bool RunMediaControlsDemo(const char *pluginPath);
