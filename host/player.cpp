// The player's main window and what it answers to the plug-in's commands.
#include "host/player.h"
#include "host/player_internal.h"

#include <vector>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static const char kPlayerClass[] = "TunebellStandInPlayer";
static const WCHAR kPlayerClassW[] = L"TunebellStandInPlayer";

// Commands counted one by one; more than the player knows, so a test can
// count an unknown command too.
enum { kCountedCommands = 64 };

struct CommandCounter {
    int command;
    int calls;
};

// Title texts handed out by 212 and 213. None is freed before PlayerStop: a
// plug-in thread may still read one after the track changed.
struct TitleBlock {
    TitleBlock *next;
    WCHAR text[1];   // or char: raw bytes, aligned for either
};

static HWND gMainWindow;
static DWORD gPlayerThreadId;
static bool gClassRegistered;
static PlayerTrack gTrack = { 0, NULL, -1, 0, 0, 0, NULL, NULL, NULL, NULL, NULL, NULL };
static TitleBlock *gTitles;
static bool gOlder;
static LRESULT gOlderAnswer;
static bool gRawTitles;
static const void *gRawWide, *gRawAnsi;
static char gIniDir[PLAYER_INI_DIR_SIZE];
static const char *gIniDirAnswer = gIniDir;
static HWND gDialogOwner;
static PlayerPrefsRecord *gPrefsPage;
struct PlaylistFile {
    const WCHAR *wide;   // NULL: the entry has no name
    const char *ansi;
};
static std::vector<PlaylistFile> gFiles;
static volatile LONG gOwnProcCalls;
static volatile LONG gOwnUserCalls;
static bool gUnicodeWindow;
static volatile WPARAM gLastCharacter;
static CommandCounter gCommandCalls[kCountedCommands];
static int gCountedKinds;
static PlayerTrack gPlaylist[PLAYER_PLAYLIST_SIZE];
static int gPlaylistLength;
static int gPlayState;
static int gVolume;
static int gPositionMs;

static void CountOwnCommand(int command)
{
    for (int i = 0; i < gCountedKinds; i++) {
        if (gCommandCalls[i].command == command) {
            gCommandCalls[i].calls++;
            return;
        }
    }
    if (gCountedKinds < kCountedCommands) {
        gCommandCalls[gCountedKinds].command = command;
        gCommandCalls[gCountedKinds].calls = 1;
        gCountedKinds++;
    }
}

static const PlaylistFile *FileAt(WPARAM position)
{
    return position < gFiles.size() && gFiles[position].wide ? &gFiles[position] : NULL;
}

// The entry whose file has this name: the current track, or one of the
// playlist's; NULL for a name the player does not know.
static const PlayerTrack *TrackOfFile(const WCHAR *name)
{
    for (size_t position = 0; name && position < gFiles.size(); position++) {
        if (!gFiles[position].wide || lstrcmpiW(gFiles[position].wide, name) != 0)
            continue;
        if ((int)position == gTrack.position)
            return &gTrack;
        for (int i = 0; i < gPlaylistLength; i++)
            if (gPlaylist[i].position == (int)position)
                return &gPlaylist[i];
    }
    return NULL;
}

static LRESULT AnswerTag(const PlayerTagRequest *query)
{
    const PlayerTrack *track = query ? TrackOfFile(query->filename) : NULL;
    if (!track || !query->metadata || !query->ret || query->retlen == 0)
        return 0;
    static const struct {
        const WCHAR *name;
        const WCHAR *PlayerTrack::*field;
    } kTags[] = {
        { L"title", &PlayerTrack::tagTitle }, { L"artist", &PlayerTrack::artist },
        { L"albumartist", &PlayerTrack::albumArtist }, { L"album", &PlayerTrack::album },
        { L"track", &PlayerTrack::trackNumber },
    };
    for (const auto &tag : kTags) {
        const WCHAR *value = track->*tag.field;
        if (lstrcmpiW(query->metadata, tag.name) != 0 || !value || !value[0])
            continue;
        lstrcpynW(query->ret, value, (int)query->retlen);
        return 1;
    }
    return 0;
}

