// Showing and hiding a popup: a slide, a fade of its opacity, or neither.
#ifndef TUNEBELL_POPUP_EFFECTS_H
#define TUNEBELL_POPUP_EFFECTS_H

#include <windows.h>

#define SLIDE_TIME 250

// AnimateWindow flags that slide a popup away from its corner's edge when
// shown and back toward it when hidden (grow and shrink at the centre). Pure.
DWORD SlideFlags(int position, int spreading, bool show);

// The opacity a popup ends at: Alpha when translucent, else opaque.
BYTE TargetOpacity(bool useTransparency, BYTE alpha);

// A fade: `steps` opacities, the same as stepping by 2 from 0 up to (but not
// reaching) the target, or from the target down to (not reaching) 0, spread
// evenly over `duration` ms of the clock. Steps that fall behind the clock
// are skipped, so a coarse timer cannot stretch the fade.
int FadeStepCount(BYTE target);
BYTE FadeOpacity(bool fadeIn, BYTE target, int step);

struct FadeDriver {
    DWORD (*now)(void *context);
    void (*sleep)(DWORD ms, void *context);
    void (*show)(BYTE opacity, void *context);
    bool (*stop)(void *context);     // true: leave the fade at once
    void *context;
};

// Plays the steps; returns the number of steps shown.
int PlayFade(bool fadeIn, BYTE target, DWORD duration, const FadeDriver *driver);

void ShowPopup(HWND popup, const RECT *rect);
void HidePopup(HWND popup);

#endif
