// The settings dialog's procedure. Every control writes its field of the
// global settings the moment it changes, so popups shown meanwhile (the
// preview, and track popups too) already use the values being edited.
#include "plugin/dialog.h"
#include "plugin/colour_picker.h"
#include "plugin/dialog_rules.h"
#include "plugin/hotkey.h"
#include "plugin/media_controls.h"
#include "plugin/track_cover.h"
#include "base/optional_functions.h"
#include "base/player.h"
#include "popup/popup.h"
#include "res/resource.h"
#include "settings/settings.h"

#include <commctrl.h>

#define ALPHA_LOWEST  1
#define ALPHA_HIGHEST 255

// The one settings dialog open (the player's thread alone runs it).
struct OpenDialog {
    HWND window;   // NULL while none is open
    bool saved;    // its OK saved what it shows
};
static OpenDialog gDialog;

void InitSettingsDialogControls(void)
{
    INITCOMMONCONTROLSEX controls;
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_BAR_CLASSES | ICC_HOTKEY_CLASS;
    InitCommonControlsEx(&controls);
}

bool BringSettingsDialogForward(void)
{
    if (!gDialog.window)
        return false;
    if (IsIconic(gDialog.window))
        ShowWindow(gDialog.window, SW_RESTORE);
    SetForegroundWindow(gDialog.window);
    return true;
}

void ShowRangeError(int minimum, int maximum)
{
    char text[RANGE_ERROR_SIZE];
    FormatRangeError(minimum, maximum, text);
    ShowInfoMessage(text);
}

// Tells the user that OK could not save, and what to do.
static void ShowSaveError(void)
{
    char text[SAVE_ERROR_SIZE];
    FormatSaveError(IniPath, text);
    ShowInfoMessage(text);
}

static bool IsChecked(HWND dialog, int id)
{
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

static UINT ReadNumberEdit(HWND dialog, int id)
{
    char text[EDIT_NUMBER_TEXT];
    if (GetWindowTextLengthA(GetDlgItem(dialog, id)) >= EDIT_NUMBER_TEXT)
        return 0;   // far past 32 bits, as a number too large reads
    GetDlgItemTextA(dialog, id, text, sizeof(text));
    return ReadEditNumber(text);
}

static int SelectedItemData(HWND dialog, int id)
{
    LRESULT index = SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0);
    return (int)SendDlgItemMessageA(dialog, id, CB_GETITEMDATA, (WPARAM)index, 0);
}

static void ShowOpacity(HWND dialog)
{
    char text[OPACITY_TEXT_SIZE];
    FormatOpacityText(gSettings.Alpha, text);
    SetDlgItemTextA(dialog, IDC_OPACITY_LABEL, text);
}

static void FillCombo(HWND combo, const ComboList *list, DWORD selected)
{
    if (list->extendedUi)
        SendMessageA(combo, CB_SETEXTENDEDUI, TRUE, 0);
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    for (int i = 0; list->items[i]; i++) {
        LRESULT index = SendMessageA(combo, CB_ADDSTRING, 0, (LPARAM)list->items[i]);
        SendMessageA(combo, CB_SETITEMDATA, (WPARAM)index, i);
    }
    SendMessageA(combo, CB_SETCURSEL, (WPARAM)selected, 0);
}

// Shows the setting's value in its control.
static void FillControl(HWND dialog, const SettingRow *row)
{
    if (row->control == CONTROL_NONE)
        return;
    DWORD value = ReadSettingField(&gSettings, row);
    HWND control = GetDlgItem(dialog, row->controlId);
    switch (row->control) {
    case CONTROL_CHECK_BOX:
        CheckDlgButton(dialog, row->controlId, value != 0 ? BST_CHECKED : BST_UNCHECKED);
        break;
    case CONTROL_NUMBER_EDIT:
        SetDlgItemInt(dialog, row->controlId, value, FALSE);
        break;
    case CONTROL_COMBO:
        FillCombo(control, row->combo, value);
        break;
    case CONTROL_SWATCH:
        SendMessageA(control, CPM_SETCOLOUR, 0, (LPARAM)value);
        break;
    case CONTROL_SLIDER:
        // The one slider is Alpha's. An Alpha of 0 shows at the left end,
        // and stays 0 until the bar moves.
        SendMessageA(control, TBM_SETRANGE, FALSE, MAKELPARAM(ALPHA_LOWEST, ALPHA_HIGHEST));
        SendMessageA(control, TBM_SETPOS, TRUE, (LPARAM)value);
        ShowOpacity(dialog);
        break;
    case CONTROL_HOT_KEY:
        SendMessageA(control, HKM_SETHOTKEY, (WPARAM)value, 0);
        break;
    default:
        break;
    }
}

