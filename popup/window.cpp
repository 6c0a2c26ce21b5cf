// The popup window, and one popup's life on its thread.
#include "popup/window.h"
#include "popup/announce.h"
#include "popup/colours.h"
#include "popup/controls.h"
#include "popup/cover_art.h"
#include "popup/effects.h"
#include "popup/engine_state.h"
#include "popup/fonts.h"
#include "popup/hover.h"
#include "popup/layout.h"
#include "popup/list.h"
#include "popup/windows_look.h"
#include "popup/work_area.h"
#include "base/messages.h"
#include "base/optional_functions.h"
#include "base/player.h"
#include "res/resource.h"
#include "settings/settings.h"

// The low word of a style belongs to the window's class. The popup class
// gives 0x48 no meaning, and 0x20 has no SS_ name; the popups have always
// carried both and keep them, so that a popup's style reads as it always has.
#define POPUP_CLASS_BITS  0x48
#define STATIC_SPARE_BIT  0x20

#define POPUP_EX_STYLE   (WS_EX_TOPMOST | WS_EX_TOOLWINDOW)
#define POPUP_STYLE      (WS_POPUP | POPUP_CLASS_BITS)
#define STATIC_STYLE     (WS_CHILD | WS_VISIBLE | SS_NOTIFY | STATIC_SPARE_BIT)
#define BACK_STYLE       STATIC_STYLE
#define TEXT_STYLE       (STATIC_STYLE | SS_NOPREFIX)
#define ICON_STYLE       (STATIC_STYLE | SS_CENTERIMAGE | SS_ICON)
#define TIME_STYLE       (TEXT_STYLE | SS_RIGHT)
#define COVER_STYLE      (STATIC_STYLE | SS_OWNERDRAW)

static_assert((DWORD)POPUP_STYLE == 0x80000048, "the popup's style changed");
static_assert((DWORD)BACK_STYLE == 0x50000120, "the background's style changed");
static_assert((DWORD)TEXT_STYLE == 0x500001A0, "the text lines' style changed");
static_assert((DWORD)ICON_STYLE == 0x50000323, "the icon's style changed");
static_assert((DWORD)TIME_STYLE == 0x500001A2, "the clock's style changed");

static void OnClose(HWND window);

// What the popup's following of the pointer came to, told to its controls.
static void TellControls(HWND window, PopupWindowRecord *record, PointerNews news)
{
    if (news.kind == POINTER_ON_POPUP)
        ControlsPointerOver(window, record, news.at);
    else if (news.kind == POINTER_LET_GO)
        ControlsPointerLeft(window, record);
}

static HWND CreateStaticChild(HWND popup, DWORD style, const WCHAR *text, HFONT font)
{
    HWND child = CreateWindowExW(0, L"static", text, style, CW_USEDEFAULT, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, popup, NULL, gInstance, NULL);
    if (child && font)
        SendMessageA(child, WM_SETFONT, (WPARAM)font, TRUE);
    return child;
}

void MakeReadyIcon(ReadyIcon *ready)
{
    if (ready->copy)
        return;
    RECT area = PopupWorkArea();
    PopupScale scale = ScaleForWorkArea(&area, NULL);
    ready->width = scale.smallIconWidth;
    ready->height = scale.smallIconHeight;
    ready->source = LoadIconA(gInstance, MAKEINTRESOURCEA(IDI_TUNEBELL));
    ready->copy = (HICON)CopyImage(ready->source, IMAGE_ICON, ready->width, ready->height, LR_COPYFROMRESOURCE);
}

void DropReadyIcon(ReadyIcon *ready)
{
    if (ready->copy)
        DestroyIcon(ready->copy);
    ready->copy = NULL;
}

// The popup's own copy of the request's icon, at the small-icon size of
// its resolution.
static HICON CopyPopupIcon(HICON icon, const PopupScale *scale, ReadyIcon *ready)
{
    if (ready && ready->copy && icon == ready->source && ready->width == scale->smallIconWidth &&
        ready->height == scale->smallIconHeight) {
        HICON copy = ready->copy;
        ready->copy = NULL;
        return copy;
    }
    return (HICON)CopyImage(icon, IMAGE_ICON, scale->smallIconWidth, scale->smallIconHeight, LR_COPYFROMRESOURCE);
}

