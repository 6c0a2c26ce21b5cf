#include "host/dialog_driver.h"
#include "host/iat_hook.h"
#include "res/resource.h"

#include <commctrl.h>
#include <stdlib.h>
#include <string.h>

const char kDialogCaption[] = "Tunebell Plugin v0.5 ";

HWND WaitForPlayerDialog(const char *caption, DWORD timeoutMs)
{
    auto wanted = [&](const char *shown) {
        return caption ? strcmp(shown, caption) == 0
                       : strcmp(shown, kDialogCaption) != 0 && strcmp(shown, "PopUp Plugin") != 0;
    };
    HWND found = NULL;
    WaitUntil([&] { return (found = PlayerFindDialog(wanted)) != NULL; }, timeoutMs);
    return found;
}

HWND PlayerFocus()
{
    GUITHREADINFO info;
    ZeroMemory(&info, sizeof info);
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(PlayerThreadId(), &info) ? info.hwndFocus : NULL;
}

// The dialog is the foreground (so the active) window and the focus is
// inside it.
static bool DialogHasTheInput(HWND dialog)
{
    return GetForegroundWindow() == dialog && IsChild(dialog, PlayerFocus());
}

static POINT gLastClick;
static DWORD gLastClickTime;

void ClickControl(HWND control, bool twice)
{
    RECT r = WindowRectOf(control);
    int x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
    if (abs(x - gLastClick.x) <= GetSystemMetrics(SM_CXDOUBLECLK) &&
        abs(y - gLastClick.y) <= GetSystemMetrics(SM_CYDOUBLECLK))
        WaitUntil([] { return GetTickCount() - gLastClickTime > GetDoubleClickTime(); });
    PlayerClickAt(x, y, false);
    if (twice)
        PlayerClickAt(x, y, false);
    gLastClick.x = x;
    gLastClick.y = y;
    gLastClickTime = GetTickCount();
}

void TypeKeys(const char *digits)
{
    for (const char *k = digits; *k; k++)
        PlayerPressKey((WORD)*k);
}

void SelectComboItem(HWND dialog, int id, int index)
{
    HWND combo = GetDlgItem(dialog, id);
    SendMessageA(combo, CB_SETCURSEL, (WPARAM)index, 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), (LPARAM)combo);
}

void SetHotKeyControl(HWND dialog, WORD value)
{
    HWND control = GetDlgItem(dialog, IDC_HOTKEY);
    SendMessageA(control, HKM_SETHOTKEY, value, 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_HOTKEY, EN_CHANGE), (LPARAM)control);
}

void Press(HWND dialog, int id)
{
    SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

bool HotKeyTaken(UINT modifiers, UINT vk)
{
    const int probe = 0x7ABC;
    if (!RegisterHotKey(NULL, probe, modifiers, vk))
        return true;
    UnregisterHotKey(NULL, probe);
    return false;
}

struct DriveJob {
    const std::function<void(HWND)> *script;
    POINT pointer;   // where the caller had it
    bool shown;
};

// At the top of the work area, in the middle: clear of the corners where
// popups go, whichever corner the pointer would have put it in. (Wine opens
// a dialog that centres on the mouse with its upper left corner there,
// where Windows centres it, and an overlap is what a user sees under Wine
// without a window manager: each focus change raises the dialog over the
// top-most popups on the screen.)
static void MoveClearOfTheCorners(HWND dialog)
{
    RECT area = { 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN) };
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    RECT r = WindowRectOf(dialog);
    int x = area.left + (area.right - area.left - (r.right - r.left)) / 2;
    SetWindowPos(dialog, NULL, x, area.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

static DWORD WINAPI DriveThread(LPVOID param)
{
    DriveJob *job = (DriveJob *)param;
    HWND dialog = WaitForPlayerDialog(kDialogCaption);
    job->shown = dialog != NULL;
    if (!dialog)
        return 0;
    MoveClearOfTheCorners(dialog);
    PlayerMovePointer(job->pointer.x, job->pointer.y);
    // Visible is not yet ready for input: under load Wine activates the new
    // dialog a while later, and the activation puts the focus back on the
    // dialog's first control, undoing what a first click focused meanwhile.
    WaitUntil([&] { return DialogHasTheInput(dialog); }, 5000);
    (*job->script)(dialog);
    // Boxes and the chooser first: the dialog cannot end under them.
    WaitUntil([&] {
        HWND box = WaitForPlayerDialog(NULL, 0);
        if (!box)
            box = WaitForPlayerDialog("PopUp Plugin", 0);
        PostMessageA(box ? box : dialog, WM_COMMAND, IDCANCEL, 0);
        Sleep(50);
        return !IsWindow(dialog);
    }, 8000);
    return 0;
}

bool DriveSettingsDialog(const std::function<void(HWND dialog)> &script)
{
    DriveJob job = { &script, { 0, 0 }, false };
    GetCursorPos(&job.pointer);
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2);
    HANDLE worker = CreateThread(NULL, 0, DriveThread, &job, 0, NULL);
    if (!worker)
        return false;
    PlayerConfigPlugin();
    // Every wait of the worker has a deadline; it must end before job goes.
    while (!WaitUntil([&] { return WaitForSingleObject(worker, 0) == WAIT_OBJECT_0; }, 1000)) {
    }
    CloseHandle(worker);
    return job.shown;
}

PreloadedPlugin::PreloadedPlugin() : module(LoadLibraryA(PlayerDefaultPluginPath())) {}

PreloadedPlugin::~PreloadedPlugin()
{
    if (module)
        FreeLibrary(module);
}

bool PreloadedPlugin::Redirect(const char *dll, const char *function, void *replacement)
{
    return module && IatReplaceImport(module, dll, function, replacement) > 0;
}
