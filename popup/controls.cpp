// The player's controls on a popup: the Win32 side of popup/controls_rules.
//
// The buttons are windows of a class of our own: a "BUTTON" takes the focus
// when clicked, and the user is working somewhere else. They never activate
// (WM_MOUSEACTIVATE) and never take the focus; a click sends the player's
// own button command, and the popup stays.
//
// Where the system sends the wheel to the focused window rather than to the
// one under the pointer, the popup would never see it: while the buttons
// show, the popup's thread holds a low-level mouse hook that takes the wheel
// over the popup and posts it to the popup. The hook is called on this
// thread, from its message loop, so it only posts and returns; and this
// thread never waits for the player (see SendToPlayer).
#include "popup/controls.h"
#include "popup/pointer.h"
#include "popup/record.h"
#include "popup/windows_look.h"
#include "base/messages.h"
#include "base/player.h"
#include "settings/settings.h"

// Each control keeps in its extra bytes what it shows: a button its glyph
// and whether it is pressed, the bar the volume.
#define EXTRA_GLYPH_OR_LEVEL 0
#define EXTRA_PRESSED ((int)sizeof(LONG_PTR))
#define CONTROL_EXTRA (2 * (int)sizeof(LONG_PTR))

// Control ids: the buttons 1 to 3 (a ControlButton plus one), then the bar.
#define LEVEL_BAR_ID (CONTROL_BUTTONS + 1)
#define LEVEL_SHOW_MS 1000

static LRESULT CALLBACK ControlWndProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam);

bool RegisterControlClass(void)
{
    WNDCLASSEXW wc;
    ZeroMemory(&wc, sizeof(wc));
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = ControlWndProc;
    wc.cbWndExtra = CONTROL_EXTRA;
    wc.hInstance = gInstance;
    wc.hCursor = LoadCursorA(NULL, IDC_ARROW);
    wc.lpszClassName = CONTROL_CLASS;
    return RegisterClassExW(&wc) != 0;
}

void UnregisterControlClass(void)
{
    UnregisterClassW(CONTROL_CLASS, gInstance);
}

static int ButtonOf(HWND control)
{
    return GetDlgCtrlID(control) - 1;
}

static bool IsButton(HWND control)
{
    int button = ButtonOf(control);
    return button >= 0 && button < CONTROL_BUTTONS;
}

// --- drawing -------------------------------------------------------------

static COLORREF Mix(COLORREF a, COLORREF b)
{
    return RGB((GetRValue(a) + GetRValue(b)) / 2, (GetGValue(a) + GetGValue(b)) / 2,
               (GetBValue(a) + GetBValue(b)) / 2);
}

static void FillWith(HDC dc, const RECT *r, COLORREF colour)
{
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, r, brush);
    DeleteObject(brush);
}

// The face on the background colour, framed; pressed, it turns over: its
// glyph in the accent's ink on the accent.
static void PaintButton(HWND button, HDC dc, COLORREF back, COLORREF text, ControlAccent accent, int dpi)
{
    RECT cell;
    GetClientRect(button, &cell);
    FillWith(dc, &cell, back);
    RECT face = ButtonFace(cell.bottom, dpi);
    bool pressed = GetWindowLongPtrW(button, EXTRA_PRESSED) != 0;
    if (pressed) {
        FillWith(dc, &face, accent.face);
    } else {
        HBRUSH edge = CreateSolidBrush(Mix(back, text));
        FrameRect(dc, &face, edge);
        DeleteObject(edge);
    }
    HBRUSH ink = CreateSolidBrush(pressed ? accent.ink : text);
    HGDIOBJ oldBrush = SelectObject(dc, ink);
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
    GlyphShape shape = ShapeOfGlyph((ControlGlyph)GetWindowLongPtrW(button, EXTRA_GLYPH_OR_LEVEL), face.right - face.left);
    OffsetViewportOrgEx(dc, face.left, face.top, NULL);
    for (int i = 0; i < shape.polygons; i++)
        Polygon(dc, shape.at[i], shape.points[i]);
    OffsetViewportOrgEx(dc, -face.left, -face.top, NULL);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(ink);
}

