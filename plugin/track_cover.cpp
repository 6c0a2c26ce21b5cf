#include "plugin/track_cover.h"
#include "cover/cover.h"
#include "plugin/file_query.h"
#include "plugin/plugin.h"

void AskForTrackCover(int position, int box, PopupRequest *request)
{
    if (!box)
        return;
    WCHAR *path = (WCHAR *)HeapAlloc(GetProcessHeap(), 0, TRACK_FILE_UNITS * sizeof(WCHAR));
    if (!path)
        return;
    if (QueryTrackFile(position, path)) {
        request->CoverTicket = AskForCover(path, box);
        request->CoverBox = request->CoverTicket ? box : 0;
    }
    HeapFree(GetProcessHeap(), 0, path);
}

void QueryNextTrackFile(int position, int box, WCHAR *path)
{
    path[0] = 0;
    if (!box)
        return;
    int entries = (int)AskPlayer(0, PLAYER_GET_LIST_LENGTH);
    if (position >= 0 && position + 1 < entries)
        QueryTrackFile(position + 1, path);
}

void LookAheadTrackCover(const WCHAR *path, int box)
{
    if (box && path[0])
        LookAheadCover(path, box);
}
