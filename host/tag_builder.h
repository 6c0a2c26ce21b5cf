// Tags built byte by byte: ID3v2, FLAC, MP4 and Ogg, small for the tag
// readers' tests and their fuzzing, or around real pictures for the
// end-to-end tests and the demo.
#pragma once

#include <stdint.h>
#include <string>
#include <vector>

typedef std::vector<unsigned char> Bytes;

inline Bytes Text(const std::string &s)
{
    return Bytes(s.begin(), s.end());
}

inline Bytes operator+(Bytes a, const Bytes &b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

inline Bytes Be(uint64_t value, int bytes)
{
    Bytes out;
    for (int i = bytes - 1; i >= 0; i--)
        out.push_back((unsigned char)(value >> (8 * i)));
    return out;
}

inline Bytes Le32(uint32_t value)
{
    return { (unsigned char)value, (unsigned char)(value >> 8), (unsigned char)(value >> 16),
             (unsigned char)(value >> 24) };
}

inline Bytes Syncsafe(uint32_t value)
{
    return { (unsigned char)(value >> 21 & 0x7F), (unsigned char)(value >> 14 & 0x7F),
             (unsigned char)(value >> 7 & 0x7F), (unsigned char)(value & 0x7F) };
}

// --- ID3v2 ---

// An APIC frame's data (a PIC frame's in 2.2: a three-letter format).
inline Bytes PictureFrameData(int version, int encoding, int type, const std::string &description,
                              const Bytes &picture)
{
    Bytes d = { (unsigned char)encoding };
    d = d + (version == 2 ? Text("JPG") : Text("image/jpeg") + Bytes{ 0 });
    d.push_back((unsigned char)type);
    if (encoding == 1) {
        d = d + Bytes{ 0xFF, 0xFE };
        for (char c : description)
            d = d + Bytes{ (unsigned char)c, 0 };
        d = d + Bytes{ 0, 0 };
    } else {
        d = d + Text(description) + Bytes{ 0 };
    }
    return d + picture;
}

inline Bytes Id3Frame(int version, const std::string &id, const Bytes &data, int formatFlags = 0)
{
    if (version == 2)
        return Text(id) + Be(data.size(), 3) + data;
    Bytes size = version == 4 ? Syncsafe((uint32_t)data.size()) : Be(data.size(), 4);
    return Text(id) + size + Bytes{ 0, (unsigned char)formatFlags } + data;
}

inline Bytes Id3Tag(int version, int flags, const Bytes &body)
{
    Bytes tag = Text("ID3") + Bytes{ (unsigned char)version, 0, (unsigned char)flags } + Syncsafe((uint32_t)body.size()) + body;
    if (flags & 0x10)
        tag = tag + Text("3DI") + Bytes{ (unsigned char)version, 0, (unsigned char)flags } + Syncsafe((uint32_t)body.size());
    return tag;
}

// Inserts a 0x00 after every 0xFF, as unsynchronisation does.
inline Bytes Unsynchronised(const Bytes &in)
{
    Bytes out;
    for (unsigned char c : in) {
        out.push_back(c);
        if (c == 0xFF)
            out.push_back(0);
    }
    return out;
}

// --- FLAC ---

inline Bytes FlacPictureRecord(int type, const Bytes &picture, const std::string &mime = "image/png")
{
    return Be(type, 4) + Be(mime.size(), 4) + Text(mime) + Be(4, 4) + Text("desc") + Be(64, 4) + Be(64, 4)
         + Be(24, 4) + Be(0, 4) + Be(picture.size(), 4) + picture;
}

inline Bytes FlacBlock(bool last, int type, const Bytes &data)
{
    return Bytes{ (unsigned char)((last ? 0x80 : 0) | type) } + Be(data.size(), 3) + data;
}

// --- MP4 ---

inline Bytes Box(const std::string &type, const Bytes &content)
{
    return Be(content.size() + 8, 4) + Text(type) + content;
}

inline Bytes CoverData(const Bytes &picture)
{
    return Box("data", Be(13, 4) + Be(0, 4) + picture);
}

inline Bytes MoovWithCover(const Bytes &covr)
{
    Bytes hdlr = Box("hdlr", Be(0, 8) + Text("mdirappl") + Be(0, 9));
    Bytes meta = Box("meta", Be(0, 4) + hdlr + Box("ilst", Box("\xA9nam", Box("data", Be(1, 4) + Be(0, 4) + Text("Song"))) + Box("covr", covr)));
    return Box("moov", Box("mvhd", Be(0, 100)) + Box("udta", meta));
}

// --- Ogg ---

// The packets of one stream in pages of at most `segmentsPerPage` lacing
// values each (255 at most), as a muxer that flushes early writes them.
inline Bytes OggPages(const std::vector<Bytes> &packets, int segmentsPerPage, uint32_t serial = 0x1234)
{
    std::vector<unsigned char> laces;
    Bytes body;
    for (const Bytes &p : packets) {
        size_t left = p.size();
        while (left >= 255) {
            laces.push_back(255);
            left -= 255;
        }
        laces.push_back((unsigned char)left);
        body = body + p;
    }
    Bytes out;
    size_t lace = 0, at = 0;
    uint32_t sequence = 0;
    while (lace < laces.size()) {
        size_t count = laces.size() - lace < (size_t)segmentsPerPage ? laces.size() - lace : (size_t)segmentsPerPage;
        size_t bytes = 0;
        for (size_t i = 0; i < count; i++)
            bytes += laces[lace + i];
        out = out + Text("OggS") + Bytes{ 0, (unsigned char)(sequence == 0 ? 2 : 0) } + Be(0, 8) + Le32(serial)
            + Le32(sequence) + Le32(0) + Bytes{ (unsigned char)count };
        out.insert(out.end(), laces.begin() + lace, laces.begin() + lace + count);
        out.insert(out.end(), body.begin() + at, body.begin() + at + bytes);
        lace += count;
        at += bytes;
        sequence++;
    }
    return out;
}

inline std::string Base64(const Bytes &in)
{
    static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (size_t i = 0; i < in.size(); i += 3) {
        uint32_t v = (uint32_t)in[i] << 16 | (i + 1 < in.size() ? in[i + 1] << 8 : 0) | (i + 2 < in.size() ? in[i + 2] : 0);
        out += alphabet[v >> 18 & 63];
        out += alphabet[v >> 12 & 63];
        out += i + 1 < in.size() ? alphabet[v >> 6 & 63] : '=';
        out += i + 2 < in.size() ? alphabet[v & 63] : '=';
    }
    return out;
}

inline Bytes VorbisComments(const std::string &magic, const std::vector<std::string> &comments)
{
    Bytes packet = Text(magic) + Le32(6) + Text("tester") + Le32((uint32_t)comments.size());
    for (const std::string &c : comments)
        packet = packet + Le32((uint32_t)c.size()) + Text(c);
    return packet;
}

inline std::string PictureComment(int type, const Bytes &picture)
{
    return "METADATA_BLOCK_PICTURE=" + Base64(FlacPictureRecord(type, picture));
}

inline Bytes VorbisIdentification()
{
    return Text(std::string("\x01vorbis", 7)) + Be(0, 23);
}

inline Bytes OpusHead()
{
    return Text("OpusHead") + Bytes{ 1, 2 } + Be(0, 9);
}

// Bytes that start with a name, for a picture that need not decode.
inline Bytes NamedBytes(const std::string &name, size_t size)
{
    Bytes p = Text(name);
    while (p.size() < size)
        p.push_back((unsigned char)(p.size() * 37));
    return p;
}
