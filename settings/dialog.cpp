// The settings dialog's procedure. Every control writes its field of the
// global settings the moment it changes, so popups shown meanwhile (the
// preview, and track popups too) already use the values being edited.
#include "settings/dialog.h"
#include "settings/dialog_rules.h"
#include "settings/colour_picker.h"
#include "settings/settings.h"
#include "plugin/plugin.h"
#include "popup/engine.h"
#include "popup/request.h"
#include "popup/window.h"
#include "res/resource.h"

#include <commctrl.h>

#define ALPHA_LOWEST  1
#define ALPHA_HIGHEST 255

void InitSettingsDialogControls(void)
{
    INITCOMMONCONTROLSEX controls;
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_BAR_CLASSES | ICC_HOTKEY_CLASS;
    InitCommonControlsEx(&controls);
}

void ShowRangeError(int minimum, int maximum)
{
    char text[RANGE_ERROR_SIZE];
    FormatRangeError(minimum, maximum, text);
    ShowInfoMessage(text);
}

// Check boxes and the flag each one holds.
struct CheckField {
    int id;
    const char *key;
};

static const CheckField CheckFields[] = {
    { IDC_DISPLAY_TIME,   "DisplayTime" },
    { IDC_TAG_UPDATE,     "PopupOnTagUpdate" },
    { IDC_ENLARGE,        "EnlargePopup" },
    { IDC_DYNAMIC_RESIZE, "DynamicResize" },
    { IDC_USE_MIN_WIDTH,  "UseMinimumWidth" },
    { IDC_USE_MAX_WIDTH,  "UseMaximumWidth" },
    { IDC_ANIMATE,        "UseAnimations" },
    { IDC_FADE,           "Fade" },
    { IDC_TRANSPARENCY,   "UseTransparency" },
    { IDC_WIN_COLOURS,    "UseWinColors" },
    { IDC_HOTKEY_ONLY,    "PopUpOnlyOnHotKey" },
};

static const SettingKey *CheckFieldKey(int id)
{
    for (unsigned i = 0; i < sizeof(CheckFields) / sizeof(CheckFields[0]); i++) {
        if (CheckFields[i].id == id)
            return FindSettingKey(CheckFields[i].key);
    }
    return NULL;
}

static bool IsChecked(HWND dialog, int id)
{
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

static void CheckFromField(HWND dialog, int id)
{
    const SettingKey *key = CheckFieldKey(id);
    bool on = key && ReadSettingField(&gSettings, key) != 0;
    CheckDlgButton(dialog, id, on ? BST_CHECKED : BST_UNCHECKED);
}

static void EditFromField(HWND dialog, int id)
{
    const SettingKey *key = NumericEditKey(id);
    if (key)
        SetDlgItemInt(dialog, id, ReadSettingField(&gSettings, key), FALSE);
}

static UINT ReadEdit(HWND dialog, int id)
{
    char text[EDIT_NUMBER_TEXT];
    if (GetWindowTextLengthA(GetDlgItem(dialog, id)) >= EDIT_NUMBER_TEXT)
        return 0;   // far past 32 bits, as a number too large reads
    GetDlgItemTextA(dialog, id, text, sizeof(text));
    return ReadEditNumber(text);
}

static void ApplyRule(HWND dialog, EnableRule rule)
{
    EnableFacts facts;
    facts.layering = pSetLayeredWindowAttributes != NULL;
    facts.animation = pAnimateWindow != NULL;
    facts.enlargeBox = IsChecked(dialog, IDC_ENLARGE);
    facts.dynamicBox = IsChecked(dialog, IDC_DYNAMIC_RESIZE);
    facts.minimumBox = IsChecked(dialog, IDC_USE_MIN_WIDTH);
    facts.maximumBox = IsChecked(dialog, IDC_USE_MAX_WIDTH);
    facts.fadeBox = IsChecked(dialog, IDC_FADE);
    facts.useAnimations = gSettings.UseAnimations != 0;
    facts.fade = gSettings.Fade != 0;
    facts.useWinColors = gSettings.UseWinColors != 0;
    facts.position = gSettings.Position;
    BOOL enable = RuleEnables(rule, &facts);
    for (const int *id = RuleControls(rule); *id; id++)
        EnableWindow(GetDlgItem(dialog, *id), enable);
}

static void ShowOpacity(HWND dialog)
{
    char text[OPACITY_TEXT_SIZE];
    FormatOpacityText(gSettings.Alpha, text);
    SetDlgItemTextA(dialog, IDC_OPACITY_LABEL, text);
}

static void FillCombo(HWND dialog, const DialogCombo *combo, int selected)
{
    HWND box = GetDlgItem(dialog, combo->id);
    SendMessageA(box, CB_RESETCONTENT, 0, 0);
    for (int i = 0; i < combo->count; i++) {
        LRESULT index = SendMessageA(box, CB_ADDSTRING, 0, (LPARAM)combo->items[i]);
        SendMessageA(box, CB_SETITEMDATA, (WPARAM)index, i);
    }
    SendMessageA(box, CB_SETCURSEL, (WPARAM)selected, 0);
}

static int SelectedItemData(HWND dialog, int id)
{
    LRESULT index = SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0);
    return (int)SendDlgItemMessageA(dialog, id, CB_GETITEMDATA, (WPARAM)index, 0);
}

