#include "popup/cover_art.h"
#include "popup/dpi.h"
#include "popup/work_area.h"
#include "cover/cover.h"
#include "settings/settings.h"

int PopupCoverSize(void)
{
    return gSettings.ShowCover ? gSettings.CoverSize : 0;
}

static int PopupDpiNow(void)
{
    RECT area = PopupWorkArea();
    return ScaleForWorkArea(&area, NULL).dpi;
}

int PopupCoverPixels(int size)
{
    return ScaledLength(size, ReadAsPopupThread(PopupDpiNow));
}

static DWORD BlendChannel(DWORD pixel, int shift, int alpha, int back)
{
    int value = (int)(pixel >> shift & 0xFF) + ((255 - alpha) * back + 127) / 255;
    return (DWORD)(value > 255 ? 255 : value) << shift;
}

void BlendOverColour(const DWORD *pixels, DWORD *out, int count, COLORREF back)
{
    for (int i = 0; i < count; i++) {
        DWORD p = pixels[i];
        int alpha = (int)(p >> 24);
        out[i] = 0xFF000000u | BlendChannel(p, 16, alpha, GetRValue(back)) | BlendChannel(p, 8, alpha, GetGValue(back))
               | BlendChannel(p, 0, alpha, GetBValue(back));
    }
}

HBITMAP CoverOverColour(const CoverImage *image, COLORREF back)
{
    BITMAPINFO info;
    ZeroMemory(&info, sizeof(info));
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = image->width;
    info.bmiHeader.biHeight = -image->height;   // the top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void *bits = NULL;
    HBITMAP cover = CreateDIBSection(NULL, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    if (cover && bits)
        BlendOverColour(image->pixels, (DWORD *)bits, image->width * image->height, back);
    return cover;
}

static bool HasTransparentParts(const CoverImage *image)
{
    for (int i = 0; i < image->width * image->height; i++)
        if (image->pixels[i] >> 24 != 0xFF)
            return true;
    return false;
}

HBITMAP TakePopupCover(const PopupRequest *request, CoverImage **keep)
{
    if (keep)
        *keep = NULL;
    CoverImage *image = TakeCover(request->CoverTicket);
    if (!image)
        return NULL;
    HBITMAP cover = CoverOverColour(image, request->BackColour);
    if (cover && keep && HasTransparentParts(image))
        *keep = image;
    else
        FreeCoverImage(image);
    return cover;
}

void DrawPopupCover(const DRAWITEMSTRUCT *draw, HBITMAP cover, COLORREF back)
{
    const RECT &r = draw->rcItem;
    COLORREF oldBack = SetBkColor(draw->hDC, back);
    ExtTextOutW(draw->hDC, 0, 0, ETO_OPAQUE, &r, NULL, 0, NULL);
    SetBkColor(draw->hDC, oldBack);

    BITMAP size;
    if (!GetObjectW(cover, sizeof(size), &size))
        return;
    int w = size.bmWidth, h = size.bmHeight;
    int roomW = r.right - r.left, roomH = r.bottom - r.top;
    if (w > roomW || h > roomH) {
        if (w * roomH > h * roomW) {
            h = h * roomW / w;
            w = roomW;
        } else {
            w = w * roomH / h;
            h = roomH;
        }
    }
    HDC memory = CreateCompatibleDC(draw->hDC);
    HGDIOBJ old = SelectObject(memory, cover);
    int x = r.left + (roomW - w) / 2, y = r.top + (roomH - h) / 2;
    if (w == size.bmWidth && h == size.bmHeight) {
        BitBlt(draw->hDC, x, y, w, h, memory, 0, 0, SRCCOPY);
    } else {
        int oldMode = SetStretchBltMode(draw->hDC, HALFTONE);
        SetBrushOrgEx(draw->hDC, 0, 0, NULL);
        StretchBlt(draw->hDC, x, y, w, h, memory, 0, 0, size.bmWidth, size.bmHeight, SRCCOPY);
        SetStretchBltMode(draw->hDC, oldMode);
    }
    SelectObject(memory, old);
    DeleteDC(memory);
}
