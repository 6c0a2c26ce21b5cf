// What the end-to-end tests share: a fresh player with its own INI directory
// for every test, waiting for popups, reading a popup's children, real mouse
// clicks, and a clock the test drives for the plug-in's event throttle.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "host/player.h"

enum {
    kMaxPopupsSeen = 128,
    // Deadlines for things that normally take a fraction of them: a popup
    // appears about 300 ms after the player's event.
    kPopupDeadlineMs = 3000,
    kCloseDeadlineMs = 3000,
    // Two player events further apart than the plug-in's 400 ms throttle.
    kEventGapMs = 450
};

// The plug-in's children of one popup, told apart by what they show.
struct PopupParts {
    HWND back = NULL;
    HWND title = NULL;    // the bold text line
    HWND icon = NULL;     // SS_ICON
    HWND info = NULL;     // the normal-weight text line
    HWND time = NULL;     // right-aligned "HH:MM"
    int children = 0;     // how many there are in all
};

// Every test starts its own player (on the test's thread) with an empty INI
// directory below the temp folder; settings written with SetIni before Load
// are what the plug-in reads at init. TearDown stops the player, which
// unloads a plug-in still loaded, and deletes the directory.
class PlayerTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes Key=value into section Tunebell of <iniDir>\plugins\tunebell.ini.
    void SetIni(const char *key, int value);
    // Notes the thread count, then loads gen_tunebell.dll beside the test
    // program; false (with the reason on stderr) when it did not load.
    bool Load();
    // quit(), then FreeLibrary; returns how long quit() took in ms.
    DWORD QuitAndUnload();

    std::string iniDir;
    std::string iniFile;
    int baselineThreads = 0;    // threads of the process before Load
};

// The track the player reports from now on.
void SetTrack(int position, const char *title, int length, int kHz, int kbit, int channels);

// Top-level "PopUpWnd" windows of this process that are visible.
std::vector<HWND> VisiblePopups();
// Waits (pumping) until exactly n popups are visible; false at the deadline.
bool WaitForVisiblePopups(int n, DWORD timeoutMs = kPopupDeadlineMs);
// Waits until no "PopUpWnd" window exists at all, visible or not.
bool WaitForNoPopupWindows(DWORD timeoutMs = kCloseDeadlineMs);
// Waits until the window is gone (destroyed, or at least hidden).
bool WaitForPopupClosed(HWND popup, DWORD timeoutMs = kCloseDeadlineMs);
// The popup whose title line is exactly this text, or NULL.
HWND FindPopupWithTitle(const std::string &titleLine);

PopupParts ReadPopupParts(HWND popup);
std::string WindowText(HWND window);
// The child's rectangle in the client coordinates of its parent.
RECT ChildRect(HWND child);
RECT WindowRectOf(HWND window);
int FontWeightOf(HWND window);

// The title line and the information line the plug-in should show.
std::string TitleLine(int position, const char *title);
std::string InfoLine(int length, int kHz, int kbit, int channels);

// A real mouse click (SendInput) at a screen point.
void ClickAt(int x, int y, bool right);
// Waits until the screen shows this colour at the point.
bool WaitForScreenColour(int x, int y, COLORREF colour, DWORD timeoutMs = 2000);
COLORREF ScreenColour(int x, int y);

// The popup's layered opacity; -1 when it is not layered or cannot be read.
int LayeredAlpha(HWND popup);
// Waits until the popup is layered with exactly this opacity.
bool WaitForAlpha(HWND popup, int alpha, DWORD timeoutMs);

RECT WorkArea();

// The commands the plug-in sent from index `from` of the log on.
std::vector<PlayerCommand> CommandsFrom(int from);
int CountCommands(int command, int from = 0);
// Waits until the plug-in has sent `command` at least `times` times since
// index `from` of the log.
bool WaitForCommand(int command, int times, int from, DWORD timeoutMs);

bool WaitForThreadCount(int count, DWORD timeoutMs);
// Pumps until ms milliseconds have passed since the tick count start.
void PumpUntil(DWORD start, DWORD ms);

// A clock the test sets, put in place of the loaded plug-in's
// kernel32!GetTickCount, so the event throttle can be driven to the
// millisecond and fast. Only for tests that play no fade, which reads the
// same clock. Returns false when the plug-in does not import GetTickCount.
bool InstallFakeClock(DWORD start);
void SetFakeClock(DWORD now);
DWORD FakeClock();
// Makes the plug-in's worker skip its short settle wait before it asks the
// player about a new track, so that many popups can be had fast. Returns
// false when the plug-in does not import WaitForSingleObject.
bool SkipTrackSettleWait();