static LRESULT AnswerCommand(WPARAM wParam, LPARAM command)
{
    switch (command) {
    case PLAYER_CMD_PLAY_STATE:
        return gPlayState;
    case PLAYER_CMD_VOLUME:
        if (wParam == (WPARAM)-666)
            return gVolume;
        if (wParam <= 255)
            gVolume = (int)wParam;
        return 0;
    case PLAYER_CMD_LIST_LENGTH:
        return (LRESULT)gFiles.size() > gTrack.position ? (LRESULT)gFiles.size() : gTrack.position + 1;
    case PLAYER_CMD_FILE:
        return FileAt(wParam) ? (LRESULT)FileAt(wParam)->ansi : 0;
    case PLAYER_CMD_WIDE_FILE:
        if (gOlder)
            return gOlderAnswer;
        return FileAt(wParam) ? (LRESULT)FileAt(wParam)->wide : 0;
    case PLAYER_CMD_LENGTH:
        if (wParam == 1)
            return gTrack.length;
        if (wParam == 0)
            return gPositionMs;
        break;
    case PLAYER_CMD_JUMP:
        gPositionMs = (int)wParam;
        return 0;
    case PLAYER_CMD_TAG:
        return AnswerTag((const PlayerTagRequest *)wParam);
    case PLAYER_CMD_POSITION:
        return gTrack.position;
    case PLAYER_CMD_INFO:
        if (wParam == 0)
            return gTrack.sampleRate;
        if (wParam == 1)
            return gTrack.bitRate;
        if (wParam == 2)
            return gTrack.channels;
        break;
    case PLAYER_CMD_TITLE:
        if (gRawTitles)
            return (LRESULT)gRawAnsi;
        // The stand-in knows the title of the current entry only.
        if ((int)wParam == gTrack.position)
            return (LRESULT)gTrack.title;
        return 0;
    case PLAYER_CMD_WIDE_TITLE:
        if (gOlder)
            return gOlderAnswer;
        if (gRawTitles)
            return (LRESULT)gRawWide;
        if ((int)wParam == gTrack.position)
            return (LRESULT)gTrack.wideTitle;
        return 0;
    case PLAYER_CMD_ADD_PREFS:
        gPrefsPage = (PlayerPrefsRecord *)wParam;
        return 0;
    case PLAYER_CMD_REMOVE_PREFS:
        if ((PlayerPrefsRecord *)wParam == gPrefsPage)
            gPrefsPage = NULL;
        return 0;
    case PLAYER_CMD_INI_DIR:
        return (LRESULT)gIniDirAnswer;
    case PLAYER_CMD_DIALOG_OWNER:
        return (LRESULT)(gDialogOwner ? gDialogOwner : gMainWindow);
    case PLAYER_EVENT_TRACK_STARTED:
    case PLAYER_EVENT_TAGS_CHANGED:
    case PLAYER_EVENT_MISC:
        // Notifications for whoever subclassed the window; nothing to do.
        return 0;
    }
    return PlayerUnknownCommandAnswer(wParam, command);
}

// The next or previous entry of the playlist starts, as the player starts
// any track.
static void StepPlaylist(int step)
{
    int at = 0;
    while (at < gPlaylistLength && gPlaylist[at].position != gTrack.position)
        at++;
    if (gPlaylistLength == 0)
        PlayerStartTrack();
    else if (at == gPlaylistLength)
        PlayerStartTrack(gPlaylist[0]);
    else
        PlayerStartTrack(gPlaylist[(at + step + gPlaylistLength) % gPlaylistLength]);
}

static void PressButton(int id)
{
    switch (id) {
    case PLAYER_BUTTON_PREVIOUS:
        StepPlaylist(-1);
        break;
    case PLAYER_BUTTON_NEXT:
        StepPlaylist(1);
        break;
    case PLAYER_BUTTON_PLAY:
        PlayerStartTrack();
        break;
    case PLAYER_BUTTON_PAUSE:
        if (gPlayState == PLAYER_PLAYING)
            PlayerSetPlayState(PLAYER_PAUSED);
        else if (gPlayState == PLAYER_PAUSED)
            PlayerSetPlayState(PLAYER_PLAYING);
        break;
    case PLAYER_BUTTON_STOP:
        gPositionMs = 0;
        PlayerSetPlayState(PLAYER_STOPPED);
        break;
    }
}

// Sent by PlayerPostConfig: the player calls config() from its window.
static const UINT kConfigMessage = WM_APP + 1;

