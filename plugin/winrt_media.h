// The few Windows Runtime interfaces the media controls use, as C sees
// them: an object is a record whose first field points to its table of
// methods. The tables follow Windows' metadata slot by slot; a slot we never
// call keeps its place as a bare pointer. The names are our own, so that
// they never meet the system's headers.
#ifndef TUNEBELL_PLUGIN_WINRT_MEDIA_H
#define TUNEBELL_PLUGIN_WINRT_MEDIA_H

#include <windows.h>

typedef struct WinrtStringRecord *WinrtString;   // an HSTRING; NULL is the empty string
typedef LONGLONG WinrtTimeSpan;                  // in units of 100 ns
struct WinrtEventToken {
    LONGLONG value;
};

#define WINRT_CALL WINAPI

// IUnknown's three slots and IInspectable's three.
#define WINRT_INSPECTABLE_SLOTS(Self)                                               \
    HRESULT (WINRT_CALL *QueryInterface)(Self *self, REFIID iid, void **object);    \
    ULONG (WINRT_CALL *AddRef)(Self *self);                                         \
    ULONG (WINRT_CALL *Release)(Self *self);                                        \
    void *GetIids;                                                                  \
    void *GetRuntimeClassName;                                                      \
    void *GetTrustLevel;

// Any object, for its IUnknown slots only (IStream and the streams alike).
struct WinrtObject;
struct WinrtObjectMethods {
    HRESULT (WINRT_CALL *QueryInterface)(WinrtObject *self, REFIID iid, void **object);
    ULONG (WINRT_CALL *AddRef)(WinrtObject *self);
    ULONG (WINRT_CALL *Release)(WinrtObject *self);
};
struct WinrtObject {
    const WinrtObjectMethods *methods;
};

// A TypedEventHandler: the objects we hand Windows. Not IInspectable.
struct MediaHandlerMethods {
    void *QueryInterface;
    void *AddRef;
    void *Release;
    void *Invoke;   // (self, sender, args)
};

// ISystemMediaTransportControlsInterop.
struct MediaInterop;
struct MediaInteropMethods {
    WINRT_INSPECTABLE_SLOTS(MediaInterop)
    HRESULT (WINRT_CALL *GetForWindow)(MediaInterop *self, HWND window, REFIID iid, void **controls);
};
struct MediaInterop {
    const MediaInteropMethods *methods;
};

struct MediaDisplayUpdater;

// ISystemMediaTransportControls.
struct MediaControls;
struct MediaControlsMethods {
    WINRT_INSPECTABLE_SLOTS(MediaControls)
    void *get_PlaybackStatus;
    HRESULT (WINRT_CALL *put_PlaybackStatus)(MediaControls *self, int status);
    HRESULT (WINRT_CALL *get_DisplayUpdater)(MediaControls *self, MediaDisplayUpdater **updater);
    void *get_SoundLevel;
    HRESULT (WINRT_CALL *get_IsEnabled)(MediaControls *self, BYTE *on);
    HRESULT (WINRT_CALL *put_IsEnabled)(MediaControls *self, BYTE on);
    void *get_IsPlayEnabled;
    HRESULT (WINRT_CALL *put_IsPlayEnabled)(MediaControls *self, BYTE on);
    void *get_IsStopEnabled;
    HRESULT (WINRT_CALL *put_IsStopEnabled)(MediaControls *self, BYTE on);
    void *get_IsPauseEnabled;
    HRESULT (WINRT_CALL *put_IsPauseEnabled)(MediaControls *self, BYTE on);
    void *IsRecordEnabled[2];
    void *IsFastForwardEnabled[2];
    void *IsRewindEnabled[2];
    void *get_IsPreviousEnabled;
    HRESULT (WINRT_CALL *put_IsPreviousEnabled)(MediaControls *self, BYTE on);
    void *get_IsNextEnabled;
    HRESULT (WINRT_CALL *put_IsNextEnabled)(MediaControls *self, BYTE on);
    void *IsChannelUpEnabled[2];
    void *IsChannelDownEnabled[2];
    HRESULT (WINRT_CALL *add_ButtonPressed)(MediaControls *self, void *handler, WinrtEventToken *token);
    HRESULT (WINRT_CALL *remove_ButtonPressed)(MediaControls *self, WinrtEventToken token);
};
struct MediaControls {
    const MediaControlsMethods *methods;
};

