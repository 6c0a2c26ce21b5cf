// The INI rules: what a file's text becomes, and what a save writes.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "res/resource.h"
#include "settings/rules.h"

namespace {

// An INI section in memory: keys present answer their value, others the
// default, as GetPrivateProfileIntA does.
struct FakeIni {
    std::map<std::string, int> values;
    std::vector<std::pair<std::string, std::string>> written;
};

int ReadFake(const char *key, int defaultValue, void *context)
{
    FakeIni *ini = (FakeIni *)context;
    auto found = ini->values.find(key);
    return found == ini->values.end() ? defaultValue : found->second;
}

void WriteFake(const char *key, const char *text, void *context)
{
    ((FakeIni *)context)->written.push_back({ key, text });
}

Settings Load(const std::map<std::string, int> &values)
{
    FakeIni ini;
    ini.values = values;
    Settings s;
    memset(&s, 0xAB, sizeof(s));   // every field must be set by the load
    LoadSettingsFrom(&s, ReadFake, &ini);
    return s;
}

}  // namespace

TEST(SettingsLoad, EmptyFileGivesTheDefaults)
{
    Settings s = Load({});
    EXPECT_EQ(0xC8FFFFu, s.DefaultColour);
    EXPECT_EQ(0x37u, s.DefaultTextColour);
    EXPECT_EQ(1, s.ShowText);
    EXPECT_EQ(120, s.Enlargement);
    EXPECT_EQ(1, s.DynamicResize);
    EXPECT_EQ(1, s.UseMinimumWidth);
    EXPECT_EQ(110, s.MinimumWidth);
    EXPECT_EQ(310, s.MaximumWidth);
    EXPECT_EQ(200, s.Alpha);
    EXPECT_EQ(250, s.FadeInTime);
    EXPECT_EQ(250, s.FadeOutTime);
    EXPECT_EQ(2, s.Position);
    EXPECT_EQ(0, s.Style);
    EXPECT_EQ(4, s.Seconds);
    EXPECT_EQ(1, s.Spreading);
    EXPECT_EQ(1, s.PopupOnTagUpdate);
    EXPECT_EQ(635, s.HotKey);
    EXPECT_EQ(0, s.DisplayTime);
    EXPECT_EQ(0, s.UseWinColors);
    EXPECT_EQ(0, s.UseTransparency);
    EXPECT_EQ(0, s.EnlargePopup);
    EXPECT_EQ(0, s.UseMaximumWidth);
    EXPECT_EQ(0, s.UseAnimations);
    EXPECT_EQ(0, s.Fade);
    EXPECT_EQ(0, s.PopUpOnlyOnHotKey);
    EXPECT_EQ(0, s.Monitor);
    EXPECT_EQ(1, s.QuietInFullscreen);
    EXPECT_EQ(1, s.HoldOnHover);
    EXPECT_EQ(1, s.ShowCover);
    EXPECT_EQ(64, s.CoverSize);
    EXPECT_EQ(1, s.Controls);
    EXPECT_EQ(0, s.WindowsLook);
    EXPECT_EQ(1, s.MediaControls);
}

TEST(SettingsLoad, RangedKeysKeepTheirLowBitsThenFallBackOutsideTheRange)
{
    EXPECT_EQ(120, Load({ { "Enlargement", 250 } }).Enlargement);
    EXPECT_EQ(100, Load({ { "Enlargement", 100 + 65536 } }).Enlargement);
    EXPECT_EQ(2, Load({ { "Position", 258 } }).Position);
    EXPECT_EQ(2, Load({ { "Position", -1 } }).Position);
    EXPECT_EQ(3, Load({ { "Position", 3 } }).Position);
    EXPECT_EQ(250, Load({ { "FadeInTime", -1 } }).FadeInTime);
    EXPECT_EQ(250, Load({ { "FadeInTime", 100 } }).FadeInTime);
    EXPECT_EQ(5000, Load({ { "FadeInTime", 5000 } }).FadeInTime);
    EXPECT_EQ(150, Load({ { "FadeOutTime", 150 } }).FadeOutTime);
    EXPECT_EQ(0, Load({ { "Seconds", 0 } }).Seconds);
    EXPECT_EQ(4, Load({ { "Seconds", 61 } }).Seconds);
    EXPECT_EQ(60, Load({ { "Seconds", 60 } }).Seconds);
    EXPECT_EQ(110, Load({ { "MinimumWidth", 79 } }).MinimumWidth);
    EXPECT_EQ(640, Load({ { "MaximumWidth", 640 } }).MaximumWidth);
    EXPECT_EQ(0, Load({ { "Style", 256 } }).Style);
    EXPECT_EQ(1, Load({ { "Spreading", 2 } }).Spreading);
    EXPECT_EQ(0, Load({ { "Monitor", 3 } }).Monitor);
    EXPECT_EQ(2, Load({ { "Monitor", 258 } }).Monitor);
    EXPECT_EQ(32, Load({ { "CoverSize", 32 } }).CoverSize);
    EXPECT_EQ(64, Load({ { "CoverSize", 31 } }).CoverSize);
    EXPECT_EQ(64, Load({ { "CoverSize", 129 } }).CoverSize);
    EXPECT_EQ(0, Load({ { "Monitor", -1 } }).Monitor);
}

