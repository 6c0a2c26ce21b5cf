// What the end-to-end tests share: a fresh player with its own INI directory
// for every test, waiting for popups, reading a popup's children, and the
// expected sequences of what the plug-in does, written as tables.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "host/player.h"
#include "host/plugin_patches.h"
#include "tests/rect_check.h"

enum {
    kMaxPopupsSeen = 128,
    // Deadlines for things that normally take a fraction of them: a popup
    // appears about 300 ms after the player's event.
    kPopupDeadlineMs = 3000,
    kCloseDeadlineMs = 3000,
    // Two player events further apart than the plug-in's 400 ms throttle.
    kEventGapMs = 450
};

// The track most tests play.
extern const PlayerTrack kSong;

// The plug-in's children of one popup, told apart by what they show.
struct PopupParts {
    HWND back = NULL;
    HWND title = NULL;    // the bold (or semibold) text line
    HWND icon = NULL;     // SS_ICON
    HWND cover = NULL;    // SS_OWNERDRAW: the album cover in the icon's place
    HWND info = NULL;     // the normal-weight text line
    HWND time = NULL;     // right-aligned "HH:MM"
    int children = 0;     // how many there are in all
};

// Every test starts its own player (on the test's thread) with an empty INI
// directory below the temp folder; settings written with SetIni before Load
// are what the plug-in reads at init. TearDown stops the player, which
// unloads a plug-in still loaded, and deletes the directory.
//
// Nothing of an earlier test reaches the next: SetUp waits until the plug-in
// it loaded is gone, destroys windows it left on the test's thread, and puts
// the pointer to rest away from where popups go; a test that needs the
// pointer, the foreground or the screen elsewhere puts them there itself.
class PlayerTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes Key=value into section Tunebell of <iniDir>\plugins\tunebell.ini.
    void SetIni(const char *key, int value);
    void SetIni(std::initializer_list<std::pair<const char *, int>> keys);
    // Notes the thread count, then loads gen_tunebell.dll beside the test
    // program; false (with the reason on stderr) when it did not load.
    bool Load();
    // Load with a copy of the DLL under a name of its own (the same copy for
    // the whole test), for a test after which the plug-in may rightly stay in
    // the process: it pins itself when another program's subclass sits over
    // its hook at quit.
    bool LoadCopyThatMayStay();
    // Load, then the plug-in's clock redirected (running) and its settle
    // wait skipped (host/plugin_patches.h): for many popups fast.
    bool LoadPatched();
    // Shows the popups of these tracks (none given: the current track, n
    // times), one event after another, each past the 400 ms throttle (on
    // the plug-in's clock after LoadPatched, else in real time), and returns
    // them oldest first; empty when one of them did not come.
    std::vector<HWND> ShowPopups(const std::vector<PlayerTrack> &tracks);
    std::vector<HWND> ShowPopups(int n);
    // One popup, or NULL when none came.
    HWND ShowPopup(const PlayerTrack &track);
    HWND ShowPopup();
    // One popup, and the pointer moved onto it once its show is done (as it
    // shows, the popup notes where the pointer is, and a pointer that has
    // reached it by then has not moved onto it); NULL when either failed.
    HWND ShowPopupUnderMovingPointer();
    // quit(), then FreeLibrary; returns how long quit() took in ms.
    DWORD QuitAndUnload();
    // After quit: no popup window is left, and the process's threads come
    // back to baselineThreads within the deadline.
    ::testing::AssertionResult NoPopupAndBaselineThreads(DWORD timeoutMs = 2000);

    std::string iniDir;
    std::string iniFile;
    std::string copyPath;       // LoadCopyThatMayStay's copy
    int baselineThreads = 0;    // threads of the process before Load

private:
    HWND ShowNext(const PlayerTrack *track);
    bool patched = false;       // LoadPatched: the plug-in runs on our clock
    DWORD lastEvent = 0;        // when ShowPopups last started a track
    bool anyEvent = false;
};

// Moves the pointer where it rests between tests, away from popups.
void PutPointerToRest();

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
// The popup's visible child that says `text`, or NULL.
HWND VisibleChild(HWND popup, const std::string &text);
// The child's rectangle in the client coordinates of its parent.
RECT ChildRect(HWND child);
// Whether the popup stands in the lower right corner of the work area, where
// the oldest goes by default.
::testing::AssertionResult InLowerRightCorner(HWND popup);
// A left or right click in the middle of the window.
void ClickMiddle(HWND window, bool right);
int FontWeightOf(HWND window);
int FontHeightOf(HWND window);   // lfHeight of the window's font; 0 without one

// The colour the window has drawn at a point of the screen (its children
// included), read from its own pixels: what another window shows over it, as
// a dialog raised over a top-most popup on Wine without a window manager
// does, does not count.
COLORREF WindowColour(HWND window, int x, int y);
// Waits until the window has drawn this colour at the point.
bool WaitForWindowColour(HWND window, int x, int y, COLORREF colour, DWORD timeoutMs = 2000);
// Waits until the screen shows this colour at the point.
bool WaitForScreenColour(int x, int y, COLORREF colour, DWORD timeoutMs = 2000);
// Waits until the popup is layered with exactly this opacity.
bool WaitForAlpha(HWND popup, int alpha, DWORD timeoutMs);
// Whether the popup's opacity is part way between transparent and opaque.
bool MidFade(HWND popup);

RECT WorkArea();
// Pumps until ms milliseconds have passed since the tick count start.
void PumpUntil(DWORD start, DWORD ms);

// --- sequences ---------------------------------------------------------------
// What the plug-in did, in order, and what it should have done, as a table
// with one row per step: the commands it sent the player (the command and
// its wParam), or the calls it made through a redirected import.

struct Step {
    int what;        // a command number, a call's first argument
    WPARAM value;    // the command's wParam, a call's second argument
    DWORD thread;
};

// Who makes an expected step: the player's thread, or one other thread (the
// same one for every kOnWorker row of a table).
enum StepThread { kOnPlayer, kOnWorker };

struct ExpectedStep {
    int what;
    WPARAM value;
    StepThread thread;
};

// Whether the steps done are exactly the table's, in order; if not, says
// where the first difference is, so that the failing EXPECT_TRUE names it.
::testing::AssertionResult SameSequence(const std::vector<Step> &done,
                                        const std::vector<ExpectedStep> &expected);
// The worker's questions about the track at `position` for `events` track
// events one after another: position, rate, bit rate, channels, length,
// the wide title (213), and on an older player, which does not know 213,
// the ANSI title (212) after it; then the file's name (214, and 211 when
// 214 gives none) and the playlist's length (124), with a player that
// knows no files.
std::vector<ExpectedStep> TrackQueries(int position, int events = 1, bool olderPlayer = false);

// The commands the plug-in sent from index `from` of the log on.
std::vector<Step> CommandsFrom(int from);
int CountCommands(int command, int from = 0);
// Waits until the plug-in has sent `command` at least `times` times since
// index `from` of the log.
bool WaitForCommand(int command, int times, int from, DWORD timeoutMs);