// The player's own procedure, for a main window of either kind.
static LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool wide)
{
    InterlockedIncrement(&gOwnProcCalls);
    if (message == WM_USER) {
        InterlockedIncrement(&gOwnUserCalls);
        CountOwnCommand((int)lParam);
        return AnswerCommand(wParam, lParam);
    }
    if (message == WM_COMMAND) {
        CountOwnCommand(LOWORD(wParam));
        PressButton(LOWORD(wParam));
        return 0;
    }
    if (message == WM_CLOSE) {
        // The user closes the player: on its way out it quits and unloads
        // the plug-in from inside this procedure, with whatever subclassed
        // the window still on the stack. The window stays for PlayerStop.
        PlayerUnloadPlugin();
        return 0;
    }
    if (message == kConfigMessage) {
        PlayerConfigPlugin();
        return 0;
    }
    if (message == WM_CHAR)
        gLastCharacter = wParam;
    return wide ? DefWindowProcW(window, message, wParam, lParam) : DefWindowProcA(window, message, wParam, lParam);
}

static LRESULT CALLBACK PlayerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return HandleMessage(window, message, wParam, lParam, false);
}

static LRESULT CALLBACK PlayerWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return HandleMessage(window, message, wParam, lParam, true);
}

static void FreeTitles()
{
    while (gTitles) {
        TitleBlock *next = gTitles->next;
        free(gTitles);
        gTitles = next;
    }
}

bool PlayerStart(const char *iniDir, bool unicodeWindow)
{
    if (gMainWindow) {
        fprintf(stderr, "player: already started\n");
        return false;
    }
    CommandLogInit();
    HINSTANCE instance = GetModuleHandleA(NULL);

    // Never shown, and off screen besides: popups must not land under it.
    if (unicodeWindow) {
        WNDCLASSW windowClass;
        ZeroMemory(&windowClass, sizeof windowClass);
        windowClass.lpfnWndProc = PlayerWindowProcW;
        windowClass.hInstance = instance;
        windowClass.hCursor = LoadCursor(NULL, IDC_ARROW);
        windowClass.lpszClassName = kPlayerClassW;
        gClassRegistered = RegisterClassW(&windowClass) != 0;
        if (gClassRegistered)
            gMainWindow = CreateWindowExW(WS_EX_TOOLWINDOW, kPlayerClassW, L"Tunebell stand-in player", WS_POPUP,
                                          -100, -100, 1, 1, NULL, NULL, instance, NULL);
    } else {
        WNDCLASSA windowClass;
        ZeroMemory(&windowClass, sizeof windowClass);
        windowClass.lpfnWndProc = PlayerWindowProc;
        windowClass.hInstance = instance;
        windowClass.hCursor = LoadCursor(NULL, IDC_ARROW);
        windowClass.lpszClassName = kPlayerClass;
        gClassRegistered = RegisterClassA(&windowClass) != 0;
        if (gClassRegistered)
            gMainWindow = CreateWindowExA(WS_EX_TOOLWINDOW, kPlayerClass, "Tunebell stand-in player", WS_POPUP,
                                          -100, -100, 1, 1, NULL, NULL, instance, NULL);
    }
    if (!gClassRegistered) {
        fprintf(stderr, "player: RegisterClass failed (%lu)\n", GetLastError());
        return false;
    }
    if (!gMainWindow) {
        fprintf(stderr, "player: CreateWindow failed (%lu)\n", GetLastError());
        UnregisterClassA(kPlayerClass, instance);
        gClassRegistered = false;
        return false;
    }
    gUnicodeWindow = unicodeWindow;
    gLastCharacter = 0;
    gPlayerThreadId = GetCurrentThreadId();

    char dir[PLAYER_INI_DIR_SIZE];
    if (iniDir) {
        lstrcpynA(dir, iniDir, sizeof dir);
    } else {
        GetModuleFileNameA(NULL, dir, sizeof dir);
        char *slash = strrchr(dir, '\\');
        lstrcpyA(slash ? slash + 1 : dir, "ini");
    }
    size_t length = strlen(dir);
    while (length > 3 && (dir[length - 1] == '\\' || dir[length - 1] == '/'))
        dir[--length] = '\0';
    PlayerSetIniDir(dir);
    char plugins[PLAYER_INI_DIR_SIZE + 16];
    snprintf(plugins, sizeof plugins, "%s\\plugins", dir);
    if (!PlayerMakeDirectories(plugins))
        fprintf(stderr, "player: cannot create %s\n", plugins);

    gTrack.position = 0;
    gTrack.title = NULL;
    gTrack.wideTitle = NULL;
    gOlder = false;
    gRawTitles = false;
    gTrack.length = -1;
    gTrack.sampleRate = 0;
    gTrack.bitRate = 0;
    gTrack.channels = 0;
    gDialogOwner = NULL;
    gPrefsPage = NULL;
    gPlaylistLength = 0;
    gPlayState = PLAYER_STOPPED;
    gPositionMs = 0;
    gVolume = 200;
    PlayerPatchBeforeInit(NULL);
    gFiles.clear();
    PlayerResetOwnProcCounts();
    return true;
}

