// Popup colours and the shades of the beveled border.
#include <gtest/gtest.h>

#include "popup/colours.h"
#include "settings/settings.h"

TEST(Shades, LightenAndDarkenEachChannel)
{
    EXPECT_EQ(0x00E0FFFFu, LightenColour(0x00C8FFFF));
    EXPECT_EQ(0x0088BFBFu, DarkenColour(0x00C8FFFF));
    EXPECT_EQ(0x00FFFFFFu, LightenColour(0x00E7E7E7));
    EXPECT_EQ(0x00A7A7A7u, DarkenColour(0x00E7E7E7));
    EXPECT_EQ(0x0018184Fu, LightenColour(0x00000037));
    EXPECT_EQ(0x00000037u, DarkenColour(0x00000037));
    // Edges of the rules, and the top byte is dropped.
    EXPECT_EQ(0x00E8FFFFu, LightenColour(0xFFE8E7E7));
    EXPECT_EQ(0x003F0000u, DarkenColour(0xFF3F4040));
}

TEST(PopupColoursChoice, SystemColoursWinThenTheSettingsForARequestWithout)
{
    PopupColours c = ChoosePopupColours(true, 0xF0F0F0, 0x000001, 0xC8FFFF, 0x37, 0xFF, 0xFF00);
    EXPECT_EQ(0xF0F0F0u, c.back);
    EXPECT_EQ(0x000001u, c.text);

    c = ChoosePopupColours(false, 0xF0F0F0, 0x000001, 0xC8FFFF, 0x37, 0, 0);
    EXPECT_EQ(0xC8FFFFu, c.back);
    EXPECT_EQ(0x37u, c.text);

    c = ChoosePopupColours(false, 0xF0F0F0, 0x000001, 0xC8FFFF, 0x37, 0xFF, 0);
    EXPECT_EQ(0xFFu, c.back);
    EXPECT_EQ(0u, c.text);
}

TEST(PopupColoursChoice, FlatBordersAreBlackBeveledOnesShaded)
{
    COLORREF light, dark;
    BorderColours(STYLE_FLAT, 0xC8FFFF, &light, &dark);
    EXPECT_EQ(0u, light);
    EXPECT_EQ(0u, dark);
    BorderColours(STYLE_BEVELED, 0xC8FFFF, &light, &dark);
    EXPECT_EQ(0x00E0FFFFu, light);
    EXPECT_EQ(0x0088BFBFu, dark);
}
