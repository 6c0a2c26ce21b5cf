#include "popup/effects.h"
#include "popup/engine_state.h"
#include "base/messages.h"
#include "base/optional_functions.h"
#include "base/wait.h"
#include "settings/settings.h"

DWORD SlideFlags(int position, int spreading, bool show)
{
    if (position == POSITION_CENTRE)
        return show ? AW_CENTER : AW_HIDE | AW_CENTER;
    bool left = position == POSITION_UPPER_LEFT || position == POSITION_LOWER_LEFT;
    bool top = position == POSITION_UPPER_LEFT || position == POSITION_UPPER_RIGHT;
    DWORD direction;
    if (spreading == SPREAD_ROW)   // slide vertically, away from the edge
        direction = (top == show) ? AW_VER_POSITIVE : AW_VER_NEGATIVE;
    else                           // in a column: slide horizontally
        direction = (left == show) ? AW_HOR_POSITIVE : AW_HOR_NEGATIVE;
    return (show ? AW_SLIDE : AW_HIDE | AW_SLIDE) | direction;
}

BYTE TargetOpacity(bool useTransparency, BYTE alpha)
{
    return useTransparency ? alpha : 255;
}

int FadeStepCount(BYTE target)
{
    return (target + 1) / 2;
}

BYTE FadeOpacity(bool fadeIn, BYTE target, int step)
{
    return (BYTE)(fadeIn ? 2 * step : target - 2 * step);
}

int PlayFade(bool fadeIn, BYTE target, DWORD duration, const FadeDriver *driver)
{
    int steps = FadeStepCount(target);
    int shown = 0;
    DWORD start = driver->now(driver->context);
    int step = 0;
    while (step < steps) {
        if (driver->stop(driver->context))
            break;
        driver->show(FadeOpacity(fadeIn, target, step), driver->context);
        shown++;
        // Wait for the next step's moment; then take the step the clock has
        // reached, which skips those a coarse timer slept through.
        DWORD due = (DWORD)((unsigned long long)(step + 1) * duration / steps);
        DWORD elapsed = driver->now(driver->context) - start;
        if (elapsed < due) {
            driver->sleep(due - elapsed, driver->context);
            elapsed = driver->now(driver->context) - start;
        }
        int reached = duration ? (int)((unsigned long long)elapsed * steps / duration) : steps;
        step = reached > step + 1 ? reached : step + 1;
    }
    return shown;
}

struct PopupFade {
    HWND popup;
};

static DWORD FadeNow(void *)
{
    return GetTickCount();
}

// Sleeps between steps, but answers what other threads send meanwhile, so
// nobody waits for our fade to end, and takes the new place that a closing
// popup posted, so the stack does not wait for it either.
static void FadeSleep(DWORD ms, void *context)
{
    HWND popup = ((PopupFade *)context)->popup;
    MSG place;
    while (PeekMessageA(&place, popup, UM_POPUP_PLACE, UM_POPUP_PLACE, PM_REMOVE))
        DispatchMessageA(&place);
    WaitAnsweringSentMessages(NULL, ms);
}

static void FadeShow(BYTE opacity, void *context)
{
    HWND popup = ((PopupFade *)context)->popup;
    pSetLayeredWindowAttributes(popup, 0, opacity, LWA_ALPHA);
    UpdateWindow(popup);
}

static bool FadeStop(void *)
{
    // The plug-in is quitting: the popup goes without the rest of its fade.
    return IsPopupEngineStopping();
}

static void PlayPopupFade(HWND popup, bool fadeIn, BYTE target, DWORD duration)
{
    PopupFade fade = { popup };
    FadeDriver driver = { FadeNow, FadeSleep, FadeShow, FadeStop, &fade };
    PlayFade(fadeIn, target, duration, &driver);
}

void ShowPopup(HWND popup, const RECT *rect)
{
    BYTE target = TargetOpacity(gSettings.UseTransparency != 0, gSettings.Alpha);
    // Whether the window was made layered, and maybe transparent for a fade,
    // when it was created: the settings may have changed since.
    bool layered = pSetLayeredWindowAttributes && (GetWindowLongA(popup, GWL_EXSTYLE) & WS_EX_LAYERED);

    if (pAnimateWindow && gSettings.UseAnimations) {
        // A popup made for a fade starts transparent; the slide shows it at
        // its final opacity instead.
        if (layered)
            pSetLayeredWindowAttributes(popup, 0, target, LWA_ALPHA);
        SetWindowPos(popup, HWND_TOPMOST, rect->left, rect->top, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
        pAnimateWindow(popup, SLIDE_TIME, SlideFlags(gSettings.Position, gSettings.Spreading, true));
        UpdateWindow(popup);
    } else if (pSetLayeredWindowAttributes && gSettings.Fade) {
        pSetLayeredWindowAttributes(popup, 0, 0, LWA_ALPHA);
        MoveWindow(popup, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, TRUE);
        ShowWindow(popup, SW_SHOWNOACTIVATE);
        SetWindowPos(popup, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
        PlayPopupFade(popup, true, target, (DWORD)gSettings.FadeInTime);
        pSetLayeredWindowAttributes(popup, 0, target, LWA_ALPHA);
        SetWindowPos(popup, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
        UpdateWindow(popup);
    } else {
        // Made for a fade that was turned off meanwhile: it would stay unseen.
        if (layered)
            pSetLayeredWindowAttributes(popup, 0, target, LWA_ALPHA);
        SetWindowPos(popup, HWND_TOPMOST, rect->left, rect->top, 0, 0,
                     SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    }
    RedrawWindow(popup, NULL, NULL, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void HidePopup(HWND popup)
{
    if (pAnimateWindow && gSettings.UseAnimations) {
        pAnimateWindow(popup, SLIDE_TIME, SlideFlags(gSettings.Position, gSettings.Spreading, false));
    } else if (pSetLayeredWindowAttributes && gSettings.Fade) {
        BYTE target = TargetOpacity(gSettings.UseTransparency != 0, gSettings.Alpha);
        PlayPopupFade(popup, false, target, (DWORD)gSettings.FadeOutTime);
    }
    SetWindowPos(popup, HWND_TOPMOST, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_HIDEWINDOW);
}
