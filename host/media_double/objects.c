/* The double's activation: the three classes' factories, the streams a
 * picture travels through, the event arguments, and what every object
 * shares.
 *
 * Slots after IInspectable's six (Windows' metadata order):
 *   IActivationFactory                     6 ActivateInstance
 *   ISystemMediaTransportControlsInterop   6 GetForWindow(HWND, REFIID, void **)
 *   IRandomAccessStreamReferenceStatics    6 CreateFromFile  7 CreateFromUri
 *                                          8 CreateFromStream(IRandomAccessStream *, ref **)
 *   IRandomAccessStreamReference           6 OpenReadAsync
 *   IRandomAccessStream                    6 get_Size  7 put_Size(UINT64)
 *                                          8 GetInputStreamAt(UINT64, ..)  9 GetOutputStreamAt(UINT64, ..)
 *                                          10 get_Position  11 Seek(UINT64)  12 CloneStream
 *                                          13 get_CanRead  14 get_CanWrite
 *   ISystemMediaTransportControlsButtonPressedEventArgs  6 get_Button
 *   IPlaybackPositionChangeRequestedEventArgs            6 get_RequestedPlaybackPosition(TimeSpan *)
 */
#include "double.h"

const IID kIidInspectable = { 0xaf86e2e0, 0xb12d, 0x4c6a, { 0x9c, 0x5a, 0xd7, 0xaa, 0x65, 0x10, 0x1e, 0x90 } };
const IID kIidActivationFactory = { 0x00000035, 0x0000, 0x0000, { 0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46 } };
static const IID kIidUnknown = { 0x00000000, 0x0000, 0x0000, { 0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46 } };
static const IID kIidInterop = { 0xddb0472d, 0xc911, 0x4a1f, { 0x86, 0xd9, 0xdc, 0x3d, 0x71, 0xa9, 0x5f, 0x5a } };
static const IID kIidReferenceStatics = { 0x857309dc, 0x3fbf, 0x4e7d, { 0x98, 0x6f, 0xef, 0x3b, 0x1a, 0x07, 0xa9, 0x64 } };
static const IID kIidReference = { 0x33ee3134, 0x1dd6, 0x4e3a, { 0x80, 0x67, 0xd1, 0xc1, 0x62, 0xe8, 0x64, 0x2b } };
static const IID kIidRandomAccessStream = { 0x905a0fe1, 0xbc53, 0x11df, { 0x8c, 0x49, 0x00, 0x1e, 0x4f, 0xc6, 0x86, 0xda } };
static const IID kIidButtonArgs = { 0xb7f47116, 0xa56f, 0x4dc8, { 0x9e, 0x11, 0x92, 0x03, 0x1f, 0x4a, 0x87, 0xc2 } };
static const IID kIidPositionArgs = { 0xb4493f88, 0xeb28, 0x4961, { 0x9c, 0x14, 0x33, 0x5e, 0x44, 0xf3, 0xe1, 0x25 } };

/* --- what every object shares --------------------------------------------- */

void InitObject(DoubleObject *object, int faces, void *const *const *tables, const IID *const *iids,
                void (*destroy)(DoubleObject *))
{
    int i;
    object->refs = 1;
    object->faceCount = faces;
    for (i = 0; i < faces; i++) {
        object->faces[i].table = tables[i];
        object->faces[i].owner = object;
        object->iids[i] = iids[i];
    }
    object->destroy = destroy;
}

