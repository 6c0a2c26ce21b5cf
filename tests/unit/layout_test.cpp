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

void ExpectBox(const LayoutBox &box, int x, int y, int w, int h)
{
    EXPECT_EQ(x, box.x);
    EXPECT_EQ(y, box.y);
    EXPECT_EQ(w, box.w);
    EXPECT_EQ(h, box.h);
}

}  // namespace

static void ExpectBox(const LayoutBox &box, const ScaledBox &expected, const char *what)
{
    SCOPED_TRACE(what);
    ExpectBox(box, expected.x, expected.y, expected.w, expected.h);
}

TEST(Layout, EveryLengthFollowsTheResolution)
{
    for (const ScaledPopupRow &row : kScaledPopups) {
        SCOPED_TRACE(row.dpi);
        LayoutInput in = FixedInput();
        in.dpi = row.dpi;
        in.smallIconWidth = row.smallIcon;
        PopupLayout l = ComputePopupLayout(&in);
        ExpectBox(l.popup, row.popup, "popup");
        ExpectBox(l.back, row.back, "back");
        ExpectBox(l.icon, row.icon, "icon");
        ExpectBox(l.title, row.title, "title");
        ExpectBox(l.info, row.info, "info");
        ExpectBox(l.time, row.time, "time");
        EXPECT_EQ(row.frame, FrameBorder(row.dpi));
    }
}

TEST(Layout, MeasuredTextsAreNotScaledAgainButTheWidthsAre)
{
    // At 144 dpi: B 3, G1 6, G2 15, I 24, the frame 3.
    LayoutInput in = FixedInput();
    in.measured = true;
    in.titleW = 100; in.titleH = 19; in.infoW = 150; in.infoH = 38; in.timeW = 50; in.timeH = 19;
    in.dpi = 144;
    in.smallIconWidth = 24;
    PopupLayout l = ComputePopupLayout(&in);
    ExpectBox(l.title, 1 + 3 + 24 + 6, 1 + 3, 100, 19);
    ExpectBox(l.info, 1 + 3 + 24 + 6, 1 + 66 - 3 - 38, 150, 38);
    EXPECT_EQ(100 + 24 + 6 + 6 + 15 + 50 + 3, l.popup.w);
    EXPECT_EQ(19 + 9 + 38 + 3, l.popup.h);

    in.minimumWidth = 160;    // 240 at 144 dpi
    EXPECT_EQ(240 + 3, ComputePopupLayout(&in).popup.w);
    in.useMaximumWidth = true;
    in.maximumWidth = 160;    // 240 at 144 dpi: the information line gives way
    in.infoW = 400;
    l = ComputePopupLayout(&in);
    EXPECT_EQ(240 + 3, l.popup.w);
    EXPECT_EQ(240 - 6 - 6 - 24, l.info.w);

    in = FixedInput();
    in.dpi = 144;
    in.smallIconWidth = 24;
    in.enlarge = true;        // on top of the resolution: 187 x 120 / 96
    EXPECT_EQ(233, ComputePopupLayout(&in).info.w);
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
