// The popup engine's start and stop, and the shared fonts.
#ifndef TUNEBELL_POPUP_ENGINE_H
#define TUNEBELL_POPUP_ENGINE_H

#include <windows.h>

extern HFONT PopupFont;
extern HFONT PopupBoldFont;

// Starts the engine, once the settings are loaded and the optional
// functions looked up: its first warm thread reads them. False (and the
// user told) when the popup's window class cannot be registered: nothing of
// the engine runs then.
bool PopupEngineInit(void);
void PopupEngineShutdown(void);
bool RegisterPopupClass(void);
void CreatePopupFonts(void);
// What the engine keeps for the module's lifetime; when the module is unloaded.
void ReleasePopupEngine(void);

// The engine's state: written only by its start and its stop on the
// player's thread, read by every thread.
extern volatile LONG gPopupEngineRunning;
extern volatile LONG gPopupEngineStopping;

// True between a successful start and the beginning of the shutdown.
inline bool IsPopupEngineRunning(void)
{
    return gPopupEngineRunning != 0;
}

// True once the shutdown began: popups and effects stop at their next step.
inline bool IsPopupEngineStopping(void)
{
    return gPopupEngineStopping != 0;
}

#endif