HRESULT ObjectQuery(DoubleObject *object, REFIID iid, void **out)
{
    int i;
    *out = NULL;
    if (IsEqualIID(iid, &kIidUnknown) || IsEqualIID(iid, &kIidInspectable)) {
        *out = &object->faces[0];
    } else {
        for (i = 0; i < object->faceCount; i++)
            if (IsEqualIID(iid, object->iids[i]))
                *out = &object->faces[i];
    }
    if (!*out)
        return E_NOINTERFACE;
    InterlockedIncrement(&object->refs);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FaceQueryInterface(Face *self, REFIID iid, void **out)
{
    return ObjectQuery(self->owner, iid, out);
}

ULONG STDMETHODCALLTYPE FaceAddRef(Face *self)
{
    return (ULONG)InterlockedIncrement(&self->owner->refs);
}

ULONG STDMETHODCALLTYPE FaceRelease(Face *self)
{
    DoubleObject *object = self->owner;
    LONG refs = InterlockedDecrement(&object->refs);
    if (refs == 0 && object->destroy)
        object->destroy(object);
    return (ULONG)refs;
}

HRESULT STDMETHODCALLTYPE FaceGetIids(Face *self, ULONG *count, IID **iids)
{
    (void)self;
    *count = 0;
    *iids = NULL;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FaceGetRuntimeClassName(Face *self, HSTRING_ *name)
{
    (void)self;
    *name = NULL;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE FaceGetTrustLevel(Face *self, int *level)
{
    (void)self;
    *level = 0;   /* BaseTrust */
    return S_OK;
}

static void FreeObject(DoubleObject *object)
{
    HeapFree(GetProcessHeap(), 0, object);
}

/* --- the stream over an IStream ------------------------------------------- */

typedef struct {
    DoubleObject base;
    IStream *stream;
} StreamObject;

static HRESULT STDMETHODCALLTYPE StreamGetSize(Face *self, UINT64 *size)
{
    STATSTG stat;
    IStream *stream = ((StreamObject *)self->owner)->stream;
    *size = 0;
    if (FAILED(stream->lpVtbl->Stat(stream, &stat, STATFLAG_NONAME)))
        return E_FAIL;
    *size = stat.cbSize.QuadPart;
    return S_OK;
}

static HRESULT STDMETHODCALLTYPE StreamPutSize(Face *self, UINT64 size)
{
    (void)self, (void)size;
    return E_NOTIMPL;
}

static HRESULT STDMETHODCALLTYPE StreamAt(Face *self, UINT64 position, void **out)
{
    (void)self, (void)position;
    *out = NULL;
    return E_NOTIMPL;
}

static HRESULT STDMETHODCALLTYPE StreamGetPosition(Face *self, UINT64 *position)
{
    (void)self;
    *position = 0;
    return E_NOTIMPL;
}

static HRESULT STDMETHODCALLTYPE StreamSeek(Face *self, UINT64 position)
{
    (void)self, (void)position;
    return E_NOTIMPL;
}

static HRESULT STDMETHODCALLTYPE StreamClone(Face *self, void **out)
{
    (void)self;
    *out = NULL;
    return E_NOTIMPL;
}

static HRESULT STDMETHODCALLTYPE StreamCan(Face *self, unsigned char *can)
{
    (void)self;
    *can = 0;
    return S_OK;
}

static void *const kStreamTable[] = {
    INSPECTABLE_SLOTS, (void *)StreamGetSize, (void *)StreamPutSize, (void *)StreamAt, (void *)StreamAt,
    (void *)StreamGetPosition, (void *)StreamSeek, (void *)StreamClone, (void *)StreamCan, (void *)StreamCan
};

static void DestroyStream(DoubleObject *object)
{
    IStream *stream = ((StreamObject *)object)->stream;
    stream->lpVtbl->Release(stream);
    FreeObject(object);
}

/* shcore's, as Windows 10 has it: the stream keeps the IStream it wraps. */
HRESULT WINAPI CreateRandomAccessStreamOverStream(IStream *stream, DWORD options, REFIID iid, void **out)
{
    static void *const *const tables[] = { kStreamTable };
    static const IID *const iids[] = { &kIidRandomAccessStream };
    StreamObject *object;
    HRESULT result;
    (void)options;
    *out = NULL;
    if (!stream)
        return E_INVALIDARG;
    object = (StreamObject *)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof *object);
    if (!object)
        return E_OUTOFMEMORY;
    InitObject(&object->base, 1, tables, iids, DestroyStream);
    stream->lpVtbl->AddRef(stream);
    object->stream = stream;
    result = ObjectQuery(&object->base, iid, out);
    FaceRelease(&object->base.faces[0]);
    Record("CreateRandomAccessStreamOverStream");
    return result;
}

/* --- a reference to a stream --------------------------------------------- */

typedef struct {
    DoubleObject base;
    Face *stream;   /* the double's stream, or a foreign object */
} ReferenceObject;

static HRESULT STDMETHODCALLTYPE ReferenceOpenReadAsync(Face *self, void **operation)
{
    (void)self;
    *operation = NULL;
    return E_NOTIMPL;
}

static void *const kReferenceTable[] = { INSPECTABLE_SLOTS, (void *)ReferenceOpenReadAsync };

static void DestroyReference(DoubleObject *object)
{
    Face *stream = ((ReferenceObject *)object)->stream;
    ((IUnknown *)stream)->lpVtbl->Release((IUnknown *)stream);
    FreeObject(object);
}

unsigned char *ReadReferencedPicture(Face *reference, int *length)
{
    IStream *stream;
    STATSTG stat;
    LARGE_INTEGER start;
    unsigned char *bytes;
    ULONG read = 0;
    *length = -1;
    if (reference->table != kReferenceTable)
        return NULL;
    if (((ReferenceObject *)reference->owner)->stream->table != kStreamTable)
        return NULL;
    stream = ((StreamObject *)((ReferenceObject *)reference->owner)->stream->owner)->stream;
    if (FAILED(stream->lpVtbl->Stat(stream, &stat, STATFLAG_NONAME)) || stat.cbSize.QuadPart > 64u << 20)
        return NULL;
    bytes = (unsigned char *)HeapAlloc(GetProcessHeap(), 0, (SIZE_T)stat.cbSize.QuadPart + 1);
    if (!bytes)
        return NULL;
    start.QuadPart = 0;
    stream->lpVtbl->Seek(stream, start, STREAM_SEEK_SET, NULL);
    if (FAILED(stream->lpVtbl->Read(stream, bytes, (ULONG)stat.cbSize.QuadPart, &read))) {
        HeapFree(GetProcessHeap(), 0, bytes);
        return NULL;
    }
    *length = (int)read;
    return bytes;
}

/* --- the factories ---------------------------------------------------------- */

static HRESULT STDMETHODCALLTYPE NoActivation(Face *self, void **out)
{
    (void)self;
    *out = NULL;
    return E_NOTIMPL;
}

static HRESULT STDMETHODCALLTYPE TimelineActivation(Face *self, void **out)
{
    (void)self;
    return NewTimeline((Face **)out);
}

static HRESULT STDMETHODCALLTYPE InteropGetForWindow(Face *self, HWND window, REFIID iid, void **out)
{
    (void)self;
    Record("GetForWindow %08X", (unsigned)(UINT_PTR)window);
    return ControlsForWindow(window, iid, out);
}

static HRESULT STDMETHODCALLTYPE StaticsFromElsewhere(Face *self, void *from, void **out)
{
    (void)self, (void)from;
    *out = NULL;
    return E_NOTIMPL;
}

static HRESULT STDMETHODCALLTYPE StaticsCreateFromStream(Face *self, Face *stream, void **out)
{
    static void *const *const tables[] = { kReferenceTable };
    static const IID *const iids[] = { &kIidReference };
    ReferenceObject *object;
    (void)self;
    *out = NULL;
    if (!stream)
        return E_INVALIDARG;
    object = (ReferenceObject *)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof *object);
    if (!object)
        return E_OUTOFMEMORY;
    InitObject(&object->base, 1, tables, iids, DestroyReference);
    ((IUnknown *)stream)->lpVtbl->AddRef((IUnknown *)stream);
    object->stream = stream;
    *out = &object->base.faces[0];
    Record("CreateFromStream");
    return S_OK;
}

static void *const kNoActivationTable[] = { INSPECTABLE_SLOTS, (void *)NoActivation };
static void *const kTimelineFactoryTable[] = { INSPECTABLE_SLOTS, (void *)TimelineActivation };
static void *const kInteropTable[] = { INSPECTABLE_SLOTS, (void *)InteropGetForWindow };
static void *const kStaticsTable[] = { INSPECTABLE_SLOTS, (void *)StaticsFromElsewhere, (void *)StaticsFromElsewhere,
                                       (void *)StaticsCreateFromStream };

static DoubleObject gControlsFactory, gReferenceFactory, gTimelineFactory;

static void InitFactories(void)
{
    static void *const *const controlsTables[] = { kNoActivationTable, kInteropTable };
    static const IID *const controlsIids[] = { &kIidActivationFactory, &kIidInterop };
    static void *const *const referenceTables[] = { kNoActivationTable, kStaticsTable };
    static const IID *const referenceIids[] = { &kIidActivationFactory, &kIidReferenceStatics };
    static void *const *const timelineTables[] = { kTimelineFactoryTable };
    static const IID *const timelineIids[] = { &kIidActivationFactory };
    InitObject(&gControlsFactory, 2, controlsTables, controlsIids, NULL);
    InitObject(&gReferenceFactory, 2, referenceTables, referenceIids, NULL);
    InitObject(&gTimelineFactory, 1, timelineTables, timelineIids, NULL);
}

HRESULT WINAPI DllGetActivationFactory(HSTRING_ classId, void **factory)
{
    const WCHAR *name = StringText(classId);
    DoubleObject *found = NULL;
    *factory = NULL;
    if (lstrcmpW(name, L"Windows.Media.SystemMediaTransportControls") == 0)
        found = &gControlsFactory;
    else if (lstrcmpW(name, L"Windows.Storage.Streams.RandomAccessStreamReference") == 0)
        found = &gReferenceFactory;
    else if (lstrcmpW(name, L"Windows.Media.SystemMediaTransportControlsTimelineProperties") == 0)
        found = &gTimelineFactory;
    if (!found)
        return CLASS_E_CLASSNOTAVAILABLE;
    return ObjectQuery(found, &kIidActivationFactory, factory);
}

/* Handlers the double holds may outlive any caller: it stays loaded. */
HRESULT WINAPI DllCanUnloadNow(void)
{
    return S_FALSE;
}

/* --- the event arguments ------------------------------------------------- */

typedef struct {
    DoubleObject base;
    int button;
    LONGLONG ticks;
} ArgsObject;

static HRESULT STDMETHODCALLTYPE ArgsGetButton(Face *self, int *button)
{
    *button = ((ArgsObject *)self->owner)->button;
    return S_OK;
}

static HRESULT STDMETHODCALLTYPE ArgsGetPosition(Face *self, LONGLONG *ticks)
{
    *ticks = ((ArgsObject *)self->owner)->ticks;
    return S_OK;
}

static void *const kButtonArgsTable[] = { INSPECTABLE_SLOTS, (void *)ArgsGetButton };
static void *const kPositionArgsTable[] = { INSPECTABLE_SLOTS, (void *)ArgsGetPosition };

static Face *NewArgs(void *const *table, const IID *iid, int button, LONGLONG ticks)
{
    void *const *tables[1];
    const IID *iids[1];
    ArgsObject *object = (ArgsObject *)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof *object);
    if (!object)
        return NULL;
    tables[0] = table;
    iids[0] = iid;
    InitObject(&object->base, 1, tables, iids, FreeObject);
    object->button = button;
    object->ticks = ticks;
    return &object->base.faces[0];
}

Face *NewButtonArgs(int button)
{
    return NewArgs(kButtonArgsTable, &kIidButtonArgs, button, 0);
}

Face *NewPositionArgs(LONGLONG ticks)
{
    return NewArgs(kPositionArgsTable, &kIidPositionArgs, 0, ticks);
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void *reserved)
{
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(instance);
        RecordingInit();
        ControlsInit();
        InitFactories();
    }
    return TRUE;
}
