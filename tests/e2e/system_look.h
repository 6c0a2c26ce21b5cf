// What the tests of the look that follows Windows share: the registry
// values it reads (host/theme_registry.h), and the screen's pixels read at
// once.
#pragma once

#include <windows.h>
#include "host/theme_registry.h"

#include <vector>

// The screen's pixels in one rectangle of it, read at once.
struct ScreenPixels {
    RECT area;
    std::vector<DWORD> bits;
    COLORREF At(int x, int y) const;   // screen coordinates
    // Whether some pixel in r (screen coordinates, within area) has the colour.
    bool Has(const RECT &r, COLORREF colour) const;
};
ScreenPixels ReadScreen(const RECT &area);

// The popup itself on the screen at its middle, no other window over it.
bool PopupOnTop(HWND popup);
