// The plug-in's entry: the export the player looks for, the descriptor it
// gets, and the start and stop of everything else.
#include "plugin/colour_picker.h"
#include "plugin/description.h"
#include "plugin/descriptor.h"
#include "plugin/dialog.h"
#include "plugin/hotkey.h"
#include "plugin/media_controls.h"
#include "plugin/track_watch.h"
#include "base/optional_functions.h"
#include "base/player.h"
#include "cover/cover.h"
#include "popup/popup.h"
#include "res/resource.h"
#include "settings/settings.h"

static int PluginInit(void);
static void PluginConfig(void);
static void PluginQuit(void);
static INT_PTR CALLBACK PrefsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

static char gDescription[DESCRIPTION_SIZE];
// The plug-in's life, from the player's init to its quit.
struct PluginLife {
    // Between init and quit. A player may call either twice: a second init
    // would start everything again over what runs (and subclass the
    // player's window over our own hook), a second quit would stop what is
    // stopped.
    bool started;
    // The popups run: their engine started, and the plug-in is not quitting.
    bool popupsRun;
};
static PluginLife gPlugin;

static PluginDescriptor gDescriptor = {
    PLUGIN_DESCRIPTOR_VERSION,
    (char *)"",
    PluginInit,
    PluginConfig,
    PluginQuit,
    NULL,
    NULL,
};

static PrefsPageRecord gPrefsPage = {
    NULL,
    IDD_PREFS_PAGE,
    PrefsPageProc,
    "Popup Zividu",
    { 0, 0, 0 },
};

extern "C" PluginDescriptor *winampGetGeneralPurposePlugin(void)
{
    return &gDescriptor;
}

static int PluginInit(void)
{
    if (gPlugin.started)
        return 0;
    gPlugin.started = true;
    gHostWindow = gDescriptor.hostWindow;
    gInstance = gDescriptor.instance;

    char modulePath[512];
    DWORD length = GetModuleFileNameA(gInstance, modulePath, sizeof(modulePath));
    if (length >= sizeof(modulePath))
        length = sizeof(modulePath) - 1;   // cut paths are not terminated on XP
    modulePath[length] = 0;
    gDescriptor.description = gDescription;
    FormatDescription(gDescription, modulePath);

    gPrefsPage.instance = gDescriptor.instance;
    gPrefsPage.templateId = IDD_PREFS_PAGE;
    AskPlayer((WPARAM)&gPrefsPage, PLAYER_ADD_PREFS_PAGE);

    // Floor by floor: what popups and the dialog read (the functions some
    // Windows lack, the settings, the swatch's class) before the popups,
    // whose first warm thread reads them; the covers; last what asks for
    // popups, the hot key told where to ask. Windows' media controls are
    // told of the player's events by the track watch, so they come first.
    LookUpOptionalFunctions();
    ResolveIniPath();
    LoadSettings();
    RegisterColourPickerClass();
    gPlugin.popupsRun = PopupEngineInit();
    StartCovers();
    StartMediaControls();
    StartTrackWatch(RetryMissingHotKey);
    StartHotKeyThread(gSettings.HotKey, TrackInfoThreadId());
    return 0;
}

static void PluginConfig(void)
{
    // Without popups the plug-in does nothing, and offers nothing to set.
    if (!gPlugin.popupsRun || BringSettingsDialogForward())
        return;
    HWND owner = (HWND)AskPlayer(0, PLAYER_GET_DIALOG_OWNER);
    InitSettingsDialogControls();
    DialogBoxParamA(gInstance, MAKEINTRESOURCEA(IDD_SETTINGS), owner, SettingsDialogProc, 0);
}

static void PluginQuit(void)
{
    if (!gPlugin.started)
        return;
    gPlugin.started = false;
    gPlugin.popupsRun = false;
    StopHotKeyThread();
    StopTrackWatch();
    // Out of Windows' controls, every handler inert, before we are unloaded.
    StopMediaControls();
    PopupEngineShutdown();
    // Its procedure is in this module: left behind, it would outlive our code.
    UnregisterColourPickerClass();
    ForgetOptionalFunctions();
    // Last: popups wait for their covers until they are shown.
    StopCovers();
    // The player keeps the page's record, which lives in this module: a
    // player that unloads us while it runs must not hold on to it.
    AskPlayer((WPARAM)&gPrefsPage, PLAYER_REMOVE_PREFS_PAGE);
}

static INT_PTR CALLBACK PrefsPageProc(HWND page, UINT message, WPARAM, LPARAM)
{
    if (message == WM_INITDIALOG) {
        // Fill the space the player gives its pages: the window before ours.
        HWND previous = GetWindow(page, GW_HWNDPREV);
        RECT r;
        if (previous && GetClientRect(previous, &r)) {
            MoveWindow(page, 0, 0, r.right, r.bottom, TRUE);
            MoveWindow(GetDlgItem(page, IDC_PREFS_PAGE_TEXT), 0, 0, r.right, r.bottom, TRUE);
        }
    }
    return FALSE;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved)
{
    if (reason == DLL_PROCESS_ATTACH)
        DisableThreadLibraryCalls(module);
    // Unloaded by FreeLibrary (not the process ending): every popup thread
    // has let go of the module, so none can use the engine any more.
    else if (reason == DLL_PROCESS_DETACH && !reserved)
        ReleasePopupEngine();
    return TRUE;
}
