// Every private message number of the plug-in, by receiver. A number is
// chosen here and nowhere else, so that two messages meant for the same
// window or thread can never share one.
//
// The numbers from 1537 up, 5674 and the colour picker's are the ones the
// plug-in has always used; messages of our own since then are numbered from
// WM_APP, a range none of those reach.
#ifndef TUNEBELL_MESSAGES_H
#define TUNEBELL_MESSAGES_H

#include <windows.h>

// The popup window (popup/window.cpp). Messages it does not handle go to the
// request's chained window procedure.
#define UM_POPUP_CLOSE   1537   // 0x601; close with the hide effect, as a click does
#define UM_POPUP_CREATED 1538   // 0x602; wParam the popup itself, sent once it exists
// Posted by the shutdown: destroy at once, no effect, no re-placing.
#define UM_POPUP_DESTROY (WM_APP + 0)
// Posted by the thread that re-placed the popups: move to the place stored
// for this popup in the list (popup/list.cpp, MoveToStoredPlace).
#define UM_POPUP_PLACE   (WM_APP + 0x100)
#define PLACE_PASS_ON 1   // UM_POPUP_PLACE's wParam: move, paint, then tell the
                          // next younger popup; a value, not a message
// Posted by the popup's own wheel hook (popup/controls.cpp): the wheel turned
// over the popup; by how much, the hook added up in the popup's record.
#define UM_POPUP_WHEEL   (WM_APP + 0x104)
// Posted by the settings dialog to every popup: the settings changed, take
// them up (popup/controls.cpp, ApplyControlsSetting).
#define UM_POPUP_SETTINGS (WM_APP + 0x105)

// A warm popup thread's queue (popup/thread_pool.cpp), while it waits in the
// pool. Each only wakes the thread: what it is to do was left for it in the
// pool, so a message posted from outside asks for nothing.
#define UM_POOL_RUN      (WM_APP + 0x101)   // a request is there to show
#define UM_POOL_END      (WM_APP + 0x102)   // the engine stops: end
// A warm thread's hidden window, handled after its popup's show: start the
// next spare when one is wanted.
#define UM_POOL_REFILL   (WM_APP + 0x103)

// The hot-key thread's queue (plugin/hotkey.cpp), beside WM_HOTKEY.
#define UM_HOTKEY_SET  1539   // wParam modifier mask, lParam virtual key; the
                              // thread registers the settings' HotKey, not these
#define UM_HOTKEY_STOP 1540   // wakes the thread to see its stop flag

// The track-information thread's queue (plugin/track_watch.cpp).
#define UM_SHOW_TRACK 1541   // wParam 0 from the player's events, 1 from the hot key
#define SHOW_TRACK_FROM_HOT_KEY 1   // UM_SHOW_TRACK's wParam: a value, not a message
#define UM_INFO_STOP  1542

// The media controls' thread (plugin/media_controls.cpp).
#define UM_MEDIA_SETTING (WM_APP + 0x106)   // wParam 1: show the player in Windows' controls, 0: not
#define UM_MEDIA_TRACK   (WM_APP + 0x107)   // a track event: update once the player has settled
#define UM_MEDIA_STATE   (WM_APP + 0x108)   // the player's play state changed
#define UM_MEDIA_BUTTON  (WM_APP + 0x109)   // wParam one of Windows' buttons, pressed
#define UM_MEDIA_SEEK    (WM_APP + 0x10A)   // wParam the milliseconds Windows asks to jump to
#define UM_MEDIA_STOP    (WM_APP + 0x10B)   // wakes the thread to see its stop flag

// The settings dialog, sent to itself (plugin/dialog.cpp): wParam a
// control, lParam the unsigned value its text goes back to.
#define UM_RESTORE_INT 5674
// Posted to the settings dialog once it is known whether Windows has its
// media controls (plugin/media_controls.cpp, TellWhenMediaControlsKnown).
#define UM_MEDIA_CONTROLS_KNOWN (WM_APP + 0x110)

// The colour swatch control (plugin/colour_picker.cpp).
#define CPM_SETCOLOUR 0x1000   // lParam the colour; the result is 0
#define CPM_GETCOLOUR 0x1001   // the result is the colour
// lParam the colour the chooser offers as its first custom colour; no repaint.
#define CPM_SETCUSTOM 0x1002
#define CPM_GETCUSTOM 0x1003
// After a pick the swatch's parent gets WM_COMMAND with this code in the high
// word: a notification code, not a message.
#define CPN_COLOURPICKED 1

// What the checks below walk: every private number of the plug-in.
constexpr UINT PrivateMessageNumbers[] = {
    UM_POPUP_CLOSE, UM_POPUP_CREATED, UM_POPUP_DESTROY, UM_POPUP_PLACE, UM_POPUP_WHEEL, UM_POPUP_SETTINGS,
    UM_POOL_RUN, UM_POOL_END, UM_POOL_REFILL,
    UM_HOTKEY_SET, UM_HOTKEY_STOP,
    UM_SHOW_TRACK, UM_INFO_STOP,
    UM_MEDIA_SETTING, UM_MEDIA_TRACK, UM_MEDIA_STATE, UM_MEDIA_BUTTON, UM_MEDIA_SEEK, UM_MEDIA_STOP,
    UM_RESTORE_INT, UM_MEDIA_CONTROLS_KNOWN,
    CPM_SETCOLOUR, CPM_GETCOLOUR, CPM_SETCUSTOM, CPM_GETCUSTOM,
};
#define PRIVATE_MESSAGE_COUNT (sizeof(PrivateMessageNumbers) / sizeof(PrivateMessageNumbers[0]))

constexpr bool PrivateMessagesDistinct()
{
    for (UINT i = 0; i < PRIVATE_MESSAGE_COUNT; i++)
        for (UINT j = i + 1; j < PRIVATE_MESSAGE_COUNT; j++)
            if (PrivateMessageNumbers[i] == PrivateMessageNumbers[j])
                return false;
    return true;
}

// Private numbers lie above the system's own messages (WM_USER and up) and
// below the numbers RegisterWindowMessage hands out.
constexpr bool PrivateMessagesInPrivateRange()
{
    bool inside = true;
    for (UINT i = 0; i < PRIVATE_MESSAGE_COUNT; i++)
        inside = inside && PrivateMessageNumbers[i] >= WM_USER && PrivateMessageNumbers[i] < 0xC000;
    return inside;
}

// Every number differs from every other, whatever receives it: then no two
// of one receiver can meet, even when a message moves to another receiver.
static_assert(PrivateMessagesDistinct(), "two private messages share a number");
static_assert(PrivateMessagesInPrivateRange(), "a private message is outside WM_USER..0xBFFF");

#endif
