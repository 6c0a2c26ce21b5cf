/* The controls of a window, their display updater, its music properties and
 * the timeline properties: every call that changes something is recorded.
 *
 * Slots after IInspectable's six (Windows' metadata order; a get before
 * each put):
 *   ISystemMediaTransportControls (99fa3ff4-1742-42a6-902e-087d41f965ec)
 *     6/7 PlaybackStatus  8 get_DisplayUpdater  9 get_SoundLevel  10/11 IsEnabled
 *     12/13 IsPlayEnabled  14/15 IsStopEnabled  16/17 IsPauseEnabled  18/19 IsRecordEnabled
 *     20/21 IsFastForwardEnabled  22/23 IsRewindEnabled  24/25 IsPreviousEnabled
 *     26/27 IsNextEnabled  28/29 IsChannelUpEnabled  30/31 IsChannelDownEnabled
 *     32 add_ButtonPressed  33 remove_ButtonPressed  34 add_PropertyChanged  35 remove_PropertyChanged
 *   ISystemMediaTransportControls2 (ea98d2f6-7f3c-4af2-a586-72889808efb1)
 *     6/7 AutoRepeatMode  8/9 ShuffleEnabled  10/11 PlaybackRate (DOUBLE)
 *     12 UpdateTimelineProperties  13/14 add/remove_PlaybackPositionChangeRequested
 *     15/16 PlaybackRateChangeRequested  17/18 ShuffleEnabledChangeRequested
 *     19/20 AutoRepeatModeChangeRequested
 *   ISystemMediaTransportControlsDisplayUpdater (8abbc53e-fa55-4ecf-ad8e-c984e5dd1550)
 *     6/7 Type  8/9 AppMediaId  10/11 Thumbnail  12 get_MusicProperties  13 get_VideoProperties
 *     14 get_ImageProperties  15 CopyFromFileAsync  16 ClearAll  17 Update
 *   IMusicDisplayProperties (6bbf0c59-d0a0-4d26-92a0-f978e1d18e7b)
 *     6/7 Title  8/9 AlbumArtist  10/11 Artist
 *   IMusicDisplayProperties2 (00368462-97d3-44b9-b00f-008afcefaf18)
 *     6/7 AlbumTitle  8/9 TrackNumber (UINT32)  10 get_Genres
 *   ISystemMediaTransportControlsTimelineProperties (5125316a-c3a2-475b-8507-93534dc88f15)
 *     6/7 StartTime  8/9 EndTime  10/11 MinSeekTime  12/13 MaxSeekTime  14/15 Position
 *     (TimeSpan: 100-ns ticks, by value)
 *   Event handlers (IUnknown, 3 Invoke(sender, args)): TypedEventHandler<SystemMediaTransport-
 *     Controls, ...ButtonPressedEventArgs> 0557e996-7b23-5bae-aa81-ea0d671143a4,
 *     <..., PlaybackPositionChangeRequestedEventArgs> 44e34f15-bdc0-50a7-ace4-39e91fb753f1
 */
#include "double.h"

const IID kIidControls = { 0x99fa3ff4, 0x1742, 0x42a6, { 0x90, 0x2e, 0x08, 0x7d, 0x41, 0xf9, 0x65, 0xec } };
const IID kIidControls2 = { 0xea98d2f6, 0x7f3c, 0x4af2, { 0xa5, 0x86, 0x72, 0x88, 0x98, 0x08, 0xef, 0xb1 } };
const IID kIidButtonHandler = { 0x0557e996, 0x7b23, 0x5bae, { 0xaa, 0x81, 0xea, 0x0d, 0x67, 0x11, 0x43, 0xa4 } };
const IID kIidPositionHandler = { 0x44e34f15, 0xbdc0, 0x50a7, { 0xac, 0xe4, 0x39, 0xe9, 0x1f, 0xb7, 0x53, 0xf1 } };
static const IID kIidUpdater = { 0x8abbc53e, 0xfa55, 0x4ecf, { 0xad, 0x8e, 0xc9, 0x84, 0xe5, 0xdd, 0x15, 0x50 } };
static const IID kIidMusic = { 0x6bbf0c59, 0xd0a0, 0x4d26, { 0x92, 0xa0, 0xf9, 0x78, 0xe1, 0xd1, 0x8e, 0x7b } };
static const IID kIidMusic2 = { 0x00368462, 0x97d3, 0x44b9, { 0xb0, 0x0f, 0x00, 0x8a, 0xfc, 0xef, 0xaf, 0x18 } };
static const IID kIidTimeline = { 0x5125316a, 0xc3a2, 0x475b, { 0x85, 0x07, 0x93, 0x53, 0x4d, 0xc8, 0x8f, 0x15 } };