// Stores what the control shows into the setting; the field keeps the low
// bits that fit it (the slider's low 8, the hot key's low 16).
static void StoreFromControl(HWND dialog, const SettingRow *row)
{
    int id = row->controlId;
    DWORD value;
    switch (row->control) {
    case CONTROL_CHECK_BOX:
        value = IsChecked(dialog, id) ? 1 : 0;
        break;
    case CONTROL_NUMBER_EDIT:
        value = ClampEditValue(ReadNumberEdit(dialog, id), row->low, row->high);
        break;
    case CONTROL_COMBO:
        value = (DWORD)SelectedItemData(dialog, id);
        break;
    case CONTROL_SWATCH:
        value = (DWORD)SendDlgItemMessageA(dialog, id, CPM_GETCOLOUR, 0, 0);
        break;
    case CONTROL_SLIDER:
        value = (DWORD)SendDlgItemMessageA(dialog, id, TBM_GETPOS, 0, 0);
        break;
    case CONTROL_HOT_KEY:
        value = (DWORD)SendDlgItemMessageA(dialog, id, HKM_GETHOTKEY, 0, 0);
        break;
    default:
        return;
    }
    StoreSettingField(&gSettings, row, value);
}

static void StoreFromEveryControl(HWND dialog, SettingControl kind)
{
    for (int i = 0; i < SettingCount; i++) {
        if (SettingsTable[i].control == kind)
            StoreFromControl(dialog, &SettingsTable[i]);
    }
}

static void ApplyEnableRules(HWND dialog, bool opening)
{
    SystemEffects system;
    system.layering = pSetLayeredWindowAttributes != NULL;
    system.animation = pAnimateWindow != NULL;
    system.mediaControls = MediaControlsPresent() == MEDIA_CONTROLS_PRESENT;
    for (int i = 0; i < EnableRuleCount; i++) {
        const EnableRule *rule = &EnableRules[i];
        if (opening && !rule->whenOpened)
            continue;
        bool enable = rule->enabled(&gSettings, &system);
        for (int c = 0; c < RULE_CONTROLS && rule->controls[c]; c++)
            EnableWindow(GetDlgItem(dialog, rule->controls[c]), enable);
    }
}

static void FillDialog(HWND dialog)
{
    for (int i = 0; i < SettingCount; i++)
        FillControl(dialog, &SettingsTable[i]);
    ApplyEnableRules(dialog, true);
    SetWindowTextA(dialog, DIALOG_CAPTION);
}

// A popup of the dialog's own, titled with the caption; shows nothing when
// submission refuses it.
static void ShowDialogPopup(PopupRequest *request, const char *text)
{
    request->Icon = LoadIconA(gInstance, MAKEINTRESOURCEA(IDI_TUNEBELL));
    SetPopupTextA(request->Title, DIALOG_CAPTION);
    SetPopupTextA(request->Text, text);
    SubmitPopup(request);
}

// In the colours being edited, even when they are both 0 or equal; in the
// look that follows Windows, in Windows' colours, whatever those are.
static void ShowPreview(void)
{
    PopupRequest request;
    ZeroMemory(&request, sizeof(request));
    bool system = gSettings.UseWinColors != 0;
    if (!gSettings.WindowsLook) {
        request.BackColour = system ? GetSysColor(COLOR_BTNFACE) : gSettings.DefaultColour;
        request.TextColour = system ? GetSysColor(COLOR_WINDOWTEXT) : gSettings.DefaultTextColour;
    }
    request.ChainedWindowProc = CloseOnClickProc;
    // With the current track's cover, as its popups show it.
    AskForTrackCover((int)AskPlayer(0, PLAYER_GET_POSITION), PopupCoverSize(), &request);
    ShowDialogPopup(&request, PREVIEW_TEXT);
}

// In the default colours, closed by a click.
static void ShowAbout(void)
{
    PopupRequest request;
    ZeroMemory(&request, sizeof(request));
    ShowDialogPopup(&request, CreditsText);
}

static bool IsFocusNotification(int code)
{
    return code == BN_SETFOCUS || code == BN_KILLFOCUS;
}

// Each control kind's commands; true when they changed a setting.

static bool OnNumberEdit(HWND dialog, const SettingRow *row, int code, HWND edit)
{
    if (code == EN_KILLFOCUS) {
        // The field already holds the clamped value; the edit is shown it.
        if (!IsEditValueInRange(ReadNumberEdit(dialog, row->controlId), row->low, row->high)) {
            ShowRangeError((int)row->low, (int)row->high);
            SendMessageA(dialog, UM_RESTORE_INT, row->controlId, (LPARAM)ReadSettingField(&gSettings, row));
        }
        return false;
    }
    // Only the user's typing counts, not the text the dialog puts in itself.
    if (code != EN_CHANGE || GetFocus() != edit)
        return false;
    StoreFromControl(dialog, row);
    return true;
}

// A check box or the hot-key control. A check box's field follows the box
// rather than toggling with each command: a double click on a notifying box
// sends a command without changing it.
static bool OnFollowedControl(HWND dialog, const SettingRow *row, int code)
{
    if (IsFocusNotification(code))
        return false;
    StoreFromControl(dialog, row);
    return true;
}

// A combo's new choice (CBN_SELCHANGE) or a swatch's new colour
// (CPN_COLOURPICKED): whichever one changed, every control of its kind is
// read again.
static bool OnChoice(HWND dialog, int code, int changeCode, SettingControl kind)
{
    if (code != changeCode)
        return false;
    StoreFromEveryControl(dialog, kind);
    return true;
}

