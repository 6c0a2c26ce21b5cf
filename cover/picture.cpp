#include "cover/picture.h"

void ClearPictureChoice(PictureChoice *choice)
{
    choice->found = false;
    choice->span.offset = 0;
    choice->span.length = 0;
    choice->span.type = PICTURE_TYPE_UNKNOWN;
}

bool OfferPicture(PictureChoice *choice, size_t offset, size_t length, int type)
{
    if (length == 0 || length > MAX_PICTURE_BYTES)
        return choice->found && choice->span.type == PICTURE_FRONT_COVER;
    bool front = type == PICTURE_FRONT_COVER;
    bool chosenFront = choice->found && choice->span.type == PICTURE_FRONT_COVER;
    if (!choice->found || (front && !chosenFront)) {
        choice->found = true;
        choice->span.offset = offset;
        choice->span.length = length;
        choice->span.type = type;
    }
    return choice->span.type == PICTURE_FRONT_COVER;
}

unsigned long long PictureDigest(const unsigned char *bytes, size_t length)
{
    // FNV-1a, 64 bits.
    unsigned long long digest = 0xcbf29ce484222325ULL;
    for (size_t i = 0; i < length; i++)
        digest = (digest ^ bytes[i]) * 0x100000001b3ULL;
    return digest == NO_PICTURE_DIGEST ? 1 : digest;
}
