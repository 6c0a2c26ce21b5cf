#include "plugin/media_display.h"
#include "plugin/file_query.h"
#include "plugin/media_rules.h"
#include "plugin/title_query.h"
#include "base/player.h"
#include "cover/cover.h"

// Windows' MediaPlaybackType.
#define MEDIA_TYPE_MUSIC 1
// Units of a tag's text kept, its NUL included.
#define TAG_UNITS 512

// What the player's tags say about the current track; empty where they say
// nothing.
struct TrackTags {
    WCHAR title[TAG_UNITS];
    WCHAR artist[TAG_UNITS];
    WCHAR albumArtist[TAG_UNITS];
    WCHAR album[TAG_UNITS];
    WCHAR track[TAG_UNITS];
};

static void AskTag(const WCHAR *file, const WCHAR *field, WCHAR text[TAG_UNITS])
{
    text[0] = 0;
    PlayerTagQuery query = { file, field, text, TAG_UNITS };
    if (AskPlayer((WPARAM)&query, PLAYER_GET_WIDE_TAG) != 1)
        text[0] = 0;
    // A text that fills the buffer may come without its NUL.
    text[TAG_UNITS - 1] = 0;
}

static void AskTrackTags(int position, const WCHAR *file, TrackTags *tags)
{
    ZeroMemory(tags, sizeof(*tags));
    if (file[0]) {
        AskTag(file, L"title", tags->title);
        AskTag(file, L"artist", tags->artist);
        AskTag(file, L"albumartist", tags->albumArtist);
        AskTag(file, L"album", tags->album);
        AskTag(file, L"track", tags->track);
    }
    // Without a title of its own the track shows as the popup names it.
    if (!tags->title[0]) {
        WCHAR copy[TRACK_TITLE_COPY];
        lstrcpynW(tags->title, QueryTrackTitle(position, copy), TAG_UNITS);
    }
}

static void PutText(HRESULT (WINAPI *put)(MediaMusicProperties *, WinrtString), MediaMusicProperties *properties,
                    const WCHAR *text)
{
    WinrtString string = MakeWinrtString(text);
    put(properties, string);
    FreeWinrtString(string);
}

static void PutMusicTags(MediaDisplayUpdater *updater, const TrackTags *tags)
{
    MediaMusicProperties *music = NULL;
    MediaMusicProperties2 *music2 = NULL;
    if (SUCCEEDED(updater->methods->get_MusicProperties(updater, &music)) && music) {
        PutText(music->methods->put_Title, music, tags->title);
        PutText(music->methods->put_Artist, music, tags->artist);
        PutText(music->methods->put_AlbumArtist, music, tags->albumArtist);
        if (SUCCEEDED(music->methods->QueryInterface(music, IidMusicProperties2, (void **)&music2)) && music2) {
            WinrtString album = MakeWinrtString(tags->album);
            music2->methods->put_AlbumTitle(music2, album);
            FreeWinrtString(album);
            music2->methods->put_TrackNumber(music2, TrackNumberFromTag(tags->track));
        }
    }
    ReleaseWinrtObject(&music2);
    ReleaseWinrtObject(&music);
}

// Wine's controls take no picture, and its shcore raises an exception in
// place of making the stream.
static bool RunningOnWine(void)
{
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

typedef WinrtObject *(WINAPI *MemoryStreamProc)(const BYTE *bytes, UINT size);
typedef HRESULT (WINAPI *StreamOverStreamProc)(WinrtObject *stream, int options, REFIID iid, void **out);

// Looked up at each use: their modules stay loaded once loaded (Windows
// keeps the streams they made for as long as it shows the picture).
static FARPROC LibraryFunction(const char *library, const char *name)
{
    HMODULE module = GetModuleHandleA(library);
    if (!module)
        module = LoadLibraryA(library);
    return module ? GetProcAddress(module, name) : NULL;
}

// The picture's own bytes in a stream Windows can read: a memory stream
// (which copies them), seen as a Windows Runtime stream, in a reference.
static WinrtObject *MakeThumbnail(const CoverPicture *picture)
{
    MemoryStreamProc createMemoryStream = (MemoryStreamProc)(void *)LibraryFunction("shlwapi.dll", "SHCreateMemStream");
    // Windows XP has it by number only.
    if (!createMemoryStream)
        createMemoryStream = (MemoryStreamProc)(void *)LibraryFunction("shlwapi.dll", MAKEINTRESOURCEA(12));
    StreamOverStreamProc overStream = (StreamOverStreamProc)(void *)
        LibraryFunction("shcore.dll", "CreateRandomAccessStreamOverStream");
    if (!createMemoryStream || !overStream)
        return NULL;
    WinrtObject *memory = createMemoryStream(picture->bytes, picture->size);
    WinrtObject *stream = NULL, *reference = NULL;
    StreamReferenceStatics *statics = NULL;
    if (memory && SUCCEEDED(overStream(memory, 0, IidRandomAccessStream, (void **)&stream)) && stream
        && SUCCEEDED(GetWinrtFactory(L"Windows.Storage.Streams.RandomAccessStreamReference",
                                     IidStreamReferenceStatics, (void **)&statics)) && statics
        && FAILED(statics->methods->CreateFromStream(statics, stream, &reference)))
        reference = NULL;
    ReleaseWinrtObject(&statics);
    ReleaseWinrtObject(&stream);
    ReleaseWinrtObject(&memory);
    return reference;
}

static void PutCover(MediaDisplayUpdater *updater, const WCHAR *file)
{
    if (RunningOnWine())
        return;
    CoverPicture *picture = file[0] ? ReadCoverPicture(file, MEDIA_COVER_MOST) : NULL;
    WinrtObject *thumbnail = picture ? MakeThumbnail(picture) : NULL;
    if (picture)
        FreeCoverPicture(picture);
    updater->methods->put_Thumbnail(updater, thumbnail);
    ReleaseWinrtObject(&thumbnail);
}

void UpdateMediaDisplay(MediaDisplayUpdater *updater)
{
    updater->methods->ClearAll(updater);
    // An empty playlist: nothing plays.
    if (AskPlayer(0, PLAYER_GET_LIST_LENGTH) <= 0) {
        updater->methods->Update(updater);
        return;
    }
    int position = (int)AskPlayer(0, PLAYER_GET_POSITION);
    WCHAR *file = (WCHAR *)HeapAlloc(GetProcessHeap(), 0, TRACK_FILE_UNITS * sizeof(WCHAR));
    TrackTags *tags = (TrackTags *)HeapAlloc(GetProcessHeap(), 0, sizeof(TrackTags));
    if (file && tags) {
        if (!QueryTrackFile(position, file))
            file[0] = 0;
        AskTrackTags(position, file, tags);
        updater->methods->put_Type(updater, MEDIA_TYPE_MUSIC);
        PutMusicTags(updater, tags);
        PutCover(updater, file);
    }
    updater->methods->Update(updater);
    if (tags)
        HeapFree(GetProcessHeap(), 0, tags);
    if (file)
        HeapFree(GetProcessHeap(), 0, file);
}

void ClearMediaDisplay(MediaDisplayUpdater *updater)
{
    updater->methods->ClearAll(updater);
}
