// The INI file as anything may leave it: random text, huge and negative
// numbers, empty values, missing keys, broken lines. Every field must load
// inside its accepted range (or as its full value where any value goes), the
// settings dialog must open showing it, and a popup must show with it.
#include "tests/soak/soak.h"

#include "host/dialog_driver.h"
#include "base/messages.h"
#include "res/resource.h"

#include <commctrl.h>
#include <stdio.h>

#include <map>
#include <string>

namespace {

enum Shows { kBox, kEdit, kCombo, kSwatch, kSlider, kHotKeyControl, kPopupOnly };

// What the file's integer becomes: its low `bits`, and the default when a
// ranged key falls outside [low, high]. Written down here from the settings'
// own rules, not taken from the plug-in.
struct Key {
    const char *name;
    int bits;
    int fallback;
    bool ranged;
    unsigned low, high;
    Shows shows;
    int control;
};

const Key kKeys[] = {
    { "DefaultColour", 32, 0xC8FFFF, false, 0, 0, kSwatch, IDC_BACK_COLOUR },
    { "DefaultTextColour", 32, 0x37, false, 0, 0, kSwatch, IDC_TEXT_COLOUR },
    { "UseWinColors", 8, 0, false, 0, 0, kBox, IDC_WIN_COLOURS },
    { "ShowText", 8, 1, false, 0, 0, kPopupOnly, 0 },
    { "EnlargePopup", 8, 0, false, 0, 0, kBox, IDC_ENLARGE },
    { "Enlargement", 16, 120, true, 100, 200, kEdit, IDC_ENLARGEMENT },
    { "DynamicResize", 8, 1, false, 0, 0, kBox, IDC_DYNAMIC_RESIZE },
    { "UseMinimumWidth", 8, 1, false, 0, 0, kBox, IDC_USE_MIN_WIDTH },
    { "MinimumWidth", 16, 110, true, 80, 160, kEdit, IDC_MIN_WIDTH },
    { "UseMaximumWidth", 8, 0, false, 0, 0, kBox, IDC_USE_MAX_WIDTH },
    { "MaximumWidth", 16, 310, true, 160, 640, kEdit, IDC_MAX_WIDTH },
    { "DisplayTime", 8, 0, false, 0, 0, kBox, IDC_DISPLAY_TIME },
    { "UseTransparency", 8, 0, false, 0, 0, kBox, IDC_TRANSPARENCY },
    { "Alpha", 8, 200, false, 0, 0, kSlider, IDC_ALPHA },
    { "UseAnimations", 8, 0, false, 0, 0, kBox, IDC_ANIMATE },
    { "Fade", 8, 0, false, 0, 0, kBox, IDC_FADE },
    { "FadeInTime", 32, 250, true, 150, 5000, kEdit, IDC_FADE_IN_TIME },
    { "FadeOutTime", 32, 250, true, 150, 5000, kEdit, IDC_FADE_OUT_TIME },
    { "Position", 8, 2, true, 0, 4, kCombo, IDC_POSITION },
    { "Style", 8, 0, true, 0, 1, kCombo, IDC_STYLE },
    { "Seconds", 16, 4, true, 0, 60, kEdit, IDC_SECONDS },
    { "Spreading", 8, 1, true, 0, 1, kCombo, IDC_SPREADING },
    { "PopupOnTagUpdate", 8, 1, false, 0, 0, kBox, IDC_TAG_UPDATE },
    { "PopUpOnlyOnHotKey", 8, 0, false, 0, 0, kBox, IDC_HOTKEY_ONLY },
    { "HotKey", 16, 635, false, 0, 0, kHotKeyControl, IDC_HOTKEY },
    { "Monitor", 8, 0, true, 0, 2, kCombo, IDC_MONITOR },
    { "QuietInFullscreen", 8, 1, false, 0, 0, kBox, IDC_QUIET_FULLSCREEN },
    { "HoldOnHover", 8, 1, false, 0, 0, kBox, IDC_HOLD_ON_HOVER },
    { "ShowCover", 8, 1, false, 0, 0, kBox, IDC_SHOW_COVER },
    { "CoverSize", 16, 64, true, 32, 128, kEdit, IDC_COVER_SIZE },
    { "Controls", 8, 1, false, 0, 0, kBox, IDC_CONTROLS },
    { "MediaControls", 8, 1, false, 0, 0, kBox, IDC_MEDIA_CONTROLS },
};

const int kMissing = -1;

// Kinds of bad values, each a maker of the text after "Key=".
enum Kind { kAbsent, kEmpty, kHuge, kExtreme, kNegative, kAnyInteger, kEdge, kText, kPadded, kKinds };

std::string Value(Kind kind, const Key &key, Random &random)
{
    char text[64];
    switch (kind) {
    case kEmpty:
        return "";
    case kHuge:
        return random.Between(0, 1) ? "99999999999999999999" : "18446744073709551617";
    case kExtreme: {
        const char *const extremes[] = { "2147483647", "-2147483648", "4294967295", "4294967296" };
        return extremes[random.Between(0, 3)];
    }
    case kNegative:
        snprintf(text, sizeof text, "-%d", random.Between(1, 0x7FFFFFFF));
        return text;
    case kAnyInteger:
        snprintf(text, sizeof text, "%d", (int)random.Next());
        return text;
    case kEdge: {
        // Just outside and just inside the range, and values whose low bits
        // land inside it.
        unsigned edges[] = { key.low - 1, key.low, key.high, key.high + 1, key.low + 65536,
                             key.low + 256, 255, 256 };
        snprintf(text, sizeof text, "%u", edges[random.Between(0, 7)]);
        return text;
    }
    case kText: {
        const char *const words[] = { "abc", "12abc", "0x1F", "+5", "--3", "1e3", "=", "\"7\"", ";5" };
        std::string value = words[random.Between(0, 8)];
        for (int i = random.Between(0, 12); i > 0; i--)
            value += (char)random.Between(0x21, 0xFF);
        return value;
    }
    case kPadded:
        snprintf(text, sizeof text, " \t %d \t ", random.Between(0, 700));
        return text;
    default:
        return "";
    }
}

// The lines of one file; junk around the keys in mixed rounds.
std::string FileText(Kind uniform, Random &random, std::map<std::string, std::string> *written)
{
    std::string text = uniform == kKinds ? "junk line without equals\r\n=7\r\n[Tunebell\r\n" : "";
    text += "[Tunebell]\r\n";
    for (const Key &key : kKeys) {
        Kind kind = uniform == kKinds ? (Kind)random.Between(0, kKinds - 1) : uniform;
        if (kind == kAbsent)
            continue;
        std::string value = Value(kind, key, random);
        (*written)[key.name] = value;
        text += std::string(key.name) + "=" + value + "\r\n";
    }
    if (uniform == kKinds)
        text += "[Other]\r\nPosition=3\r\nSeconds=9\r\n";
    return text;
}

unsigned Expected(const Key &key, const std::string &file)
{
    unsigned read = GetPrivateProfileIntA("Tunebell", key.name, key.fallback, file.c_str());
    unsigned kept = key.bits == 32 ? read : read & ((1u << key.bits) - 1);
    if (key.ranged && (kept < key.low || kept > key.high))
        return (unsigned)key.fallback;
    return kept;
}

LRESULT Ask(HWND dialog, int id, UINT message)
{
    return SendDlgItemMessageA(dialog, id, message, 0, 0);
}

void ExpectDialogShows(HWND dialog, const Key &key, unsigned value)
{
    switch (key.shows) {
    case kBox:
        EXPECT_EQ(IsDlgButtonChecked(dialog, key.control) == BST_CHECKED, value != 0);
        break;
    case kEdit: {
        EXPECT_EQ(GetDlgItemInt(dialog, key.control, NULL, FALSE), value);
        EXPECT_TRUE(value >= key.low && value <= key.high) << value;
        break;
    }
    case kCombo:
        EXPECT_EQ((unsigned)Ask(dialog, key.control, CB_GETCURSEL), value);
        break;
    case kSwatch:
        EXPECT_EQ((unsigned)Ask(dialog, key.control, CPM_GETCOLOUR), value);
        break;
    case kSlider: {
        // The slider runs from 1; an opacity of 0 sits at its left end.
        EXPECT_EQ((unsigned)Ask(dialog, key.control, TBM_GETPOS), value ? value : 1);
        char label[32];
        snprintf(label, sizeof label, "opacity: %u%%", value * 100 / 255);
        EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_OPACITY_LABEL)), label);
        break;
    }
    case kHotKeyControl:
        EXPECT_EQ((unsigned)Ask(dialog, key.control, HKM_GETHOTKEY), value);
        break;
    case kPopupOnly:
        break;
    }
}

}  // namespace