TEST(SettingsLoad, UnrangedKeysKeepTheirWidthOnly)
{
    EXPECT_EQ(0, Load({ { "UseWinColors", 256 } }).UseWinColors);
    EXPECT_EQ(1, Load({ { "UseWinColors", 257 } }).UseWinColors);
    EXPECT_EQ(0xFFFFFFFFu, Load({ { "DefaultColour", -1 } }).DefaultColour);
    EXPECT_EQ(0, Load({ { "ShowText", 0 } }).ShowText);
    EXPECT_EQ(0x34, Load({ { "HotKey", 0x10034 } }).HotKey);
    EXPECT_EQ(0, Load({ { "Alpha", 256 } }).Alpha);
    // The flag is 32 bits wide but only its low byte is read.
    EXPECT_EQ(0, Load({ { "PopUpOnlyOnHotKey", 512 } }).PopUpOnlyOnHotKey);
    EXPECT_EQ(255, Load({ { "PopUpOnlyOnHotKey", -1 } }).PopUpOnlyOnHotKey);
    EXPECT_EQ(0, Load({ { "QuietInFullscreen", 256 } }).QuietInFullscreen);
    EXPECT_EQ(2, Load({ { "HoldOnHover", 2 } }).HoldOnHover);
    EXPECT_EQ(0, Load({ { "Controls", 256 } }).Controls);
    EXPECT_EQ(0, Load({ { "MediaControls", 256 } }).MediaControls);
}

TEST(SettingsSave, WritesEveryKeyInOrderAndNeverShowText)
{
    FakeIni ini;
    Settings s = Load({});
    SaveSettingsTo(&s, WriteFake, &ini);
    const char *order[] = {
        "UseWinColors", "Seconds", "DisplayTime", "PopupOnTagUpdate", "EnlargePopup",
        "Enlargement", "DynamicResize", "UseMinimumWidth", "MinimumWidth",
        "UseMaximumWidth", "MaximumWidth", "UseTransparency", "Alpha",
        "UseAnimations", "Fade", "FadeInTime", "FadeOutTime", "Position", "Style",
        "Spreading", "DefaultColour", "DefaultTextColour", "HotKey", "PopUpOnlyOnHotKey",
        // Newer keys after the older ones, which an older version reads alone.
        "Monitor", "QuietInFullscreen", "HoldOnHover", "ShowCover", "CoverSize", "Controls",
        "MediaControls", "WindowsLook",
    };
    ASSERT_EQ(32u, ini.written.size());
    for (int i = 0; i < 32; i++)
        EXPECT_EQ(order[i], ini.written[i].first) << "at " << i;
    EXPECT_EQ("4", ini.written[1].second);
    EXPECT_EQ("13172735", ini.written[20].second);
    EXPECT_EQ("635", ini.written[22].second);
}

TEST(SettingsSave, FormatsEachFieldAtItsWidth)
{
    char text[SETTINGS_VALUE_TEXT];
    FormatSettingForIni(FindSetting("DefaultColour"), 0xFFFFFFFF, text);
    EXPECT_STREQ("-1", text);
    FormatSettingForIni(FindSetting("HotKey"), 0xFFFF, text);
    EXPECT_STREQ("65535", text);
    FormatSettingForIni(FindSetting("Alpha"), 255, text);
    EXPECT_STREQ("255", text);
    FormatSettingForIni(FindSetting("PopUpOnlyOnHotKey"), 0x1FF, text);
    EXPECT_STREQ("255", text);
    FormatSettingForIni(FindSetting("FadeInTime"), 5000, text);
    EXPECT_STREQ("5000", text);
}

