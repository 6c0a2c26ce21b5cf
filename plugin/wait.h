// Waiting on the player's thread without blocking the player's answers.
#ifndef TUNEBELL_WAIT_H
#define TUNEBELL_WAIT_H

#include <windows.h>

// Waits for the object without a time-out, but keeps answering messages that
// other threads send to the calling thread's windows meanwhile: our worker
// threads query the player while the player's thread waits for them to end.
// Posted messages stay in the queue for the player.
void WaitAnsweringSentMessages(HANDLE object);

#endif
