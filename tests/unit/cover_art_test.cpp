// A cover's premultiplied pixels laid over the popup's background colour.
#include <gtest/gtest.h>

#include "popup/cover_art.h"

TEST(CoverArt, BlendsOverTheBackgroundAsAlphaBlendingDoes)
{
    const COLORREF back = RGB(255, 255, 200);
    const struct {
        DWORD pixel, drawn;   // BGRA, alpha high
    } rows[] = {
        { 0xFF102030, 0xFF102030 },   // opaque: as it is
        { 0x00000000, 0xFFFFFFC8 },   // transparent: the background
        { 0x80402010, 0xFFBF9F74 },   // half: 0x40 + 127 x 255 / 255, ...
        { 0x80FFFFFF, 0xFFFFFFFF },   // too bright for its alpha: kept at 255
    };
    for (const auto &r : rows) {
        DWORD out = 0;
        BlendOverColour(&r.pixel, &out, 1, back);
        EXPECT_EQ(out, r.drawn) << std::hex << r.pixel;
    }
}
