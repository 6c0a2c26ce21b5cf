#include "cover/decode.h"
#include "cover/picture_size.h"
#include "base/release.h"

#include <objbase.h>
#include <wincodec.h>

// The component's class and interfaces, written out here so that nothing is
// linked for them: the DLL stays free of imports that not every Windows has.
static const GUID kImagingFactoryClass = { 0xcacaf262, 0x9370, 0x4615, { 0xa1, 0x3b, 0x9f, 0x55, 0x39, 0xda, 0x4c, 0x0a } };
static const GUID kImagingFactoryInterface = { 0xec5ec8a9, 0xc395, 0x4314, { 0x9c, 0x77, 0x54, 0xd7, 0xa9, 0x35, 0xff, 0x70 } };
static const GUID kPremultipliedBgra = { 0x6fddc324, 0x4e03, 0x4bfe, { 0xb1, 0x85, 0x3d, 0x77, 0x76, 0x8d, 0xc9, 0x10 } };

// Pixel formats a decoder that scales may hand over, by their sizes.
static const GUID kBgr24 = { 0x6fddc324, 0x4e03, 0x4bfe, { 0xb1, 0x85, 0x3d, 0x77, 0x76, 0x8d, 0xc9, 0x0c } };
static const GUID kBgr32 = { 0x6fddc324, 0x4e03, 0x4bfe, { 0xb1, 0x85, 0x3d, 0x77, 0x76, 0x8d, 0xc9, 0x0e } };
static const GUID kBgra32 = { 0x6fddc324, 0x4e03, 0x4bfe, { 0xb1, 0x85, 0x3d, 0x77, 0x76, 0x8d, 0xc9, 0x0f } };
static const GUID kGray8 = { 0x6fddc324, 0x4e03, 0x4bfe, { 0xb1, 0x85, 0x3d, 0x77, 0x76, 0x8d, 0xc9, 0x08 } };
static const GUID kScalingSourceInterface = { 0x3b16811b, 0x6a43, 0x4ec9, { 0xb7, 0x13, 0x3d, 0x5a, 0x0c, 0x13, 0xb9, 0x40 } };

// What a frame whose decoder scales while it decodes (a JPEG's by a half, a
// quarter or an eighth) offers besides: IWICBitmapSourceTransform, written
// out as the SDK has it, since not every SDK's headers declare it.
struct ScalingSource : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE CopyPixels(const WICRect *rect, UINT width, UINT height, GUID *format,
                                                 WICBitmapTransformOptions transform, UINT stride, UINT bytes,
                                                 BYTE *pixels) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetClosestSize(UINT *width, UINT *height) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetClosestPixelFormat(GUID *format) = 0;
    virtual HRESULT STDMETHODCALLTYPE DoesSupportTransform(WICBitmapTransformOptions transform, BOOL *supported) = 0;
};

// Gives back a COM reference, when one was had.
static void ReleaseReference(IUnknown *object)
{
    if (object)
        object->Release();
}

typedef HRESULT (WINAPI *CoInitializeExProc)(LPVOID, DWORD);
typedef void (WINAPI *CoUninitializeProc)(void);
typedef HRESULT (WINAPI *CoCreateInstanceProc)(REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID *);

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

bool IsDecodablePicture(const BYTE *bytes, size_t length)
{
    unsigned width, height;
    return length > 0 && length <= 0x7FFFFFFF && ReadPictureSize(bytes, length, &width, &height)
        && IsDecodableSize(width, height);
}

bool StartDecoding(CoverDecoder *decoder)
{
    ZeroMemory(decoder, sizeof(*decoder));
    // Loaded here, not imported: a player that never shows a cover never
    // loads COM for us.
    decoder->ole = LoadLibraryW(L"ole32.dll");
    if (!decoder->ole)
        return false;
    CoInitializeExProc pCoInitializeEx = (CoInitializeExProc)(void *)GetProcAddress(decoder->ole, "CoInitializeEx");
    CoCreateInstanceProc pCoCreateInstance = (CoCreateInstanceProc)(void *)GetProcAddress(decoder->ole, "CoCreateInstance");
    decoder->uninitialize = (CoUninitializeProc)(void *)GetProcAddress(decoder->ole, "CoUninitialize");
    if (!pCoInitializeEx || !pCoCreateInstance || !decoder->uninitialize)
        return false;
    decoder->comStarted = SUCCEEDED(pCoInitializeEx(NULL, COINIT_MULTITHREADED));
    if (!decoder->comStarted)
        return false;
    return SUCCEEDED(pCoCreateInstance(kImagingFactoryClass, NULL, CLSCTX_INPROC_SERVER, kImagingFactoryInterface,
                                       (void **)&decoder->factory));
}

void StopDecoding(CoverDecoder *decoder)
{
    ReleaseReference(decoder->factory);
    decoder->factory = NULL;
    if (decoder->comStarted)
        decoder->uninitialize();
    decoder->comStarted = false;
    FreeLibraryOnce(&decoder->ole);
}

static UINT PixelBytes(const GUID &format)
{
    if (IsEqualGUID(format, kBgr24))
        return 3;
    if (IsEqualGUID(format, kBgr32) || IsEqualGUID(format, kBgra32) || IsEqualGUID(format, kPremultipliedBgra))
        return 4;
    return IsEqualGUID(format, kGray8) ? 1 : 0;
}

