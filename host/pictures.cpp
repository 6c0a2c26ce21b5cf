#include "host/pictures.h"

#include <objbase.h>
#include <wincodec.h>
#include <string.h>

// The classic 1 x 1 GIF: a two-colour table whose first colour is the pixel.
static std::vector<unsigned char> OnePixelGif(COLORREF colour)
{
    std::vector<unsigned char> gif = { 'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0,
                                       GetRValue(colour), GetGValue(colour), GetBValue(colour), 0, 0, 0,
                                       0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 2, 0x44, 0x01, 0, 0x3B };
    return gif;
}

// What each pixel is: BGR at `p`, from its place in the picture.
typedef void (*PixelPainter)(unsigned char *p, int x, int y, int width, int height, const void *context);

struct PlainPaint {
    COLORREF colour;
    bool detail;
};

static unsigned char Clamp(int v)
{
    return (unsigned char)(v < 0 ? 0 : v > 255 ? 255 : v);
}

static void PaintPlain(unsigned char *p, int x, int y, int, int, const void *context)
{
    const PlainPaint *paint = (const PlainPaint *)context;
    int grain = paint->detail ? (int)((x * 7919u + y * 104729u) % 61) - 30 : 0;
    p[0] = Clamp(GetBValue(paint->colour) + grain);
    p[1] = Clamp(GetGValue(paint->colour) + grain);
    p[2] = Clamp(GetRValue(paint->colour) + grain);
}

struct ArtworkPaint {
    COLORREF from, to;
};

static void PaintArtwork(unsigned char *p, int x, int y, int width, int height, const void *context)
{
    const ArtworkPaint *paint = (const ArtworkPaint *)context;
    int t = (x + y) * 255 / (width + height - 2 > 0 ? width + height - 2 : 1);
    int c[3] = { GetBValue(paint->from) + (GetBValue(paint->to) - GetBValue(paint->from)) * t / 255,
                 GetGValue(paint->from) + (GetGValue(paint->to) - GetGValue(paint->from)) * t / 255,
                 GetRValue(paint->from) + (GetRValue(paint->to) - GetRValue(paint->from)) * t / 255 };
    // The disc: dark with fine grooves, a label of the first colour, a hole.
    int dx = 2 * x - width, dy = 2 * y - height, r = width * 2 * 36 / 100;
    int d2 = dx * dx + dy * dy;
    if (d2 < r * r) {
        bool label = d2 < r * r / 9, hole = d2 < r * r / 400;
        for (int i = 0; i < 3; i++)
            c[i] = hole ? 240 : label ? (i == 0 ? GetBValue(paint->from) : i == 1 ? GetGValue(paint->from) : GetRValue(paint->from))
                                      : 24 + (d2 / (width / 8 + 1)) % 3 * 6;
    }
    for (int i = 0; i < 3; i++)
        p[i] = Clamp(c[i]);
}

static std::vector<unsigned char> Encode(IWICImagingFactory *factory, const GUID &container, int width, int height,
                                         BYTE alpha, PixelPainter paint, const void *context)
{
    std::vector<unsigned char> bytes;
    IStream *memory = NULL;
    IWICBitmapEncoder *encoder = NULL;
    IWICBitmapFrameEncode *frame = NULL;
    IPropertyBag2 *options = NULL;
    if (FAILED(CreateStreamOnHGlobal(NULL, TRUE, &memory)) || FAILED(factory->CreateEncoder(container, NULL, &encoder))
        || FAILED(encoder->Initialize(memory, WICBitmapEncoderNoCache)) || FAILED(encoder->CreateNewFrame(&frame, &options))
        || FAILED(frame->Initialize(options)) || FAILED(frame->SetSize(width, height))) {
        if (frame) frame->Release();
        if (options) options->Release();
        if (encoder) encoder->Release();
        if (memory) memory->Release();
        return bytes;
    }
    WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGRA;
    frame->SetPixelFormat(&format);
    bool withAlpha = IsEqualGUID(format, GUID_WICPixelFormat32bppBGRA) != 0;
    int pixelBytes = withAlpha ? 4 : 3;
    UINT stride = (UINT)(width * pixelBytes + 3) & ~3u;
    std::vector<unsigned char> pixels((size_t)stride * height);
    for (int y = 0; y < height; y++) {
        for (int x = 0; x < width; x++) {
            unsigned char *p = &pixels[(size_t)y * stride + (size_t)x * pixelBytes];
            paint(p, x, y, width, height, context);
            if (withAlpha)
                p[3] = alpha;
        }
    }
    bool written = SUCCEEDED(frame->WritePixels(height, stride, (UINT)pixels.size(), pixels.data()))
                && SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
    HGLOBAL global = NULL;
    if (written && SUCCEEDED(GetHGlobalFromStream(memory, &global))) {
        STATSTG stat;
        memory->Stat(&stat, STATFLAG_NONAME);
        const unsigned char *data = (const unsigned char *)GlobalLock(global);
        if (data) {
            bytes.assign(data, data + (size_t)stat.cbSize.QuadPart);
            GlobalUnlock(global);
        }
    }
    frame->Release();
    if (options)
        options->Release();
    encoder->Release();
    memory->Release();
    return bytes;
}

// Encodes a picture that `paint` draws.
static std::vector<unsigned char> MakePainted(PictureFormat format, int width, int height, BYTE alpha,
                                             PixelPainter paint, const void *context)
{
    HRESULT com = CoInitializeEx(NULL, COINIT_APARTMENTTHREADED);
    std::vector<unsigned char> bytes;
    IWICImagingFactory *factory = NULL;
    if (SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, NULL, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                   (void **)&factory))) {
        const GUID &container = format == PICTURE_JPEG ? GUID_ContainerFormatJpeg
                              : format == PICTURE_PNG ? GUID_ContainerFormatPng : GUID_ContainerFormatBmp;
        bytes = Encode(factory, container, width, height, alpha, paint, context);
        factory->Release();
    }
    if (SUCCEEDED(com))
        CoUninitialize();
    return bytes;
}

std::vector<unsigned char> MakePicture(PictureFormat format, int width, int height, COLORREF colour, BYTE alpha,
                                       bool detail)
{
    if (format == PICTURE_GIF)
        return OnePixelGif(colour);
    PlainPaint paint = { colour, detail };
    return MakePainted(format, width, height, alpha, PaintPlain, &paint);
}

std::vector<unsigned char> MakeArtwork(PictureFormat format, int size, COLORREF from, COLORREF to)
{
    ArtworkPaint paint = { from, to };
    return MakePainted(format, size, size, 255, PaintArtwork, &paint);
}

bool WriteBytesToFile(const std::string &path, const std::vector<unsigned char> &bytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = bytes.empty() || (WriteFile(file, bytes.data(), (DWORD)bytes.size(), &written, NULL) && written == bytes.size());
    CloseHandle(file);
    return ok;
}

bool RewriteKeepingTime(const std::string &path, const std::vector<unsigned char> &bytes)
{
    WIN32_FILE_ATTRIBUTE_DATA before;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &before) || before.nFileSizeHigh
        || before.nFileSizeLow != bytes.size() || !WriteBytesToFile(path, bytes))
        return false;
    HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool kept = SetFileTime(file, NULL, NULL, &before.ftLastWriteTime) != 0;
    CloseHandle(file);
    return kept;
}
