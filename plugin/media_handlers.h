// Our handlers of Windows' media-control events: a button pressed, a jump
// on the timeline asked for. Each passes the event on to the media
// controls' thread as a message and returns at once. Windows may call a
// handler on any thread, and keeps calling one it took before its removal
// even after our module is gone: once retired, a handler answers as an
// inert object from memory of our own, and no call reaches our module.
#ifndef TUNEBELL_PLUGIN_MEDIA_HANDLERS_H
#define TUNEBELL_PLUGIN_MEDIA_HANDLERS_H

#include <windows.h>

enum MediaHandlerKind {
    MEDIA_HANDLER_BUTTON,     // UM_MEDIA_BUTTON, wParam the button
    MEDIA_HANDLER_POSITION,   // UM_MEDIA_SEEK, wParam the milliseconds
};

struct MediaHandler;

// A handler that posts its events to `thread`, with one reference (the
// caller's); NULL when none can be made.
MediaHandler *NewMediaHandler(MediaHandlerKind kind, DWORD thread);
// Once Windows was told to remove it: from when this returns, no call on the
// handler runs code of our module. Its memory is freed when nobody else
// holds a reference, and kept for the life of the process otherwise.
void RetireMediaHandler(MediaHandler *handler);

#endif
