// The player as every part of the plug-in meets it: its main window and
// our module's instance, the commands the player answers and the buttons it
// has, and the one way a message reaches the user.
#ifndef TUNEBELL_BASE_PLAYER_H
#define TUNEBELL_BASE_PLAYER_H

#include <windows.h>

// Commands sent to the player: SendMessageA(host, WM_USER, wParam, command).
#define PLAYER_GET_PLAY_STATE   104   // 1 playing, 3 paused, 0 stopped
#define PLAYER_GET_LENGTH       105   // wParam 1: length in seconds (-1 none); 0: position in ms
#define PLAYER_JUMP_TO          106   // wParam: the position in ms
#define PLAYER_GET_LIST_LENGTH  124
#define PLAYER_GET_POSITION     125
#define PLAYER_SET_VOLUME       122   // wParam 0..255, or PLAYER_READ_VOLUME
#define PLAYER_READ_VOLUME      ((WPARAM)-666)   // 122 then answers the volume
#define PLAYER_GET_TRACK_INFO   126
#define PLAYER_GET_FILE         211   // wParam: a position; ANSI
#define PLAYER_GET_TITLE        212
#define PLAYER_GET_WIDE_TITLE   213
#define PLAYER_GET_WIDE_FILE    214   // wParam: a position; UTF-16
#define PLAYER_ADD_PREFS_PAGE   332
#define PLAYER_REMOVE_PREFS_PAGE 333   // wParam: the record 332 handed over
#define PLAYER_GET_INI_DIR      335
#define PLAYER_GET_DIALOG_OWNER 619
// wParam: a PlayerTagQuery; answers 1 with the field's text in its buffer, or 0.
#define PLAYER_GET_WIDE_TAG     3026

// The question 3026 asks, in the player's own layout.
struct PlayerTagQuery {
    const WCHAR *file;     // as 214 gives it
    const WCHAR *field;    // "title", "artist", "albumartist", "album", "track"
    WCHAR *text;           // the answer
    size_t textUnits;      // its room, in UTF-16 units
};

// What the player answers to command 104.
enum PlayState {
    PLAY_STOPPED = 0,
    PLAY_PLAYING = 1,
    PLAY_PAUSED = 3
};

// The player's own buttons: WM_COMMAND to its main window, the id in the
// low word of wParam, as the buttons of its window send them.
#define PLAYER_BUTTON_PREVIOUS 40044
#define PLAYER_BUTTON_PLAY     40045
#define PLAYER_BUTTON_PAUSE    40046   // pauses, and resumes a paused track
#define PLAYER_BUTTON_STOP     40047
#define PLAYER_BUTTON_NEXT     40048

// Notifications the player sends to its own main window.
#define PLAYER_TRACK_STARTED 3003
#define PLAYER_TAGS_CHANGED  3004
// The play state changed: WM_USER with wParam PLAYER_STATE_CHANGED_WPARAM.
#define PLAYER_STATE_CHANGED 603
#define PLAYER_STATE_CHANGED_WPARAM 2

// Set once, at the start, from what the player hands over.
extern HWND gHostWindow;
extern HINSTANCE gInstance;

inline LRESULT AskPlayer(WPARAM wParam, LPARAM command)
{
    return SendMessageA(gHostWindow, WM_USER, wParam, command);
}

// The one way a message reaches the user: a message box with no owner, the
// plug-in's caption and the information icon.
void ShowInfoMessage(const char *text);

#endif
