// Another program, for what the plug-in must survive from one: a second
// copy of the running program that holds a hot key, or keeps a top-most
// window over part of the screen, until it is stopped.
#pragma once

#include <windows.h>

struct OtherProgram {
    // The job: "hotkey MODIFIERS KEY" or "cover LEFT TOP RIGHT BOTTOM"
    // (screen coordinates). True once the other program has done it.
    bool Start(const char *job);
    // Ends the other program; what it held is free again on return.
    void Stop();
    ~OtherProgram() { Stop(); }
    PROCESS_INFORMATION process = {};
};
