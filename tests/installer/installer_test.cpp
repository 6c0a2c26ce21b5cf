// The installer, tunebell-setup.exe beside this program, run silently as a
// user or an administrator's script would: where it puts the plug-in, what it
// registers in Windows' list of installed programs, and what its uninstaller
// removes and keeps.
//
// The tests own the Tunebell registration of the machine they run on (the
// build's Wine prefix): each one starts without it and leaves none behind.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "host/player.h"

namespace {

const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tunebell";
const char kPlugin[] = "gen_tunebell.dll";
const char kUninstaller[] = "tunebell-uninstall.exe";

// An install or uninstall takes a second or two under Wine.
const DWORD kRunDeadlineMs = 60000;

std::string Here()
{
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(NULL, path, MAX_PATH);
    std::string s(path, n);
    return s.substr(0, s.find_last_of('\\'));
}

std::string SetupPath() { return Here() + "\\tunebell-setup.exe"; }
std::string BuiltPlugin() { return Here() + "\\" + kPlugin; }

bool Exists(const std::string &path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool ReadFileBytes(const std::string &path, std::string *bytes)
{
    std::ifstream in(path, std::ios::binary);
    bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return in.good() || in.eof();
}

bool WriteFileBytes(const std::string &path, const std::string &bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    return (out << bytes).good();
}

// Starts the command line and waits for the program to end; its exit code,
// or -1 when it did not start or did not end in time (it is then killed).
long RunAndWait(const std::string &commandLine)
{
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    STARTUPINFOA si;
    ZeroMemory(&si, sizeof si);
    si.cb = sizeof si;
    PROCESS_INFORMATION pi;
    if (!CreateProcessA(NULL, &line[0], NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi)) {
        ADD_FAILURE() << "cannot start " << commandLine << " (error " << GetLastError() << ")";
        return -1;
    }
    CloseHandle(pi.hThread);
    long result = -1;
    if (WaitForSingleObject(pi.hProcess, kRunDeadlineMs) == WAIT_OBJECT_0) {
        DWORD code = 0;
        GetExitCodeProcess(pi.hProcess, &code);
        result = (long)code;
    } else {
        ADD_FAILURE() << commandLine << " did not end within " << kRunDeadlineMs << " ms";
        TerminateProcess(pi.hProcess, 1);
    }
    CloseHandle(pi.hProcess);
    return result;
}

// The installer's own syntax: /D= comes last and is never quoted, even
// when the folder has blanks in it.
long InstallSilently(const std::string &folder)
{
    std::string line = "\"" + SetupPath() + "\" /S";
    if (!folder.empty())
        line += " /D=" + folder;
    return RunAndWait(line);
}

// Runs the uninstaller in place (_?=), so that this waits for its work.
long UninstallSilentlyInPlace(const std::string &folder)
{
    return RunAndWait("\"" + folder + "\\" + kUninstaller + "\" /S _?=" + folder);
}

bool Registered()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

// A value of the registration, and its type; REG_NONE when there is none.
DWORD RegisteredValue(const char *name, BYTE *value, DWORD size)
{
    DWORD type = REG_NONE;
    ZeroMemory(value, size);
    if (RegGetValueA(HKEY_LOCAL_MACHINE, kUninstallKey, name, RRF_RT_ANY | RRF_NOEXPAND, &type, value, &size))
        return REG_NONE;
    return type;
}

// "<missing>" when there is none, "<not text>" when it is not a string.
std::string RegisteredText(const char *name)
{
    char value[1024];
    DWORD type = RegisteredValue(name, (BYTE *)value, sizeof value - 1);
    if (type == REG_NONE)
        return "<missing>";
    return type == REG_SZ || type == REG_EXPAND_SZ ? value : "<not text>";
}

long RegisteredNumber(const char *name)
{
    DWORD value = 0;
    return RegisteredValue(name, (BYTE *)&value, sizeof value) == REG_DWORD ? (long)value : -1;
}

void Unregister()
{
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallKey);
}

// The folders below the temp folder whose names match the pattern.
std::vector<std::string> TempFolders(const char *pattern)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::vector<std::string> folders;
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((std::string(temp) + pattern).c_str(), &found);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                folders.push_back(std::string(temp) + found.cFileName);
        } while (FindNextFileA(h, &found));
        FindClose(h);
    }
    return folders;
}

std::string Lower(std::string s)
{
    CharLowerBuffA(&s[0], (DWORD)s.size());
    return s;
}

