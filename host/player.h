// The stand-in player: the player's half of the general-purpose plug-in
// interface, small enough for the end-to-end tests and the demo to drive.
//
// Threads: everything here runs on the thread that called PlayerStart (the
// player's thread) unless it says otherwise. The plug-in may send its
// commands from any thread; the player's thread answers them while it pumps
// (PlayerPump, WaitUntil, PlayerPumpFor).
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// What the player is "playing". Positions count from 0.
struct PlayerTrack {
    int position;
    const char *title;   // NULL = the track has no title (unless wideTitle)
    int length;          // seconds; -1 = no length
    int sampleRate;      // kHz
    int bitRate;         // kbit/s
    int channels;
    // The title as the player holds it, in UTF-16; NULL = title converted
    // with the ANSI code page. 212 then hands out title, or this converted
    // to the ANSI code page when title is NULL, as a player would.
    const WCHAR *wideTitle;
    // The file's tags as 3026 answers them for the entry's file name (see
    // PlayerSetPlaylistFiles), in UTF-16; NULL = the file has no such tag,
    // all NULL = a file without tags. The track number as a tag holds it,
    // e.g. L"3/12".
    const WCHAR *tagTitle = nullptr;
    const WCHAR *artist = nullptr;
    const WCHAR *albumArtist = nullptr;
    const WCHAR *album = nullptr;
    const WCHAR *trackNumber = nullptr;
};

// What 3026 points its wParam at: a tag of a file, asked by name ("title",
// "artist", "albumartist", "album", "track"); the player answers 1 and
// fills ret (cut to retlen characters, ending in a zero), or 0 for a file it
// does not know, a tag the file lacks or one that is empty.
struct PlayerTagRequest {
    const WCHAR *filename;
    const WCHAR *metadata;
    WCHAR *ret;
    size_t retlen;
};

// One command the plug-in sent to the main window: SendMessageA(main,
// WM_USER, wParam, command), from thread threadId; or one of the player's
// buttons, SendMessageA(main, WM_COMMAND, id, 0), as command id, wParam 0.
struct PlayerCommand {
    int command;
    WPARAM wParam;
    DWORD threadId;
    DWORD ms;            // how long the sending thread waited in the send; 0 until it returned
};

// The record the plug-in's export returns. The player fills hwndParent and
// hDllInstance before init().
struct PlayerPluginRecord {
    int version;         // must be PLAYER_PLUGIN_VERSION
    char *description;
    int (__cdecl *init)(void);     // 0 = ready
    void (__cdecl *config)(void);
    void (__cdecl *quit)(void);
    HWND hwndParent;
    HINSTANCE hDllInstance;
};

// The record the plug-in hands over with command 332 to add a preferences
// page. The player keeps the pointer; the record lives in the plug-in.
struct PlayerPrefsRecord {
    HINSTANCE module;
    int dialogId;
    DLGPROC proc;
    char *title;
    int where;
    int reserved1;
    int reserved2;
};

enum {
    PLAYER_PLUGIN_VERSION = 0x10,
    PLAYER_INI_DIR_SIZE = 1024,
    PLAYER_COMMAND_LOG_SIZE = 16384,

    PLAYER_CMD_PLAY_STATE = 104,     // 1 playing, 3 paused, 0 stopped
    PLAYER_CMD_VOLUME = 122,         // wParam 0..255 sets; -666 answers the volume
    PLAYER_CMD_LENGTH = 105,         // wParam 1: length in s, -1 = none; 0: position in ms
    PLAYER_CMD_JUMP = 106,           // wParam = position in ms to jump to
    PLAYER_CMD_LIST_LENGTH = 124,    // entries in the playlist
    PLAYER_CMD_POSITION = 125,       // playlist position
    PLAYER_CMD_INFO = 126,           // wParam 0/1/2: kHz / kbit/s / channels
    PLAYER_CMD_FILE = 211,           // wParam = position: char* or NULL
    PLAYER_CMD_TITLE = 212,          // wParam = position: char* or NULL
    PLAYER_CMD_WIDE_TITLE = 213,     // wParam = position: WCHAR* or 0
    PLAYER_CMD_WIDE_FILE = 214,      // wParam = position: WCHAR* or 0
    PLAYER_CMD_ADD_PREFS = 332,      // wParam = PlayerPrefsRecord*
    PLAYER_CMD_REMOVE_PREFS = 333,   // wParam = the record 332 handed over
    PLAYER_CMD_INI_DIR = 335,        // char[1024], owned by the player
    PLAYER_CMD_DIALOG_OWNER = 619,   // HWND that owns the settings dialog
    PLAYER_EVENT_TRACK_STARTED = 3003,
    PLAYER_EVENT_TAGS_CHANGED = 3004,
    PLAYER_CMD_TAG = 3026,           // wParam = PlayerTagRequest*
    // SendMessage(main, WM_USER, PLAYER_STATE_CHANGED, PLAYER_EVENT_MISC):
    // the play state changed.
    PLAYER_EVENT_MISC = 603,
    PLAYER_STATE_CHANGED = 2,

