// Popups as the rest of the plug-in knows them: the one header of popup/
// that code outside it includes. A popup is asked for with a request; the
// engine shows each one on a thread of its own, stacks it with the others
// and closes it.
#ifndef TUNEBELL_POPUP_POPUP_H
#define TUNEBELL_POPUP_POPUP_H

#include <windows.h>

#define POPUP_TEXT_SIZE 2048
#define MAX_OPEN_POPUPS 48

// Callers clear the whole record, then fill what they use; Timeout is set by
// submission. The popup borrows Icon and never destroys it. The texts are
// UTF-16, POPUP_TEXT_SIZE units each.
struct PopupRequest {
    HICON Icon;
    WCHAR Title[POPUP_TEXT_SIZE];
    WCHAR Text[POPUP_TEXT_SIZE];
    COLORREF BackColour;    // both colours 0: the settings' colours
    COLORREF TextColour;
    // Next in the popup window's chain: every message the popup's own
    // procedure passes on goes to it. NULL: CloseOnClickProc.
    WNDPROC ChainedWindowProc;
    int Timeout;            // seconds; -1 until closed; 0 the Seconds setting
    DWORD CoverTicket;      // the cover asked for (cover/cover.h); 0: the icon
    int CoverSize;          // the cover's side at 96 dpi, with a ticket
};

// --- the engine, on the player's thread -------------------------------------

// Starts the engine, once the settings are loaded and the optional
// functions looked up: its first warm thread reads them. False (and the
// user told) when the popup's window class cannot be registered: nothing of
// the engine runs then.
bool PopupEngineInit(void);
// Closes every popup and returns once every popup thread has ended.
void PopupEngineShutdown(void);
// What the engine keeps for the module's lifetime; when the module is unloaded.
void ReleasePopupEngine(void);

// --- asking for a popup, on any thread --------------------------------------

// Gives the request its display time from the Seconds setting and submits
// it. True when a popup thread took it; false when it was refused (the
// engine does not run, the request is not valid, MAX_OPEN_POPUPS are open).
bool SubmitPopup(const PopupRequest *request);
// Submits a complete request, Timeout included.
bool SubmitPopupTimed(const PopupRequest *request);
// Fills a request's Title or Text from ANSI text (the ANSI code page), cut
// to what the field holds.
void SetPopupTextA(WCHAR field[POPUP_TEXT_SIZE], const char *text);
// The chained procedure of a popup that closes when its text or icon is
// clicked or it is right-clicked.
LRESULT CALLBACK CloseOnClickProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The settings dialog changed what open popups show: each takes it up on
// its own thread.
void ApplySettingsToPopups(void);

// The cover's side at 96 dpi that the settings want; 0 when popups show no
// cover.
int PopupCoverSize(void);
// That side in pixels at the resolution of the monitor a popup would go to
// now: the size a cover is decoded at for it.
int PopupCoverPixels(int size);

// --- what can be seen of popups from outside --------------------------------

// The popup's window class, registered by the engine (in UTF-16), and the
// same name for code that reads class names in ANSI.
#define POPUP_CLASS_A "PopUpWnd"
#define POPUP_CLASS L"" POPUP_CLASS_A
// The class of the hidden window every warm popup thread keeps. Not
// "PopUpWnd": nothing that looks for popups finds a thread waiting for one.
#define SPARE_CLASS "PopUpSpare"
// How long a warm thread beyond the spares kept waits for a popup before
// it ends.
#define POOL_IDLE_MS 30000

// Popups in the list now.
int GetPopupCount(void);
// Threads waiting in the pool, and spares being started (0 or 1).
int WaitingPopupThreads(void);
int StartingSpares(void);

#endif
