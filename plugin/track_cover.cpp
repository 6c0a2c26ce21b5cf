#include "plugin/track_cover.h"
#include "plugin/file_query.h"
#include "base/player.h"
#include "cover/cover.h"
#include "popup/popup.h"

void AskForTrackCover(int position, int size, PopupRequest *request)
{
    if (!size)
        return;
    WCHAR *path = (WCHAR *)HeapAlloc(GetProcessHeap(), 0, TRACK_FILE_UNITS * sizeof(WCHAR));
    if (!path)
        return;
    if (QueryTrackFile(position, path)) {
        request->CoverTicket = AskForCover(path, PopupCoverPixels(size));
        request->CoverSize = request->CoverTicket ? size : 0;
    }
    HeapFree(GetProcessHeap(), 0, path);
}

void QueryNextTrackFile(int position, int size, WCHAR *path)
{
    path[0] = 0;
    if (!size)
        return;
    int entries = (int)AskPlayer(0, PLAYER_GET_LIST_LENGTH);
    if (position >= 0 && position + 1 < entries)
        QueryTrackFile(position + 1, path);
}

void LookAheadTrackCover(const WCHAR *path, int size)
{
    if (size && path[0])
        LookAheadCover(path, PopupCoverPixels(size));
}