    // The player's buttons: WM_COMMAND to the main window.
    PLAYER_BUTTON_PREVIOUS = 40044,
    PLAYER_BUTTON_PLAY = 40045,
    PLAYER_BUTTON_PAUSE = 40046,     // pauses; resumes a paused track
    PLAYER_BUTTON_STOP = 40047,
    PLAYER_BUTTON_NEXT = 40048,

    PLAYER_STOPPED = 0,
    PLAYER_PLAYING = 1,
    PLAYER_PAUSED = 3,
    PLAYER_PLAYLIST_SIZE = 16
};

// What the main window answers to any WM_USER command it has no meaning for,
// so a test can tell that a hook in front of it passed the answer through.
inline LRESULT PlayerUnknownCommandAnswer(WPARAM wParam, LPARAM command)
{
    return (LRESULT)(wParam * 7 + command);
}

// --- the player ------------------------------------------------------------

// Registers the window class and creates the hidden main window on the
// calling thread, which becomes the player's thread. Copies iniDir (trailing
// backslashes dropped; NULL = "ini" beside the exe) into the INI buffer and
// creates iniDir and iniDir\plugins when missing. With unicodeWindow the
// main window is a Unicode one (its class and procedure in UTF-16), as a
// current player keeps its own.
bool PlayerStart(const char *iniDir, bool unicodeWindow = false);
// Unloads a plug-in still loaded (quit, then FreeLibrary), destroys the main
// window, unregisters the class and frees the stored titles.
void PlayerStop();
HWND PlayerWindow();
DWORD PlayerThreadId();

// Copies the values and the title texts. Earlier title texts stay valid
// until PlayerStop, since a plug-in thread may still hold a pointer from 212
// or 213. Ends PlayerSetTitlePointers.
void PlayerSetTrack(const PlayerTrack &track);
// The tracks previous and next step through, in playlist order (at most
// PLAYER_PLAYLIST_SIZE; the titles must outlive the player's use of them);
// none after PlayerStart. Next after the last and previous before the first
// go round. Each step starts the track as PlayerStartTrack does.
void PlayerSetPlaylist(const PlayerTrack *tracks, int count);
// The play state (PLAYER_STOPPED, PLAYER_PLAYING, PLAYER_PAUSED), as 104
// answers it and the buttons change it: stopped after PlayerStart, playing
// from every track start on. Each change, whatever made it, is told to the
// main window with 603 (wParam 2), as the player tells its plug-ins.
int PlayerPlayState();
void PlayerSetPlayState(int state);
// Where in the track the player is, in ms, as 105 (wParam 0) answers it and
// 106 sets it; 0 at every track start and stop.
int PlayerPositionMs();
void PlayerSetPositionMs(int ms);
// The volume 122 reads and sets, 0..255; 200 after PlayerStart.
int PlayerVolume();
void PlayerSetVolume(int volume);
// A current player (the default after PlayerStart) answers 213 with the
// entry's title in UTF-16. An older one does not know 213 and answers
// `unknownAnswer` (0 or 1); its 212 answers as before.
void PlayerSetOlder(bool older, LRESULT unknownAnswer = 0);
// Until the next PlayerSetTrack, 213 and 212 hand out these pointers as
// they are, readable or not, for any position: a title the player has
// freed, say, or a player gone wrong. An older player still answers 213 as
// one that does not know it.
void PlayerSetTitlePointers(const void *wide, const void *ansi);
// The playlist's file names by position, in UTF-16 (an empty name: the
// entry has none). 214 hands out an entry's name, 211 the name in the ANSI
// code page, both NULL for a position without one; 124 answers the count,
// and at least the current position + 1. An older player answers 214 as it
// answers 213. Names stay valid until PlayerStop, as titles do.
void PlayerSetPlaylistFiles(const std::vector<std::wstring> &files);
// Rewrites the INI buffer as given (cut to 1023 characters); creates nothing.
// 335 answers the buffer again.
void PlayerSetIniDir(const char *dir);
// 335 answers this pointer from now on, readable or not, until the next
// PlayerSetIniDir or PlayerStart.
void PlayerSetIniDirPointer(const char *answer);
char *PlayerIniDir();
// What 619 answers; NULL = the main window (the default).
void PlayerSetOwner(HWND owner);
// The last record 332 handed over; NULL before that, after 333 took it back
// and after unloading.
PlayerPrefsRecord *PlayerPrefs();

