// Screen captures for the demo and for tests that look at pixels.
#include "host/player.h"

#include <stdio.h>

// Writes a bottom-up 24-bit DIB as a .bmp file.
static bool WriteBitmapFile(const char *path, const BITMAPINFOHEADER *header,
                            const void *bits, DWORD bitsSize)
{
    BITMAPFILEHEADER file;
    ZeroMemory(&file, sizeof file);
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof *header;
    file.bfSize = file.bfOffBits + bitsSize;
    FILE *out = fopen(path, "wb");
    if (!out)
        return false;
    bool written = fwrite(&file, sizeof file, 1, out) == 1 &&
                   fwrite(header, sizeof *header, 1, out) == 1 &&
                   fwrite(bits, 1, bitsSize, out) == bitsSize;
    return fclose(out) == 0 && written;
}

bool PlayerSaveScreenshot(const RECT *wanted, const char *bmpPath)
{
    // Wine copies nothing at all when the source reaches past the screen.
    RECT screen = { 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN) };
    RECT clipped;
    if (!IntersectRect(&clipped, wanted, &screen))
        return false;
    const RECT *screenRect = &clipped;
    int width = screenRect->right - screenRect->left;
    int height = screenRect->bottom - screenRect->top;
    if (width <= 0 || height <= 0)
        return false;

    BITMAPINFO info;
    ZeroMemory(&info, sizeof info);
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // positive: bottom-up, as files keep it
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    DWORD stride = ((DWORD)width * 3 + 3) & ~3u;
    info.bmiHeader.biSizeImage = stride * (DWORD)height;

    HDC screenDc = GetDC(NULL);
    if (!screenDc)
        return false;
    HDC memory = CreateCompatibleDC(screenDc);
    void *bits = NULL;
    HBITMAP bitmap = memory
        ? CreateDIBSection(screenDc, &info, DIB_RGB_COLORS, &bits, NULL, 0)
        : NULL;
    bool saved = false;
    if (bitmap) {
        HGDIOBJ previous = SelectObject(memory, bitmap);
        // CAPTUREBLT takes layered (translucent) windows along.
        bool copied = BitBlt(memory, 0, 0, width, height, screenDc,
                             screenRect->left, screenRect->top,
                             SRCCOPY | CAPTUREBLT) != FALSE;
        GdiFlush();
        SelectObject(memory, previous);
        if (copied)
            saved = WriteBitmapFile(bmpPath, &info.bmiHeader, bits,
                                    info.bmiHeader.biSizeImage);
        DeleteObject(bitmap);
    }
    if (memory)
        DeleteDC(memory);
    ReleaseDC(NULL, screenDc);
    return saved;
}