void PlayerStop()
{
    if (PlayerPluginModule())
        PlayerUnloadPlugin();
    if (gMainWindow) {
        // A plug-in that left its subclass behind would have the window call
        // into a freed DLL while it is destroyed.
        if (!PlayerOwnProcInstalled()) {
            fprintf(stderr, "player: the main window was still subclassed at "
                            "stop; putting the player's procedure back\n");
            if (gUnicodeWindow)
                SetWindowLongW(gMainWindow, GWL_WNDPROC, (LONG)PlayerWindowProcW);
            else
                SetWindowLongA(gMainWindow, GWL_WNDPROC, (LONG)PlayerWindowProc);
        }
        DestroyWindow(gMainWindow);
        gMainWindow = NULL;
    }
    if (gClassRegistered) {
        UnregisterClassA(kPlayerClass, GetModuleHandleA(NULL));
        gClassRegistered = false;
    }
    gTrack.title = NULL;
    gTrack.wideTitle = NULL;
    gRawTitles = false;
    gFiles.clear();
    FreeTitles();
    gPlayerThreadId = 0;
    gDialogOwner = NULL;
    gPrefsPage = NULL;
}

HWND PlayerWindow()
{
    return gMainWindow;
}

DWORD PlayerThreadId()
{
    return gPlayerThreadId;
}

// A copy of `bytes` bytes (zeros for no text) that lives until PlayerStop;
// NULL without memory.
static void *KeepTitle(const void *text, size_t bytes)
{
    TitleBlock *block = (TitleBlock *)malloc(sizeof(TitleBlock) + bytes);
    if (!block) {
        fprintf(stderr, "player: no memory for a %u-byte title\n", (unsigned)bytes);
        return NULL;
    }
    if (text)
        memcpy(block->text, text, bytes);
    else
        memset(block->text, 0, bytes);
    block->next = gTitles;
    gTitles = block;
    return block->text;
}

// The title converted between UTF-16 and the ANSI code page, kept as above.
static const WCHAR *KeepWide(const char *title)
{
    int units = MultiByteToWideChar(CP_ACP, 0, title, -1, NULL, 0);
    WCHAR *wide = units > 0 ? (WCHAR *)KeepTitle(NULL, units * sizeof(WCHAR)) : NULL;
    if (wide)
        MultiByteToWideChar(CP_ACP, 0, title, -1, wide, units);
    return wide;
}

static const char *KeepAnsi(const WCHAR *title)
{
    int bytes = WideCharToMultiByte(CP_ACP, 0, title, -1, NULL, 0, NULL, NULL);
    char *ansi = bytes > 0 ? (char *)KeepTitle(NULL, bytes) : NULL;
    if (ansi)
        WideCharToMultiByte(CP_ACP, 0, title, -1, ansi, bytes, NULL, NULL);
    return ansi;
}

static const WCHAR *KeepTag(const WCHAR *tag)
{
    return tag ? (const WCHAR *)KeepTitle(tag, (wcslen(tag) + 1) * sizeof(WCHAR)) : NULL;
}

void PlayerSetTrack(const PlayerTrack &track)
{
    gTrack = track;
    gRawTitles = false;
    gTrack.tagTitle = KeepTag(track.tagTitle);
    gTrack.artist = KeepTag(track.artist);
    gTrack.albumArtist = KeepTag(track.albumArtist);
    gTrack.album = KeepTag(track.album);
    gTrack.trackNumber = KeepTag(track.trackNumber);
    if (track.title)
        gTrack.title = (const char *)KeepTitle(track.title, strlen(track.title) + 1);
    if (track.wideTitle)
        gTrack.wideTitle = (const WCHAR *)KeepTitle(track.wideTitle,
                                                    (wcslen(track.wideTitle) + 1) * sizeof(WCHAR));
    else if (gTrack.title)
        gTrack.wideTitle = KeepWide(gTrack.title);
    if (!track.title && gTrack.wideTitle)
        gTrack.title = KeepAnsi(gTrack.wideTitle);
}

