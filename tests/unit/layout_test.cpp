// Popup sizes and the places of their children.
#include <gtest/gtest.h>

#include "popup/layout.h"
#include "tests/scaled_popups.h"
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

// Texts as measured in the fonts of 144 dpi.
void MeasuredAt144(LayoutInput *in)
{
    in->measured = true;
    in->titleW = 100, in->titleH = 19, in->infoW = 150, in->infoH = 38, in->timeW = 50, in->timeH = 19;
    in->dpi = 144;
    in->smallIconWidth = 24;
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
        // At 144 dpi (B 3, G1 6, G2 15, I 24, the frame 3) texts measured in
        // the fonts of that resolution are not scaled again; the widths are.
        { "measured at 144 dpi", STYLE_BEVELED, [](LayoutInput *in) { MeasuredAt144(in); },
          { { 0, 0, 201 + 3, 66 + 3 }, { 1, 1, 201, 66 }, { 4, 1, 24, 66 }, { 34, 4, 100, 19 },
            { 34, 1 + 66 - 3 - 38, 150, 38 }, { 1 + 201 - 3 - 50, 4, 50, 19 } } },
        { "minimum 160 at 144 dpi", STYLE_BEVELED, [](LayoutInput *in) { MeasuredAt144(in), in->minimumWidth = 160; },
          { { _, _, 240 + 3, _ } } },
        { "maximum 160 at 144 dpi", STYLE_BEVELED,
          [](LayoutInput *in) { MeasuredAt144(in), in->infoW = 400, in->useMaximumWidth = true, in->maximumWidth = 160; },
          { { _, _, 240 + 3, _ }, { _, _, _, _ }, { _, _, _, _ }, { _, _, 100, _ }, { _, _, 240 - 6 - 6 - 24, _ } } },
        { "as wide as the screen takes at 144 dpi", STYLE_BEVELED,
          [](LayoutInput *in) { MeasuredAt144(in), in->widest = 180; },
          { { _, _, 180, _ }, { _, _, 177, _ }, { _, _, _, _ }, { _, _, 177 - 6 - 6 - 24 - 15 - 50, _ } }, 1, 1 },
        // Enlargement comes on top: 187 at 144 dpi, times 120 over 96.
        { "enlarged at 144 dpi", STYLE_BEVELED,
          [](LayoutInput *in) { in->dpi = 144, in->smallIconWidth = 24, in->enlarge = true; },
          { { _, _, _, _ }, { _, _, _, _ }, { _, _, 24, _ }, { _, _, _, _ }, { _, _, 233, _ } } },
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
        // The look that follows Windows: enlargement grows the padding (10)
        // and the gaps (12, and 2 between the rows), never the border.
        { "the Windows look enlarged", STYLE_FLAT, [](LayoutInput *in) { in->windowsLook = in->enlarge = true; },
          { { 0, 0, 232, 58 }, { 1, 1, 230, 56 }, { 11, 11, 16, 36 }, { 39, 11, 126, 17 }, { 39, 30, 182, 17 },
            { 178, 11, 43, 17 } } },
        // The cover within the padding, the text block in the middle beside it.
        { "the Windows look with a cover of 64", STYLE_FLAT, [](LayoutInput *in) { in->windowsLook = true, in->coverBox = 64; },
          { { 0, 0, 238, 82 }, { 1, 1, 236, 80 }, { 9, 9, 64, 64 }, { 83, 26, 101, 14 }, { 83, 42, 146, 14 },
            { 194, 26, 35, 14 } } },
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

TEST(Layout, EveryLengthFollowsTheResolution)
{
    for (const ScaledPopupRow &row : kScaledPopups) {
        SCOPED_TRACE(row.dpi);
        LayoutInput in = FixedInput();
        in.dpi = row.dpi;
        in.smallIconWidth = row.smallIcon;
        PopupLayout l = ComputePopupLayout(&in);
        const ScaledBox *expected[6] = { &row.popup, &row.back, &row.icon, &row.title, &row.info, &row.time };
        const LayoutBox *actual[6] = { &l.popup, &l.back, &l.icon, &l.title, &l.info, &l.time };
        for (int i = 0; i < 6; i++) {
            const ScaledBox &e = *expected[i];
            ExpectBox(*actual[i], { e.x, e.y, e.w, e.h }, "box");
        }
        EXPECT_EQ(row.frame, FrameBorder(row.dpi));
    }
}

TEST(Layout, TheWindowsLookAtEveryResolution)
{
    for (const WindowsLookRow &row : kWindowsLookPopups) {
        SCOPED_TRACE(row.dpi);
        LayoutInput in = FixedInput(STYLE_FLAT);
        in.windowsLook = true;
        in.dpi = row.dpi;
        in.smallIconWidth = row.smallIcon;
        PopupLayout l = ComputePopupLayout(&in);
        const ScaledBox *expected[6] = { &row.popup, &row.back, &row.icon, &row.title, &row.info, &row.time };
        const LayoutBox *actual[6] = { &l.popup, &l.back, &l.icon, &l.title, &l.info, &l.time };
        for (int i = 0; i < 6; i++) {
            const ScaledBox &e = *expected[i];
            ExpectBox(*actual[i], { e.x, e.y, e.w, e.h }, "box");
        }
        EXPECT_EQ(row.border, WindowsLookBorder(row.dpi));
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
