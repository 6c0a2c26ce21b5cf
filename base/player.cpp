#include "base/player.h"

HWND gHostWindow;
HINSTANCE gInstance;

void ShowInfoMessage(const char *text)
{
    MessageBoxA(NULL, text, "PopUp Plugin", MB_ICONINFORMATION);
}
