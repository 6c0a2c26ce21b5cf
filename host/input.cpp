// The user's keyboard and mouse: real input through SendInput, so that it
// reaches the plug-in's windows the way a user's does.
#include "host/player.h"

void PlayerKey(WORD vk, bool up)
{
    INPUT input;
    ZeroMemory(&input, sizeof input);
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, sizeof input);
}

void PlayerPressKey(WORD vk)
{
    PlayerKey(vk, false);
    PlayerKey(vk, true);
}

void PlayerPressHotKey(UINT modifiers, WORD vk)
{
    const UINT flags[3] = { MOD_ALT, MOD_CONTROL, MOD_SHIFT };
    const WORD keys[3] = { VK_MENU, VK_CONTROL, VK_SHIFT };
    for (int i = 0; i < 3; i++)
        if (modifiers & flags[i])
            PlayerKey(keys[i], false);
    PlayerPressKey(vk);
    for (int i = 2; i >= 0; i--)
        if (modifiers & flags[i])
            PlayerKey(keys[i], true);
}

// The absolute position SendInput takes for a screen point.
static void AbsoluteMove(INPUT *input, int x, int y)
{
    input->type = INPUT_MOUSE;
    input->mi.dx = MulDiv(x, 65536, GetSystemMetrics(SM_CXSCREEN)) + 1;
    input->mi.dy = MulDiv(y, 65536, GetSystemMetrics(SM_CYSCREEN)) + 1;
    input->mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
}

bool PlayerMovePointer(int x, int y)
{
    // Wine moves the X server's pointer along with a move given as input,
    // but not while a low-level mouse hook holds the move (a popup's wheel
    // hook does), and 100 ms later it takes the X server's word for where
    // the pointer is: the pointer is put there first, then the move given.
    SetCursorPos(x, y);
    INPUT input;
    ZeroMemory(&input, sizeof input);
    AbsoluteMove(&input, x, y);
    SendInput(1, &input, sizeof input);
    return WaitUntil([&] {
        POINT at;
        return GetCursorPos(&at) && at.x == x && at.y == y;
    }, 2000);
}

void PlayerClickAt(int x, int y, bool right)
{
    SetCursorPos(x, y);
    // Each event carries its position: on a busy machine the X server's
    // answer to the warp above can come after the press and move Wine's
    // pointer back to where it was.
    INPUT input[2];
    ZeroMemory(input, sizeof input);
    for (int i = 0; i < 2; i++)
        AbsoluteMove(&input[i], x, y);
    input[0].mi.dwFlags |= right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
    input[1].mi.dwFlags |= right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
    SendInput(2, input, sizeof(INPUT));
    PlayerPump();
}

static void MouseEvent(DWORD flags, DWORD data)
{
    INPUT input;
    ZeroMemory(&input, sizeof input);
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    input.mi.mouseData = data;
    SendInput(1, &input, sizeof input);
}

void PlayerMiddleClick()
{
    MouseEvent(MOUSEEVENTF_MIDDLEDOWN, 0);
    MouseEvent(MOUSEEVENTF_MIDDLEUP, 0);
}

void PlayerLeftButton(bool down)
{
    MouseEvent(down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP, 0);
}

void PlayerTurnWheel(int delta)
{
    MouseEvent(MOUSEEVENTF_WHEEL, (DWORD)delta);
}