struct MediaTimeline;

// ISystemMediaTransportControls2.
struct MediaControls2;
struct MediaControls2Methods {
    WINRT_INSPECTABLE_SLOTS(MediaControls2)
    void *AutoRepeatMode[2];
    void *ShuffleEnabled[2];
    void *PlaybackRate[2];
    HRESULT (WINRT_CALL *UpdateTimelineProperties)(MediaControls2 *self, MediaTimeline *timeline);
    HRESULT (WINRT_CALL *add_PlaybackPositionChangeRequested)(MediaControls2 *self, void *handler,
                                                              WinrtEventToken *token);
    HRESULT (WINRT_CALL *remove_PlaybackPositionChangeRequested)(MediaControls2 *self, WinrtEventToken token);
};
struct MediaControls2 {
    const MediaControls2Methods *methods;
};

struct MediaMusicProperties;

// ISystemMediaTransportControlsDisplayUpdater.
struct MediaDisplayUpdaterMethods {
    WINRT_INSPECTABLE_SLOTS(MediaDisplayUpdater)
    void *get_Type;
    HRESULT (WINRT_CALL *put_Type)(MediaDisplayUpdater *self, int type);
    void *AppMediaId[2];
    void *get_Thumbnail;
    HRESULT (WINRT_CALL *put_Thumbnail)(MediaDisplayUpdater *self, WinrtObject *reference);
    HRESULT (WINRT_CALL *get_MusicProperties)(MediaDisplayUpdater *self, MediaMusicProperties **properties);
    void *get_VideoProperties;
    void *get_ImageProperties;
    void *CopyFromFileAsync;
    HRESULT (WINRT_CALL *ClearAll)(MediaDisplayUpdater *self);
    HRESULT (WINRT_CALL *Update)(MediaDisplayUpdater *self);
};
struct MediaDisplayUpdater {
    const MediaDisplayUpdaterMethods *methods;
};

// IMusicDisplayProperties.
struct MediaMusicPropertiesMethods {
    WINRT_INSPECTABLE_SLOTS(MediaMusicProperties)
    void *get_Title;
    HRESULT (WINRT_CALL *put_Title)(MediaMusicProperties *self, WinrtString text);
    void *get_AlbumArtist;
    HRESULT (WINRT_CALL *put_AlbumArtist)(MediaMusicProperties *self, WinrtString text);
    void *get_Artist;
    HRESULT (WINRT_CALL *put_Artist)(MediaMusicProperties *self, WinrtString text);
};
struct MediaMusicProperties {
    const MediaMusicPropertiesMethods *methods;
};

// IMusicDisplayProperties2.
struct MediaMusicProperties2;
struct MediaMusicProperties2Methods {
    WINRT_INSPECTABLE_SLOTS(MediaMusicProperties2)
    void *get_AlbumTitle;
    HRESULT (WINRT_CALL *put_AlbumTitle)(MediaMusicProperties2 *self, WinrtString text);
    void *get_TrackNumber;
    HRESULT (WINRT_CALL *put_TrackNumber)(MediaMusicProperties2 *self, UINT32 number);
};
struct MediaMusicProperties2 {
    const MediaMusicProperties2Methods *methods;
};

// ISystemMediaTransportControlsTimelineProperties.
struct MediaTimelineMethods {
    WINRT_INSPECTABLE_SLOTS(MediaTimeline)
    void *get_StartTime;
    HRESULT (WINRT_CALL *put_StartTime)(MediaTimeline *self, WinrtTimeSpan value);
    void *get_EndTime;
    HRESULT (WINRT_CALL *put_EndTime)(MediaTimeline *self, WinrtTimeSpan value);
    void *get_MinSeekTime;
    HRESULT (WINRT_CALL *put_MinSeekTime)(MediaTimeline *self, WinrtTimeSpan value);
    void *get_MaxSeekTime;
    HRESULT (WINRT_CALL *put_MaxSeekTime)(MediaTimeline *self, WinrtTimeSpan value);
    void *get_Position;
    HRESULT (WINRT_CALL *put_Position)(MediaTimeline *self, WinrtTimeSpan value);
};
struct MediaTimeline {
    const MediaTimelineMethods *methods;
};

