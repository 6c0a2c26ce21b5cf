// Decoding pictures with the Windows Imaging Component (JPEG, PNG, BMP, GIF)
// into covers. A decoder is its thread's own: it starts and stops COM for
// that thread.
#ifndef TUNEBELL_COVER_DECODE_H
#define TUNEBELL_COVER_DECODE_H

#include "cover/image.h"

// The largest picture decoded, in pixels: a larger one would take the
// player's memory (the whole picture is held while it is scaled).
#define MOST_SOURCE_SIDE 10000
#define MOST_SOURCE_PIXELS 25000000

struct IWICImagingFactory;

struct CoverDecoder {
    HMODULE ole;
    void (WINAPI *uninitialize)(void);
    bool comStarted;
    IWICImagingFactory *factory;
};

// False when COM or the imaging component cannot be had: nothing decodes.
// Stop undoes whatever Start did, whether it succeeded or not.
bool StartDecoding(CoverDecoder *decoder);
void StopDecoding(CoverDecoder *decoder);
// The picture scaled with the Fant filter to fit `box` x `box`; NULL for
// bytes that do not decode, or a picture too large, which its own header
// tells before anything is decoded.
CoverImage *DecodeCover(const CoverDecoder *decoder, const BYTE *bytes, size_t length, int box);

// Pure: the size of a picture scaled to fit the box, aspect kept: the
// longer side fills it, the other is rounded and at least 1.
void FitInBox(int width, int height, int box, int *fitWidth, int *fitHeight);
// Pure: whether a picture of this size is decoded at all.
bool IsDecodableSize(UINT width, UINT height);
// Pure: whether the picture's own header lets it be decoded: a JPEG, PNG,
// BMP or GIF whose size is decoded at all. DecodeCover tries nothing else.
bool IsDecodablePicture(const BYTE *bytes, size_t length);

#endif
