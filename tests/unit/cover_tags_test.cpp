// The tag readers on small tags built by hand: each finds the picture's
// bytes, takes the front cover of several, and finds nothing where a tag
// holds no usable picture.
#include <gtest/gtest.h>

#include "cover/base64.h"
#include "cover/flac.h"
#include "cover/id3v2.h"
#include "cover/mp4.h"
#include "cover/ogg.h"
#include "host/tag_builder.h"

typedef bool (*TagReader)(unsigned char *bytes, size_t size, PictureSpan *picture);

static bool ReadId3(unsigned char *b, size_t n, PictureSpan *p) { return FindId3Picture(b, n, p); }
static bool ReadFlac(unsigned char *b, size_t n, PictureSpan *p) { return FindFlacPicture(b, n, p); }
static bool ReadMp4(unsigned char *b, size_t n, PictureSpan *p) { return FindMp4Picture(b, n, p); }
static bool ReadOgg(unsigned char *b, size_t n, PictureSpan *p) { return FindOggPicture(b, n, p); }

struct TagCase {
    const char *name;
    TagReader read;
    Bytes tag;
    std::string picture;   // the bytes found; empty: none
};

static void Check(const TagCase &c)
{
    SCOPED_TRACE(c.name);
    Bytes bytes = c.tag;
    PictureSpan span = { 0, 0, 0 };
    bool found = c.read(bytes.data(), bytes.size(), &span);
    ASSERT_EQ(found, !c.picture.empty());
    if (!found)
        return;
    ASSERT_LE(span.offset + span.length, bytes.size());
    EXPECT_EQ(std::string(bytes.begin() + span.offset, bytes.begin() + span.offset + span.length), c.picture);
}

static Bytes Apic(int version, int type, const std::string &picture, int encoding = 0)
{
    return Id3Frame(version, version == 2 ? "PIC" : "APIC", PictureFrameData(version, encoding, type, "d", Text(picture)));
}

static Bytes Title(int version)
{
    return Id3Frame(version, version == 2 ? "TT2" : "TIT2", Bytes{ 0 } + Text("Song"));
}

TEST(CoverTags, Id3v2VersionsFlagsAndFrames)
{
    // A picture with 0xFF bytes, to show unsynchronisation undone.
    const std::string ff("\xFF\xD8\xFF\x00jpeg", 8);
    Bytes v24Frame = Id3Frame(4, "APIC", Unsynchronised(PictureFrameData(4, 0, 3, "d", Text(ff))), 0x02);
    Bytes v24Indicated = Id3Frame(4, "APIC", Be(0, 1) + Syncsafe(20) + PictureFrameData(4, 0, 3, "", Text("grouped")), 0x41);
    Bytes extended23 = Be(6, 4) + Be(0, 6);
    // 129 bytes: a size with a high bit, which no syncsafe size has.
    Bytes plainPicture = NamedBytes("plain", 115);
    Bytes plainData = PictureFrameData(4, 0, 3, "", plainPicture);
    std::string plain(plainPicture.begin(), plainPicture.end());
    Bytes extended24 = Syncsafe(6) + Bytes{ 1, 0 };
    const TagCase cases[] = {
        { "2.2 PIC", ReadId3, Id3Tag(2, 0, Title(2) + Apic(2, 3, "pic22")), "pic22" },
        { "2.3 APIC after a title", ReadId3, Id3Tag(3, 0, Title(3) + Apic(3, 0, "pic23")), "pic23" },
        { "2.4 with padding after", ReadId3, Id3Tag(4, 0, Apic(4, 3, "pic24") + Be(0, 64)), "pic24" },
        { "front cover of several", ReadId3, Id3Tag(3, 0, Apic(3, 4, "back") + Apic(3, 3, "front") + Apic(3, 3, "second front")), "front" },
        { "first of several without a front cover", ReadId3, Id3Tag(3, 0, Apic(3, 4, "back") + Apic(3, 0, "other")), "back" },
        { "UTF-16 description", ReadId3, Id3Tag(3, 0, Apic(3, 3, "wide", 1)), "wide" },
        { "2.3 unsynchronised tag", ReadId3, Id3Tag(3, 0x80, Unsynchronised(Apic(3, 3, ff))), ff },
        { "2.4 unsynchronised frame", ReadId3, Id3Tag(4, 0, v24Frame), ff },
        { "2.4 grouping and data length", ReadId3, Id3Tag(4, 0, v24Indicated), "grouped" },
        { "2.3 extended header", ReadId3, Id3Tag(3, 0x40, extended23 + Apic(3, 3, "ext23")), "ext23" },
        { "2.4 extended header and footer", ReadId3, Id3Tag(4, 0x50, extended24 + Apic(4, 3, "ext24")), "ext24" },
        { "2.4 with a plain frame size", ReadId3, Id3Tag(4, 0, Text("APIC") + Be(plainData.size(), 4) + Be(0, 2) + plainData), plain },
        { "compressed frame skipped", ReadId3, Id3Tag(3, 0, Id3Frame(3, "APIC", PictureFrameData(3, 0, 3, "", Text("zip")), 0x80) + Apic(3, 0, "plain")), "plain" },
        { "a link is no picture", ReadId3, Id3Tag(3, 0, Id3Frame(3, "APIC", Bytes{ 0 } + Text("-->") + Bytes{ 0, 3, 0 } + Text("http://x/a.jpg"))), "" },
        { "frame longer than the tag", ReadId3, Id3Tag(3, 0, Text("APIC") + Be(1000, 4) + Be(0, 2) + PictureFrameData(3, 0, 3, "", Text("cut"))), "" },
        { "no picture", ReadId3, Id3Tag(4, 0, Title(4)), "" },
        { "2.2 compressed tag", ReadId3, Id3Tag(2, 0x40, Apic(2, 3, "pic")), "" },
        { "not a tag", ReadId3, Text("ID3") + Bytes{ 5, 0, 0, 0, 0, 0, 10 } + Be(0, 10), "" },
    };
    for (const TagCase &c : cases)
        Check(c);
}