typedef struct { LONGLONG value; } Token;   /* EventRegistrationToken */

/* The controls' flags, by the slot of their get. */
enum { kFlagEnabled, kFlagPlay, kFlagStop, kFlagPause, kFlagRecord, kFlagFastForward, kFlagRewind,
       kFlagPrevious, kFlagNext, kFlagChannelUp, kFlagChannelDown, kFlags };
static const char *const kFlagNames[kFlags] = { "IsEnabled", "IsPlayEnabled", "IsStopEnabled", "IsPauseEnabled",
    "IsRecordEnabled", "IsFastForwardEnabled", "IsRewindEnabled", "IsPreviousEnabled", "IsNextEnabled",
    "IsChannelUpEnabled", "IsChannelDownEnabled" };

enum { kMaxWindows = 8, kMaxHandlers = 16 };

typedef struct {
    DoubleObject base;
    int type;
} UpdaterObject;

typedef struct {
    DoubleObject base;
    HWND window;
    int status;
    unsigned char flags[kFlags];
} ControlsObject;

typedef struct {
    int kind;   /* 0 ButtonPressed, 1 PlaybackPositionChangeRequested */
    LONGLONG token;
    IUnknown *handler;
} Handler;

static CRITICAL_SECTION gLock;
static ControlsObject gControls[kMaxWindows];
static int gControlsCount;
static UpdaterObject gUpdater;
static DoubleObject gMusic;
static Handler gHandlers[kMaxHandlers];
static int gHandlerCount;
static LONGLONG gNextToken = 1;
static BOOL gNextStartsEnabled;

/* --- the controls -------------------------------------------------------- */

static ControlsObject *ControlsOf(Face *self)
{
    return (ControlsObject *)self->owner;
}

static HRESULT STDMETHODCALLTYPE GetStatus(Face *self, int *status)
{
    *status = ControlsOf(self)->status;
    return S_OK;
}

static HRESULT STDMETHODCALLTYPE PutStatus(Face *self, int status)
{
    ControlsOf(self)->status = status;
    Record("put_PlaybackStatus %d", status);
    return S_OK;
}

static HRESULT STDMETHODCALLTYPE GetDisplayUpdater(Face *self, void **out)
{
    (void)self;
    return ObjectQuery(&gUpdater.base, &kIidUpdater, out);
}

static HRESULT STDMETHODCALLTYPE GetSoundLevel(Face *self, int *level)
{
    (void)self;
    *level = 2;   /* Full */
    return S_OK;
}

/* One get and one put for each flag, told apart by a template of two. */
#define FLAG_ACCESSORS(n)                                                                  \
    static HRESULT STDMETHODCALLTYPE GetFlag##n(Face *self, unsigned char *on)             \
    {                                                                                      \
        *on = ControlsOf(self)->flags[n];                                                  \
        return S_OK;                                                                       \
    }                                                                                      \
    static HRESULT STDMETHODCALLTYPE PutFlag##n(Face *self, unsigned char on)              \
    {                                                                                      \
        ControlsOf(self)->flags[n] = on ? 1 : 0;                                           \
        Record("put_%s %d", kFlagNames[n], on ? 1 : 0);                                    \
        return S_OK;                                                                       \
    }
FLAG_ACCESSORS(0) FLAG_ACCESSORS(1) FLAG_ACCESSORS(2) FLAG_ACCESSORS(3) FLAG_ACCESSORS(4) FLAG_ACCESSORS(5)
FLAG_ACCESSORS(6) FLAG_ACCESSORS(7) FLAG_ACCESSORS(8) FLAG_ACCESSORS(9) FLAG_ACCESSORS(10)
#define FLAG_SLOTS(n) (void *)GetFlag##n, (void *)PutFlag##n

static HRESULT AddHandler(int kind, IUnknown *handler, const IID *iid, Token *token, const char *name)
{
    IUnknown *typed = NULL;
    HRESULT result;
    token->value = 0;
    if (!handler)
        return E_INVALIDARG;
    /* Windows asks the delegate for its exact parameterised interface. */
    result = handler->lpVtbl->QueryInterface(handler, iid, (void **)&typed);
    Record("%s%s", name, SUCCEEDED(result) && typed ? "" : " (the handler denies its interface)");
    if (FAILED(result) || !typed)
        return E_INVALIDARG;
    EnterCriticalSection(&gLock);
    if (gHandlerCount == kMaxHandlers) {
        LeaveCriticalSection(&gLock);
        typed->lpVtbl->Release(typed);
        return E_OUTOFMEMORY;
    }
    gHandlers[gHandlerCount].kind = kind;
    gHandlers[gHandlerCount].token = gNextToken++;
    gHandlers[gHandlerCount].handler = typed;
    token->value = gHandlers[gHandlerCount].token;
    gHandlerCount++;
    LeaveCriticalSection(&gLock);
    return S_OK;
}

