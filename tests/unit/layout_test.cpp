// Popup sizes and the places of their children.
#include <gtest/gtest.h>

#include "popup/layout.h"
#include "settings/settings.h"

namespace {

// The settings of the usual fixed-size popup: beveled, with the time, the
// information line and the 110-pixel minimum width, at 96 dpi.
LayoutInput FixedInput(int style = STYLE_BEVELED)
{
    LayoutInput in;
    memset(&in, 0, sizeof(in));
    FixedTextSizes(style, &in);
    in.dpi = 96;
    in.smallIconWidth = 16;
    in.showText = in.displayTime = true;
    in.enlargement = 120;
    in.useMinimumWidth = true;
    in.minimumWidth = 110;
    in.maximumWidth = 310;
    return in;
}

const int _ = -1;   // a length the row does not look at

// The popup and its children as x, y, w, h; _ where the row does not look.
struct Boxes {
    int popup[4] = { _, _, _, _ }, back[4] = { _, _, _, _ }, icon[4] = { _, _, _, _ };
    int title[4] = { _, _, _, _ }, info[4] = { _, _, _, _ }, time[4] = { _, _, _, _ };
};

void ExpectBox(const LayoutBox &box, const int (&expected)[4], const char *what)
{
    const int actual[4] = { box.x, box.y, box.w, box.h };
    for (int i = 0; i < 4; i++)
        if (expected[i] != _)
            EXPECT_EQ(expected[i], actual[i]) << what << " [" << i << "]";
}

}  // namespace