static void InitDialog(HWND dialog)
{
    CheckFromField(dialog, IDC_DISPLAY_TIME);
    CheckFromField(dialog, IDC_TAG_UPDATE);
    CheckFromField(dialog, IDC_ENLARGE);
    ApplyRule(dialog, R1);
    EditFromField(dialog, IDC_ENLARGEMENT);

    CheckFromField(dialog, IDC_DYNAMIC_RESIZE);
    CheckFromField(dialog, IDC_USE_MIN_WIDTH);
    EditFromField(dialog, IDC_MIN_WIDTH);
    CheckFromField(dialog, IDC_USE_MAX_WIDTH);
    EditFromField(dialog, IDC_MAX_WIDTH);
    ApplyRule(dialog, R2);
    ApplyRule(dialog, R3);
    ApplyRule(dialog, R4);

    CheckFromField(dialog, IDC_ANIMATE);
    ApplyRule(dialog, R5);
    CheckFromField(dialog, IDC_FADE);
    EditFromField(dialog, IDC_FADE_IN_TIME);
    EditFromField(dialog, IDC_FADE_OUT_TIME);
    ApplyRule(dialog, R6);
    ApplyRule(dialog, R7);

    CheckFromField(dialog, IDC_TRANSPARENCY);
    SendDlgItemMessageA(dialog, IDC_ALPHA, TBM_SETRANGE, FALSE, MAKELPARAM(ALPHA_LOWEST, ALPHA_HIGHEST));
    // An Alpha of 0 shows at the left end, and stays 0 until the bar moves.
    SendDlgItemMessageA(dialog, IDC_ALPHA, TBM_SETPOS, TRUE, gSettings.Alpha);
    ShowOpacity(dialog);
    ApplyRule(dialog, R8);

    EditFromField(dialog, IDC_SECONDS);

    SendDlgItemMessageA(dialog, IDC_BACK_COLOUR, CPM_SETCOLOUR, 0, (LPARAM)gSettings.DefaultColour);
    SendDlgItemMessageA(dialog, IDC_TEXT_COLOUR, CPM_SETCOLOUR, 0, (LPARAM)gSettings.DefaultTextColour);
    CheckFromField(dialog, IDC_WIN_COLOURS);
    ApplyRule(dialog, R9);

    CheckFromField(dialog, IDC_HOTKEY_ONLY);
    SendDlgItemMessageA(dialog, IDC_HOTKEY, HKM_SETHOTKEY, gSettings.HotKey, 0);

    const int selected[DIALOG_COMBO_COUNT] = { gSettings.Position, gSettings.Style, gSettings.Spreading };
    for (int i = 0; i < DIALOG_COMBO_COUNT; i++) {
        if (DialogCombos[i].extendedUi)
            SendDlgItemMessageA(dialog, DialogCombos[i].id, CB_SETEXTENDEDUI, TRUE, 0);
    }
    for (int i = 0; i < DIALOG_COMBO_COUNT; i++)
        FillCombo(dialog, &DialogCombos[i], selected[i]);
    // R10 is not applied here: the spreading combo starts enabled and
    // follows the position from the first change of a combo on.
    SetWindowTextA(dialog, DIALOG_CAPTION);
}

