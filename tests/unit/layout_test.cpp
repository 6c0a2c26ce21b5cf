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

void ExpectBox(const LayoutBox &box, int x, int y, int w, int h)
{
    EXPECT_EQ(x, box.x);
    EXPECT_EQ(y, box.y);
    EXPECT_EQ(w, box.w);
    EXPECT_EQ(h, box.h);
}

}  // namespace

TEST(Layout, FixedBeveledPopupAt96Dpi)
{
    LayoutInput in = FixedInput();
    PopupLayout l = ComputePopupLayout(&in);
    ExpectBox(l.popup, 0, 0, 151, 36);
    ExpectBox(l.back, 1, 1, 149, 34);
    ExpectBox(l.icon, 3, 1, 16, 34);
    ExpectBox(l.title, 23, 3, 80, 14);
    ExpectBox(l.info, 23, 19, 125, 14);
    ExpectBox(l.time, 113, 3, 35, 14);
}

TEST(Layout, ScalesTextAndGapsButNotTheIconAt120Dpi)
{
    LayoutInput in = FixedInput();
    in.dpi = 120;
    PopupLayout l = ComputePopupLayout(&in);
    EXPECT_EQ(100, l.title.w);
    EXPECT_EQ(17, l.title.h);
    EXPECT_EQ(156, l.info.w);
    EXPECT_EQ(17, l.info.h);
    EXPECT_EQ(43, l.time.w);
    EXPECT_EQ(17, l.time.h);
    // B 2, G1 5, G2 12; I stays 16.
    EXPECT_EQ(1 + 2 + 16 + 5, l.title.x);
    EXPECT_EQ(1 + 2, l.title.y);
    EXPECT_EQ(16, l.icon.w);
    // The title row (180) loses to the information row (156 + 16 + 5 + 4).
    EXPECT_EQ(181 + 2, l.popup.w);
}

TEST(Layout, FlatStyleAndTheTitleRowWithoutTime)
{
    LayoutInput in = FixedInput(STYLE_FLAT);
    EXPECT_EQ(172, ComputePopupLayout(&in).popup.w);

    in = FixedInput(STYLE_BEVELED);
    in.displayTime = false;   // the information row (149) is wider
    EXPECT_EQ(151, ComputePopupLayout(&in).popup.w);

    in.showText = false;      // the title row alone, and one row high
    PopupLayout l = ComputePopupLayout(&in);
    EXPECT_EQ(110 + 2, l.popup.w);   // 104 from the title, raised to the minimum
    EXPECT_EQ(14 + 4 + 2, l.popup.h);
}

TEST(Layout, EnlargementIsAppliedOverNinetySix)
{
    LayoutInput in = FixedInput();
    in.enlarge = true;
    in.enlargement = 100;
    PopupLayout l = ComputePopupLayout(&in);
    EXPECT_EQ(130, l.info.w);
    EXPECT_EQ(16, l.icon.w);

    in.enlargement = 96;
    EXPECT_EQ(151, ComputePopupLayout(&in).popup.w);
}

TEST(Layout, MinimumWidensTheBackgroundMaximumNarrowsTheInformationOnly)
{
    LayoutInput in = FixedInput();
    in.minimumWidth = 160;
    PopupLayout l = ComputePopupLayout(&in);
    EXPECT_EQ(162, l.popup.w);
    EXPECT_EQ(160, l.back.w);
    EXPECT_EQ(80, l.title.w);
    EXPECT_EQ(125, l.info.w);
    EXPECT_EQ(1 + 160 - 2 - 35, l.time.x);   // the time follows the right edge

    in = FixedInput();
    in.useMaximumWidth = true;
    in.maximumWidth = 120;
    l = ComputePopupLayout(&in);
    EXPECT_EQ(122, l.popup.w);
    EXPECT_EQ(120 - 4 - 4 - 16, l.info.w);
    EXPECT_EQ(80, l.title.w);
}

