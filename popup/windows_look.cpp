// The Win32 side of the look that follows Windows: what the registry and the
// system say, and the popup's colours, frame and corners from it. The
// colours themselves are chosen in popup/colours.cpp.
#include "popup/windows_look.h"
#include "popup/cover_art.h"
#include "popup/layout.h"
#include "base/optional_functions.h"
#include "cover/cover.h"
#include "settings/settings.h"

#include <string.h>

#define PERSONALIZE_KEY L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize"
#define DWM_KEY L"Software\\Microsoft\\Windows\\DWM"
#define ANY_TYPE 0x0000FFFF   // RRF_RT_ANY: the type is judged by the colours' rule

// Windows 11 is this build of Windows 10 and later ones; DWM's attributes
// for a window's corners and the colour of the border it draws around them.
#define WINDOWS_11_BUILD 22000
#define CORNER_PREFERENCE 33
#define ROUND_CORNERS 2
#define BORDER_COLOUR 34

// A DWORD value of the current user's: REG_NONE when it is missing, of
// another size, or cannot be read.
static RegistryNumber ReadNumber(const WCHAR *key, const WCHAR *name)
{
    RegistryNumber number = { REG_NONE, 0 };
    DWORD type = REG_NONE, size = sizeof(number.value);
    if (pRegGetValueW && pRegGetValueW(HKEY_CURRENT_USER, key, name, ANY_TYPE, &type, &number.value, &size) ==
                             ERROR_SUCCESS && size == sizeof(number.value))
        number.type = type;
    return number;
}

WindowsLookColours ReadWindowsLookColours(void)
{
    SystemLookValues values;
    values.systemUsesLightTheme = ReadNumber(PERSONALIZE_KEY, L"SystemUsesLightTheme");
    values.appsUseLightTheme = ReadNumber(PERSONALIZE_KEY, L"AppsUseLightTheme");
    values.accentColour = ReadNumber(DWM_KEY, L"AccentColor");
    HIGHCONTRASTW contrast;
    ZeroMemory(&contrast, sizeof(contrast));
    contrast.cbSize = sizeof(contrast);
    values.highContrast = SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(contrast), &contrast, 0) &&
                          (contrast.dwFlags & HCF_HIGHCONTRASTON);
    values.window = GetSysColor(COLOR_WINDOW);
    values.windowText = GetSysColor(COLOR_WINDOWTEXT);
    values.highlight = GetSysColor(COLOR_HIGHLIGHT);
    values.highlightText = GetSysColor(COLOR_HIGHLIGHTTEXT);
    return ChooseWindowsLookColours(&values);
}

void TakeWindowsLook(PopupWindowRecord *record, PopupRequest *request)
{
    record->Look.Windows = gSettings.WindowsLook != 0;
    if (!record->Look.Windows)
        return;
    record->Look.Colours = ReadWindowsLookColours();
    request->BackColour = record->Look.Colours.back;
    request->TextColour = record->Look.Colours.title;
}

static bool IsWindows11(void)
{
    OSVERSIONINFOW version;
    ZeroMemory(&version, sizeof(version));
    version.dwOSVersionInfoSize = sizeof(version);
    return pRtlGetVersion && pRtlGetVersion(&version) == 0 && version.dwBuildNumber >= WINDOWS_11_BUILD;
}

// The border Windows 11 draws along the round corners, in the popup's own.
static void SetCornersBorder(HWND popup, COLORREF border)
{
    pDwmSetWindowAttribute(popup, BORDER_COLOUR, &border, sizeof(border));
}

void ShapeWindowsLookPopup(const PopupWindowRecord *record)
{
    // Windows 10's own flyouts are square.
    if (!record->Look.Windows || !pDwmSetWindowAttribute || !IsWindows11())
        return;
    DWORD round = ROUND_CORNERS;
    pDwmSetWindowAttribute(record->Popup, CORNER_PREFERENCE, &round, sizeof(round));
    SetCornersBorder(record->Popup, record->Look.Colours.border);
}

void DropWindowsLook(PopupWindowRecord *record)
{
    if (record->Look.CoverSource)
        FreeCoverImage(record->Look.CoverSource);
    record->Look.CoverSource = NULL;
}

void OnSystemColoursChanged(HWND popup)
{
    PopupWindowRecord *record = GetPopupRecord(popup);
    if (!record || !record->Look.Windows || !record->Request)
        return;
    WindowsLookColours now = ReadWindowsLookColours();
    if (memcmp(&now, &record->Look.Colours, sizeof(now)) == 0)
        return;
    record->Look.Colours = now;
    record->Request->BackColour = now.back;
    record->Request->TextColour = now.title;
    // Made again in the new colour at the next paint.
    if (record->BackBrush)
        DeleteObject(record->BackBrush);
    record->BackBrush = NULL;
    // A cover's transparent parts show the background: laid over the new one.
    if (record->Cover && record->Look.CoverSource) {
        HBITMAP cover = CoverOverColour(record->Look.CoverSource, now.back);
        if (cover) {
            DeleteObject(record->Cover);
            record->Cover = cover;
        }
    }
    if (pDwmSetWindowAttribute && IsWindows11())
        SetCornersBorder(popup, now.border);
    RedrawWindow(popup, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

COLORREF ChildTextColour(const PopupWindowRecord *record, HWND child)
{
    bool secondary = child && (child == record->InfoStatic || child == record->TimeStatic);
    return record->Look.Windows && secondary ? record->Look.Colours.info : record->Request->TextColour;
}

bool PaintWindowsLookBorder(const PopupWindowRecord *record, HWND popup, HDC dc)
{
    if (!record || !record->Look.Windows)
        return false;
    RECT ring;
    GetClientRect(popup, &ring);
    HBRUSH brush = CreateSolidBrush(record->Look.Colours.border);
    for (int i = WindowsLookBorder(record->Scale.dpi); i > 0; i--) {
        FrameRect(dc, &ring, brush);
        InflateRect(&ring, -1, -1);
    }
    DeleteObject(brush);
    return true;
}

ControlAccent ControlAccentOf(const PopupWindowRecord *record)
{
    ControlAccent accent = { record->Request->TextColour, record->Request->BackColour };
    if (record->Look.Windows) {
        accent.face = record->Look.Colours.accent;
        accent.ink = record->Look.Colours.onAccent;
    }
    return accent;
}
