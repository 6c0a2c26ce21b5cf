// The settings dialog's numeric edits and texts.
#include <gtest/gtest.h>

#include "res/resource.h"
#include "plugin/dialog_rules.h"

namespace {

// The setting a numeric edit holds; NULL when the control is no numeric edit.
const SettingRow *NumericEditKey(int controlId)
{
    const SettingRow *row = FindSettingOfControl(controlId);
    return row && row->control == CONTROL_NUMBER_EDIT ? row : NULL;
}

}  // namespace

TEST(NumericEdits, ReadLikeAnUnsignedDialogNumber)
{
    EXPECT_EQ(ReadEditNumber(""), 0u);
    EXPECT_EQ(ReadEditNumber("150"), 150u);
    EXPECT_EQ(ReadEditNumber("  007"), 7u);
    EXPECT_EQ(ReadEditNumber("4294967295"), 4294967295u);
    // Past 32 bits there is no number at all.
    EXPECT_EQ(ReadEditNumber("4294967296"), 0u);
    EXPECT_EQ(ReadEditNumber("99999999999"), 0u);
    EXPECT_EQ(ReadEditNumber("x5"), 0u);
}

TEST(NumericEdits, BoundsAreTheAcceptedRangesOfTheirKeys)
{
    struct Case {
        int id;
        DWORD low, high;
    } cases[] = {
        { IDC_ENLARGEMENT, 100, 200 }, { IDC_MIN_WIDTH, 80, 160 }, { IDC_MAX_WIDTH, 160, 640 },
        { IDC_FADE_IN_TIME, 150, 5000 }, { IDC_FADE_OUT_TIME, 150, 5000 }, { IDC_SECONDS, 0, 60 },
    };
    for (const Case &c : cases) {
        const SettingRow *key = NumericEditKey(c.id);
        ASSERT_NE(key, (const SettingRow *)NULL) << c.id;
        EXPECT_EQ(key->low, c.low) << c.id;
        EXPECT_EQ(key->high, c.high) << c.id;
    }
    EXPECT_EQ(NumericEditKey(IDC_DISPLAY_TIME), (const SettingRow *)NULL);
}

TEST(NumericEdits, TypingClampsAndLeavingReportsOutOfRange)
{
    struct Case {
        const char *text;
        DWORD low, high;
        bool inRange;
        DWORD stored;
    } cases[] = {
        { "5", 100, 200, false, 100 },
        { "150", 100, 200, true, 150 },
        { "250", 100, 200, false, 200 },
        { "", 0, 60, true, 0 },              // cleared: until clicked
        { "99", 0, 60, false, 60 },
        { "99999999999", 0, 60, true, 0 },   // too large for 32 bits reads as 0
        { "3000000000", 0, 60, false, 0 },   // 2^31 and above is below every minimum
    };
    for (const Case &c : cases) {
        UINT value = ReadEditNumber(c.text);
        EXPECT_EQ(IsEditValueInRange(value, c.low, c.high), c.inRange) << '"' << c.text << '"';
        EXPECT_EQ(ClampEditValue(value, c.low, c.high), c.stored) << '"' << c.text << '"';
    }
}

TEST(DialogTexts, OpacityTruncatesThePerCent)
{
    char text[OPACITY_TEXT_SIZE];
    const struct {
        BYTE alpha;
        const char *shown;
    } cases[] = { { 200, "opacity: 78%" }, { 255, "opacity: 100%" }, { 1, "opacity: 0%" },
                  { 0, "opacity: 0%" } };
    for (const auto &c : cases) {
        FormatOpacityText(c.alpha, text);
        EXPECT_STREQ(text, c.shown);
    }
}

TEST(DialogTexts, RangeMessageNamesBothBounds)
{
    char text[RANGE_ERROR_SIZE];
    FormatRangeError(150, 5000, text);
    EXPECT_STREQ(text, "You cannot specify a value lower than 150 and higher than 5000.");
}

TEST(EnableRules, FollowTheSettingsAndWhatTheSystemOffers)
{
    Settings s;
    memset(&s, 0, sizeof(s));
    SystemEffects both = { true, true, true }, none = { false, false, false };

    EXPECT_FALSE(EnlargementEditEnabled(&s, &both));
    s.EnlargePopup = 1;
    EXPECT_TRUE(EnlargementEditEnabled(&s, &both));

    // The width edits need their own box and the dynamic size.
    s.UseMinimumWidth = 1;
    EXPECT_FALSE(WidthBoxesEnabled(&s, &both) || MinimumWidthEditEnabled(&s, &both));
    s.DynamicResize = 1;
    EXPECT_TRUE(WidthBoxesEnabled(&s, &both) && MinimumWidthEditEnabled(&s, &both));
    EXPECT_FALSE(MaximumWidthEditEnabled(&s, &both));

    // Slide and fade exclude each other; the fade times need the fade.
    EXPECT_TRUE(SlideBoxEnabled(&s, &both) && FadeBoxEnabled(&s, &both));
    EXPECT_FALSE(FadeTimesEnabled(&s, &both));
    s.Fade = 1;
    EXPECT_FALSE(SlideBoxEnabled(&s, &both));
    EXPECT_TRUE(FadeTimesEnabled(&s, &both));
    s.UseAnimations = 1;
    EXPECT_FALSE(FadeBoxEnabled(&s, &both) || FadeTimesEnabled(&s, &both));
    s.Fade = s.UseAnimations = 0;
    EXPECT_FALSE(SlideBoxEnabled(&s, &none) || FadeBoxEnabled(&s, &none) || TransparencyEnabled(&s, &none));

    EXPECT_TRUE(ColourSwatchesEnabled(&s, &both) && DesignLookControlsEnabled(&s, &both));
    s.UseWinColors = 1;
    EXPECT_FALSE(ColourSwatchesEnabled(&s, &both));
    // The look that follows Windows greys the style and every colour control.
    s.UseWinColors = 0;
    s.WindowsLook = 1;
    EXPECT_FALSE(ColourSwatchesEnabled(&s, &both) || DesignLookControlsEnabled(&s, &both));
    s.WindowsLook = 0;

    s.Position = POSITION_UPPER_RIGHT;
    EXPECT_TRUE(SpreadingEnabled(&s, &both));
    s.Position = POSITION_CENTRE;
    EXPECT_FALSE(SpreadingEnabled(&s, &both));

    EXPECT_FALSE(CoverSizeEnabled(&s, &both));
    s.ShowCover = 1;
    EXPECT_TRUE(CoverSizeEnabled(&s, &none));

    // The media controls' box follows what Windows has, whether on or off.
    EXPECT_TRUE(MediaControlsBoxEnabled(&s, &both));
    s.MediaControls = 1;
    EXPECT_FALSE(MediaControlsBoxEnabled(&s, &none));
}
