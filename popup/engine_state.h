// Whether the popup engine runs, and whether it is stopping: a fact that
// every part of a popup reads (the submission, the list, the pool, the
// threads, the effects) and only the engine's start and stop write, on the
// player's thread. It lies below all of them, so that none of them asks the
// engine that starts it.
#ifndef TUNEBELL_POPUP_ENGINE_STATE_H
#define TUNEBELL_POPUP_ENGINE_STATE_H

#include <windows.h>

struct PopupEngineState {
    volatile LONG running;    // from a successful start to the beginning of the shutdown
    volatile LONG stopping;   // from the beginning of the shutdown on
};

extern PopupEngineState gPopupEngine;

inline bool IsPopupEngineRunning(void)
{
    return gPopupEngine.running != 0;
}

// Popups and effects stop at their next step.
inline bool IsPopupEngineStopping(void)
{
    return gPopupEngine.stopping != 0;
}

#endif
