// A stand-in for Windows' media controls (Windows.Media.SystemMediaTransport-
// Controls and the few classes a program hands them pictures through), in a
// DLL of its own beside the player, media_double.dll. Registered in the Wine
// prefix as those classes, it is what combase loads for them; it records
// every call made on the controls and presses their buttons as Windows
// would, from a thread of its own.
#pragma once

#include <windows.h>

#include <string>

// Puts the double's classes into this prefix's registry
// (HKLM\Software\Microsoft\WindowsRuntime\ActivatableClassId\<class>, value
// DllPath), or takes them out again. False when the registry refused.
bool RegisterMediaDouble(void);
void UnregisterMediaDouble(void);

// Patches the loaded plug-in's imports so that it meets the double as it
// would meet Windows 10: GetProcAddress answers NULL for ntdll's
// wine_get_version and the double's own stand-in for shcore's
// CreateRandomAccessStreamOverStream (Wine 8 has only a stub that raises an
// exception). False when the plug-in is not loaded.
bool PatchPluginForMediaDouble(void);

// What the loaded double has recorded, oldest first, one call a line, each
// ending in '\n' (UTF-8). Empty when the double is not loaded.
//   "GetForWindow <window, 8 hex digits>"
//   "put_IsEnabled <0|1>", "put_IsPlayEnabled <0|1>", "put_IsPauseEnabled
//   <0|1>", "put_IsStopEnabled <0|1>", "put_IsPreviousEnabled <0|1>",
//   "put_IsNextEnabled <0|1>"
//   "add_ButtonPressed", "remove_ButtonPressed",
//   "add_PlaybackPositionChangeRequested",
//   "remove_PlaybackPositionChangeRequested"
//   "put_PlaybackStatus <n>"   (0 Closed, 1 Changing, 2 Stopped, 3 Playing, 4 Paused)
//   "ClearAll", "put_Type <n>" (1 Music), "put_Title <text>",
//   "put_Artist <text>", "put_AlbumArtist <text>", "put_AlbumTitle <text>",
//   "put_TrackNumber <n>", "put_Thumbnail <bytes> bytes", "put_Thumbnail none",
//   "Update"
//   "UpdateTimelineProperties <start> <end> <position> <min seek> <max seek>"
//   (each in milliseconds)
// Reads of a property are not recorded.
std::string MediaDoubleCalls(void);
// Forgets what was recorded so far.
void MediaDoubleForget(void);
// Waits (with a deadline, pumping the caller's messages) until the record
// holds `line` (without its '\n'); true when it came.
bool MediaDoubleWaitFor(const char *line, DWORD timeoutMs);
// The bytes of the picture last handed over as the thumbnail, read through
// the stream the program gave; empty when none.
std::string MediaDoubleThumbnail(void);
// The next controls handed out start with IsEnabled on, as when another
// program of the same window drives them.
void MediaDoubleStartEnabled(bool on);
// Presses one of Windows' buttons (0 Play, 1 Pause, 2 Stop, 6 Next,
// 7 Previous) from the double's thread, through every handler added and not
// removed; returns once they have returned.
bool MediaDoublePress(int button);
// Asks for a jump to `ms` milliseconds, as Windows' timeline slider does.
bool MediaDoubleRequestPosition(LONGLONG ms);
// Takes references to the handlers as they are now, as Windows' event
// source does when it starts raising an event; MediaDoubleFireHeld then calls
// exactly those (pressing `button`), even after they were removed and the
// plug-in unloaded, and releases them; returns once they have returned.
bool MediaDoubleHoldHandlers(void);
bool MediaDoubleFireHeld(int button);
// Takes references to the handlers as they are now and fires them (pressing
// `button`) from the double's thread while the next remove_ButtonPressed is
// under way, as an event Windows started raising just before the remove
// (the record then says "fired <n> held handlers at the remove"); returns
// how many it took.
int MediaDoubleFireAtRemove(int button);

// What Windows would show, read from a record as MediaDoubleCalls gives it:
// the display as the last Update left it (ClearAll empties what follows),
// the play state and the timeline as last set.
struct MediaShown {
    bool enabled = false;
    int status = 0;             // PlaybackStatus: 0 Closed ... 4 Paused
    int updates = 0;            // how many Update calls so far
    int type = 0;               // 1 Music
    std::string title, artist, albumArtist, album;
    unsigned trackNumber = 0;
    int thumbnailBytes = -1;    // -1: none
    std::string timeline;       // "start end position minSeek maxSeek" in ms; empty: none
    int timelinesSinceUpdate = 0;   // UpdateTimelineProperties calls after the last Update
};
MediaShown MediaShownBy(const std::string &calls);
