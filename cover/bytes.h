// Reading numbers out of untrusted bytes. Every reader checks that what it
// reads lies inside the buffer with InBounds first, in this one form, which
// cannot overflow.
#ifndef TUNEBELL_COVER_BYTES_H
#define TUNEBELL_COVER_BYTES_H

#include <stddef.h>
#include <stdint.h>

// Whether `length` bytes from `offset` on lie inside a buffer of `size`.
inline bool InBounds(size_t size, size_t offset, size_t length)
{
    return offset <= size && length <= size - offset;
}

inline uint32_t Be16(const unsigned char *p)
{
    return (uint32_t)p[0] << 8 | p[1];
}

inline uint32_t Be24(const unsigned char *p)
{
    return (uint32_t)p[0] << 16 | (uint32_t)p[1] << 8 | p[2];
}

inline uint32_t Be32(const unsigned char *p)
{
    return (uint32_t)p[0] << 24 | (uint32_t)p[1] << 16 | (uint32_t)p[2] << 8 | p[3];
}

inline uint32_t Le16(const unsigned char *p)
{
    return (uint32_t)p[1] << 8 | p[0];
}

inline uint32_t Le32(const unsigned char *p)
{
    return (uint32_t)p[3] << 24 | (uint32_t)p[2] << 16 | (uint32_t)p[1] << 8 | p[0];
}

inline uint64_t Be64(const unsigned char *p)
{
    return (uint64_t)Be32(p) << 32 | Be32(p + 4);
}

// Four bytes as a four-character code, "moov" and the like.
inline bool IsCode(const unsigned char *p, const char *code)
{
    return p[0] == (unsigned char)code[0] && p[1] == (unsigned char)code[1]
        && p[2] == (unsigned char)code[2] && p[3] == (unsigned char)code[3];
}

#endif