void PlayerSetPlaylistFiles(const std::vector<std::wstring> &files)
{
    gFiles.clear();
    for (const std::wstring &name : files) {
        PlaylistFile file = { NULL, NULL };
        if (!name.empty()) {
            file.wide = (const WCHAR *)KeepTitle(name.c_str(), (name.size() + 1) * sizeof(WCHAR));
            file.ansi = file.wide ? KeepAnsi(file.wide) : NULL;
        }
        gFiles.push_back(file);
    }
}

void PlayerSetOlder(bool older, LRESULT unknownAnswer)
{
    gOlder = older;
    gOlderAnswer = unknownAnswer;
}

void PlayerSetTitlePointers(const void *wide, const void *ansi)
{
    gRawTitles = true;
    gRawWide = wide;
    gRawAnsi = ansi;
}

void PlayerSetIniDir(const char *dir)
{
    lstrcpynA(gIniDir, dir ? dir : "", sizeof gIniDir);
    gIniDirAnswer = gIniDir;
}

void PlayerSetIniDirPointer(const char *answer)
{
    gIniDirAnswer = answer;
}

char *PlayerIniDir()
{
    return gIniDir;
}

void PlayerSetOwner(HWND owner)
{
    gDialogOwner = owner;
}

PlayerPrefsRecord *PlayerPrefs()
{
    return gPrefsPage;
}

// The plug-in loader forgets the page with the DLL it lives in.
void PlayerForgetPrefsPage()
{
    gPrefsPage = NULL;
}

int PlayerOwnProcCalls()
{
    return gOwnProcCalls;
}

int PlayerOwnUserCalls()
{
    return gOwnUserCalls;
}

int PlayerOwnCommandCalls(int command)
{
    for (int i = 0; i < gCountedKinds; i++) {
        if (gCommandCalls[i].command == command)
            return gCommandCalls[i].calls;
    }
    return 0;
}

void PlayerResetOwnProcCounts()
{
    InterlockedExchange(&gOwnProcCalls, 0);
    InterlockedExchange(&gOwnUserCalls, 0);
    gCountedKinds = 0;
}

bool PlayerOwnProcInstalled()
{
    // Each kind of window hands out its own kind of procedure as it is.
    if (gUnicodeWindow)
        return gMainWindow && GetWindowLongW(gMainWindow, GWL_WNDPROC) == (LONG)PlayerWindowProcW;
    return gMainWindow && GetWindowLongA(gMainWindow, GWL_WNDPROC) == (LONG)PlayerWindowProc;
}

WPARAM PlayerLastCharacter()
{
    return gLastCharacter;
}

void PlayerPostConfig()
{
    PostMessageA(gMainWindow, kConfigMessage, 0, 0);
}

void PlayerStartTrack()
{
    gPositionMs = 0;
    PlayerSetPlayState(PLAYER_PLAYING);
    SendMessageA(gMainWindow, WM_USER, 0, PLAYER_EVENT_TRACK_STARTED);
}

void PlayerSetPlaylist(const PlayerTrack *tracks, int count)
{
    gPlaylistLength = count < PLAYER_PLAYLIST_SIZE ? count : PLAYER_PLAYLIST_SIZE;
    for (int i = 0; i < gPlaylistLength; i++)
        gPlaylist[i] = tracks[i];
}

int PlayerPlayState()
{
    return gPlayState;
}

void PlayerSetPlayState(int state)
{
    if (state == gPlayState)
        return;
    gPlayState = state;
    SendMessageA(gMainWindow, WM_USER, PLAYER_STATE_CHANGED, PLAYER_EVENT_MISC);
}

int PlayerPositionMs()
{
    return gPositionMs;
}

void PlayerSetPositionMs(int ms)
{
    gPositionMs = ms;
}

int PlayerVolume()
{
    return gVolume;
}

void PlayerSetVolume(int volume)
{
    gVolume = volume;
}

void PlayerStartTrack(const PlayerTrack &track)
{
    PlayerSetTrack(track);
    PlayerStartTrack();
}

void PlayerTagsChanged()
{
    SendMessageA(gMainWindow, WM_USER, 0, PLAYER_EVENT_TAGS_CHANGED);
}
