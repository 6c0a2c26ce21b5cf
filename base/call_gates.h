// Methods of COM objects that other programs may call after our module is
// gone. An object we hand to Windows can be called (and released) from
// Windows' threads at any time, even once the player has unloaded us: its
// method table and the code it points to must then not lie in our module.
// Each method here is a gate, a few bytes of machine code in memory of our
// own that is never freed: while the object says it is live, the gate
// calls our method and counts the call; once it is not, the gate answers as
// an inert method would, without touching our module. (32-bit x86 only:
// the code is written byte for byte.)
#ifndef TUNEBELL_BASE_CALL_GATES_H
#define TUNEBELL_BASE_CALL_GATES_H

#include <windows.h>

// What a method answers once its object is no longer live.
enum InertAnswer {
    INERT_RETURNS_ONE,        // AddRef and Release: 1, and nothing counted
    INERT_RETURNS_OK,         // a handler's Invoke: S_OK, and nothing done
    INERT_NO_INTERFACE,       // QueryInterface: E_NOINTERFACE, its last argument set to NULL
};

// One method: our code, its stdcall arguments in 4-byte units with the
// object first, and what it answers inert.
struct GatedMethod {
    void *target;
    int argumentWords;        // 1..8
    InertAnswer inert;
};

#define GATED_METHODS_MOST 16

// In memory of our own, for the life of the process.
struct GatedMethods {
    // Calls inside one of our methods now, through any gate of these.
    volatile LONG inFlight;
    // Method tables to hand out: gates[i] and inert[i] for method i, so that a
    // run of methods is a table of its own.
    void *gates[GATED_METHODS_MOST];
    void *inert[GATED_METHODS_MOST];
};

// Builds the gates for `count` methods, each reading the object's live flag
// (a LONG, nonzero while live) at `liveOffset` bytes into the object.
// NULL when the memory cannot be had or a method is out of range.
GatedMethods *BuildGatedMethods(const GatedMethod *wanted, int count, int liveOffset);

// Waits up to `timeoutMs` until no call is inside our methods; true when
// none is. Called after an object's live flag was cleared, it tells that no
// call can reach our code through that object any more.
bool WaitForGatedCalls(GatedMethods *methods, DWORD timeoutMs);

#endif