static void OnButton(HWND dialog, int id, int code)
{
    if (IsFocusNotification(code))
        return;
    switch (id) {
    case IDOK:
        // Closing as if saved would lose the edits at the next start: say
        // so, and leave the dialog open for another try or Cancel.
        if (!SaveSettings()) {
            ShowSaveError();
            break;
        }
        // The hot key in use stays the saved one until the save succeeds:
        // the next start registers what the file holds.
        SetHotKey(gSettings.HotKey);
        gDialog.saved = true;
        EndDialog(dialog, 0);
        break;
    case IDCANCEL:
        EndDialog(dialog, 0);   // the edits are thrown away as the dialog goes
        break;
    case IDC_PREVIEW:
        ShowPreview();
        break;
    case IDC_ABOUT:
        ShowAbout();
        break;
    }
}

static void OnCommand(HWND dialog, int id, int code, HWND control)
{
    const SettingRow *row = FindSettingOfControl(id);
    if (!row) {
        OnButton(dialog, id, code);
        return;
    }
    bool changed = false;
    switch (row->control) {
    case CONTROL_NUMBER_EDIT: changed = OnNumberEdit(dialog, row, code, control); break;
    case CONTROL_CHECK_BOX:
    case CONTROL_HOT_KEY:     changed = OnFollowedControl(dialog, row, code); break;
    case CONTROL_COMBO:       changed = OnChoice(dialog, code, CBN_SELCHANGE, CONTROL_COMBO); break;
    case CONTROL_SWATCH:      changed = OnChoice(dialog, code, CPN_COLOURPICKED, CONTROL_SWATCH); break;
    default:                  break;   // the slider reports through WM_HSCROLL
    }
    if (changed)
        ApplyEnableRules(dialog, false);
}

static void OnSliderMoved(HWND dialog)
{
    StoreFromEveryControl(dialog, CONTROL_SLIDER);
    ShowOpacity(dialog);
    ApplyEnableRules(dialog, false);
}

static void MeasureComboItem(HWND dialog, MEASUREITEMSTRUCT *measure)
{
    // The dialog's plain device context, not the dialog font: the items are
    // as high as the system font's lines.
    TEXTMETRICA metrics;
    HDC dc = GetDC(dialog);
    GetTextMetricsA(dc, &metrics);
    ReleaseDC(dialog, dc);
    measure->itemHeight = (UINT)metrics.tmHeight;
}

static BOOL DrawComboItem(DRAWITEMSTRUCT *draw)
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

// The settings that act at once on what is already there, as they were
// before a change.
struct ActingSettings {
    BYTE controls;
    bool mediaControls;
};

static ActingSettings TakeActingSettings(void)
{
    ActingSettings now = { gSettings.Controls, gSettings.MediaControls != 0 };
    return now;
}

// Open popups take up a change of Controls at once, as later popups do: the
// buttons would otherwise stay on a popup until the pointer moved. Windows'
// media controls follow MediaControls as the box changes, and back again
// when the dialog goes without OK.
static void ActOnChangedSettings(const ActingSettings *before)
{
    if (gSettings.Controls != before->controls)
        ApplySettingsToPopups();
    bool mediaControls = gSettings.MediaControls != 0;
    if (mediaControls != before->mediaControls)
        ApplyMediaControlsSetting(mediaControls);
}

INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        gDialog.window = dialog;
        gDialog.saved = false;
        FillDialog(dialog);
        // A dialog opened before the plug-in's thread has asked Windows
        // shows the box greyed until the answer comes.
        TellWhenMediaControlsKnown(dialog, UM_MEDIA_CONTROLS_KNOWN);
        return TRUE;
    case WM_DESTROY:
        // Cancel, the close box, and the owner destroyed under the dialog
        // (the player going away) all go without OK: the edits go too.
        TellWhenMediaControlsKnown(NULL, 0);
        if (!gDialog.saved) {
            ActingSettings before = TakeActingSettings();
            LoadSettings();
            ActOnChangedSettings(&before);
        }
        gDialog.window = NULL;
        return FALSE;
    case WM_COMMAND: {
        ActingSettings before = TakeActingSettings();
        OnCommand(dialog, LOWORD(wParam), HIWORD(wParam), (HWND)lParam);
        ActOnChangedSettings(&before);
        return TRUE;
    }
    case WM_HSCROLL:
        OnSliderMoved(dialog);
        return TRUE;
    case WM_MEASUREITEM:
        MeasureComboItem(dialog, (MEASUREITEMSTRUCT *)lParam);
        return TRUE;
    case WM_DRAWITEM:
        return DrawComboItem((DRAWITEMSTRUCT *)lParam);
    case UM_RESTORE_INT:
        SetDlgItemInt(dialog, (int)wParam, (UINT)lParam, FALSE);
        return TRUE;
    case UM_MEDIA_CONTROLS_KNOWN:
        // Every rule that holds from the opening on, of which this answer
        // changes only the media controls' box.
        ApplyEnableRules(dialog, true);
        return TRUE;
    }
    return FALSE;
}
