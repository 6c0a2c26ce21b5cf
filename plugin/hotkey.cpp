// The global hot key. Registration arrives with the hot-key thread; until
// then the plug-in has no hot key and a saved one is kept for later.
#include "plugin/hotkey.h"

void StartHotKeyThread(void)
{
}

void StopHotKeyThread(void)
{
}

void SetHotKey(WORD)
{
}