// Messages that reached the player's own window procedure (after any
// subclass the plug-in put in front of it) since PlayerStart or the last
// reset: all of them, the WM_USER ones, and the WM_USER ones carrying one
// command number (or the WM_COMMAND ones of a button, by its id), sent or
// posted.
int PlayerOwnProcCalls();
int PlayerOwnUserCalls();
int PlayerOwnCommandCalls(int command);
void PlayerResetOwnProcCounts();
// True when the main window's procedure is the player's own again, e.g.
// after the plug-in undid its subclass in quit().
bool PlayerOwnProcInstalled();
// The character of the last WM_CHAR that reached the player's own procedure,
// as that procedure got it.
WPARAM PlayerLastCharacter();

// --- the plug-in -----------------------------------------------------------

// LoadLibraryA, the SendMessageA patch (see the command log below, which
// this empties), the export, fields 6 and 7, version check, init(). Returns
// false, and says why on stderr, when the DLL does not load, lacks the
// export, returns no record, has the wrong version or init() does not
// return 0; the DLL is freed then. A missing patch is reported on stderr but
// does not fail the load (PlayerCommandHookActive tells).
bool PlayerLoadPlugin(const char *dllPath);
// A patch of the plug-in's imports (PatchPluginForMediaDouble, say) made by
// every later load once the DLL is mapped and before its init() runs, so
// that the plug-in's threads never see the imports unpatched; NULL: none.
// PlayerStart sets none.
void PlayerPatchBeforeInit(bool (*patch)(void));
PlayerPluginRecord *PlayerPlugin();
HMODULE PlayerPluginModule();
int PlayerInitResult();            // what the last init() returned
void PlayerConfigPlugin();         // config(); returns when it does
// From any thread: the player's window calls config() when it gets to it,
// as when the user asks for the settings again while they are open; and
// how many config() calls have returned so far.
void PlayerPostConfig();
int PlayerConfigsReturned();
void PlayerQuitPlugin();           // quit(), once
// FreeLibrary. Calls quit() first if nobody did, as the player never frees a
// plug-in it has not told to quit.
void PlayerUnloadPlugin();
// gen_tunebell.dll beside the running exe.
const char *PlayerDefaultPluginPath();

// --- events the player sends itself --------------------------------------

// A track starts: SendMessageA(main, WM_USER, 0, 3003), for the track set
// last or, given one, for that track (set first). The player then plays.
void PlayerStartTrack();
void PlayerStartTrack(const PlayerTrack &track);
void PlayerTagsChanged();          // SendMessageA(main, WM_USER, 0, 3004)

// --- the command log -------------------------------------------------------
// Filled by a wrapper put into the plug-in module's import table in place of
// user32!SendMessageA: each SendMessageA(main window, WM_USER, ...) the
// plug-in makes, and each press of the player's buttons (WM_COMMAND), is
// recorded with its calling thread before it is passed on; so is each one
// sent through user32!SendMessageCallbackA, which the player answers alike. Only the plug-in's sends are logged: the player's own 3003/3004 are
// not. The log holds PLAYER_COMMAND_LOG_SIZE entries; later ones are counted
// in PlayerCommandsDropped. Safe to read from any thread.

int PlayerCommandCount();
bool PlayerCommandAt(int index, PlayerCommand *out);
void PlayerClearCommands();
int PlayerCommandsDropped();
// True while the loaded plug-in's SendMessageA goes through the wrapper.
bool PlayerCommandHookActive();

// --- waiting -----------------------------------------------------------------