TEST(CoverTags, Id3TagLengthCountsHeaderAndFooter)
{
    Bytes v3 = Id3Tag(3, 0, Be(0, 300));
    Bytes v4 = Id3Tag(4, 0x10, Be(0, 300));
    EXPECT_EQ(Id3TagLength(v3.data(), v3.size()), 310u);
    EXPECT_EQ(Id3TagLength(v4.data(), v4.size()), 320u);
    Bytes big = Text("ID3") + Bytes{ 3, 0, 0, 0x7F, 0x7F, 0x7F, 0x7F };
    EXPECT_EQ(Id3TagLength(big.data(), big.size()), 10u + 0x0FFFFFFF);
    Bytes notSyncsafe = Text("ID3") + Bytes{ 3, 0, 0, 0, 0, 0x80, 0 };
    EXPECT_EQ(Id3TagLength(notSyncsafe.data(), notSyncsafe.size()), 0u);
    EXPECT_EQ(Id3TagLength(v3.data(), 9), 0u);
}

TEST(CoverTags, FlacPictureBlocks)
{
    Bytes info = FlacBlock(false, 0, Be(0, 34));
    const TagCase cases[] = {
        { "one picture", ReadFlac, Text("fLaC") + info + FlacBlock(true, 6, FlacPictureRecord(3, Text("flacpic"))), "flacpic" },
        { "front cover second", ReadFlac, Text("fLaC") + info + FlacBlock(false, 6, FlacPictureRecord(0, Text("other"))) + FlacBlock(true, 6, FlacPictureRecord(3, Text("front"))), "front" },
        { "nothing after the last block", ReadFlac, Text("fLaC") + FlacBlock(true, 0, Be(0, 34)) + FlacBlock(true, 6, FlacPictureRecord(3, Text("audio"))), "" },
        { "a link", ReadFlac, Text("fLaC") + FlacBlock(true, 6, FlacPictureRecord(3, Text("http://x"), "-->")), "" },
        { "record longer than its block", ReadFlac, Text("fLaC") + FlacBlock(true, 6, Be(3, 4) + Be(1000, 4)), "" },
        { "no marker", ReadFlac, Text("fLaX") + FlacBlock(true, 6, FlacPictureRecord(3, Text("x"))), "" },
    };
    for (const TagCase &c : cases)
        Check(c);
}