static HRESULT RemoveHandler(int kind, Token token, const char *name)
{
    IUnknown *gone = NULL;
    int i;
    Record("%s", name);
    EnterCriticalSection(&gLock);
    for (i = 0; i < gHandlerCount; i++) {
        if (gHandlers[i].kind == kind && gHandlers[i].token == token.value) {
            gone = gHandlers[i].handler;
            gHandlers[i] = gHandlers[--gHandlerCount];
            break;
        }
    }
    LeaveCriticalSection(&gLock);
    if (gone)
        gone->lpVtbl->Release(gone);
    if (kind == 0)
        FireArmedAtRemove();
    return S_OK;
}

static HRESULT STDMETHODCALLTYPE AddButtonPressed(Face *self, IUnknown *handler, Token *token)
{
    (void)self;
    return AddHandler(0, handler, &kIidButtonHandler, token, "add_ButtonPressed");
}

static HRESULT STDMETHODCALLTYPE RemoveButtonPressed(Face *self, Token token)
{
    (void)self;
    return RemoveHandler(0, token, "remove_ButtonPressed");
}

static HRESULT STDMETHODCALLTYPE AddOther(Face *self, IUnknown *handler, Token *token)
{
    (void)self, (void)handler;
    token->value = 0;
    Record("add of an event the double never raises");
    return E_NOTIMPL;
}

static HRESULT STDMETHODCALLTYPE RemoveOther(Face *self, Token token)
{
    (void)self, (void)token;
    return S_OK;
}

static void *const kControlsTable[] = {
    INSPECTABLE_SLOTS, (void *)GetStatus, (void *)PutStatus, (void *)GetDisplayUpdater, (void *)GetSoundLevel,
    FLAG_SLOTS(0), FLAG_SLOTS(1), FLAG_SLOTS(2), FLAG_SLOTS(3), FLAG_SLOTS(4), FLAG_SLOTS(5), FLAG_SLOTS(6),
    FLAG_SLOTS(7), FLAG_SLOTS(8), FLAG_SLOTS(9), FLAG_SLOTS(10),
    (void *)AddButtonPressed, (void *)RemoveButtonPressed, (void *)AddOther, (void *)RemoveOther
};

/* --- the controls' second interface ---------------------------------------- */

static HRESULT STDMETHODCALLTYPE GetNumber(Face *self, int *value)
{
    (void)self;
    *value = 0;
    return S_OK;
}

static HRESULT STDMETHODCALLTYPE PutNumber(Face *self, int value)
{
    (void)self;
    Record("put of a mode the double ignores %d", value);
    return S_OK;
}

static HRESULT STDMETHODCALLTYPE GetRate(Face *self, double *rate)
{
    (void)self;
    *rate = 1.0;
    return S_OK;
}

static HRESULT STDMETHODCALLTYPE PutRate(Face *self, double rate)
{
    (void)self, (void)rate;
    Record("put_PlaybackRate");
    return S_OK;
}

static long Milliseconds(LONGLONG ticks)
{
    return (long)(ticks / 10000);
}

static HRESULT STDMETHODCALLTYPE UpdateTimeline(Face *self, Face *timeline)
{
    /* Read through the interface's own slots, whoever made it. */
    typedef HRESULT(STDMETHODCALLTYPE * GetTime)(Face *, LONGLONG *);
    static const int kGets[] = { 6, 8, 14, 10, 12 };   /* start, end, position, min seek, max seek */
    LONGLONG times[5] = { 0, 0, 0, 0, 0 };
    int i;
    (void)self;
    if (!timeline)
        return E_INVALIDARG;
    for (i = 0; i < 5; i++)
        ((GetTime)timeline->table[kGets[i]])(timeline, &times[i]);
    Record("UpdateTimelineProperties %ld %ld %ld %ld %ld", Milliseconds(times[0]), Milliseconds(times[1]),
           Milliseconds(times[2]), Milliseconds(times[3]), Milliseconds(times[4]));
    return S_OK;
}

static HRESULT STDMETHODCALLTYPE AddPositionRequested(Face *self, IUnknown *handler, Token *token)
{
    (void)self;
    return AddHandler(1, handler, &kIidPositionHandler, token, "add_PlaybackPositionChangeRequested");
}

