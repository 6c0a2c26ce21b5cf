// What the soak tests share: the end-to-end fixture with a heap check after
// every scenario, and a ledger of what the plug-in takes from the system and
// gives back, kept by redirecting the plug-in's own imports.
#pragma once

#include "tests/e2e/support.h"

#include <string>

// Every heap of the process validates (HeapValidate on each).
bool HeapsValidate();

// The ledger maps the plug-in before the player loads it and redirects the
// plug-in's imports that hand out something to be given back: heap blocks,
// GDI objects, icon copies, device contexts, kernel handles, global atoms and
// window classes. What the plug-in took and has not given back is
// outstanding. The mapping is kept until the ledger stops, so the module is
// really unloaded only then.
bool StartLedger();
void StopLedger();
// "" when nothing is outstanding, else what is, e.g. "2 heap blocks".
std::string LedgerOutstanding();

// Places where the ledger's redirected imports can stop a plug-in thread, so
// that a scenario can act at that moment: right after the popup window is
// made (the popup is being built), and right before a closing popup tells
// another one to move (it is being removed; two such places, each for one
// window told, or any when target is NULL). A test arms a place; the next plug-in
// thread to pass it stops there, still answering what other threads send
// it, until the test releases it. The fixture releases every place.
enum PausePoint { kPausePopupWindowMade, kPauseMovingPopup, kPauseMovingPopupToo, kPausePoints };
void ArmPause(PausePoint point, HWND target = NULL);
bool WaitForPause(PausePoint point, DWORD timeoutMs = 5000);
void ReleasePause(PausePoint point);
// Releases the place after ms from another thread: for a test that must be
// inside a blocking call (quit) when the paused thread goes on.
void ReleasePauseLater(PausePoint point, DWORD ms);
// Every place released and slides back to Wine's own (the fixture's end).
void ReleaseAllPauses();

// When on, the plug-in's GetProcAddress hands out a stand-in for
// AnimateWindow whose slides take their time (Wine's own are instant); it
// sets SlideStarted() when a slide begins.
void UseSlowSlides(bool on);
HANDLE SlideStarted();

class SoakTest : public PlayerTest {
protected:
    void SetUp() override;
    // The player's, then the ledger stops and every heap must validate.
    void TearDown() override;
    // Unloads the plug-in and stops the ledger; then no popup window, no
    // thread of the plug-in, and nothing outstanding in the ledger.
    void ExpectNothingLeft();
};

// A deterministic random source for a test, its seed printed so that a
// failing run can be repeated.
struct Random {
    explicit Random(unsigned seed);
    unsigned Next();
    int Between(int low, int high);   // both included
    unsigned state;
};
