/* What the double's files share: its objects as C writes COM objects (a
 * record per interface, whose first field is the interface's table, all
 * pointing at one owner), the record of calls and the few combase string
 * functions, looked up once.
 *
 * Every interface here is a WinRT one, so slots 0-5 are IUnknown's three
 * and IInspectable's three; the tables in controls.c and objects.c list the
 * slots that follow, in the order of Windows' metadata. */
#ifndef MEDIA_DOUBLE_DOUBLE_H
#define MEDIA_DOUBLE_DOUBLE_H

#include <windows.h>
#include <objidl.h>

typedef struct DoubleObject DoubleObject;

/* One interface of an object: what its callers hold. */
typedef struct Face {
    void *const *table;
    DoubleObject *owner;
} Face;

enum { kMaxFaces = 2 };

struct DoubleObject {
    LONG refs;            /* the static objects (factories, controls) never go */
    int faceCount;
    Face faces[kMaxFaces];
    const IID *iids[kMaxFaces];
    void (*destroy)(DoubleObject *self);   /* NULL: lives for the process */
};

typedef void *HSTRING_;   /* combase's HSTRING, an opaque handle */

/* Builds an object's faces; iids[i] goes with tables[i]. */
void InitObject(DoubleObject *object, int faces, void *const *const *tables, const IID *const *iids,
                void (*destroy)(DoubleObject *));
HRESULT ObjectQuery(DoubleObject *object, REFIID iid, void **out);

/* The generic first six slots every table begins with. */
HRESULT STDMETHODCALLTYPE FaceQueryInterface(Face *self, REFIID iid, void **out);
ULONG STDMETHODCALLTYPE FaceAddRef(Face *self);
ULONG STDMETHODCALLTYPE FaceRelease(Face *self);
HRESULT STDMETHODCALLTYPE FaceGetIids(Face *self, ULONG *count, IID **iids);
HRESULT STDMETHODCALLTYPE FaceGetRuntimeClassName(Face *self, HSTRING_ *name);
HRESULT STDMETHODCALLTYPE FaceGetTrustLevel(Face *self, int *level);
#define INSPECTABLE_SLOTS                                                                  \
    (void *)FaceQueryInterface, (void *)FaceAddRef, (void *)FaceRelease, (void *)FaceGetIids, \
        (void *)FaceGetRuntimeClassName, (void *)FaceGetTrustLevel

/* The record (record.c): one line a call, UTF-8. */
void Record(const char *format, ...);
/* "<what> <text>" with the HSTRING's text in UTF-8. */
void RecordString(const char *what, HSTRING_ text);
void RecordThumbnail(const unsigned char *bytes, int length);   /* length < 0: none */
/* The thumbnail gone without a word, as ClearAll takes it. */
void ForgetThumbnail(void);
void RecordingInit(void);
/* Fires what DoubleArmAtRemove took, and waits for it (record.c). */
void FireArmedAtRemove(void);

/* combase's strings, looked up at first use. */
const WCHAR *StringText(HSTRING_ text);
HSTRING_ MakeString(const WCHAR *text);

/* The controls (controls.c). */
void ControlsInit(void);
HRESULT ControlsForWindow(HWND window, REFIID iid, void **out);
HRESULT NewTimeline(Face **out);
/* The handlers added and not removed, each with a reference taken; the
 * count. `kind` 0 ButtonPressed, 1 PlaybackPositionChangeRequested. */
int TakeHandlers(int kind, IUnknown **out, int max);
Face *AnyControls(void);
void NextControlsStartEnabled(BOOL on);

/* The stream the double's CreateRandomAccessStreamOverStream hands out, and
 * the picture behind a reference to one (objects.c): a heap copy the caller
 * frees, or NULL with *length -1 when the reference is none of the double's. */
unsigned char *ReadReferencedPicture(Face *reference, int *length);

/* The event arguments (objects.c). */
Face *NewButtonArgs(int button);
Face *NewPositionArgs(LONGLONG ticks);

extern const IID kIidInspectable, kIidActivationFactory, kIidControls, kIidControls2, kIidButtonHandler,
    kIidPositionHandler;

#endif