static HRESULT STDMETHODCALLTYPE RemovePositionRequested(Face *self, Token token)
{
    (void)self;
    return RemoveHandler(1, token, "remove_PlaybackPositionChangeRequested");
}

static void *const kControls2Table[] = {
    INSPECTABLE_SLOTS, (void *)GetNumber, (void *)PutNumber, (void *)GetNumber, (void *)PutNumber,
    (void *)GetRate, (void *)PutRate, (void *)UpdateTimeline, (void *)AddPositionRequested,
    (void *)RemovePositionRequested, (void *)AddOther, (void *)RemoveOther, (void *)AddOther,
    (void *)RemoveOther, (void *)AddOther, (void *)RemoveOther
};

HRESULT ControlsForWindow(HWND window, REFIID iid, void **out)
{
    static void *const *const tables[] = { kControlsTable, kControls2Table };
    static const IID *const iids[] = { &kIidControls, &kIidControls2 };
    ControlsObject *controls = NULL;
    int i;
    *out = NULL;
    if (!IsWindow(window))
        return E_INVALIDARG;
    EnterCriticalSection(&gLock);
    for (i = 0; i < gControlsCount; i++)
        if (gControls[i].window == window)
            controls = &gControls[i];
    if (!controls && gControlsCount < kMaxWindows) {
        controls = &gControls[gControlsCount++];
        InitObject(&controls->base, 2, tables, iids, NULL);
        controls->window = window;
        controls->status = 0;   /* Closed */
    }
    if (controls && gNextStartsEnabled) {
        controls->flags[kFlagEnabled] = 1;
        gNextStartsEnabled = FALSE;
    }
    LeaveCriticalSection(&gLock);
    return controls ? ObjectQuery(&controls->base, iid, out) : E_OUTOFMEMORY;
}

void NextControlsStartEnabled(BOOL on)
{
    EnterCriticalSection(&gLock);
    gNextStartsEnabled = on;
    LeaveCriticalSection(&gLock);
}

Face *AnyControls(void)
{
    return gControlsCount ? &gControls[gControlsCount - 1].base.faces[0] : NULL;
}

int TakeHandlers(int kind, IUnknown **out, int max)
{
    int i, count = 0;
    EnterCriticalSection(&gLock);
    for (i = 0; i < gHandlerCount && count < max; i++) {
        if (gHandlers[i].kind == kind) {
            out[count] = gHandlers[i].handler;
            out[count]->lpVtbl->AddRef(out[count]);
            count++;
        }
    }
    LeaveCriticalSection(&gLock);
    return count;
}

/* --- the display updater ---------------------------------------------------- */

static HRESULT STDMETHODCALLTYPE GetType(Face *self, int *type)
{
    *type = ((UpdaterObject *)self->owner)->type;
    return S_OK;
}

static HRESULT STDMETHODCALLTYPE PutType(Face *self, int type)
{
    ((UpdaterObject *)self->owner)->type = type;
    Record("put_Type %d", type);
    return S_OK;
}

static HRESULT STDMETHODCALLTYPE GetNothing(Face *self, void **value)
{
    (void)self;
    *value = NULL;
    return S_OK;
}

static HRESULT STDMETHODCALLTYPE PutAppMediaId(Face *self, HSTRING_ id)
{
    (void)self;
    RecordString("put_AppMediaId", id);
    return S_OK;
}

static HRESULT STDMETHODCALLTYPE PutThumbnail(Face *self, Face *reference)
{
    unsigned char *bytes;
    int length = -1;
    (void)self;
    if (!reference) {
        RecordThumbnail(NULL, -1);
        return S_OK;
    }
    bytes = ReadReferencedPicture(reference, &length);
    if (!bytes) {
        Record("put_Thumbnail of a stream the double cannot read");
        return S_OK;
    }
    RecordThumbnail(bytes, length);
    HeapFree(GetProcessHeap(), 0, bytes);
    return S_OK;
}

static HRESULT STDMETHODCALLTYPE GetMusicProperties(Face *self, void **out)
{
    (void)self;
    return ObjectQuery(&gMusic, &kIidMusic, out);
}

static HRESULT STDMETHODCALLTYPE CopyFromFileAsync(Face *self, int type, void *file, void **operation)
{
    (void)self, (void)type, (void)file;
    *operation = NULL;
    return E_NOTIMPL;
}

static HRESULT STDMETHODCALLTYPE ClearAll(Face *self)
{
    ((UpdaterObject *)self->owner)->type = 0;
    ForgetThumbnail();
    Record("ClearAll");
    return S_OK;
}