// The pixels of a frame that scales while it decodes, decoded at that size
// into a bitmap of their own; NULL when they could not be.
static IWICBitmap *DecodeScaledPixels(IWICImagingFactory *factory, ScalingSource *scaling, UINT width, UINT height,
                                      GUID format, UINT pixelBytes)
{
    UINT stride = (width * pixelBytes + 3) & ~3u;
    UINT bytes = stride * height;
    IWICBitmap *bitmap = NULL;
    BYTE *pixels = (BYTE *)HeapAlloc(GetProcessHeap(), 0, bytes);
    // The bitmap takes a copy of the pixels.
    bool made = pixels
             && SUCCEEDED(scaling->CopyPixels(NULL, width, height, &format, WICBitmapTransformRotate0, stride, bytes,
                                              pixels))
             && SUCCEEDED(factory->CreateBitmapFromMemory(width, height, format, stride, bytes, pixels, &bitmap));
    if (pixels)
        HeapFree(GetProcessHeap(), 0, pixels);
    return made ? bitmap : NULL;
}

// The frame decoded straight at a size that still fills the fitted size,
// where its decoder scales while it decodes, so that the whole picture is
// never held; NULL where the decoder cannot, or would gain nothing by it.
static IWICBitmap *DecodeReduced(IWICImagingFactory *factory, IWICBitmapFrameDecode *frame, UINT width, UINT height,
                                 int fitWidth, int fitHeight)
{
    ScalingSource *scaling = NULL;
    if (FAILED(frame->QueryInterface(kScalingSourceInterface, (void **)&scaling)))
        return NULL;
    UINT reducedWidth = (UINT)fitWidth, reducedHeight = (UINT)fitHeight;
    GUID format = kBgr24;
    bool smaller = SUCCEEDED(scaling->GetClosestSize(&reducedWidth, &reducedHeight))
                && reducedWidth >= (UINT)fitWidth && reducedHeight >= (UINT)fitHeight && reducedWidth <= width
                && reducedHeight <= height && (reducedWidth < width || reducedHeight < height)
                && SUCCEEDED(scaling->GetClosestPixelFormat(&format));
    UINT pixelBytes = smaller ? PixelBytes(format) : 0;
    IWICBitmap *bitmap = pixelBytes
                       ? DecodeScaledPixels(factory, scaling, reducedWidth, reducedHeight, format, pixelBytes)
                       : NULL;
    scaling->Release();
    return bitmap;
}

// Decodes the first frame, converts it to premultiplied BGRA and scales it.
static CoverImage *DecodeFrame(IWICImagingFactory *factory, IWICBitmapDecoder *decoder, int box)
{
    IWICBitmapFrameDecode *frame = NULL;
    IWICBitmap *reduced = NULL;
    IWICFormatConverter *converter = NULL;
    IWICBitmapScaler *scaler = NULL;
    CoverImage *image = NULL;
    UINT width = 0, height = 0;
    int fitWidth = 0, fitHeight = 0;
    // The decoder's own size counts too, should it read the header otherwise.
    bool ready = SUCCEEDED(decoder->GetFrame(0, &frame)) && SUCCEEDED(frame->GetSize(&width, &height))
              && IsDecodableSize(width, height);
    if (ready) {
        FitInBox((int)width, (int)height, box, &fitWidth, &fitHeight);
        reduced = DecodeReduced(factory, frame, width, height, fitWidth, fitHeight);
        IWICBitmapSource *source = reduced ? (IWICBitmapSource *)reduced : (IWICBitmapSource *)frame;
        ready = SUCCEEDED(factory->CreateFormatConverter(&converter))
             && SUCCEEDED(converter->Initialize(source, kPremultipliedBgra, WICBitmapDitherTypeNone, NULL, 0.0,
                                                WICBitmapPaletteTypeCustom))
             && SUCCEEDED(factory->CreateBitmapScaler(&scaler))
             && SUCCEEDED(scaler->Initialize(converter, (UINT)fitWidth, (UINT)fitHeight,
                                             WICBitmapInterpolationModeFant));
    }
    if (ready)
        image = NewCoverImage(fitWidth, fitHeight);
    if (image && FAILED(scaler->CopyPixels(NULL, (UINT)fitWidth * 4, (UINT)(fitWidth * fitHeight * 4),
                                           (BYTE *)image->pixels))) {
        FreeCoverImage(image);
        image = NULL;
    }
    ReleaseReference(scaler);
    ReleaseReference(converter);
    ReleaseReference(reduced);
    ReleaseReference(frame);
    return image;
}

CoverImage *DecodeCover(const CoverDecoder *decoder, const BYTE *bytes, size_t length, int box)
{
    // Some decoders take the whole picture's memory as they open it: its
    // size is read from its header first.
    if (!decoder->factory || !IsDecodablePicture(bytes, length))
        return NULL;
    IWICImagingFactory *factory = decoder->factory;
    IWICStream *stream = NULL;
    IWICBitmapDecoder *bitmapDecoder = NULL;
    CoverImage *image = NULL;
    if (SUCCEEDED(factory->CreateStream(&stream))
        && SUCCEEDED(stream->InitializeFromMemory((BYTE *)bytes, (DWORD)length))
        && SUCCEEDED(factory->CreateDecoderFromStream(stream, NULL, WICDecodeMetadataCacheOnDemand, &bitmapDecoder)))
        image = DecodeFrame(factory, bitmapDecoder, box);
    ReleaseReference(bitmapDecoder);
    ReleaseReference(stream);
    return image;
}