class IniFuzz : public SoakTest {
protected:
    // One file: load, the dialog, one popup, quit; nothing may be left.
    void Round(Kind uniform, Random &random, int round)
    {
        std::map<std::string, std::string> written;
        std::string text = FileText(uniform, random, &written);
        FILE *file = fopen(iniFile.c_str(), "wb");
        ASSERT_NE(file, (FILE *)NULL);
        fwrite(text.data(), 1, text.size(), file);
        fclose(file);
        std::map<std::string, unsigned> expected;
        for (const Key &key : kKeys)
            expected[key.name] = Expected(key, iniFile);

        ASSERT_TRUE(StartLedger());
        ASSERT_TRUE(LoadPatched());
        ASSERT_TRUE(DriveSettingsDialog([&](HWND dialog) {
            for (const Key &key : kKeys) {
                SCOPED_TRACE(std::string(key.name) + "=" + written[key.name]);
                ExpectDialogShows(dialog, key, expected[key.name]);
            }
        })) << "round " << round << ": the dialog did not open";

        // The track start, or the tag update when only that may show one.
        bool trackStarts = expected["PopUpOnlyOnHotKey"] == 0;
        if (trackStarts || expected["PopupOnTagUpdate"] != 0) {
            PlayerAdvancePluginClock(1000);
            if (trackStarts)
                PlayerStartTrack();
            else
                PlayerTagsChanged();
            EXPECT_TRUE(WaitForVisiblePopups(1)) << "round " << round;
            if (VisiblePopups().size() == 1) {
                PopupParts parts = ReadPopupParts(VisiblePopups()[0]);
                EXPECT_EQ(parts.info != NULL, expected["ShowText"] != 0) << "round " << round;
            }
        }
        EXPECT_LT(QuitAndUnload(), 2000u);
        ExpectNothingLeft();
        EXPECT_TRUE(HeapsValidate()) << "round " << round;
    }
};

TEST_F(IniFuzz, EveryFieldLoadsInsideItsRangeAndTheDialogAndAPopupShowIt)
{
    PlayerSetTrack({ 0, "Fuzz - Track", 200, 44, 192, 2 });
    Random random(19790101);
    int round = 0;
    for (Kind uniform : { kAbsent, kEmpty, kHuge, kExtreme, kNegative, kText })
        Round(uniform, random, round++);
    for (int i = 0; i < 6; i++)
        Round(kKinds, random, round++);
}
