// The text the player lists the plug-in under.
#include <gtest/gtest.h>

#include <string>

#include "plugin/description.h"

TEST(Description, NamesTheModuleFile)
{
    char text[DESCRIPTION_SIZE];
    FormatDescription(text, "C:\\Program Files\\Player\\Plugins\\gen_tunebell.dll");
    EXPECT_STREQ("Tunebell Plugin v0.5  [ gen_tunebell.dll ]", text);

    EXPECT_STREQ("gen_tunebell.dll", FileNamePart("gen_tunebell.dll"));
    EXPECT_STREQ("", FileNamePart("C:\\dir\\"));
    EXPECT_STREQ("x.dll", FileNamePart("\\x.dll"));
}

TEST(Description, ALongFileNameIsCutToTheBuffer)
{
    std::string path = "C:\\" + std::string(508, 'n');
    char text[DESCRIPTION_SIZE + 16];
    memset(text, 0x7E, sizeof(text));
    FormatDescription(text, path.c_str());
    EXPECT_EQ(DESCRIPTION_SIZE - 1, (int)strlen(text));
    EXPECT_EQ(0x7E, (unsigned char)text[DESCRIPTION_SIZE]);   // nothing written past it
}
