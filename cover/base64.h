// Base64 as Vorbis comments carry pictures. Pure.
#ifndef TUNEBELL_COVER_BASE64_H
#define TUNEBELL_COVER_BASE64_H

#include <stddef.h>

// Decodes base64 text (the standard alphabet, '=' padding at the end) into
// `out`, which may be the text itself: the bytes come out fewer and behind
// the reading. Writes at most `room` bytes and stops there. Returns how many
// were written, or 0 for text that is not base64.
size_t DecodeBase64(const unsigned char *text, size_t length, unsigned char *out, size_t room);

#endif
