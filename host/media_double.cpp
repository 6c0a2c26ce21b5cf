// The double of Windows' media controls as the tests and the demo see it:
// its registration in the prefix, and its record and buttons reached through
// the DLL's own exports (host/media_double/record.c).
#include "host/media_double.h"
#include "host/player.h"

#include <stdlib.h>
#include <string.h>

#include <vector>

static const char kDoubleName[] = "media_double.dll";
static const char kClassesKey[] = "Software\\Microsoft\\WindowsRuntime\\ActivatableClassId\\";
static const char *const kClasses[] = {
    "Windows.Media.SystemMediaTransportControls",
    "Windows.Storage.Streams.RandomAccessStreamReference",
    "Windows.Media.SystemMediaTransportControlsTimelineProperties",
};
// How long a firing may take: the handlers only post.
static const DWORD kFireDeadlineMs = 5000;

typedef int(WINAPI *CopyCallsProc)(char *out, int size);
typedef void(WINAPI *ForgetProc)(void);
typedef int(WINAPI *CopyThumbnailProc)(unsigned char *out, int size);
typedef void(WINAPI *StartEnabledProc)(BOOL on);
typedef int(WINAPI *HoldHandlersProc)(void);
typedef HANDLE(WINAPI *FireProc)(int what, int button, LONGLONG ticks);

// The double beside the running exe, as the registration names it.
static std::string DoublePath()
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(NULL, path, sizeof path);
    if (length == 0 || length >= sizeof path)
        return kDoubleName;
    char *slash = strrchr(path, '\\');
    std::string dir(path, slash ? slash + 1 : path);
    return dir + kDoubleName;
}

// An export of the double when combase has loaded it; `load` loads it first,
// for what must be set before the plug-in asks (it is the same module
// combase loads then, by the same path).
static FARPROC DoubleExport(const char *name, bool load = false)
{
    HMODULE module = GetModuleHandleA(kDoubleName);
    if (!module && load)
        module = LoadLibraryA(DoublePath().c_str());
    return module ? GetProcAddress(module, name) : NULL;
}

bool RegisterMediaDouble(void)
{
    std::string path = DoublePath();
    bool written = true;
    for (const char *name : kClasses) {
        HKEY key;
        std::string keyName = std::string(kClassesKey) + name;
        if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, keyName.c_str(), 0, NULL, 0, KEY_WRITE, NULL, &key, NULL) != ERROR_SUCCESS) {
            written = false;
            continue;
        }
        // Wine 8's combase reads DllPath alone; Windows also has the class
        // in-process (ActivationType 0).
        DWORD inProcess = 0;
        written &= RegSetValueExA(key, "DllPath", 0, REG_SZ, (const BYTE *)path.c_str(), (DWORD)path.size() + 1) ==
                   ERROR_SUCCESS;
        written &= RegSetValueExA(key, "ActivationType", 0, REG_DWORD, (const BYTE *)&inProcess, sizeof inProcess) ==
                   ERROR_SUCCESS;
        RegCloseKey(key);
    }
    return written;
}

void UnregisterMediaDouble(void)
{
    for (const char *name : kClasses)
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, (std::string(kClassesKey) + name).c_str());
}

std::string MediaDoubleCalls(void)
{
    CopyCallsProc copy = (CopyCallsProc)(void *)DoubleExport("DoubleCopyCalls");
    if (!copy)
        return std::string();
    // The record may grow between the two calls: ask again until it fits.
    std::vector<char> text(copy(NULL, 0) + 1024);
    for (;;) {
        int length = copy(text.data(), (int)text.size());
        if (length < (int)text.size())
            return std::string(text.data(), length);
        text.resize(length + 1024);
    }
}

void MediaDoubleForget(void)
{
    ForgetProc forget = (ForgetProc)(void *)DoubleExport("DoubleForget");
    if (forget)
        forget();
}

bool MediaDoubleWaitFor(const char *line, DWORD timeoutMs)
{
    std::string wanted = std::string("\n") + line + "\n";
    return WaitUntil([&] { return ("\n" + MediaDoubleCalls()).find(wanted) != std::string::npos; }, timeoutMs);
}

