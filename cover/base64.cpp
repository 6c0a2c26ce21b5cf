#include "cover/base64.h"

static int Sextet(unsigned char c)
{
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    if (c == '+')
        return 62;
    if (c == '/')
        return 63;
    return -1;
}

size_t DecodeBase64(const unsigned char *text, size_t length, unsigned char *out, size_t room)
{
    // Padding only at the end.
    while (length > 0 && text[length - 1] == '=')
        length--;
    size_t written = 0;
    unsigned bits = 0;
    int held = 0;
    for (size_t i = 0; i < length && written < room; i++) {
        int value = Sextet(text[i]);
        if (value < 0)
            return 0;
        bits = (bits << 6 | (unsigned)value) & 0xFFFFFF;
        held += 6;
        if (held >= 8) {
            held -= 8;
            out[written++] = (unsigned char)(bits >> held);
        }
    }
    return written;
}