// Every test gets a fresh folder below the temp folder, with a blank in its
// name, standing for the player's folder; Plugins is below it.
class Installer : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Exists(SetupPath())) << "no installer at " << SetupPath();
        ASSERT_TRUE(ReadFileBytes(BuiltPlugin(), &builtPlugin));
        Unregister();
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        playerDir = std::string(temp) + "tunebell installer " +
                    std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount());
        ASSERT_TRUE(CreateDirectoryA(playerDir.c_str(), NULL));
        plugins = playerDir + "\\Plugins";

        char programFiles[MAX_PATH];
        ASSERT_TRUE(SUCCEEDED(SHGetFolderPathA(NULL, CSIDL_PROGRAM_FILES, NULL, 0, programFiles)));
        usualPlayer = std::string(programFiles) + "\\Winamp";
        usualPlugins = usualPlayer + "\\Plugins";
        usualPlayerWasThere = Exists(usualPlayer);
        usualPluginWasThere = Exists(usualPlugins + "\\" + kPlugin);
    }

    // An install without a folder may have gone to the usual place; what a
    // test put there goes, what was there before stays.
    void TearDown() override
    {
        Unregister();
        PlayerRemoveTree(playerDir.c_str());
        if (!usualPluginWasThere) {
            DeleteFileA((usualPlugins + "\\" + kPlugin).c_str());
            DeleteFileA((usualPlugins + "\\" + kUninstaller).c_str());
        }
        if (!usualPlayerWasThere) {
            RemoveDirectoryA(usualPlugins.c_str());
            RemoveDirectoryA(usualPlayer.c_str());
        }
    }

    // The player's settings file as a user would have it, and a plug-in of
    // someone else's: neither may be touched.
    void PutUsersFiles()
    {
        CreateDirectoryA(plugins.c_str(), NULL);
        ASSERT_TRUE(WriteFileBytes(plugins + "\\tunebell.ini", kUsersIni));
        ASSERT_TRUE(WriteFileBytes(plugins + "\\gen_other.dll", "not ours"));
    }

    void ExpectUsersFilesUntouched()
    {
        std::string ini, other;
        EXPECT_TRUE(ReadFileBytes(plugins + "\\tunebell.ini", &ini)) << "tunebell.ini was removed";
        EXPECT_EQ(ini, kUsersIni);
        EXPECT_TRUE(ReadFileBytes(plugins + "\\gen_other.dll", &other)) << "another plug-in was removed";
        EXPECT_EQ(other, "not ours");
    }

    bool InstalledPluginIsTheBuiltOne(const std::string &folder)
    {
        std::string installed;
        return ReadFileBytes(folder + "\\" + kPlugin, &installed) && installed == builtPlugin;
    }

    static const std::string kUsersIni;
    std::string builtPlugin;
    std::string playerDir;
    std::string plugins;
    // The player's usual Plugins folder, below Program Files.
    std::string usualPlayer;
    std::string usualPlugins;
    bool usualPlayerWasThere = false;
    bool usualPluginWasThere = false;
};

const std::string Installer::kUsersIni = "[Tunebell]\r\nPosition=0\r\nSeconds=9\r\nHotKey=1657\r\n";

TEST_F(Installer, SilentInstallPutsThePluginInTheChosenFolderAndRegistersTheUninstaller)
{
    ASSERT_EQ(InstallSilently(plugins), 0);

    EXPECT_TRUE(InstalledPluginIsTheBuiltOne(plugins));
    EXPECT_TRUE(Exists(plugins + "\\" + kUninstaller));

    ASSERT_TRUE(Registered());
    EXPECT_EQ(RegisteredText("DisplayName"), "Tunebell Plugin for Winamp");
    EXPECT_EQ(RegisteredText("DisplayVersion"), "0.5");
    EXPECT_EQ(RegisteredText("Publisher"), "The Tunebell team");
    EXPECT_EQ(Lower(RegisteredText("InstallLocation")), Lower(plugins));
    EXPECT_EQ(Lower(RegisteredText("UninstallString")),
              Lower("\"" + plugins + "\\" + kUninstaller + "\""));
    EXPECT_EQ(Lower(RegisteredText("QuietUninstallString")),
              Lower("\"" + plugins + "\\" + kUninstaller + "\" /S"));
    EXPECT_EQ(Lower(RegisteredText("DisplayIcon")), Lower(plugins + "\\" + kPlugin + ",0"));
    EXPECT_EQ(RegisteredNumber("VersionMajor"), 0);
    EXPECT_EQ(RegisteredNumber("VersionMinor"), 5);
    EXPECT_EQ(RegisteredNumber("NoModify"), 1);
    EXPECT_EQ(RegisteredNumber("NoRepair"), 1);
    // In KB, rounded down: the DLL's size.
    EXPECT_EQ(RegisteredNumber("EstimatedSize"), (long)(builtPlugin.size() / 1024));

    EXPECT_EQ(UninstallSilentlyInPlace(plugins), 0);
}

