// What the tag readers find: where a picture's bytes lie in the buffer they
// were given, and which of several pictures is taken. Pure.
#ifndef TUNEBELL_COVER_PICTURE_H
#define TUNEBELL_COVER_PICTURE_H

#include <stddef.h>

// The most bytes read for one picture and for one tag: a damaged or hostile
// length never makes us read, or hold, more.
#define MAX_PICTURE_BYTES ((size_t)16 << 20)
#define MAX_TAG_BYTES ((size_t)32 << 20)

// The picture type of the ID3v2 and FLAC picture records: 3 is the front
// cover; -1 stands for a picture whose tag gives no type.
#define PICTURE_FRONT_COVER 3
#define PICTURE_TYPE_UNKNOWN -1

struct PictureSpan {
    size_t offset;   // in the buffer the reader was given
    size_t length;   // never 0 in a span that was found
    int type;
};

// The pictures of one tag, as they are offered in the tag's order: the first
// front cover wins, else the first picture of all.
struct PictureChoice {
    bool found;
    PictureSpan span;
};

void ClearPictureChoice(PictureChoice *choice);
// Offers one picture; pictures that are empty or too large are passed over.
// True once a front cover is chosen, so that a reader may stop there.
bool OfferPicture(PictureChoice *choice, size_t offset, size_t length, int type);

// A digest of a picture's bytes, to tell a picture rewritten in place from
// the one decoded before; never NO_PICTURE_DIGEST, which stands for none.
#define NO_PICTURE_DIGEST 0
unsigned long long PictureDigest(const unsigned char *bytes, size_t length);

#endif