// Dispatches every message waiting for the calling thread, sent ones too.
void PlayerPump();
// Pumps until cond() holds or timeoutMs passed; returns cond's last value.
// The condition is also looked at every pollMs, since what it waits for (say
// a window made on a plug-in thread) need not wake this thread. Any thread
// may wait so: on one without windows the pumping costs nothing. The default
// deadline suits what normally takes a fraction of it (a popup appears about
// 300 ms after the player's event).
bool WaitUntil(const std::function<bool()> &cond, DWORD timeoutMs = 3000, DWORD pollMs = 5);
// Pumps for ms milliseconds: only for checks that nothing happens.
void PlayerPumpFor(DWORD ms);
// The player's thread busy elsewhere, answering nothing, while `meanwhile`
// runs on a thread of its own (as the user, or another program, would act
// then); returns once `meanwhile` has. `meanwhile` must not wait for the
// player's thread.
void PlayerBusyWhile(const std::function<void()> &meanwhile);

// --- the user's input ---------------------------------------------------------
// Real keyboard and mouse input (SendInput), as a user gives it.

void PlayerKey(WORD vk, bool up);
void PlayerPressKey(WORD vk);
// Holds the modifiers (MOD_ALT, MOD_CONTROL, MOD_SHIFT) around a press of vk.
void PlayerPressHotKey(UINT modifiers, WORD vk);
// A left or right click at a screen point; then pumps what it brought.
void PlayerClickAt(int x, int y, bool right);
// A middle click where the pointer is.
void PlayerMiddleClick();
// The left button down or up where the pointer is.
void PlayerLeftButton(bool down);
// The wheel turned where the pointer is: WHEEL_DELTA a notch, up > 0.
void PlayerTurnWheel(int delta);
// Moves the pointer to a screen point, as a mouse does; true once it is there.
bool PlayerMovePointer(int x, int y);

// --- a program in front ---------------------------------------------------------

// A window of the player's thread that covers the whole screen and has the
// foreground, as a film or a game does; NULL when it could not be made.
HWND PlayerShowFullScreenWindow();
void PlayerCloseFullScreenWindow(HWND window);

// --- inspection --------------------------------------------------------------

// Top-level windows of class "PopUpWnd" of this process, visible or not,
// topmost first. Returns how many exist (may exceed max; out gets max).
int PlayerFindPopups(HWND *out, int max);
// Descendants of parent in EnumChildWindows order; returns how many exist.
int PlayerChildWindows(HWND parent, HWND *out, int max);
// The text of a window of any thread of this process, cut to size - 1.
// Asks with a timeout so a stuck plug-in thread cannot stop the caller.
int PlayerWindowText(HWND window, char *out, int size);
// True when some descendant of parent has exactly this text.
bool PlayerHasChildText(HWND parent, const char *text);
// The title line and the information line of a track's popup, as the
// plug-in should write them.
std::string TitleLine(int position, const char *title);
std::string InfoLine(int length, int kHz, int kbit, int channels);
int PlayerThreadCount();
// The first visible dialog (class "#32770") of the player's thread whose
// caption wanted accepts; NULL when there is none.
HWND PlayerFindDialog(const std::function<bool(const char *caption)> &wanted);
// The window's rectangle on the screen; empty when it is gone.
RECT WindowRectOf(HWND window);
// A popup's layered opacity; -1 when it is not layered or cannot be read.
int LayeredAlpha(HWND popup);
COLORREF ScreenColour(int x, int y);
// Copies screenRect from the screen into a 24-bit .bmp file.
bool PlayerSaveScreenshot(const RECT *wanted, const char *bmpPath);

// --- files -------------------------------------------------------------------

// Creates path and every missing directory above it; true when it exists.
bool PlayerMakeDirectories(const char *path);
// Deletes a folder with everything in it.
void PlayerRemoveTree(const char *path);
// The plug-in's settings file, <INI directory>\plugins\tunebell.ini, and
// one key of its section Tunebell; `missing` when the file has no such key.
std::string PlayerSettingsFile();
bool PlayerWriteSetting(const char *key, int value);
int PlayerReadSetting(const char *key, int missing = -1);

// --- display scaling -----------------------------------------------------------

// The resolution this process was started with (LOGPIXELSY of the screen).
int PlayerScreenDpi();
// Runs a command line as a child process, with the same standard output,
// on a display scaled to dpi: the system's resolution (LogPixels in
// HKCU\Control Panel\Desktop) is set for the child, which reads it as it
// starts, and put back as it was once the child has ended. Nothing else
// may start in the meantime. Pumps while it waits. The child's exit code;
// -1 when it could not be started, or was ended at the deadline.
int PlayerRunAtDpi(const char *commandLine, int dpi, DWORD timeoutMs);