static void PaintLevelBar(HWND bar, HDC dc, COLORREF back, COLORREF text, COLORREF level)
{
    RECT r;
    GetClientRect(bar, &r);
    RECT filled = r;
    filled.right = LevelBarFill(r.right, (int)GetWindowLongPtrW(bar, EXTRA_GLYPH_OR_LEVEL));
    r.left = filled.right;
    FillWith(dc, &filled, level);
    FillWith(dc, &r, Mix(back, text));
}

// The popup's own colours, as its children show them; a pressed button and
// the volume in its accent (popup/windows_look.h).
static void PaintControl(HWND control, HDC dc)
{
    PopupWindowRecord *record = GetPopupRecord(GetParent(control));
    if (!record || !record->Request)
        return;
    COLORREF back = record->Request->BackColour, text = record->Request->TextColour;
    ControlAccent accent = ControlAccentOf(record);
    if (IsButton(control))
        PaintButton(control, dc, back, text, accent, record->Scale.dpi);
    else
        PaintLevelBar(control, dc, back, text, accent.face);
}

static void SetGlyphOrLevel(HWND control, LONG_PTR value)
{
    if (GetWindowLongPtrW(control, EXTRA_GLYPH_OR_LEVEL) == value)
        return;
    SetWindowLongPtrW(control, EXTRA_GLYPH_OR_LEVEL, value);
    InvalidateRect(control, NULL, FALSE);
}

static void SetPressed(HWND button, bool pressed)
{
    if ((GetWindowLongPtrW(button, EXTRA_PRESSED) != 0) == pressed)
        return;
    SetWindowLongPtrW(button, EXTRA_PRESSED, pressed);
    InvalidateRect(button, NULL, FALSE);
}

// --- the player ----------------------------------------------------------

// The player is asked and told without waiting for its answer: while the
// buttons show, this thread holds the wheel hook, which every mouse move on
// the desktop waits for, and the player's thread may be busy for seconds.
// Each answer comes back to this thread, in its message loop, with the
// popup it was for.
static bool SendToPlayer(HWND popup, UINT message, WPARAM wParam, LPARAM lParam, SENDASYNCPROC answered)
{
    return SendMessageCallbackA(gHostWindow, message, wParam, lParam, answered, (ULONG_PTR)popup) != FALSE;
}

// The popup an answer is for, while it is still open; it may have closed,
// and its thread gone back to the pool, by the time the player answers.
static PopupWindowRecord *AnsweredPopup(ULONG_PTR data)
{
    HWND popup = (HWND)data;
    if (!IsWindow(popup) || GetWindowThreadProcessId(popup, NULL) != GetCurrentThreadId())
        return NULL;
    PopupWindowRecord *record = GetPopupRecord(popup);
    return record && record->Request && !record->Closing ? record : NULL;
}

// The play/pause button says what a click will do, and shows it.
static void ShowPlayState(PopupWindowRecord *record)
{
    HWND button = record->Controls.Buttons[CONTROL_PLAY_PAUSE];
    if (!button)
        return;
    int playState = record->Controls.PlayState;
    const WCHAR *text = PlayPauseText(playState);
    WCHAR now[8];
    if (!GetWindowTextW(button, now, 8) || lstrcmpW(now, text) != 0)
        SetWindowTextW(button, text);
    SetGlyphOrLevel(button, playState == PLAY_PLAYING ? GLYPH_PAUSE : GLYPH_PLAY);
}

static VOID CALLBACK OnPlayStateAnswered(HWND, UINT, ULONG_PTR popup, LRESULT playState)
{
    PopupWindowRecord *record = AnsweredPopup(popup);
    if (!record)
        return;
    record->Controls.PlayState = (int)playState;
    ShowPlayState(record);
}