std::string MediaDoubleThumbnail(void)
{
    CopyThumbnailProc copy = (CopyThumbnailProc)(void *)DoubleExport("DoubleCopyThumbnail");
    int length = copy ? copy(NULL, 0) : -1;
    if (length <= 0)
        return std::string();
    std::string bytes(length, '\0');
    copy((unsigned char *)&bytes[0], length);
    return bytes;
}

void MediaDoubleStartEnabled(bool on)
{
    StartEnabledProc start = (StartEnabledProc)(void *)DoubleExport("DoubleStartEnabled", true);
    if (start)
        start(on);
}

// Fires from the double's thread and waits for it, pumping, since a
// handler may rightly post to the player; true when some handler was called.
static bool Fire(int what, int button, LONGLONG ticks)
{
    FireProc fire = (FireProc)(void *)DoubleExport("DoubleFire");
    HANDLE thread = fire ? fire(what, button, ticks) : NULL;
    if (!thread)
        return false;
    bool ended = WaitUntil([&] { return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0; }, kFireDeadlineMs);
    DWORD called = 0;
    GetExitCodeThread(thread, &called);
    CloseHandle(thread);
    return ended && called > 0;
}

bool MediaDoublePress(int button)
{
    return Fire(0, button, 0);
}

bool MediaDoubleRequestPosition(LONGLONG ms)
{
    return Fire(1, 0, ms * 10000);   // TimeSpan counts 100 ns
}

bool MediaDoubleHoldHandlers(void)
{
    HoldHandlersProc hold = (HoldHandlersProc)(void *)DoubleExport("DoubleHoldHandlers");
    return hold && hold() > 0;
}

bool MediaDoubleFireHeld(int button)
{
    return Fire(2, button, 0);
}

// For the plug-in's GetProcAddress (host/plugin_patches.cpp): the double's
// stand-in for shcore's function.
FARPROC MediaDoubleStreamFunction()
{
    return DoubleExport("CreateRandomAccessStreamOverStream", true);
}

int MediaDoubleFireAtRemove(int button)
{
    typedef int(WINAPI * ArmProc)(int button);
    ArmProc arm = (ArmProc)(void *)DoubleExport("DoubleArmAtRemove");
    return arm ? arm(button) : 0;
}

// The text after `name ` when the line is that call; NULL otherwise.
static const char *Argument(const std::string &line, const char *name)
{
    size_t length = strlen(name);
    if (line.compare(0, length, name) != 0)
        return NULL;
    if (line.size() == length)
        return "";
    return line[length] == ' ' ? line.c_str() + length + 1 : NULL;
}

MediaShown MediaShownBy(const std::string &calls)
{
    MediaShown shown, pending;
    size_t at = 0;
    while (at < calls.size()) {
        size_t end = calls.find('\n', at);
        if (end == std::string::npos)
            end = calls.size();
        std::string line = calls.substr(at, end - at);
        at = end + 1;
        const char *value;
        if ((value = Argument(line, "put_IsEnabled"))) {
            shown.enabled = atoi(value) != 0;
        } else if ((value = Argument(line, "put_PlaybackStatus"))) {
            shown.status = atoi(value);
        } else if ((value = Argument(line, "UpdateTimelineProperties"))) {
            shown.timeline = value;
            shown.timelinesSinceUpdate++;
        } else if ((value = Argument(line, "put_Type"))) {
            pending.type = atoi(value);
        } else if ((value = Argument(line, "put_Title"))) {
            pending.title = value;
        } else if ((value = Argument(line, "put_Artist"))) {
            pending.artist = value;
        } else if ((value = Argument(line, "put_AlbumArtist"))) {
            pending.albumArtist = value;
        } else if ((value = Argument(line, "put_AlbumTitle"))) {
            pending.album = value;
        } else if ((value = Argument(line, "put_TrackNumber"))) {
            pending.trackNumber = (unsigned)strtoul(value, NULL, 10);
        } else if ((value = Argument(line, "put_Thumbnail"))) {
            pending.thumbnailBytes = strcmp(value, "none") == 0 ? -1 : atoi(value);
        } else if (line == "ClearAll") {
            pending = MediaShown();
        } else if (line == "Update") {
            // The display takes what was put since; the state and the
            // timeline stand as they were.
            MediaShown updated = pending;
            updated.enabled = shown.enabled;
            updated.status = shown.status;
            updated.timeline = shown.timeline;
            updated.updates = shown.updates + 1;
            shown = updated;
        }
    }
    return shown;
}