TEST(SettingsSave, SaveThenLoadGivesBackEveryValueInRange)
{
    Settings before = Load({
        { "DisplayTime", 1 }, { "DefaultColour", 0x123456 }, { "DefaultTextColour", 0xABCDEF },
        { "UseWinColors", 1 }, { "UseTransparency", 1 }, { "Alpha", 17 }, { "EnlargePopup", 1 },
        { "Enlargement", 200 }, { "DynamicResize", 0 }, { "UseMinimumWidth", 0 },
        { "MinimumWidth", 80 }, { "UseMaximumWidth", 1 }, { "MaximumWidth", 160 },
        { "UseAnimations", 1 }, { "Fade", 1 }, { "FadeInTime", 150 }, { "FadeOutTime", 4999 },
        { "Position", 4 }, { "Style", 1 }, { "Spreading", 0 }, { "Seconds", 0 },
        { "PopupOnTagUpdate", 0 }, { "PopUpOnlyOnHotKey", 1 }, { "HotKey", 0x0624 },
        { "Monitor", 2 }, { "QuietInFullscreen", 0 }, { "HoldOnHover", 0 },
        { "ShowCover", 0 }, { "CoverSize", 128 }, { "Controls", 0 }, { "WindowsLook", 1 },
        { "MediaControls", 0 },
    });
    FakeIni file;
    SaveSettingsTo(&before, WriteFake, &file);
    for (auto &pair : file.written)
        file.values[pair.first] = atoi(pair.second.c_str());
    Settings after;
    LoadSettingsFrom(&after, ReadFake, &file);
    for (int i = 0; i < SettingCount; i++) {
        const SettingRow *key = &SettingsTable[i];
        EXPECT_EQ(ReadSettingField(&before, key), ReadSettingField(&after, key)) << key->name;
    }
}

TEST(SettingsCopy, FieldwiseCopyMatchesTheSource)
{
    Settings from = Load({ { "Position", 1 }, { "HotKey", 0x0241 }, { "DefaultColour", 7 } });
    Settings to;
    memset(&to, 0, sizeof(to));
    CopySettingsFieldwise(&to, &from);
    for (int i = 0; i < SettingCount; i++)
        EXPECT_EQ(ReadSettingField(&from, &SettingsTable[i]), ReadSettingField(&to, &SettingsTable[i]));
}

TEST(IniPath, IsFormedBelowThePlayersDirectoryWhenItFits)
{
    char path[MAX_PATH];
    EXPECT_TRUE(FormIniPath("C:\\Player", path, sizeof(path)));
    EXPECT_STREQ("C:\\Player\\plugins\\tunebell.ini", path);

    // With the 21 characters and the NUL: exactly full.
    std::string longest = "C:\\" + std::string(MAX_PATH - 25, 'a');
    EXPECT_TRUE(FormIniPath(longest.c_str(), path, sizeof(path)));
    EXPECT_EQ(MAX_PATH - 1, (int)strlen(path));

    std::string tooLong = longest + "a";
    EXPECT_FALSE(FormIniPath(tooLong.c_str(), path, sizeof(path)));
    EXPECT_STREQ("", path);
    EXPECT_FALSE(FormIniPath(NULL, path, sizeof(path)));
}

TEST(SettingsTable, EachControlEditsOneSettingThatFitsIt)
{
    std::map<int, std::string> controls;
    for (int i = 0; i < SettingCount; i++) {
        const SettingRow &row = SettingsTable[i];
        if (row.control == CONTROL_NONE)
            continue;
        EXPECT_TRUE(controls.insert({ row.controlId, row.name }).second) << row.name;
        // An edit clamps into its range; a combo's items are its values.
        if (row.control == CONTROL_NUMBER_EDIT)
            EXPECT_TRUE(row.ranged) << row.name;
        if (row.control == CONTROL_COMBO) {
            ASSERT_TRUE(row.combo != NULL) << row.name;
            EXPECT_TRUE(row.ranged && row.low == 0) << row.name;
            EXPECT_EQ((int)row.high + 1, ComboItemCount(row.combo)) << row.name;
        }
    }
    EXPECT_EQ(32u, controls.size());
    EXPECT_EQ(NULL, FindSettingOfControl(IDC_PREVIEW));
}

TEST(IniPath, OnlyAnAbsoluteDirectoryIsTaken)
{
    char path[MAX_PATH];
    for (const char *dir : { "C:", "z:/Player", "\\\\server\\share" })
        EXPECT_TRUE(FormIniPath(dir, path, sizeof(path))) << dir;
    // The current folder or drive would decide where these are.
    for (const char *dir : { "", "Player", ".\\Player", "\\Player", "C:Player", "\\\\\\x", ":\\x" }) {
        EXPECT_FALSE(FormIniPath(dir, path, sizeof(path))) << dir;
        EXPECT_STREQ("", path);
    }
}
