#include "plugin/media_handlers.h"
#include "plugin/winrt_media.h"
#include "plugin/media_rules.h"
#include "base/call_gates.h"
#include "base/messages.h"
#include "base/own_module.h"

#include <stddef.h>

// A handler as COM sees it: its method table first. On the process heap,
// never in our module: Windows may hold it after we are gone.
struct MediaHandler {
    void *const *methods;
    volatile LONG references;
    volatile LONG live;       // read by the gates: nonzero while our code may run
    MediaHandlerKind kind;
    DWORD thread;
};
static_assert(offsetof(MediaHandler, live) == 8, "the gates read the live flag 8 bytes in");

// How long a retirement waits for calls already inside our code: they only
// post a message or count a reference.
#define HANDLER_CALLS_WAIT_MS 2000

static HRESULT WINAPI HandlerQueryInterface(MediaHandler *handler, REFIID iid, void **object)
{
    if (!object)
        return E_POINTER;
    const GUID *own = handler->kind == MEDIA_HANDLER_BUTTON ? &IidButtonPressedHandler : &IidPositionRequestedHandler;
    // Agile: called from any thread, it needs no marshalling.
    if (IsEqualGUID(iid, IidUnknown) || IsEqualGUID(iid, IidAgileObject) || IsEqualGUID(iid, *own)) {
        InterlockedIncrement(&handler->references);
        *object = handler;
        return S_OK;
    }
    *object = NULL;
    return E_NOINTERFACE;
}

static ULONG WINAPI HandlerAddRef(MediaHandler *handler)
{
    return (ULONG)InterlockedIncrement(&handler->references);
}

// While live, the caller's own reference keeps the count above 0: the last
// release comes at the retirement.
static ULONG WINAPI HandlerRelease(MediaHandler *handler)
{
    return (ULONG)InterlockedDecrement(&handler->references);
}

static HRESULT WINAPI HandlerButtonPressed(MediaHandler *handler, void *, MediaButtonArgs *args)
{
    int button;
    if (args && SUCCEEDED(args->methods->get_Button(args, &button)))
        PostThreadMessageA(handler->thread, UM_MEDIA_BUTTON, (WPARAM)button, 0);
    return S_OK;
}

static HRESULT WINAPI HandlerPositionRequested(MediaHandler *handler, void *, MediaPositionArgs *args)
{
    WinrtTimeSpan position;
    if (args && SUCCEEDED(args->methods->get_RequestedPlaybackPosition(args, &position)))
        PostThreadMessageA(handler->thread, UM_MEDIA_SEEK, JumpMsFromTimeSpan(position), 0);
    return S_OK;
}

// Two tables of four (IUnknown's slots and Invoke), one per kind.
static const GatedMethod kHandlerMethods[] = {
    { (void *)HandlerQueryInterface, 3, INERT_NO_INTERFACE },
    { (void *)HandlerAddRef, 1, INERT_RETURNS_ONE },
    { (void *)HandlerRelease, 1, INERT_RETURNS_ONE },
    { (void *)HandlerButtonPressed, 3, INERT_RETURNS_OK },
    { (void *)HandlerQueryInterface, 3, INERT_NO_INTERFACE },
    { (void *)HandlerAddRef, 1, INERT_RETURNS_ONE },
    { (void *)HandlerRelease, 1, INERT_RETURNS_ONE },
    { (void *)HandlerPositionRequested, 3, INERT_RETURNS_OK },
};
#define HANDLER_SLOTS 4

// Built once for as long as this copy of the module is loaded (its targets
// are this copy's code); another load builds its own.
static GatedMethods *gHandlerGates;

MediaHandler *NewMediaHandler(MediaHandlerKind kind, DWORD thread)
{
    if (!gHandlerGates)
        gHandlerGates = BuildGatedMethods(kHandlerMethods, sizeof(kHandlerMethods) / sizeof(kHandlerMethods[0]),
                                          offsetof(MediaHandler, live));
    if (!gHandlerGates)
        return NULL;
    MediaHandler *handler = (MediaHandler *)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(MediaHandler));
    if (!handler)
        return NULL;
    handler->methods = &gHandlerGates->gates[kind == MEDIA_HANDLER_BUTTON ? 0 : HANDLER_SLOTS];
    handler->references = 1;
    handler->live = 1;
    handler->kind = kind;
    handler->thread = thread;
    return handler;
}

void RetireMediaHandler(MediaHandler *handler)
{
    if (!handler)
        return;
    int first = handler->kind == MEDIA_HANDLER_BUTTON ? 0 : HANDLER_SLOTS;
    // A caller that reads the table from now on finds the inert methods; one
    // that read it before is in a gate, which sees the flag.
    InterlockedExchangePointer((void **)&handler->methods, (void *)&gHandlerGates->inert[first]);
    InterlockedExchange(&handler->live, 0);
    if (!WaitForGatedCalls(gHandlerGates, HANDLER_CALLS_WAIT_MS)) {
        // A call is still inside our code: unloading now would pull it out
        // from under it.
        PinModule();
        return;
    }
    // The count no longer moves: only our own reference left, nobody else
    // can reach it.
    if (handler->references == 1)
        HeapFree(GetProcessHeap(), 0, handler);
}