// One popup of the dialog's own; shows nothing when submission refuses it.
static void SubmitDialogPopup(const char *text, bool preview)
{
    PopupRequest request;
    ZeroMemory(&request, sizeof(request));
    request.Icon = LoadIconA(gInstance, MAKEINTRESOURCEA(IDI_TUNEBELL));
    SetPopupTextA(request.Title, DIALOG_CAPTION);
    SetPopupTextA(request.Text, text);
    if (preview) {
        // The colours being edited, even when they are both 0 or equal.
        bool system = gSettings.UseWinColors != 0;
        request.BackColour = system ? GetSysColor(COLOR_BTNFACE) : gSettings.DefaultColour;
        request.TextColour = system ? GetSysColor(COLOR_WINDOWTEXT) : gSettings.DefaultTextColour;
        request.Callback = DefaultPopupCallback;
    }
    SubmitPopup(&request);
}

static void OnCheckBox(HWND dialog, int id)
{
    // The field follows the box rather than toggling with each command: a
    // double click on a notifying box sends a command without changing it.
    const SettingKey *key = CheckFieldKey(id);
    StoreSettingField(&gSettings, key, IsChecked(dialog, id) ? 1 : 0);
    switch (id) {
    case IDC_ENLARGE:        ApplyRule(dialog, R1); break;
    case IDC_DYNAMIC_RESIZE: ApplyRule(dialog, R2); ApplyRule(dialog, R3); ApplyRule(dialog, R4); break;
    case IDC_USE_MIN_WIDTH:  ApplyRule(dialog, R3); break;
    case IDC_USE_MAX_WIDTH:  ApplyRule(dialog, R4); break;
    case IDC_ANIMATE:        ApplyRule(dialog, R6); break;
    case IDC_FADE:           ApplyRule(dialog, R5); ApplyRule(dialog, R7); break;
    case IDC_WIN_COLOURS:    ApplyRule(dialog, R9); break;
    }
}