TEST_F(Installer, SilentUninstallRemovesThePluginAndItsRegistrationButKeepsTheSettings)
{
    PutUsersFiles();
    ASSERT_EQ(InstallSilently(plugins), 0);
    ASSERT_TRUE(InstalledPluginIsTheBuiltOne(plugins));
    ASSERT_TRUE(Registered());
    ExpectUsersFilesUntouched();

    EXPECT_EQ(UninstallSilentlyInPlace(plugins), 0);

    EXPECT_FALSE(Exists(plugins + "\\" + kPlugin));
    EXPECT_FALSE(Registered());
    ExpectUsersFilesUntouched();
}

// The way Windows' list of installed programs runs it: the uninstaller
// copies itself away, returns at once, and that copy removes the original.
TEST_F(Installer, RegisteredQuietUninstallRemovesTheUninstallerToo)
{
    PutUsersFiles();
    ASSERT_EQ(InstallSilently(plugins), 0);
    std::string quiet = RegisteredText("QuietUninstallString");
    ASSERT_NE(quiet, "<missing>");
    std::vector<std::string> copiesBefore = TempFolders("~nsu*.tmp");

    EXPECT_EQ(RunAndWait(quiet), 0);
    WaitUntil([&] {
        return !Exists(plugins + "\\" + kPlugin) && !Exists(plugins + "\\" + kUninstaller) && !Registered();
    }, kRunDeadlineMs, 50);

    EXPECT_FALSE(Exists(plugins + "\\" + kPlugin));
    EXPECT_FALSE(Exists(plugins + "\\" + kUninstaller));
    EXPECT_FALSE(Registered());
    ExpectUsersFilesUntouched();

    // The copy runs from a folder of its own below the temp folder, which
    // Windows would empty at the next restart. Tidy up once the copy has
    // ended and so can be deleted.
    WaitUntil([&] {
        int left = 0;
        for (const std::string &folder : TempFolders("~nsu*.tmp")) {
            bool before = false;
            for (const std::string &old : copiesBefore)
                before = before || old == folder;
            if (!before) {
                PlayerRemoveTree(folder.c_str());
                left += Exists(folder);
            }
        }
        return left == 0;
    }, 10000, 50);
}

TEST_F(Installer, WithoutAFolderItInstallsIntoThePlayersUsualPluginsFolder)
{
    if (usualPluginWasThere)
        GTEST_SKIP() << "a Tunebell plug-in is installed in " << usualPlugins;

    ASSERT_EQ(InstallSilently(""), 0);

    EXPECT_TRUE(InstalledPluginIsTheBuiltOne(usualPlugins));
    EXPECT_EQ(Lower(RegisteredText("InstallLocation")), Lower(usualPlugins));
    EXPECT_EQ(UninstallSilentlyInPlace(usualPlugins), 0);
    EXPECT_FALSE(Exists(usualPlugins + "\\" + kPlugin));
    EXPECT_FALSE(Registered());
}

TEST_F(Installer, AnUpdateWithoutAFolderGoesWhereThePreviousInstallWent)
{
    ASSERT_EQ(InstallSilently(plugins), 0);
    ASSERT_TRUE(DeleteFileA((plugins + "\\" + kPlugin).c_str()));

    ASSERT_EQ(InstallSilently(""), 0);

    EXPECT_TRUE(InstalledPluginIsTheBuiltOne(plugins));
    EXPECT_EQ(Lower(RegisteredText("InstallLocation")), Lower(plugins));
    EXPECT_EQ(UninstallSilentlyInPlace(plugins), 0);
}

// Two copies: uninstalling the older one leaves the newer one registered.
TEST_F(Installer, UninstallingAnEarlierCopyKeepsTheRegistrationOfTheLaterOne)
{
    std::string earlier = playerDir + "\\Old Plugins";
    ASSERT_EQ(InstallSilently(earlier), 0);
    ASSERT_EQ(InstallSilently(plugins), 0);
    ASSERT_EQ(Lower(RegisteredText("InstallLocation")), Lower(plugins));

    EXPECT_EQ(UninstallSilentlyInPlace(earlier), 0);

    EXPECT_FALSE(Exists(earlier + "\\" + kPlugin));
    EXPECT_TRUE(InstalledPluginIsTheBuiltOne(plugins));
    EXPECT_EQ(Lower(RegisteredText("InstallLocation")), Lower(plugins));

    EXPECT_EQ(UninstallSilentlyInPlace(plugins), 0);
    EXPECT_FALSE(Registered());
}

}  // namespace
