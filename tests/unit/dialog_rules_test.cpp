// The settings dialog's numeric edits and texts.
#include <gtest/gtest.h>

#include "settings/dialog_rules.h"

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
        { 1007, 100, 200 }, { 1010, 80, 160 }, { 1012, 160, 640 },
        { 1015, 150, 5000 }, { 1017, 150, 5000 }, { 1026, 0, 60 },
    };
    for (const Case &c : cases) {
        const SettingKey *key = NumericEditKey(c.id);
        ASSERT_NE(key, (const SettingKey *)NULL) << c.id;
        EXPECT_EQ(key->low, c.low) << c.id;
        EXPECT_EQ(key->high, c.high) << c.id;
    }
    EXPECT_EQ(NumericEditKey(1002), (const SettingKey *)NULL);
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
