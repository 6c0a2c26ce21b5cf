// Loading, driving and freeing the plug-in DLL the way the player does.
#include "host/player.h"
#include "host/player_internal.h"
#include "host/iat_hook.h"

#include <stdio.h>
#include <string.h>

static const char kExportName[] = "winampGetGeneralPurposePlugin";

typedef PlayerPluginRecord *(__cdecl *GetPluginProc)(void);

static HMODULE gPluginModule;
static PlayerPluginRecord *gPlugin;
static bool gQuitCalled;
static bool gHookActive;
static int gInitResult;
static volatile LONG gConfigsReturned;
static bool (*gPatchBeforeInit)(void);

// Stands in for user32!SendMessageA inside the plug-in: logs the commands
// and button presses meant for the player, then sends as asked. Runs on the
// plug-in's threads.
static int LogPlayerCommand(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    bool player = window != NULL && window == PlayerWindow();
    if (player && message == WM_USER)
        return CommandLogAdd((int)lParam, wParam, GetCurrentThreadId());
    if (player && message == WM_COMMAND)
        return CommandLogAdd(LOWORD(wParam), HIWORD(wParam), GetCurrentThreadId());
    return -1;
}

static LRESULT WINAPI LoggedSendMessageA(HWND window, UINT message,
                                         WPARAM wParam, LPARAM lParam)
{
    int logged = LogPlayerCommand(window, message, wParam, lParam);
    DWORD start = GetTickCount();
    LRESULT result = SendMessageA(window, message, wParam, lParam);
    CommandLogTook(logged, GetTickCount() - start);
    return result;
}

// The same for a send whose answer comes back later, to a callback.
static BOOL WINAPI LoggedSendMessageCallbackA(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                              SENDASYNCPROC callback, ULONG_PTR data)
{
    int logged = LogPlayerCommand(window, message, wParam, lParam);
    DWORD start = GetTickCount();
    BOOL sent = SendMessageCallbackA(window, message, wParam, lParam, callback, data);
    CommandLogTook(logged, GetTickCount() - start);
    return sent;
}

bool PlayerLoadPlugin(const char *dllPath)
{
    if (gPluginModule) {
        fprintf(stderr, "player: a plug-in is loaded already\n");
        return false;
    }
    if (!PlayerWindow()) {
        fprintf(stderr, "player: start the player before loading %s\n", dllPath);
        return false;
    }
    HMODULE module = LoadLibraryA(dllPath);
    if (!module) {
        fprintf(stderr, "player: cannot load %s (error %lu)\n", dllPath, GetLastError());
        return false;
    }

    // Before any of the plug-in's code runs past DllMain, so the log sees
    // every command from init() on, and only this load's.
    PlayerClearCommands();
    int patched = IatReplaceImport(module, "user32.dll", "SendMessageA",
                                   (void *)LoggedSendMessageA);
    IatReplaceImport(module, "user32.dll", "SendMessageCallbackA", (void *)LoggedSendMessageCallbackA);
    gHookActive = patched > 0;
    if (patched < 0)
        fprintf(stderr, "player: cannot patch the import table of %s; "
                        "commands will not be logged\n", dllPath);
    else if (patched == 0)
        fprintf(stderr, "player: %s does not import user32!SendMessageA; "
                        "commands will not be logged\n", dllPath);

    // Through void*: FARPROC's stdcall type says nothing about the export.
    GetPluginProc getPlugin = (GetPluginProc)(void *)GetProcAddress(module, kExportName);
    if (!getPlugin) {
        fprintf(stderr, "player: %s has no export %s\n", dllPath, kExportName);
        FreeLibrary(module);
        gHookActive = false;
        return false;
    }
    PlayerPluginRecord *plugin = getPlugin();
    if (!plugin) {
        fprintf(stderr, "player: %s returned no plug-in record\n", dllPath);
        FreeLibrary(module);
        gHookActive = false;
        return false;
    }
    if (plugin->version != PLAYER_PLUGIN_VERSION) {
        fprintf(stderr, "player: %s has record version 0x%x, the player wants 0x%x\n",
                dllPath, plugin->version, PLAYER_PLUGIN_VERSION);
        FreeLibrary(module);
        gHookActive = false;
        return false;
    }
    plugin->hwndParent = PlayerWindow();
    plugin->hDllInstance = module;
    gPluginModule = module;
    gPlugin = plugin;
    gQuitCalled = false;
    if (gPatchBeforeInit && !gPatchBeforeInit())
        fprintf(stderr, "player: the patch before init() of %s failed\n", dllPath);

    gInitResult = plugin->init ? plugin->init() : -1;
    if (gInitResult != 0) {
        fprintf(stderr, "player: init() of %s returned %d\n", dllPath, gInitResult);
        // A plug-in that failed to start is not told to quit.
        gQuitCalled = true;
        PlayerUnloadPlugin();
        return false;
    }
    return true;
}

PlayerPluginRecord *PlayerPlugin()
{
    return gPlugin;
}

HMODULE PlayerPluginModule()
{
    return gPluginModule;
}

int PlayerInitResult()
{
    return gInitResult;
}

void PlayerConfigPlugin()
{
    if (gPlugin && gPlugin->config)
        gPlugin->config();
    InterlockedIncrement(&gConfigsReturned);
}

int PlayerConfigsReturned()
{
    return gConfigsReturned;
}

void PlayerQuitPlugin()
{
    if (!gPlugin || gQuitCalled)
        return;
    gQuitCalled = true;
    if (gPlugin->quit)
        gPlugin->quit();
}

void PlayerUnloadPlugin()
{
    if (!gPluginModule)
        return;
    PlayerQuitPlugin();
    PlayerForgetPrefsPage();
    gPlugin = NULL;
    gHookActive = false;
    FreeLibrary(gPluginModule);
    gPluginModule = NULL;
}

bool PlayerCommandHookActive()
{
    return gHookActive;
}

const char *PlayerDefaultPluginPath()
{
    static char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(NULL, path, sizeof path);
    if (length == 0 || length >= sizeof path)
        return "gen_tunebell.dll";
    char *slash = strrchr(path, '\\');
    char *name = slash ? slash + 1 : path;
    size_t room = sizeof path - (size_t)(name - path);
    lstrcpynA(name, "gen_tunebell.dll", (int)room);
    return path;
}

void PlayerPatchBeforeInit(bool (*patch)(void))
{
    gPatchBeforeInit = patch;
}