PopupWindowRecord *CreatePopupWindow(PopupRequest *request, const RECT *workArea, ReadyIcon *ready)
{
    PopupWindowRecord *record = (PopupWindowRecord *)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY,
                                                               sizeof(PopupWindowRecord));
    if (!record)
        return NULL;
    if (!request->ChainedWindowProc)
        request->ChainedWindowProc = CloseOnClickProc;

    PopupColours colours = ChoosePopupColours(gSettings.UseWinColors != 0,
                                              GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_WINDOWTEXT),
                                              gSettings.DefaultColour, gSettings.DefaultTextColour,
                                              request->BackColour, request->TextColour);
    request->BackColour = colours.back;
    request->TextColour = colours.text;
    TakeWindowsLook(record, request);

    record->Popup = CreateWindowExW(POPUP_EX_STYLE, POPUP_CLASS, NULL, POPUP_STYLE,
                                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                    NULL, NULL, gInstance, NULL);
    if (!record->Popup) {
        HeapFree(GetProcessHeap(), 0, record);
        return NULL;
    }
    HWND popup = record->Popup;
    record->Scale = ScaleForWorkArea(workArea, popup);
    ShapeWindowsLookPopup(record);
    HFONT font, boldFont;
    PopupFontsForDpi(record->Scale.dpi, record->Look.Windows, &font, &boldFont);
    record->BackStatic = CreateWindowExW(0, L"static", NULL, BACK_STYLE, 0, 0, CW_USEDEFAULT, CW_USEDEFAULT,
                                         popup, NULL, gInstance, NULL);
    record->TitleStatic = CreateStaticChild(popup, TEXT_STYLE, request->Title, boldFont);
    // The cover, when it comes in time, takes the icon's place; the popup
    // waits for it here, once the costly windows are made.
    record->Cover = TakePopupCover(request, record->Look.Windows ? &record->Look.CoverSource : NULL);
    record->IconStatic = CreateStaticChild(popup, record->Cover ? COVER_STYLE : ICON_STYLE, NULL, NULL);
    if (!record->Cover) {
        HICON icon = CopyPopupIcon(request->Icon, &record->Scale, ready);
        if (record->IconStatic)
            SendMessageA(record->IconStatic, STM_SETICON, (WPARAM)icon, 0);
        else if (icon)
            DestroyIcon(icon);   // no control to hold it, and none to give it back at the end
    }

    if (gSettings.ShowText) {
        if (request->Text[0] == 0)
            lstrcpyW(request->Text, L"<empty>");
        record->InfoStatic = CreateStaticChild(popup, TEXT_STYLE, request->Text, font);
    }
    if (gSettings.DisplayTime) {
        WCHAR time[12];
        if (!GetTimeFormatW(LOCALE_USER_DEFAULT, 0, NULL, L"HH':'mm", time, 12))
            time[0] = 0;
        record->TimeStatic = CreateStaticChild(popup, TIME_STYLE, time, font);
    }

    record->Request = request;
    SetWindowLongPtrA(popup, GWLP_USERDATA, (LONG_PTR)record);
    return record;
}

