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

namespace {

const RegistryNumber kMissing = { REG_NONE, 0 };
RegistryNumber Dword(DWORD value) { return { REG_DWORD, value }; }
RegistryNumber Text(DWORD value) { return { REG_SZ, value }; }

const COLORREF kHighlight = RGB(0, 120, 215), kHighlightText = RGB(255, 255, 254);
const COLORREF kWindow = RGB(0, 0, 0), kWindowText = RGB(255, 255, 0);

}  // namespace

TEST(WindowsLookColours, FollowTheRegistryAndHighContrast)
{
    const WindowsLookColours dark = { RGB(43, 43, 43), RGB(255, 255, 255), RGB(200, 200, 200), RGB(70, 70, 70),
                                      kHighlight, RGB(255, 255, 255) };
    const WindowsLookColours light = { RGB(249, 249, 249), RGB(26, 26, 26), RGB(96, 96, 96), RGB(214, 214, 214),
                                       kHighlight, RGB(255, 255, 255) };
    const struct Row {
        const char *name;
        RegistryNumber system, apps, accent;
        bool highContrast;
        WindowsLookColours expected;
    } rows[] = {
        { "system dark", Dword(0), kMissing, kMissing, false, dark },
        { "system light", Dword(1), kMissing, kMissing, false, light },
        { "any other number is light", Dword(7), Dword(0), kMissing, false, light },
        { "the system's mode before the apps'", Dword(1), Dword(0), kMissing, false, light },
        { "the apps' mode alone", kMissing, Dword(0), kMissing, false, dark },
        { "another type counts as missing", Text(0), Dword(0), kMissing, false, dark },
        { "nothing set is light", kMissing, kMissing, kMissing, false, light },
        // 0xAABBGGRR: the alpha dropped; a light accent takes black glyphs.
        { "the accent", Dword(0), kMissing, Dword(0xFF2040C0), false,
          { dark.back, dark.title, dark.info, dark.border, RGB(0xC0, 0x40, 0x20), RGB(255, 255, 255) } },
        { "a light accent", Dword(1), kMissing, Dword(0x0080FFFF), false,
          { light.back, light.title, light.info, light.border, RGB(255, 255, 128), RGB(0, 0, 0) } },
        { "an accent of another type", Dword(1), kMissing, Text(0x2040C0), false, light },
        { "high contrast", Dword(0), Dword(0), Dword(0xFF2040C0), true,
          { kWindow, kWindowText, kWindowText, kWindowText, kHighlight, kHighlightText } },
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        SystemLookValues values = { row.system, row.apps, row.accent, row.highContrast,
                                    kWindow, kWindowText, kHighlight, kHighlightText };
        WindowsLookColours c = ChooseWindowsLookColours(&values);
        EXPECT_EQ(row.expected.back, c.back);
        EXPECT_EQ(row.expected.title, c.title);
        EXPECT_EQ(row.expected.info, c.info);
        EXPECT_EQ(row.expected.border, c.border);
        EXPECT_EQ(row.expected.accent, c.accent);
        EXPECT_EQ(row.expected.onAccent, c.onAccent);
    }
}
