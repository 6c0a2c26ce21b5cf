// The built DLL's version resource, read back the way Windows' file
// properties read it.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "host/player.h"

namespace {

class VersionResource : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char *path = PlayerDefaultPluginPath();
        DWORD ignored = 0;
        DWORD size = GetFileVersionInfoSizeA(path, &ignored);
        ASSERT_GT(size, 0u) << path << " has no version resource (error " << GetLastError() << ")";
        block.resize(size);
        ASSERT_TRUE(GetFileVersionInfoA(path, 0, size, &block[0]));
    }

    // A string of the first translation the file lists; "<missing>" if none.
    std::string Text(const char *name)
    {
        struct Translation { WORD language, codePage; } *translations = NULL;
        UINT length = 0;
        if (!VerQueryValueA(&block[0], "\\VarFileInfo\\Translation", (void **)&translations, &length) ||
            length < sizeof(Translation))
            return "<missing>";
        char query[128];
        wsprintfA(query, "\\StringFileInfo\\%04x%04x\\%s", translations[0].language,
                  translations[0].codePage, name);
        char *value = NULL;
        if (!VerQueryValueA(&block[0], query, (void **)&value, &length) || value == NULL)
            return "<missing>";
        return std::string(value, lstrlenA(value));
    }

    std::vector<char> block;
};

TEST_F(VersionResource, NumbersSayVersionZeroPointFiveOfADll)
{
    VS_FIXEDFILEINFO *fixed = NULL;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(&block[0], "\\", (void **)&fixed, &length));
    ASSERT_GE(length, sizeof(VS_FIXEDFILEINFO));
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    // 0,5,0,0: major in the high word of MS, minor in its low word.
    EXPECT_EQ(fixed->dwFileVersionMS, (DWORD)MAKELONG(5, 0));
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);
    EXPECT_EQ(fixed->dwProductVersionMS, (DWORD)MAKELONG(5, 0));
    EXPECT_EQ(fixed->dwProductVersionLS, 0u);
    EXPECT_EQ(fixed->dwFileType, (DWORD)VFT_DLL);
    EXPECT_EQ(fixed->dwFileFlags & fixed->dwFileFlagsMask, 0u) << "a debug or pre-release build";
}

TEST_F(VersionResource, TextsNameTheProductItsMakerAndTheFile)
{
    EXPECT_EQ(Text("ProductName"), "Tunebell Plugin");
    EXPECT_EQ(Text("ProductVersion"), "0.5");
    EXPECT_EQ(Text("FileVersion"), "0.5");
    EXPECT_EQ(Text("FileDescription"), "Tunebell track popups for the Winamp player");
    EXPECT_EQ(Text("CompanyName"), "The Tunebell team");
    EXPECT_EQ(Text("OriginalFilename"), "gen_tunebell.dll");
    EXPECT_EQ(Text("InternalName"), "gen_tunebell");
    EXPECT_NE(Text("LegalCopyright").find("The Tunebell team"), std::string::npos);
}

}  // namespace