// ISystemMediaTransportControlsButtonPressedEventArgs.
struct MediaButtonArgs;
struct MediaButtonArgsMethods {
    WINRT_INSPECTABLE_SLOTS(MediaButtonArgs)
    HRESULT (WINRT_CALL *get_Button)(MediaButtonArgs *self, int *button);
};
struct MediaButtonArgs {
    const MediaButtonArgsMethods *methods;
};

// IPlaybackPositionChangeRequestedEventArgs.
struct MediaPositionArgs;
struct MediaPositionArgsMethods {
    WINRT_INSPECTABLE_SLOTS(MediaPositionArgs)
    HRESULT (WINRT_CALL *get_RequestedPlaybackPosition)(MediaPositionArgs *self, WinrtTimeSpan *position);
};
struct MediaPositionArgs {
    const MediaPositionArgsMethods *methods;
};

// IRandomAccessStreamReferenceStatics.
struct StreamReferenceStatics;
struct StreamReferenceStaticsMethods {
    WINRT_INSPECTABLE_SLOTS(StreamReferenceStatics)
    void *CreateFromFile;
    void *CreateFromUri;
    HRESULT (WINRT_CALL *CreateFromStream)(StreamReferenceStatics *self, WinrtObject *stream,
                                           WinrtObject **reference);
};
struct StreamReferenceStatics {
    const StreamReferenceStaticsMethods *methods;
};

// The interfaces' identities, from Windows' metadata; the two handlers'
// are those of TypedEventHandler<SystemMediaTransportControls, its event's
// arguments>.
extern const GUID IidUnknown;
extern const GUID IidAgileObject;
extern const GUID IidMediaInterop;
extern const GUID IidMediaControls;
extern const GUID IidMediaControls2;
extern const GUID IidMusicProperties2;
extern const GUID IidMediaTimeline;
extern const GUID IidRandomAccessStream;
extern const GUID IidStreamReferenceStatics;
extern const GUID IidButtonPressedHandler;
extern const GUID IidPositionRequestedHandler;

// combase's functions, looked up at run time: Windows before 8 has no
// combase, and the plug-in must still load there.
struct WinrtRuntime {
    HRESULT (WINAPI *initialize)(int type);   // RoInitialize
    void (WINAPI *uninitialize)(void);
    HRESULT (WINAPI *getFactory)(WinrtString className, REFIID iid, void **factory);
    HRESULT (WINAPI *activate)(WinrtString className, WinrtObject **instance);
    HRESULT (WINAPI *createString)(const WCHAR *text, UINT32 length, WinrtString *string);
    HRESULT (WINAPI *deleteString)(WinrtString string);
};
extern WinrtRuntime gWinrt;

// Looks combase's functions up; false (and none kept) when any is missing.
// combase stays loaded for the life of the process: Windows' threads run
// in it for as long as any object it made lives.
bool LoadWinrtRuntime(void);

// A Windows Runtime string of `text` (NULL, the empty string, when it is
// empty or cannot be made), and its release.
WinrtString MakeWinrtString(const WCHAR *text);
void FreeWinrtString(WinrtString string);
// The activation factory of `className`, as `iid`.
HRESULT GetWinrtFactory(const WCHAR *className, REFIID iid, void **factory);
// A new instance of `className`, as `iid`.
HRESULT ActivateWinrtObject(const WCHAR *className, REFIID iid, void **object);

// Releases any of these objects, when there is one, and forgets it.
inline void ReleaseWinrtObject(void *holder)
{
    WinrtObject **object = (WinrtObject **)holder;
    if (*object)
        (*object)->methods->Release(*object);
    *object = NULL;
}

#endif
