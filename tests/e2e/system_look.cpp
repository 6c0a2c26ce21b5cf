#include "tests/e2e/system_look.h"

#include <string.h>

COLORREF ScreenPixels::At(int x, int y) const
{
    if (x < area.left || x >= area.right || y < area.top || y >= area.bottom)
        return CLR_INVALID;
    DWORD p = bits[(size_t)(y - area.top) * (area.right - area.left) + (x - area.left)];
    return RGB(p >> 16 & 0xFF, p >> 8 & 0xFF, p & 0xFF);
}

bool ScreenPixels::Has(const RECT &r, COLORREF colour) const
{
    for (int y = r.top; y < r.bottom; y++)
        for (int x = r.left; x < r.right; x++)
            if (At(x, y) == colour)
                return true;
    return false;
}

ScreenPixels ReadScreen(const RECT &area)
{
    ScreenPixels pixels;
    pixels.area = area;
    int w = area.right - area.left, h = area.bottom - area.top;
    pixels.bits.assign((size_t)w * h, 0);
    BITMAPINFO info;
    ZeroMemory(&info, sizeof info);
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void *bits = NULL;
    HDC screen = GetDC(NULL);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    if (bitmap && bits) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, w, h, screen, area.left, area.top, SRCCOPY);
        GdiFlush();
        memcpy(pixels.bits.data(), bits, pixels.bits.size() * sizeof(DWORD));
        SelectObject(memory, old);
    }
    if (bitmap)
        DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(NULL, screen);
    return pixels;
}

bool PopupOnTop(HWND popup)
{
    RECT r;
    if (!GetWindowRect(popup, &r))
        return false;
    POINT middle = { (r.left + r.right) / 2, (r.top + r.bottom) / 2 };
    HWND under = WindowFromPoint(middle);
    return under && GetAncestor(under, GA_ROOT) == popup;
}