TEST(Layout, APopupWiderThanTheScreenTakesNarrowsBothLinesToTheRoomLeft)
{
    LayoutInput in = FixedInput();
    in.widest = 151;   // exactly as wide as the popup: nothing changes
    PopupLayout l = ComputePopupLayout(&in);
    EXPECT_EQ(151, l.popup.w);
    EXPECT_FALSE(l.titleCut || l.infoCut);

    in.widest = 120;
    l = ComputePopupLayout(&in);
    ExpectBox(l.popup, 0, 0, 120, 36);
    EXPECT_EQ(118, l.back.w);
    ExpectBox(l.title, 23, 3, 118 - 4 - 4 - 16 - 10 - 35, 14);   // up to the gap before the time
    ExpectBox(l.info, 23, 19, 118 - 4 - 4 - 16, 14);
    ExpectBox(l.time, 1 + 118 - 2 - 35, 3, 35, 14);
    EXPECT_TRUE(l.titleCut && l.infoCut);

    in.displayTime = false;   // the title has the room of the time too, and fits
    l = ComputePopupLayout(&in);
    EXPECT_EQ(80, l.title.w);
    EXPECT_FALSE(l.titleCut);
    EXPECT_TRUE(l.infoCut);
}

TEST(Layout, ChoosesTheInformationLineToMeasure)
{
    int start, length, lines;
    ChooseLineToMeasure(L"ab\ncdef\ngh", &start, &length, &lines);
    EXPECT_EQ(2, start);
    EXPECT_EQ(5, length);
    EXPECT_EQ(3, lines);

    ChooseLineToMeasure(L"abc\nde", &start, &length, &lines);
    EXPECT_EQ(3, start);   // the later line with its line feed: not beaten by an equal first
    EXPECT_EQ(3, length);
    EXPECT_EQ(2, lines);

    ChooseLineToMeasure(L"abcd\nde", &start, &length, &lines);
    EXPECT_EQ(0, start);
    EXPECT_EQ(4, length);

    ChooseLineToMeasure(L"one line", &start, &length, &lines);
    EXPECT_EQ(0, start);
    EXPECT_EQ(8, length);
    EXPECT_EQ(1, lines);

    ChooseLineToMeasure(L"\n", &start, &length, &lines);
    EXPECT_EQ(0, start);
    EXPECT_EQ(1, length);
    EXPECT_EQ(2, lines);

    ChooseLineToMeasure(L"", &start, &length, &lines);
    EXPECT_EQ(0, length);
    EXPECT_EQ(1, lines);
}

TEST(Layout, ACoverTakesTheIconColumnAndTheTextsSitInTheMiddle)
{
    const struct {
        int cover;
        bool showText, maximum;
        LayoutBox popup, icon, title, info, time;
    } rows[] = {
        // The design's 34 rows hold a cover of 30 with its borders.
        { 30, true, false, { 0, 0, 165, 36 }, { 3, 1, 30, 34 }, { 37, 3, 80, 14 }, { 37, 19, 125, 14 }, { 127, 3, 35, 14 } },
        // 68 rows: the text block of 30 starts 19 down.
        { 64, true, false, { 0, 0, 199, 70 }, { 3, 1, 64, 68 }, { 71, 20, 80, 14 }, { 71, 36, 125, 14 }, { 161, 20, 35, 14 } },
        { 64, false, false, { 0, 0, 199, 70 }, { 3, 1, 64, 68 }, { 71, 28, 80, 14 }, { 0, 0, 0, 0 }, { 161, 28, 35, 14 } },
        // The information row narrowed by the wider column.
        { 128, true, true, { 0, 0, 162, 134 }, { 3, 1, 128, 132 }, { 135, 52, 80, 14 }, { 135, 68, 24, 14 }, { 124, 52, 35, 14 } },
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.cover);
        LayoutInput in = FixedInput();
        in.coverBox = r.cover;
        in.showText = r.showText;
        in.useMaximumWidth = r.maximum;
        in.maximumWidth = 160;
        PopupLayout l = ComputePopupLayout(&in);
        ExpectBox(l.popup, r.popup.x, r.popup.y, r.popup.w, r.popup.h);
        ExpectBox(l.icon, r.icon.x, r.icon.y, r.icon.w, r.icon.h);
        ExpectBox(l.title, r.title.x, r.title.y, r.title.w, r.title.h);
        if (r.showText)
            ExpectBox(l.info, r.info.x, r.info.y, r.info.w, r.info.h);
        ExpectBox(l.time, r.time.x, r.time.y, r.time.w, r.time.h);
    }
}