static HRESULT STDMETHODCALLTYPE Update(Face *self)
{
    (void)self;
    Record("Update");
    return S_OK;
}

static void *const kUpdaterTable[] = {
    INSPECTABLE_SLOTS, (void *)GetType, (void *)PutType, (void *)GetNothing, (void *)PutAppMediaId,
    (void *)GetNothing, (void *)PutThumbnail, (void *)GetMusicProperties, (void *)GetNothing, (void *)GetNothing,
    (void *)CopyFromFileAsync, (void *)ClearAll, (void *)Update
};

/* --- the music properties: recorded, read back as empty ---------------------- */

static HRESULT STDMETHODCALLTYPE GetEmpty(Face *self, HSTRING_ *text)
{
    (void)self;
    *text = NULL;   /* the empty string */
    return S_OK;
}

#define STRING_PUT(name)                                                       \
    static HRESULT STDMETHODCALLTYPE Put##name(Face *self, HSTRING_ text)      \
    {                                                                          \
        (void)self;                                                            \
        RecordString("put_" #name, text);                                      \
        return S_OK;                                                           \
    }
STRING_PUT(Title) STRING_PUT(AlbumArtist) STRING_PUT(Artist) STRING_PUT(AlbumTitle)

static HRESULT STDMETHODCALLTYPE GetTrackNumber(Face *self, UINT32 *number)
{
    (void)self;
    *number = 0;
    return S_OK;
}

static HRESULT STDMETHODCALLTYPE PutTrackNumber(Face *self, UINT32 number)
{
    (void)self;
    Record("put_TrackNumber %u", number);
    return S_OK;
}

static void *const kMusicTable[] = { INSPECTABLE_SLOTS, (void *)GetEmpty, (void *)PutTitle, (void *)GetEmpty,
                                     (void *)PutAlbumArtist, (void *)GetEmpty, (void *)PutArtist };
static void *const kMusic2Table[] = { INSPECTABLE_SLOTS, (void *)GetEmpty, (void *)PutAlbumTitle,
                                      (void *)GetTrackNumber, (void *)PutTrackNumber, (void *)GetNothing };

/* --- the timeline properties -------------------------------------------------- */

typedef struct {
    DoubleObject base;
    LONGLONG times[5];   /* start, end, min seek, max seek, position: the slots' order */
} TimelineObject;

#define TIME_ACCESSORS(n)                                                               \
    static HRESULT STDMETHODCALLTYPE GetTime##n(Face *self, LONGLONG *ticks)            \
    {                                                                                   \
        *ticks = ((TimelineObject *)self->owner)->times[n];                             \
        return S_OK;                                                                    \
    }                                                                                   \
    static HRESULT STDMETHODCALLTYPE PutTime##n(Face *self, LONGLONG ticks)             \
    {                                                                                   \
        ((TimelineObject *)self->owner)->times[n] = ticks;                              \
        return S_OK;                                                                    \
    }
TIME_ACCESSORS(0) TIME_ACCESSORS(1) TIME_ACCESSORS(2) TIME_ACCESSORS(3) TIME_ACCESSORS(4)
#define TIME_SLOTS(n) (void *)GetTime##n, (void *)PutTime##n

static void *const kTimelineTable[] = { INSPECTABLE_SLOTS, TIME_SLOTS(0), TIME_SLOTS(1), TIME_SLOTS(2),
                                        TIME_SLOTS(3), TIME_SLOTS(4) };

static void FreeTimeline(DoubleObject *object)
{
    HeapFree(GetProcessHeap(), 0, object);
}

HRESULT NewTimeline(Face **out)
{
    static void *const *const tables[] = { kTimelineTable };
    static const IID *const iids[] = { &kIidTimeline };
    TimelineObject *object = (TimelineObject *)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof *object);
    *out = NULL;
    if (!object)
        return E_OUTOFMEMORY;
    InitObject(&object->base, 1, tables, iids, FreeTimeline);
    *out = &object->base.faces[0];
    return S_OK;
}

void ControlsInit(void)
{
    static void *const *const updaterTables[] = { kUpdaterTable };
    static const IID *const updaterIids[] = { &kIidUpdater };
    static void *const *const musicTables[] = { kMusicTable, kMusic2Table };
    static const IID *const musicIids[] = { &kIidMusic, &kIidMusic2 };
    InitializeCriticalSection(&gLock);
    InitObject(&gUpdater.base, 1, updaterTables, updaterIids, NULL);
    InitObject(&gMusic, 2, musicTables, musicIids, NULL);
}
