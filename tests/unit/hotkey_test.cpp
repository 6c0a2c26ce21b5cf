// Hot-key control values into what RegisterHotKey takes.
#include <gtest/gtest.h>

#include "plugin/hotkey.h"

namespace {

struct Split {
    UINT modifiers;
    UINT key;
};

Split Convert(WORD value)
{
    Split s = { 0xDEAD, 0xDEAD };
    HotKeyToModifiers(value, &s.modifiers, &s.key);
    return s;
}

}  // namespace

TEST(HotKeyToModifiers, MapsEachControlFlagToItsModifier)
{
    struct Case {
        WORD value;
        UINT modifiers;
        UINT key;
    } cases[] = {
        { 0x027B, MOD_CONTROL, VK_F12 },                        // the default, Ctrl+F12
        { 0x0341, MOD_CONTROL | MOD_SHIFT, 'A' },               // 0x0006
        { 0x0441, MOD_ALT, 'A' },                               // 0x0001
        { 0x0F41, MOD_CONTROL | MOD_SHIFT | MOD_ALT, 'A' },     // all four flags: 0x0007
        { 0x0A24, MOD_CONTROL, VK_HOME },                       // Ctrl+Home comes extended
        { 0xF841, 0, 'A' },                                     // no other bit is carried
        { 0x0200, MOD_CONTROL, 0 },                             // the control left empty
    };
    for (const Case &c : cases) {
        Split s = Convert(c.value);
        EXPECT_EQ(s.modifiers, c.modifiers) << std::hex << "value 0x" << c.value;
        EXPECT_EQ(s.key, c.key) << std::hex << "value 0x" << c.value;
    }
}