static void OnCommand(HWND dialog, int id, int code, HWND control)
{
    const SettingKey *editKey = NumericEditKey(id);
    if (editKey && code == EN_KILLFOCUS) {
        // The field already holds the clamped value; the edit is shown it.
        if (!IsEditValueInRange(ReadEdit(dialog, id), editKey->low, editKey->high)) {
            ShowRangeError((int)editKey->low, (int)editKey->high);
            SendMessageA(dialog, UM_RESTORE_INT, id, (LPARAM)ReadSettingField(&gSettings, editKey));
        }
        return;
    }
    // Only the user's typing counts, not the text the dialog puts in itself.
    if (editKey && (code != EN_CHANGE || GetFocus() != control))
        return;
    if (code == BN_SETFOCUS || code == BN_KILLFOCUS)
        return;
    if (code == CBN_SELCHANGE && (id == IDC_POSITION || id == IDC_STYLE || id == IDC_SPREADING)) {
        gSettings.Style = SelectedItemData(dialog, IDC_STYLE);
        gSettings.Position = SelectedItemData(dialog, IDC_POSITION);
        gSettings.Spreading = SelectedItemData(dialog, IDC_SPREADING);
        ApplyRule(dialog, R10);
        return;
    }
    if (editKey) {
        StoreSettingField(&gSettings, editKey,
                          ClampEditValue(ReadEdit(dialog, id), editKey->low, editKey->high));
        return;
    }
    if (CheckFieldKey(id)) {
        OnCheckBox(dialog, id);
        return;
    }
    switch (id) {
    case IDOK:
        SaveSettings();
        EndDialog(dialog, 0);
        break;
    case IDCANCEL:
        LoadSettings();
        EndDialog(dialog, 0);
        break;
    case IDC_BACK_COLOUR:
    case IDC_TEXT_COLOUR:
        if (code == CPN_COLOURPICKED) {
            gSettings.DefaultColour = (COLORREF)SendDlgItemMessageA(dialog, IDC_BACK_COLOUR, CPM_GETCOLOUR, 0, 0);
            gSettings.DefaultTextColour = (COLORREF)SendDlgItemMessageA(dialog, IDC_TEXT_COLOUR, CPM_GETCOLOUR, 0, 0);
        }
        break;
    case IDC_PREVIEW:
        SubmitDialogPopup(PREVIEW_TEXT, true);
        break;
    case IDC_ABOUT:
        SubmitDialogPopup(CreditsText, false);
        break;
    case IDC_HOTKEY:
        gSettings.HotKey = (WORD)(SendDlgItemMessageA(dialog, IDC_HOTKEY, HKM_GETHOTKEY, 0, 0) & 0xFFFF);
        break;
    }
}

static void MeasureItem(HWND dialog, MEASUREITEMSTRUCT *measure)
{
    // The dialog's plain device context, not the dialog font: the items are
    // as high as the system font's lines.
    TEXTMETRICA metrics;
    HDC dc = GetDC(dialog);
    GetTextMetricsA(dc, &metrics);
    ReleaseDC(dialog, dc);
    measure->itemHeight = (UINT)metrics.tmHeight;
}

static BOOL DrawItem(DRAWITEMSTRUCT *draw)
{
    if ((int)draw->itemID == -1)
        return FALSE;
    TEXTMETRICA metrics;
    GetTextMetricsA(draw->hDC, &metrics);
    int y = (draw->rcItem.top + draw->rcItem.bottom - metrics.tmHeight) / 2;
    bool selected = (draw->itemState & ODS_SELECTED) != 0;
    COLORREF oldText = SetTextColor(draw->hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    COLORREF oldBack = SetBkColor(draw->hDC, GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    char text[256] = "";
    if (SendMessageA(draw->hwndItem, CB_GETLBTEXTLEN, draw->itemID, 0) < (LRESULT)sizeof(text))
        SendMessageA(draw->hwndItem, CB_GETLBTEXT, draw->itemID, (LPARAM)text);
    ExtTextOutA(draw->hDC, draw->rcItem.left, y, ETO_OPAQUE, &draw->rcItem, text, lstrlenA(text), NULL);
    SetTextColor(draw->hDC, oldText);
    SetBkColor(draw->hDC, oldBack);
    return TRUE;
}

INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        InitDialog(dialog);
        return TRUE;
    case WM_COMMAND:
        OnCommand(dialog, LOWORD(wParam), HIWORD(wParam), (HWND)lParam);
        return TRUE;
    case WM_HSCROLL:
        gSettings.Alpha = (BYTE)(SendDlgItemMessageA(dialog, IDC_ALPHA, TBM_GETPOS, 0, 0) & 0xFF);
        ShowOpacity(dialog);
        return TRUE;
    case WM_MEASUREITEM:
        MeasureItem(dialog, (MEASUREITEMSTRUCT *)lParam);
        return TRUE;
    case WM_DRAWITEM:
        return DrawItem((DRAWITEMSTRUCT *)lParam);
    case UM_RESTORE_INT:
        SetDlgItemInt(dialog, (int)wParam, (UINT)lParam, FALSE);
        return TRUE;
    }
    return FALSE;
}
