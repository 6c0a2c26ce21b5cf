#include "cover/decode.h"

#include <objbase.h>
#include <wincodec.h>

// The component's class and interfaces, written out here so that nothing is
// linked for them: the DLL stays free of imports that not every Windows has.
static const GUID kImagingFactoryClass = { 0xcacaf262, 0x9370, 0x4615, { 0xa1, 0x3b, 0x9f, 0x55, 0x39, 0xda, 0x4c, 0x0a } };
static const GUID kImagingFactoryInterface = { 0xec5ec8a9, 0xc395, 0x4314, { 0x9c, 0x77, 0x54, 0xd7, 0xa9, 0x35, 0xff, 0x70 } };
static const GUID kPremultipliedBgra = { 0x6fddc324, 0x4e03, 0x4bfe, { 0xb1, 0x85, 0x3d, 0x77, 0x76, 0x8d, 0xc9, 0x10 } };

typedef HRESULT (WINAPI *CoInitializeExProc)(LPVOID, DWORD);
typedef void (WINAPI *CoUninitializeProc)(void);
typedef HRESULT (WINAPI *CoCreateInstanceProc)(REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID *);

// The decoding thread's own.
static HMODULE gOle;
static CoUninitializeProc pCoUninitialize;
static bool gComStarted;
static IWICImagingFactory *gFactory;

void FitInBox(int width, int height, int box, int *fitWidth, int *fitHeight)
{
    if (width >= height) {
        *fitWidth = box;
        *fitHeight = (int)(((long long)height * box * 2 + width) / (2LL * width));
    } else {
        *fitHeight = box;
        *fitWidth = (int)(((long long)width * box * 2 + height) / (2LL * height));
    }
    if (*fitWidth < 1)
        *fitWidth = 1;
    if (*fitHeight < 1)
        *fitHeight = 1;
}

bool IsDecodableSize(UINT width, UINT height)
{
    return width > 0 && height > 0 && width <= MOST_SOURCE_SIDE && height <= MOST_SOURCE_SIDE
        && (unsigned long long)width * height <= MOST_SOURCE_PIXELS;
}

bool StartDecoding(void)
{
    // Loaded here, not imported: a player that never shows a cover never
    // loads COM for us.
    gOle = LoadLibraryW(L"ole32.dll");
    if (!gOle)
        return false;
    CoInitializeExProc pCoInitializeEx = (CoInitializeExProc)(void *)GetProcAddress(gOle, "CoInitializeEx");
    CoCreateInstanceProc pCoCreateInstance = (CoCreateInstanceProc)(void *)GetProcAddress(gOle, "CoCreateInstance");
    pCoUninitialize = (CoUninitializeProc)(void *)GetProcAddress(gOle, "CoUninitialize");
    if (!pCoInitializeEx || !pCoCreateInstance || !pCoUninitialize)
        return false;
    gComStarted = SUCCEEDED(pCoInitializeEx(NULL, COINIT_MULTITHREADED));
    if (!gComStarted)
        return false;
    return SUCCEEDED(pCoCreateInstance(kImagingFactoryClass, NULL, CLSCTX_INPROC_SERVER, kImagingFactoryInterface,
                                       (void **)&gFactory));
}

void StopDecoding(void)
{
    if (gFactory)
        gFactory->Release();
    gFactory = NULL;
    if (gComStarted)
        pCoUninitialize();
    gComStarted = false;
    if (gOle)
        FreeLibrary(gOle);
    gOle = NULL;
}

// Decodes the first frame, converts it to premultiplied BGRA and scales it.
static CoverImage *DecodeFrame(IWICBitmapDecoder *decoder, int box)
{
    IWICBitmapFrameDecode *frame = NULL;
    IWICFormatConverter *converter = NULL;
    IWICBitmapScaler *scaler = NULL;
    CoverImage *image = NULL;
    UINT width = 0, height = 0;
    int w = 0, h = 0;
    bool ready = SUCCEEDED(decoder->GetFrame(0, &frame)) && SUCCEEDED(frame->GetSize(&width, &height))
              && IsDecodableSize(width, height)
              && SUCCEEDED(gFactory->CreateFormatConverter(&converter))
              && SUCCEEDED(converter->Initialize(frame, kPremultipliedBgra, WICBitmapDitherTypeNone, NULL, 0.0,
                                                 WICBitmapPaletteTypeCustom))
              && SUCCEEDED(gFactory->CreateBitmapScaler(&scaler));
    if (ready) {
        FitInBox((int)width, (int)height, box, &w, &h);
        ready = SUCCEEDED(scaler->Initialize(converter, (UINT)w, (UINT)h, WICBitmapInterpolationModeFant));
    }
    if (ready) {
        UINT bytes = (UINT)(w * h * 4);
        image = (CoverImage *)HeapAlloc(GetProcessHeap(), 0, sizeof(CoverImage) + bytes);
        if (image) {
            image->width = w;
            image->height = h;
            if (FAILED(scaler->CopyPixels(NULL, (UINT)w * 4, bytes, (BYTE *)image->pixels))) {
                HeapFree(GetProcessHeap(), 0, image);
                image = NULL;
            }
        }
    }
    if (scaler)
        scaler->Release();
    if (converter)
        converter->Release();
    if (frame)
        frame->Release();
    return image;
}

CoverImage *DecodeCover(const BYTE *bytes, size_t length, int box)
{
    if (!gFactory || length == 0 || length > 0x7FFFFFFF)
        return NULL;
    IWICStream *stream = NULL;
    IWICBitmapDecoder *decoder = NULL;
    CoverImage *image = NULL;
    if (SUCCEEDED(gFactory->CreateStream(&stream))
        && SUCCEEDED(stream->InitializeFromMemory((BYTE *)bytes, (DWORD)length))
        && SUCCEEDED(gFactory->CreateDecoderFromStream(stream, NULL, WICDecodeMetadataCacheOnDemand, &decoder)))
        image = DecodeFrame(decoder, box);
    if (decoder)
        decoder->Release();
    if (stream)
        stream->Release();
    return image;
}