static void AskPlayState(HWND popup)
{
    SendToPlayer(popup, WM_USER, 0, PLAYER_GET_PLAY_STATE, OnPlayStateAnswered);
}

static VOID CALLBACK OnButtonTaken(HWND, UINT, ULONG_PTR, LRESULT)
{
    // A button's command answers nothing worth knowing.
}

// As the player's own buttons tell its main window. A new track plays then,
// or the play state turned over: the play/pause button asks again.
static void PressPlayerButton(HWND popup, const PopupWindowRecord *record, int command)
{
    if (SendToPlayer(popup, WM_COMMAND, MAKEWPARAM(command, 0), 0, OnButtonTaken) &&
        record->Controls.Buttons[CONTROL_PLAY_PAUSE])
        AskPlayState(popup);
}

// Play or pause, as the player's state asks.
static VOID CALLBACK OnPlayStateToPress(HWND, UINT, ULONG_PTR popup, LRESULT playState)
{
    const PopupWindowRecord *record = AnsweredPopup(popup);
    if (record && gSettings.Controls)
        PressPlayerButton((HWND)popup, record, ControlCommand(CONTROL_PLAY_PAUSE, (int)playState));
}

static void PressControl(HWND popup, int button)
{
    const PopupWindowRecord *record = GetPopupRecord(popup);
    if (!record || !record->Request || !gSettings.Controls)
        return;
    if (button == CONTROL_PLAY_PAUSE)
        SendToPlayer(popup, WM_USER, 0, PLAYER_GET_PLAY_STATE, OnPlayStateToPress);
    else
        PressPlayerButton(popup, record, ControlCommand((ControlButton)button, PLAY_STOPPED));
}

// --- placing -------------------------------------------------------------

// The background's rectangle in the popup's client area, as laid out.
static RECT ContentRect(HWND popup, const PopupWindowRecord *record)
{
    RECT content;
    if (record->BackStatic && GetWindowRect(record->BackStatic, &content))
        MapWindowPoints(NULL, popup, (POINT *)&content, 2);
    else
        GetClientRect(popup, &content);
    return content;
}

static HWND MakeControl(HWND popup, int id, const WCHAR *text)
{
    return CreateWindowExW(0, CONTROL_CLASS, text, WS_CHILD | WS_CLIPSIBLINGS, 0, 0, 0, 0, popup,
                           (HMENU)(INT_PTR)id, gInstance, NULL);
}