TEST(Layout, SizesAndPlacesFromTheTextSizesAndSettings)
{
    const struct Row {
        const char *name;
        int style;
        void (*change)(LayoutInput *in);
        Boxes expected;
        int titleCut = _, infoCut = _;   // 1: the line is narrower than its text
    } rows[] = {
        { "fixed beveled popup at 96 dpi", STYLE_BEVELED, [](LayoutInput *) {},
          { { 0, 0, 151, 36 }, { 1, 1, 149, 34 }, { 3, 1, 16, 34 }, { 23, 3, 80, 14 }, { 23, 19, 125, 14 },
            { 113, 3, 35, 14 } } },
        // Text and gaps scale (B 2, G1 5, G2 12), the icon does not; the
        // title row (180) loses to the information row (156 + 16 + 5 + 4).
        { "120 dpi", STYLE_BEVELED, [](LayoutInput *in) { in->dpi = 120; },
          { { _, _, 181 + 2, _ }, { _, _, _, _ }, { _, _, 16, _ }, { 1 + 2 + 16 + 5, 1 + 2, 100, 17 },
            { _, _, 156, 17 }, { _, _, 43, 17 } } },
        { "flat", STYLE_FLAT, [](LayoutInput *) {}, { { _, _, 172, _ } } },
        // The information row (149) is wider.
        { "beveled without the time", STYLE_BEVELED, [](LayoutInput *in) { in->displayTime = false; },
          { { _, _, 151, _ } } },
        // The title row alone, one row high: 104 raised to the minimum.
        { "the title row alone", STYLE_BEVELED, [](LayoutInput *in) { in->displayTime = in->showText = false; },
          { { _, _, 110 + 2, 14 + 4 + 2 } } },
        // Sizes are multiplied by the enlargement over 96.
        { "enlarged by 100", STYLE_BEVELED, [](LayoutInput *in) { in->enlarge = true, in->enlargement = 100; },
          { { _, _, _, _ }, { _, _, _, _ }, { _, _, 16, _ }, { _, _, _, _ }, { _, _, 130, _ } } },
        { "enlarged by 96", STYLE_BEVELED, [](LayoutInput *in) { in->enlarge = true, in->enlargement = 96; },
          { { _, _, 151, _ } } },
        // The minimum widens the background; the time follows the right edge.
        { "minimum 160", STYLE_BEVELED, [](LayoutInput *in) { in->minimumWidth = 160; },
          { { _, _, 162, _ }, { _, _, 160, _ }, { _, _, _, _ }, { _, _, 80, _ }, { _, _, 125, _ },
            { 1 + 160 - 2 - 35, _, _, _ } } },
        // The maximum narrows the information line only.
        { "maximum 120", STYLE_BEVELED, [](LayoutInput *in) { in->useMaximumWidth = true, in->maximumWidth = 120; },
          { { _, _, 122, _ }, { _, _, _, _ }, { _, _, _, _ }, { _, _, 80, _ }, { _, _, 120 - 4 - 4 - 16, _ } } },
        // A popup wider than the screen takes narrows both lines to the room
        // left, the title up to the gap before the time.
        { "exactly as wide as the screen takes", STYLE_BEVELED, [](LayoutInput *in) { in->widest = 151; },
          { { _, _, 151, _ } }, 0, 0 },
        { "wider than the screen takes", STYLE_BEVELED, [](LayoutInput *in) { in->widest = 120; },
          { { 0, 0, 120, 36 }, { _, _, 118, _ }, { _, _, _, _ }, { 23, 3, 118 - 4 - 4 - 16 - 10 - 35, 14 },
            { 23, 19, 118 - 4 - 4 - 16, 14 }, { 1 + 118 - 2 - 35, 3, 35, 14 } }, 1, 1 },
        // The title has the room of the time too, and fits.
        { "wider, without the time", STYLE_BEVELED, [](LayoutInput *in) { in->widest = 120, in->displayTime = false; },
          { { _, _, _, _ }, { _, _, _, _ }, { _, _, _, _ }, { _, _, 80, _ } }, 0, 1 },
        // A cover takes the icon column's place. The design's 34 rows hold
        // one of 30 with its borders; one of 64 makes them 68, the text
        // block of 30 in the middle, 19 down.
        { "a cover of 30", STYLE_BEVELED, [](LayoutInput *in) { in->coverBox = 30; },
          { { 0, 0, 165, 36 }, { _, _, _, _ }, { 3, 1, 30, 34 }, { 37, 3, 80, 14 }, { 37, 19, 125, 14 },
            { 127, 3, 35, 14 } } },
        { "a cover of 64", STYLE_BEVELED, [](LayoutInput *in) { in->coverBox = 64; },
          { { 0, 0, 199, 70 }, { 1, 1, 197, 68 }, { 3, 1, 64, 68 }, { 71, 20, 80, 14 }, { 71, 36, 125, 14 },
            { 161, 20, 35, 14 } } },
        { "a cover of 64, the title row alone", STYLE_BEVELED, [](LayoutInput *in) { in->coverBox = 64, in->showText = false; },
          { { 0, 0, 199, 70 }, { _, _, _, _ }, { 3, 1, 64, 68 }, { 71, 28, 80, 14 }, { _, _, _, _ },
            { 161, 28, 35, 14 } } },
        // The information line narrowed by the wider column.
        { "a cover of 128 and a maximum of 160", STYLE_BEVELED,
          [](LayoutInput *in) { in->coverBox = 128, in->useMaximumWidth = true, in->maximumWidth = 160; },
          { { 0, 0, 162, 134 }, { _, _, _, _ }, { 3, 1, 128, 132 }, { 135, 52, 80, 14 }, { 135, 68, 24, 14 },
            { 124, 52, 35, 14 } } },
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        LayoutInput in = FixedInput(row.style);
        row.change(&in);
        PopupLayout l = ComputePopupLayout(&in);
        const Boxes &e = row.expected;
        ExpectBox(l.popup, e.popup, "popup");
        ExpectBox(l.back, e.back, "back");
        ExpectBox(l.icon, e.icon, "icon");
        ExpectBox(l.title, e.title, "title");
        ExpectBox(l.info, e.info, "info");
        ExpectBox(l.time, e.time, "time");
        if (row.titleCut != _)
            EXPECT_EQ(row.titleCut != 0, l.titleCut);
        if (row.infoCut != _)
            EXPECT_EQ(row.infoCut != 0, l.infoCut);
    }
}

TEST(Layout, ChoosesTheInformationLineToMeasure)
{
    // The later line with its line feed wins only when strictly longer.
    const struct Row {
        const WCHAR *text;
        int start, length, lines;
    } rows[] = {
        { L"ab\ncdef\ngh", 2, 5, 3 }, { L"abc\nde", 3, 3, 2 }, { L"abcd\nde", 0, 4, 2 },
        { L"one line", 0, 8, 1 },     { L"\n", 0, 1, 2 },       { L"", 0, 0, 1 },
    };
    for (const Row &row : rows) {
        int start = -1, length = -1, lines = -1;
        ChooseLineToMeasure(row.text, &start, &length, &lines);
        EXPECT_EQ(row.start, start) << &row - rows;
        EXPECT_EQ(row.length, length) << &row - rows;
        EXPECT_EQ(row.lines, lines) << &row - rows;
    }
}