// Lays the listed popup out, places it, shows it and runs its message loop
// until it is gone or the loop ends.
static void ShowAndRunPopup(PopupWindowRecord *record, const RECT *area)
{
    HWND popup = record->Popup;
    LayoutPopup(record, area);
    RECT rect;
    PlaceNewPopup(popup, area, &rect);
    // A fade answers messages that other threads send; a close sent meanwhile
    // waits until the popup is shown (see OnClose). The request is read
    // before: a stray WM_DESTROY sent meanwhile frees it.
    UINT period = CloseTimerPeriod(record->Request->Timeout, gSettings.Seconds);
    NotePointerBeforeShow(record);
    record->Showing = true;
    ShowPopup(popup, &rect);
    record->Showing = false;
    AnnouncePopup(record);

    if (period)
        SetTimer(popup, POPUP_TIMER_ID, period, NULL);
    // Did the pointer come onto the popup during the show?
    TellControls(popup, record, OnPointerOverPopup(popup, record));

    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        if (RouteControlInput(&msg, popup))
            continue;
        RouteLeaveNotice(&msg, popup);
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void RunPopup(PopupRequest *request, ReadyIcon *ready)
{
    // One work area for the popup's resolution, its width and its place.
    RECT area = PopupWorkArea();
    PopupWindowRecord *record = CreatePopupWindow(request, &area, ready);
    if (record)
        SendMessageA(record->Popup, UM_POPUP_CREATED, (WPARAM)record->Popup, 0);
    bool listed = record && AddPopup(record);
    ReleasePopupSlot();
    if (!listed) {
        if (record) {
            DestroyWindow(record->Popup);   // frees the request
            HeapFree(GetProcessHeap(), 0, record);
        } else {
            HeapFree(GetProcessHeap(), 0, request);
        }
        return;
    }
    HWND popup = record->Popup;
    // A popup that joins after the shutdown asked the listed ones to go
    // finds the engine stopping and goes by itself.
    if (!IsPopupEngineStopping())
        ShowAndRunPopup(record, &area);
    // The loop also ends when another program posts WM_QUIT to this thread.
    // The window is then still here and listed: it goes as if it were closed,
    // or its place in the list would be taken for good.
    if (IsWindow(popup)) {
        if (IsPopupEngineStopping())
            RemovePopupAtShutdown(popup);
        else
            OnClose(popup);
        if (IsWindow(popup))
            DestroyWindow(popup);
    }
}

void PaintPopupBorder(HWND popup, HDC dc)
{
    PopupWindowRecord *record = GetPopupRecord(popup);
    if (PaintWindowsLookBorder(record, popup, dc))
        return;
    RECT r;
    GetClientRect(popup, &r);
    COLORREF base = gSettings.UseWinColors || !record ? GetSysColor(COLOR_BTNFACE)
                                                      : record->Request->BackColour;
    COLORREF light, dark;
    BorderColours(gSettings.Style, base, &light, &dark);
    // The lines are as wide as the frame. A pen of odd width lies centred
    // on its line, so the dark lines move in by one to cover the wider half
    // of the frame on the right and at the bottom.
    int width = FrameBorder(record ? record->Scale.dpi : BASE_DPI);
    int right = r.right - (width & 1), bottom = r.bottom - (width & 1);
    HPEN lightPen = CreatePen(PS_SOLID, width, light);
    HPEN darkPen = CreatePen(PS_SOLID, width, dark);

    HGDIOBJ oldPen = SelectObject(dc, lightPen);
    MoveToEx(dc, r.left, r.top, NULL);
    LineTo(dc, r.left, bottom);
    MoveToEx(dc, r.left + 1, r.top, NULL);
    LineTo(dc, right, r.top);
    SelectObject(dc, darkPen);
    MoveToEx(dc, r.left, bottom, NULL);
    LineTo(dc, right, bottom);
    MoveToEx(dc, right, r.top, NULL);
    LineTo(dc, right, bottom);
    SelectObject(dc, oldPen);

    DeleteObject(lightPen);
    DeleteObject(darkPen);
}

static void OnCreate(HWND window)
{
    if (!pSetLayeredWindowAttributes || !(gSettings.UseTransparency || gSettings.Fade))
        return;
    SetWindowLongA(window, GWL_EXSTYLE, GetWindowLongA(window, GWL_EXSTYLE) | WS_EX_LAYERED);
    pSetLayeredWindowAttributes(window, 0, gSettings.Fade ? 0 : gSettings.Alpha, LWA_ALPHA);
}

static void OnDestroy(HWND window, PopupWindowRecord *record)
{
    if (record) {
        DropControls(window, record);
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        if (record->BackBrush)
            DeleteObject(record->BackBrush);
        if (record->Cover)
            DeleteObject(record->Cover);
        DropWindowsLook(record);
        HICON icon = (HICON)SendMessageA(record->IconStatic, STM_GETICON, 0, 0);
        if (icon)
            DestroyIcon(icon);
        HeapFree(GetProcessHeap(), 0, record->Request);
        record->Request = NULL;
    }
    PostQuitMessage(0);
}

static LRESULT OnColour(PopupWindowRecord *record, HDC dc, HWND child)
{
    SetBkColor(dc, record->Request->BackColour);
    SetTextColor(dc, ChildTextColour(record, child));
    if (!record->BackBrush)
        record->BackBrush = CreateSolidBrush(record->Request->BackColour);
    return (LRESULT)record->BackBrush;
}

// A close sent from another thread while the show effect waits: the show
// goes on with this window afterwards, so the close is posted back to come
// after it. True when it was.
static bool PostedBackWhileShowing(HWND window, UINT message)
{
    PopupWindowRecord *record = GetPopupRecord(window);
    if (!record || !record->Showing)
        return false;
    PostMessageA(window, message, 0, 0);
    return true;
}

static void OnClose(HWND window)
{
    if (PostedBackWhileShowing(window, UM_POPUP_CLOSE))
        return;
    PopupWindowRecord *record = GetPopupRecord(window);
    if (record)
        record->Closing = true;
    KillTimer(window, POPUP_TIMER_ID);
    DropControls(window, record);
    if (IsWindowVisible(window))   // one hidden from outside has no effect to play
        HidePopup(window);
    RemovePopup(window);
}

// Another program hid the popup: it goes as if clicked, so that the others
// close the gap. Our own hides come as it closes, or at shutdown.
static void OnPopupMoved(HWND window, PopupWindowRecord *record, const WINDOWPOS *change)
{
    OnPopupMovedUnderPointer(record, change);
    if (record && !record->Closing && (change->flags & SWP_HIDEWINDOW) && !IsPopupEngineStopping())
        PostMessageA(window, UM_POPUP_CLOSE, 0, 0);
}

LRESULT CALLBACK PopupWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    PopupWindowRecord *record = GetPopupRecord(window);
    switch (message) {
    case WM_CREATE:
        OnCreate(window);
        return DefWindowProcW(window, message, wParam, lParam);
    case WM_DESTROY:
        OnDestroy(window, record);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        PaintPopupBorder(window, dc);
        EndPaint(window, &ps);
        return 0;
    }
    case WM_ERASEBKGND:
    case WM_CTLCOLORSTATIC:
        if (!record)
            break;
        // A static paints over the controls that lie over it.
        if (message == WM_CTLCOLORSTATIC)
            RepaintControls(record);
        return OnColour(record, (HDC)wParam, message == WM_CTLCOLORSTATIC ? (HWND)lParam : NULL);
    case WM_DRAWITEM:
        if (!record || !record->Cover || ((const DRAWITEMSTRUCT *)lParam)->hwndItem != record->IconStatic)
            break;
        DrawPopupCover((const DRAWITEMSTRUCT *)lParam, record->Cover, record->Request->BackColour);
        return TRUE;
    case WM_TIMER:
        if (wParam == POINTER_CHECK_TIMER_ID)
            TellControls(window, record, OnPointerCheckTimer(window, record));
        else if (wParam == POPUP_TIMER_ID)
            OnClose(window);
        else if (!OnControlsTimer(window, record, wParam))
            break;
        return 0;
    case UM_POPUP_CLOSE:
        OnClose(window);
        return 0;
    case WM_CLOSE:
        // Another program closing the popup: the same as a click, so that
        // it leaves the list and the others close the gap.
        OnClose(window);
        return 0;
    case UM_POPUP_PLACE:
        MoveToStoredPlace(window, wParam);
        return 0;
    case UM_POPUP_WHEEL:
        OnPopupWheel(window, record);
        return 0;
    case UM_POPUP_SETTINGS:
        ApplyControlsSetting(window, record);
        return 0;
    case UM_POPUP_DESTROY:
        // WM_APP, the first number any program picks for its own messages:
        // only the shutdown's counts.
        if (!IsPopupEngineStopping())
            break;
        if (PostedBackWhileShowing(window, UM_POPUP_DESTROY))
            return 0;
        KillTimer(window, POPUP_TIMER_ID);
        RemovePopupAtShutdown(window);
        return 0;
    case WM_PRINT:
    case WM_PRINTCLIENT:
        PaintPopupBorder(window, (HDC)wParam);
        return DefWindowProcW(window, message, wParam, lParam);
    case WM_SETTINGCHANGE:
    case WM_SYSCOLORCHANGE:
    case WM_THEMECHANGED:
        // Windows' mode, accent or contrast may have changed: the text of a
        // setting change comes in either character set, and the colours are
        // few to read, so any change is looked at.
        OnSystemColoursChanged(window);
        break;
    case WM_MOUSEACTIVATE:
        // A click closes the popup or presses one of its controls; it must
        // not take the focus from the window the user is working in.
        return MA_NOACTIVATE;
    case WM_SETCURSOR:
        if (HIWORD(lParam) == WM_MOUSEMOVE)
            TellControls(window, record, OnPointerOverPopup(window, record));
        break;
    case WM_MOUSELEAVE:
        TellControls(window, record, OnPointerLeftPopup(window, record, wParam ? (HWND)wParam : window));
        return 0;
    case WM_WINDOWPOSCHANGED:
        OnPopupMoved(window, record, (const WINDOWPOS *)lParam);
        break;
    }
    if (record && record->Request && record->Request->ChainedWindowProc)
        return record->Request->ChainedWindowProc(window, message, wParam, lParam);
    return DefWindowProcW(window, message, wParam, lParam);
}

void ApplySettingsToPopups(void)
{
    // Not once the shutdown began: the list may be gone.
    if (IsPopupEngineRunning())
        PostToEveryPopup(UM_POPUP_SETTINGS);
}

LRESULT CALLBACK CloseOnClickProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CONTEXTMENU:
        SendMessageA(window, UM_POPUP_CLOSE, 0, 0);
        return 0;
    case WM_COMMAND:
        if (HIWORD(wParam) != 0)
            break;
        SendMessageA(window, UM_POPUP_CLOSE, 0, 0);
        return 1;
    case UM_POPUP_CREATED:
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
