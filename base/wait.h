// Waiting without blocking the threads that send us messages.
#ifndef TUNEBELL_WAIT_H
#define TUNEBELL_WAIT_H

#include <windows.h>

// Waits until the object is signalled or `timeout` ms (INFINITE: no limit)
// have passed, and meanwhile answers every message other threads send to the
// calling thread's windows: our worker threads query the player while the
// player's thread waits for them to end, and a popup answers whoever asks
// about it while it plays its fade. Posted messages stay in the queue. A
// NULL object makes this a pause of `timeout` ms. True when the object was
// signalled; false on the time-out or a bad handle.
bool WaitAnsweringSentMessages(HANDLE object, DWORD timeout);

#endif