// Over the popup's other children, which it never lays out again meanwhile.
static void ShowOnTop(HWND control, const RECT *place)
{
    SetWindowPos(control, HWND_TOP, place->left, place->top, place->right - place->left,
                 place->bottom - place->top, SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

// --- the wheel hook ------------------------------------------------------

// The popup of this thread under the point, when its buttons show.
static PopupWindowRecord *OwnPopupAt(POINT at)
{
    HWND under = WindowFromPoint(at);
    HWND popup = under ? GetAncestor(under, GA_ROOT) : NULL;
    if (!popup || GetWindowThreadProcessId(popup, NULL) != GetCurrentThreadId())
        return NULL;
    WCHAR name[16];
    if (!GetClassNameW(popup, name, 16) || lstrcmpW(name, POPUP_CLASS) != 0)
        return NULL;
    PopupWindowRecord *record = GetPopupRecord(popup);
    return record && record->Controls.WheelHook ? record : NULL;
}

// A fast wheel must not fill the popup's queue: the turns add up in the
// record, and one post at a time hands them on.
static LRESULT CALLBACK WheelHookProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && wParam == WM_MOUSEWHEEL && gSettings.Controls) {
        const MSLLHOOKSTRUCT *event = (const MSLLHOOKSTRUCT *)lParam;
        PopupWindowRecord *record = OwnPopupAt(event->pt);
        PopupControls *controls = record ? &record->Controls : NULL;
        if (controls && !controls->WheelPosted)
            controls->WheelPosted = PostMessageA(record->Popup, UM_POPUP_WHEEL, 0, 0) != FALSE;
        // Taken: the window with the focus must not scroll as well.
        if (controls && controls->WheelPosted) {
            controls->WheelWaiting += (short)HIWORD(event->mouseData);
            return 1;
        }
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}

static void ReleaseWheel(PopupControls *controls)
{
    if (controls->WheelHook)
        UnhookWindowsHookEx(controls->WheelHook);
    controls->WheelHook = NULL;
}

// --- showing and hiding --------------------------------------------------

static void ShowButtons(HWND popup, PopupWindowRecord *record)
{
    PopupControls *controls = &record->Controls;
    RECT places[CONTROL_BUTTONS];
    PlaceControls(ContentRect(popup, record), record->Scale.dpi, places);
    static const WCHAR *const texts[CONTROL_BUTTONS] = { L"Previous", NULL, L"Next" };
    static const ControlGlyph glyphs[CONTROL_BUTTONS] = { GLYPH_PREVIOUS, GLYPH_PLAY, GLYPH_NEXT };
    // Nothing has asked the play state before the buttons are first made:
    // until the player answers, they take it to play, as it does when a
    // track's popup comes.
    if (!controls->Buttons[CONTROL_PLAY_PAUSE])
        controls->PlayState = PLAY_PLAYING;
    for (int i = 0; i < CONTROL_BUTTONS; i++) {
        if (!controls->Buttons[i]) {
            controls->Buttons[i] = MakeControl(popup, i + 1, texts[i] ? texts[i] : PlayPauseText(controls->PlayState));
            if (!controls->Buttons[i])
                return;
            SetWindowLongPtrW(controls->Buttons[i], EXTRA_GLYPH_OR_LEVEL, glyphs[i]);
        }
    }
    ShowPlayState(record);
    AskPlayState(popup);
    for (int i = 0; i < CONTROL_BUTTONS; i++)
        ShowOnTop(controls->Buttons[i], &places[i]);
    controls->Shown = true;
    if (!controls->WheelHook)
        controls->WheelHook = SetWindowsHookExW(WH_MOUSE_LL, WheelHookProc, gInstance, 0);
}

static void HideButtons(HWND popup, PopupControls *controls)
{
    KillTimer(popup, CONTROLS_REST_TIMER_ID);
    controls->Resting = false;
    ReleaseWheel(controls);
    if (!controls->Shown)
        return;
    controls->Shown = false;
    controls->PointerWasOn = NULL;
    for (int i = 0; i < CONTROL_BUTTONS; i++) {
        HWND button = controls->Buttons[i];
        if (!button)
            continue;
        if (GetCapture() == button)
            ReleaseCapture();
        SetWindowPos(button, NULL, 0, 0, 0, 0,
                     SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
    }
}

static void ShowLevel(HWND popup, PopupWindowRecord *record, int volume)
{
    PopupControls *controls = &record->Controls;
    if (!controls->LevelBar)
        controls->LevelBar = MakeControl(popup, LEVEL_BAR_ID, NULL);
    if (!controls->LevelBar)
        return;
    WCHAR text[24];
    wsprintfW(text, L"Volume %d%%", (volume * 100 + 127) / 255);
    SetWindowTextW(controls->LevelBar, text);
    SetGlyphOrLevel(controls->LevelBar, volume);
    RECT bar = LevelBarRect(ContentRect(popup, record), record->Scale.dpi);
    ShowOnTop(controls->LevelBar, &bar);
    SetTimer(popup, LEVEL_BAR_TIMER_ID, LEVEL_SHOW_MS, NULL);
}

// --- what the popup hands on ---------------------------------------------

static void HoverArea(int *width, int *height)
{
    UINT w = 4, h = 4;
    SystemParametersInfoW(SPI_GETMOUSEHOVERWIDTH, 0, &w, 0);
    SystemParametersInfoW(SPI_GETMOUSEHOVERHEIGHT, 0, &h, 0);
    *width = (int)w;
    *height = (int)h;
}

void ControlsPointerOver(HWND popup, PopupWindowRecord *record, POINT pointer)
{
    PopupControls *controls = &record->Controls;
    if (!gSettings.Controls) {
        HideButtons(popup, controls);
        return;
    }
    if (controls->Shown) {
        // The player may have paused or played meanwhile, by its own
        // buttons or keys: the button says so before it is clicked.
        HWND on = WindowFromPoint(pointer);
        if (on == controls->Buttons[CONTROL_PLAY_PAUSE] && on != controls->PointerWasOn)
            AskPlayState(popup);
        controls->PointerWasOn = on;
        return;
    }
    int width, height;
    HoverArea(&width, &height);
    if (controls->Resting && !LeftRestArea(controls->RestAt, pointer, width, height))
        return;
    // Rest counts from here, as the system counts a hover.
    UINT ms = 400;
    SystemParametersInfoW(SPI_GETMOUSEHOVERTIME, 0, &ms, 0);
    controls->RestAt = pointer;
    controls->Resting = true;
    SetTimer(popup, CONTROLS_REST_TIMER_ID, ms, NULL);
}

void ControlsPointerLeft(HWND popup, PopupWindowRecord *record)
{
    HideButtons(popup, &record->Controls);
}

static void OnRested(HWND popup, PopupWindowRecord *record)
{
    PopupControls *controls = &record->Controls;
    KillTimer(popup, CONTROLS_REST_TIMER_ID);
    controls->Resting = false;
    POINT pointer;
    if (!gSettings.Controls || !record->Hover.followed || !PartUnderPointer(popup, &pointer))
        return;
    int width, height;
    HoverArea(&width, &height);
    if (LeftRestArea(controls->RestAt, pointer, width, height))
        ControlsPointerOver(popup, record, pointer);   // moved on unseen: rest again
    else
        ShowButtons(popup, record);
}

bool OnControlsTimer(HWND popup, PopupWindowRecord *record, WPARAM id)
{
    if (id != CONTROLS_REST_TIMER_ID && id != LEVEL_BAR_TIMER_ID)
        return false;
    if (!record)
        KillTimer(popup, id);
    else if (id == CONTROLS_REST_TIMER_ID)
        OnRested(popup, record);
    else {
        KillTimer(popup, id);
        if (record->Controls.LevelBar)
            ShowWindow(record->Controls.LevelBar, SW_HIDE);
    }
    return true;
}

// --- the volume ----------------------------------------------------------

static void AskVolume(HWND popup, PopupControls *controls);

static VOID CALLBACK OnVolumeTold(HWND, UINT, ULONG_PTR popup, LRESULT)
{
    PopupWindowRecord *record = AnsweredPopup(popup);
    if (!record)
        return;
    if (!gSettings.Controls)
        VolumeChangeDropped(&record->Controls.Volume);
    else if (VolumeTold(&record->Controls.Volume))
        AskVolume((HWND)popup, &record->Controls);
}

static VOID CALLBACK OnVolumeAnswered(HWND, UINT, ULONG_PTR popup, LRESULT volume)
{
    PopupWindowRecord *record = AnsweredPopup(popup);
    if (!record)
        return;
    VolumeChange *change = &record->Controls.Volume;
    if (!gSettings.Controls) {
        VolumeChangeDropped(change);
        return;
    }
    int next;
    if (VolumeToTell(change, (int)volume, &next) &&
        !SendToPlayer((HWND)popup, WM_USER, (WPARAM)next, PLAYER_SET_VOLUME, OnVolumeTold)) {
        VolumeChangeDropped(change);
        return;
    }
    ShowLevel((HWND)popup, record, next);
}

static void AskVolume(HWND popup, PopupControls *controls)
{
    if (!SendToPlayer(popup, WM_USER, PLAYER_READ_VOLUME, PLAYER_SET_VOLUME, OnVolumeAnswered))
        VolumeChangeDropped(&controls->Volume);
}

static void TurnVolume(HWND popup, PopupWindowRecord *record, int delta)
{
    if (VolumeWheelTurned(&record->Controls.Volume, delta))
        AskVolume(popup, &record->Controls);
}

void OnPopupWheel(HWND popup, PopupWindowRecord *record)
{
    if (!record)
        return;
    int turned = record->Controls.WheelWaiting;
    record->Controls.WheelWaiting = 0;
    record->Controls.WheelPosted = false;
    if (record->Request && gSettings.Controls && turned)
        TurnVolume(popup, record, turned);
}

void RepaintControls(const PopupWindowRecord *record)
{
    for (int i = 0; i < CONTROL_BUTTONS; i++)
        if (record->Controls.Shown && record->Controls.Buttons[i])
            InvalidateRect(record->Controls.Buttons[i], NULL, FALSE);
    if (record->Controls.LevelBar && IsWindowVisible(record->Controls.LevelBar))
        InvalidateRect(record->Controls.LevelBar, NULL, FALSE);
}

void DropControls(HWND popup, PopupWindowRecord *record)
{
    if (!record)
        return;
    HideButtons(popup, &record->Controls);
    KillTimer(popup, LEVEL_BAR_TIMER_ID);
}

void ApplyControlsSetting(HWND popup, PopupWindowRecord *record)
{
    if (!record || gSettings.Controls)
        return;
    DropControls(popup, record);
    if (record->Controls.LevelBar)
        ShowWindow(record->Controls.LevelBar, SW_HIDE);
}

bool RouteControlInput(const MSG *msg, HWND popup)
{
    bool wheel = msg->message == WM_MOUSEWHEEL;
    bool middle = msg->message == WM_MBUTTONDOWN || msg->message == WM_MBUTTONDBLCLK;
    if (!(wheel || middle) || !gSettings.Controls)
        return false;
    if (!IsPartOfPopup(msg->hwnd, popup))
        return false;
    PopupWindowRecord *record = GetPopupRecord(popup);
    if (!record || !record->Request)
        return false;
    if (wheel)
        TurnVolume(popup, record, GET_WHEEL_DELTA_WPARAM(msg->wParam));
    else
        PressControl(popup, CONTROL_PLAY_PAUSE);
    return true;
}

// --- the controls' own window --------------------------------------------

static bool PointInside(HWND control, LPARAM lParam)
{
    RECT r;
    GetClientRect(control, &r);
    POINT at = { (short)LOWORD(lParam), (short)HIWORD(lParam) };
    return PtInRect(&r, at) != FALSE;
}

// A button is pressed while the left button is down on it, and clicks when
// it comes up there, as the system's buttons do.
static LRESULT CALLBACK ControlWndProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_NCHITTEST:
        // The bar lets clicks through to the popup under it.
        if (!IsButton(control))
            return HTTRANSPARENT;
        break;
    case WM_LBUTTONDOWN:
        SetCapture(control);
        SetPressed(control, true);
        return 0;
    case WM_MOUSEMOVE:
        if (GetCapture() == control)
            SetPressed(control, PointInside(control, lParam));
        break;
    case WM_LBUTTONUP:
        if (GetCapture() == control) {
            bool inside = PointInside(control, lParam);
            ReleaseCapture();
            if (inside)
                PressControl(GetParent(control), ButtonOf(control));
        }
        return 0;
    case WM_CAPTURECHANGED:
        SetPressed(control, false);
        return 0;
    case WM_ERASEBKGND:
        return 1;   // the paint covers it all
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(control, &ps);
        PaintControl(control, dc);
        EndPaint(control, &ps);
        return 0;
    }
    case WM_PRINTCLIENT:
        PaintControl(control, (HDC)wParam);
        return 0;
    }
    return DefWindowProcW(control, message, wParam, lParam);
}
