// The "ColourPicker" control: a swatch in an etched frame. A click opens the
// system colour chooser; a confirmed pick is stored, reported to the parent
// and painted.
#include "plugin/colour_picker.h"
#include "base/player.h"

#include <commdlg.h>
#include <string.h>

// The window's extra bytes: the colour shown and the chooser's custom colour.
#define PICKER_COLOUR 0
#define PICKER_CUSTOM 4
#define PICKER_EXTRA  8

bool RegisterColourPickerClass(void)
{
    WNDCLASSA wc;
    memset(&wc, 0, sizeof(wc));
    // Local to this module: the dialog, made from our own template, finds it
    // before any class of that name elsewhere, and a second copy of the
    // plug-in registers and unregisters a class of its own.
    wc.style = CS_VREDRAW | CS_HREDRAW;
    wc.lpfnWndProc = ColourPickerProc;
    wc.cbWndExtra = PICKER_EXTRA;
    wc.hInstance = gInstance;
    wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    wc.lpszClassName = COLOUR_PICKER_CLASS;
    // A failure shows later: the dialog that names the class does not open.
    return RegisterClassA(&wc) != 0;
}

void UnregisterColourPickerClass(void)
{
    UnregisterClassA(COLOUR_PICKER_CLASS, gInstance);
}

static COLORREF PickerValue(HWND window, int index)
{
    return (COLORREF)GetWindowLongA(window, index);
}

static void SetPickerValue(HWND window, int index, COLORREF value)
{
    SetWindowLongA(window, index, (LONG)value);
}

static void PaintSwatch(HWND window)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT r;
    GetClientRect(window, &r);
    DrawEdge(dc, &r, EDGE_ETCHED, BF_RECT);
    InflateRect(&r, -2, -2);
    // Disabled, the swatch shows a grey hatch instead of a colour that could
    // not be changed anyway.
    HBRUSH brush = IsWindowEnabled(window)
        ? CreateSolidBrush(PickerValue(window, PICKER_COLOUR))
        : CreateHatchBrush(HS_BDIAGONAL, GetSysColor(COLOR_GRAYTEXT));
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));   // between the hatch lines
    FillRect(dc, &r, brush);
    DeleteObject(brush);
    EndPaint(window, &ps);
}

static void PickColour(HWND window)
{
    // Only the first custom box is seeded; what the user defines in the
    // chooser is not kept.
    COLORREF custom[16];
    memset(custom, 0, sizeof(custom));
    custom[0] = PickerValue(window, PICKER_CUSTOM);

    CHOOSECOLORA choose;
    memset(&choose, 0, sizeof(choose));
    choose.lStructSize = sizeof(choose);
    choose.hwndOwner = window;
    choose.hInstance = (HWND)GetModuleHandleA(NULL);
    choose.rgbResult = PickerValue(window, PICKER_COLOUR);
    choose.lpCustColors = custom;
    choose.Flags = CC_RGBINIT | CC_FULLOPEN | CC_ANYCOLOR;
    if (!ChooseColorA(&choose))
        return;   // cancelled: nothing changes, nobody is told

    SetPickerValue(window, PICKER_COLOUR, choose.rgbResult);
    SendMessageA(GetParent(window), WM_COMMAND,
                 MAKEWPARAM(GetDlgCtrlID(window) & 0xFFFF, CPN_COLOURPICKED), (LPARAM)window);
    InvalidateRect(window, NULL, FALSE);
}

LRESULT CALLBACK ColourPickerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case CPM_GETCOLOUR:
        return (LRESULT)PickerValue(window, PICKER_COLOUR);
    case CPM_GETCUSTOM:
        return (LRESULT)PickerValue(window, PICKER_CUSTOM);
    case CPM_SETCOLOUR:
        SetPickerValue(window, PICKER_COLOUR, (COLORREF)lParam);
        InvalidateRect(window, NULL, FALSE);
        break;
    case CPM_SETCUSTOM:
        // Seen only the next time the chooser opens: nothing to repaint.
        SetPickerValue(window, PICKER_CUSTOM, (COLORREF)lParam);
        break;
    case WM_CREATE:
        SetPickerValue(window, PICKER_COLOUR, 0);
        SetPickerValue(window, PICKER_CUSTOM, 0);
        break;
    case WM_ENABLE:
        InvalidateRect(window, NULL, FALSE);   // colour or hatch
        break;
    case WM_PAINT:
    case WM_NCPAINT:
        PaintSwatch(window);
        break;
    case WM_LBUTTONUP:
        PickColour(window);
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