TEST(CoverTags, Mp4CoverWhereverMoovIs)
{
    Bytes ftyp = Box("ftyp", Text("M4A ") + Be(0, 4));
    Bytes mdat = Box("mdat", Be(0, 500));
    Bytes moov = MoovWithCover(CoverData(Text("first")) + CoverData(Text("second")));
    Bytes large = Be(1, 4) + Text("mdat") + Be(16 + 40, 8) + Be(0, 40);
    // QuickTime's meta has no version and flags.
    Bytes quickTime = Box("moov", Box("udta", Box("meta", Box("hdlr", Be(0, 20)) + Box("ilst", Box("covr", CoverData(Text("qt")))))));
    const TagCase cases[] = {
        { "moov before mdat", ReadMp4, ftyp + moov + mdat, "first" },
        { "moov after mdat", ReadMp4, ftyp + mdat + moov, "first" },
        { "after a 64-bit mdat", ReadMp4, ftyp + large + moov, "first" },
        { "moov alone", ReadMp4, moov, "first" },
        { "QuickTime meta", ReadMp4, ftyp + quickTime, "qt" },
        { "no covr", ReadMp4, ftyp + Box("moov", Box("udta", Box("meta", Be(0, 4) + Box("ilst", Be(0, 0))))), "" },
        { "moov cut short", ReadMp4, ftyp + Bytes(moov.begin(), moov.end() - 3), "" },
        { "box smaller than its header", ReadMp4, Be(4, 4) + Text("moov") + moov, "" },
    };
    for (const TagCase &c : cases)
        Check(c);
}

TEST(CoverTags, OggCommentsAcrossPages)
{
    Bytes big = NamedBytes("FRONT", 3000);
    std::string front(big.begin(), big.end());
    std::vector<std::string> comments = { "TITLE=Song", PictureComment(4, Text("back")), PictureComment(3, big) };
    Bytes vorbisComments = VorbisComments(std::string("\x03vorbis", 7), comments) + Bytes{ 1 };
    Bytes setup = Text(std::string("\x05vorbis", 7)) + Be(0, 40);
    Bytes other = OggPages({ Text("\x80theora") }, 255, 0x99);
    Bytes vorbisId = OggPages({ VorbisIdentification() }, 255);
    Bytes rest = OggPages({ vorbisComments, setup }, 4);
    const TagCase cases[] = {
        // Four lacing values a page: the comment packet spans many pages.
        { "Vorbis, front cover spanning pages", ReadOgg, OggPages({ VorbisIdentification(), vorbisComments, setup }, 4), front },
        { "Opus", ReadOgg, OggPages({ OpusHead(), VorbisComments("OpusTags", { PictureComment(0, Text("opus")) }) }, 255), "opus" },
        { "COVERART holds the picture itself", ReadOgg, OggPages({ OpusHead(), VorbisComments("OpusTags", { "coverart=" + Base64(Text("legacy")) }) }, 255), "legacy" },
        { "key in any case", ReadOgg, OggPages({ OpusHead(), VorbisComments("OpusTags", { "metadata_block_picture=" + Base64(FlacPictureRecord(3, Text("lower"))) }) }, 255), "lower" },
        { "another stream's pages between", ReadOgg, vorbisId + other + rest, front },
        { "no setup header after the comments", ReadOgg, OggPages({ VorbisIdentification(), vorbisComments }, 4), front },
        { "not base64", ReadOgg, OggPages({ OpusHead(), VorbisComments("OpusTags", { "METADATA_BLOCK_PICTURE=*notbase64*" }) }, 255), "" },
        { "no picture", ReadOgg, OggPages({ OpusHead(), VorbisComments("OpusTags", { "TITLE=x" }) }, 255), "" },
        { "not Vorbis or Opus", ReadOgg, OggPages({ Text("\x7F" "FLAC"), VorbisComments("OpusTags", { PictureComment(3, Text("x")) }) }, 255), "" },
    };
    for (const TagCase &c : cases)
        Check(c);
    // Cut before the comment packet ends: nothing.
    Bytes whole = OggPages({ VorbisIdentification(), vorbisComments, setup }, 4);
    Check({ "cut inside the comments", ReadOgg, Bytes(whole.begin(), whole.begin() + whole.size() / 2), "" });
}

TEST(CoverTags, Base64InPlace)
{
    const struct {
        const char *text, *bytes;
    } cases[] = {
        { "", "" }, { "TQ==", "M" }, { "TWE=", "Ma" }, { "TWFu", "Man" }, { "aGVsbG8gd29ybGQ=", "hello world" },
        { "TW=u", "" }, { "TW u", "" },
    };
    for (const auto &c : cases) {
        std::string text = c.text;
        size_t n = DecodeBase64((unsigned char *)&text[0], text.size(), (unsigned char *)&text[0], text.size());
        EXPECT_EQ(text.substr(0, n), c.bytes) << c.text;
    }
    unsigned char room[2];
    EXPECT_EQ(DecodeBase64((const unsigned char *)"TWFu", 4, room, 2), 2u);
}
