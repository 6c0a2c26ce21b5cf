// The settings dialog opened through the player's configure command.
#include "host/dialog_driver.h"
#include "host/media_double.h"
#include "base/messages.h"
#include "res/resource.h"
#include "tests/e2e/support.h"
#include "host/theme_registry.h"

#include <commctrl.h>
#include <stdio.h>

#include <fstream>
#include <map>
#include <vector>

namespace {

const char kPreviewText[] = "Notifies you which song is playing in Winamp!\nCool, isn't it?";
const COLORREF kDefaultBack = RGB(255, 255, 200);

std::string RangeMessage(int low, int high)
{
    char text[128];
    snprintf(text, sizeof text, "You cannot specify a value lower than %d and higher than %d.", low, high);
    return text;
}

bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }
bool Enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }
std::string Text(HWND dialog, int id) { return WindowText(GetDlgItem(dialog, id)); }

LRESULT Ask(HWND dialog, int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    return SendDlgItemMessageA(dialog, id, message, wParam, lParam);
}

// Clicks into a numeric edit and replaces its text by typing.
void TypeInto(HWND dialog, int id, const char *digits)
{
    HWND edit = GetDlgItem(dialog, id);
    ClickControl(edit);
    ASSERT_TRUE(WaitUntil([&] { return PlayerFocus() == edit; })) << "edit " << id;
    SendMessageA(edit, EM_SETSEL, 0, -1);
    if (*digits)
        TypeKeys(digits);
    else
        PlayerPressKey(VK_DELETE);
    EXPECT_TRUE(WaitUntil([&] { return WindowText(edit) == digits; })) << "edit " << id;
}

// Tabs out of the focused edit; returns the text of the message box that
// this brought up, having closed it, or "" when none came.
std::string LeaveEdit(HWND dialog, int id)
{
    PlayerPressKey(VK_TAB);
    WaitUntil([&] { return PlayerFocus() != GetDlgItem(dialog, id); });
    // Once the dialog answers it has handled the focus change, or it sits
    // in the message box, which then exists.
    DWORD_PTR ignored;
    SendMessageTimeoutA(dialog, WM_NULL, 0, 0, SMTO_NORMAL, 3000, &ignored);
    HWND box = WaitForPlayerDialog("PopUp Plugin", 200);
    if (!box)
        return "";
    std::string text = Text(box, 0xFFFF);   // the message box's text
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
    return text;
}

HWND WaitForPopupWithInfo(const char *text)
{
    HWND found = NULL;
    WaitUntil([&] {
        for (HWND popup : VisiblePopups()) {
            PopupParts parts = ReadPopupParts(popup);
            if (parts.info && WindowText(parts.info) == text)
                found = popup;
        }
        return found != NULL;
    });
    return found;
}

// Inside the bottom right corner of the content, away from every text.
bool PopupShowsBackground(HWND popup, COLORREF colour)
{
    RECT r = WindowRectOf(ReadPopupParts(popup).back);
    return WaitForWindowColour(popup, r.right - 4, r.bottom - 4, colour);
}

// What a pick in the colour chooser sends the dialog.
void PickedColour(HWND dialog, int id, COLORREF colour)
{
    Ask(dialog, id, CPM_SETCOLOUR, 0, (LPARAM)colour);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, 1), (LPARAM)GetDlgItem(dialog, id));
}

// A system without layered windows and window animation.
FARPROC WINAPI GetProcAddressWithoutEffects(HMODULE module, LPCSTR name)
{
    if (HIWORD((DWORD_PTR)name) &&
        (strcmp(name, "SetLayeredWindowAttributes") == 0 || strcmp(name, "AnimateWindow") == 0))
        return NULL;
    return GetProcAddress(module, name);
}

}  // namespace

using SettingsDialog = PlayerTest;

TEST_F(SettingsDialog, OpensFromConfigShowingEverySetting)
{
    SetIni({
        { "DisplayTime", 1 }, { "PopupOnTagUpdate", 0 }, { "EnlargePopup", 1 }, { "Enlargement", 150 },
        { "UseMinimumWidth", 0 }, { "MinimumWidth", 90 }, { "UseMaximumWidth", 1 },
        { "MaximumWidth", 500 }, { "UseAnimations", 1 }, { "FadeInTime", 300 },
        { "FadeOutTime", 400 }, { "UseTransparency", 1 }, { "Alpha", 128 }, { "Seconds", 7 },
        { "DefaultColour", 0x123456 }, { "DefaultTextColour", 0xABCDEF }, { "PopUpOnlyOnHotKey", 1 },
        { "HotKey", 0x0374 }, { "Position", 1 }, { "Style", 1 }, { "Spreading", 0 },
    });
    ASSERT_TRUE(Load());
    int from = PlayerCommandCount();
    ASSERT_TRUE(DriveSettingsDialog([&](HWND dialog) {
        EXPECT_EQ(WindowText(dialog), kDialogCaption);
        EXPECT_EQ(GetWindow(dialog, GW_OWNER), PlayerWindow());
        for (int id : { IDC_DISPLAY_TIME, IDC_ENLARGE, IDC_DYNAMIC_RESIZE, IDC_USE_MAX_WIDTH, IDC_ANIMATE, IDC_TRANSPARENCY, IDC_HOTKEY_ONLY })
            EXPECT_TRUE(Checked(dialog, id)) << id;
        for (int id : { IDC_TAG_UPDATE, IDC_USE_MIN_WIDTH, IDC_FADE, IDC_WIN_COLOURS })
            EXPECT_FALSE(Checked(dialog, id)) << id;
        const std::map<int, std::string> edits = {
            { IDC_ENLARGEMENT, "150" }, { IDC_MIN_WIDTH, "90" }, { IDC_MAX_WIDTH, "500" }, { IDC_FADE_IN_TIME, "300" }, { IDC_FADE_OUT_TIME, "400" }, { IDC_SECONDS, "7" },
        };
        for (const auto &edit : edits)
            EXPECT_EQ(Text(dialog, edit.first), edit.second) << "edit " << edit.first;
        EXPECT_EQ(Ask(dialog, IDC_ALPHA, TBM_GETPOS), 128);
        EXPECT_EQ(Text(dialog, IDC_OPACITY_LABEL), "opacity: 50%");
        EXPECT_EQ(Ask(dialog, IDC_BACK_COLOUR, CPM_GETCOLOUR), 0x123456);
        EXPECT_EQ(Ask(dialog, IDC_TEXT_COLOUR, CPM_GETCOLOUR), 0xABCDEF);
        EXPECT_EQ(Ask(dialog, IDC_HOTKEY, HKM_GETHOTKEY) & 0xFFFF, 0x0374);

        const std::map<int, std::vector<std::string>> combos = {
            { IDC_POSITION, { "... upper left corner", "... lower left corner", "... lower right corner",
                      "... upper right corner", "... center" } },
            { IDC_STYLE, { "... beveled style", "... flat style" } },
            { IDC_SPREADING, { "... horizontally", "... vertically" } },
        };
        for (const auto &combo : combos) {
            ASSERT_EQ(Ask(dialog, combo.first, CB_GETCOUNT), (LRESULT)combo.second.size());
            for (size_t i = 0; i < combo.second.size(); i++) {
                char text[64] = "";
                Ask(dialog, combo.first, CB_GETLBTEXT, i, (LPARAM)text);
                EXPECT_EQ(text, combo.second[i]);
                EXPECT_EQ(Ask(dialog, combo.first, CB_GETITEMDATA, i), (LRESULT)i);
            }
        }
        EXPECT_EQ(Ask(dialog, IDC_POSITION, CB_GETCURSEL), 1);
        EXPECT_EQ(Ask(dialog, IDC_STYLE, CB_GETCURSEL), 1);
        EXPECT_EQ(Ask(dialog, IDC_SPREADING, CB_GETCURSEL), 0);
    }));
    EXPECT_TRUE(SameSequence(CommandsFrom(from), { { PLAYER_CMD_DIALOG_OWNER, 0, kOnPlayer } }));
}

TEST_F(SettingsDialog, EnableRulesFollowTheBoxesAndFields)
{
    SetIni("Position", 4);
    ASSERT_TRUE(Load());
    ASSERT_TRUE(DriveSettingsDialog([&](HWND dialog) {
        // Spreading is not looked at before a combo changes.
        EXPECT_TRUE(Enabled(dialog, IDC_SPREADING) && Enabled(dialog, IDC_SPREAD_LABEL));
        EXPECT_FALSE(Enabled(dialog, IDC_ENLARGEMENT));
        Press(dialog, IDC_ENLARGE);
        EXPECT_TRUE(Enabled(dialog, IDC_ENLARGEMENT));
        EXPECT_FALSE(Enabled(dialog, IDC_MAX_WIDTH));
        Press(dialog, IDC_USE_MAX_WIDTH);
        EXPECT_TRUE(Enabled(dialog, IDC_MAX_WIDTH));
        Press(dialog, IDC_DYNAMIC_RESIZE);
        for (int id : { IDC_USE_MIN_WIDTH, IDC_MIN_WIDTH, IDC_USE_MAX_WIDTH, IDC_MAX_WIDTH })
            EXPECT_FALSE(Enabled(dialog, id)) << id;

        // Slide and fade exclude each other.
        Press(dialog, IDC_ANIMATE);
        EXPECT_FALSE(Enabled(dialog, IDC_FADE));
        Press(dialog, IDC_ANIMATE);
        EXPECT_TRUE(Enabled(dialog, IDC_FADE));
        EXPECT_FALSE(Enabled(dialog, IDC_FADE_IN_TIME));
        Press(dialog, IDC_FADE);
        EXPECT_FALSE(Enabled(dialog, IDC_ANIMATE));
        for (int id : { IDC_FADE_IN_TIME, IDC_FADE_IN_LABEL, IDC_FADE_OUT_TIME, IDC_FADE_OUT_LABEL })
            EXPECT_TRUE(Enabled(dialog, id)) << id;

        // A disabled swatch shows a grey hatch instead of its colour.
        HWND swatch = GetDlgItem(dialog, IDC_BACK_COLOUR);
        RECT r = WindowRectOf(swatch);
        auto rowHas = [&](COLORREF colour) {
            for (int x = r.left + 4; x < r.left + 14; x++)
                if (WindowColour(swatch, x, (r.top + r.bottom) / 2) == colour)
                    return true;
            return false;
        };
        EXPECT_TRUE(WaitUntil([&] { return rowHas(kDefaultBack); }));
        Press(dialog, IDC_WIN_COLOURS);
        EXPECT_FALSE(Enabled(dialog, IDC_BACK_COLOUR) || Enabled(dialog, IDC_TEXT_COLOUR));
        EXPECT_TRUE(WaitUntil([&] { return rowHas(GetSysColor(COLOR_GRAYTEXT)) && !rowHas(kDefaultBack); }));
        Press(dialog, IDC_WIN_COLOURS);
        EXPECT_TRUE(WaitUntil([&] { return rowHas(kDefaultBack); }));

        // The cover's size only with the cover.
        EXPECT_TRUE(Enabled(dialog, IDC_COVER_SIZE) && Enabled(dialog, IDC_COVER_SIZE_LABEL));
        Press(dialog, IDC_SHOW_COVER);
        EXPECT_FALSE(Enabled(dialog, IDC_COVER_SIZE) || Enabled(dialog, IDC_COVER_SIZE_LABEL));
        Press(dialog, IDC_SHOW_COVER);
        EXPECT_TRUE(Enabled(dialog, IDC_COVER_SIZE));

        SelectComboItem(dialog, IDC_STYLE, 1);
        EXPECT_FALSE(Enabled(dialog, IDC_SPREADING) || Enabled(dialog, IDC_SPREAD_LABEL));
        SelectComboItem(dialog, IDC_POSITION, 0);
        EXPECT_TRUE(Enabled(dialog, IDC_SPREADING));
    }));
}

TEST_F(SettingsDialog, EffectsThatTheSystemLacksStayDisabled)
{
    PreloadedPlugin plugin;
    ASSERT_TRUE(plugin.Redirect("kernel32.dll", "GetProcAddress", (void *)GetProcAddressWithoutEffects));
    SetIni({ { "Fade", 1 }, { "UseTransparency", 1 } });
    ASSERT_TRUE(Load());
    ASSERT_TRUE(DriveSettingsDialog([&](HWND dialog) {
        for (int id : { IDC_ANIMATE, IDC_FADE, IDC_FADE_IN_TIME, IDC_FADE_IN_LABEL, IDC_FADE_OUT_TIME, IDC_FADE_OUT_LABEL, IDC_TRANSPARENCY, IDC_ALPHA, IDC_OPACITY_LABEL })
            EXPECT_FALSE(Enabled(dialog, id)) << id;
    }));
}

TEST_F(SettingsDialog, NumericEditsClampWhileTypingAndReportTheRangeOnLeaving)
{
    SetIni("EnlargePopup", 1);
    ASSERT_TRUE(Load());
    ASSERT_TRUE(DriveSettingsDialog([&](HWND dialog) {
        // The edit shows what the field holds afterwards: the clamped value.
        TypeInto(dialog, IDC_ENLARGEMENT, "5");
        EXPECT_EQ(LeaveEdit(dialog, IDC_ENLARGEMENT), RangeMessage(100, 200));
        EXPECT_TRUE(WaitUntil([&] { return Text(dialog, IDC_ENLARGEMENT) == "100"; }));
        TypeInto(dialog, IDC_ENLARGEMENT, "150");
        EXPECT_EQ(LeaveEdit(dialog, IDC_ENLARGEMENT), "");

        TypeInto(dialog, IDC_SECONDS, "99");
        EXPECT_EQ(LeaveEdit(dialog, IDC_SECONDS), RangeMessage(0, 60));
        EXPECT_TRUE(WaitUntil([&] { return Text(dialog, IDC_SECONDS) == "60"; }));
        TypeInto(dialog, IDC_SECONDS, "");
        EXPECT_EQ(LeaveEdit(dialog, IDC_SECONDS), "");
        EXPECT_EQ(Text(dialog, IDC_SECONDS), "");
        TypeInto(dialog, IDC_SECONDS, "99999999999");
        EXPECT_EQ(LeaveEdit(dialog, IDC_SECONDS), "");
        Press(dialog, IDOK);
    }));
    EXPECT_EQ(PlayerReadSetting("Enlargement"), 150);
    EXPECT_EQ(PlayerReadSetting("Seconds"), 0);
}

TEST_F(SettingsDialog, OkWritesEveryKeyInItsOrderWithTheEdits)
{
    ASSERT_TRUE(Load());
    ASSERT_TRUE(DriveSettingsDialog([&](HWND dialog) {
        Press(dialog, IDC_DISPLAY_TIME);
        SelectComboItem(dialog, IDC_POSITION, 0);
        EXPECT_EQ(Text(dialog, IDC_OPACITY_LABEL), "opacity: 78%");
        ClickControl(GetDlgItem(dialog, IDC_ALPHA));
        PlayerPressKey(VK_END);
        EXPECT_TRUE(WaitUntil([&] { return Text(dialog, IDC_OPACITY_LABEL) == "opacity: 100%"; }));
        Press(dialog, IDOK);
    }));
    std::vector<std::string> lines;
    std::ifstream in(iniFile);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    const std::vector<std::string> expected = {
        "[Tunebell]", "UseWinColors=0", "Seconds=4", "DisplayTime=1", "PopupOnTagUpdate=1",
        "EnlargePopup=0", "Enlargement=120", "DynamicResize=1", "UseMinimumWidth=1",
        "MinimumWidth=110", "UseMaximumWidth=0", "MaximumWidth=310", "UseTransparency=0",
        "Alpha=255", "UseAnimations=0", "Fade=0", "FadeInTime=250", "FadeOutTime=250",
        "Position=0", "Style=0", "Spreading=1", "DefaultColour=13172735",
        "DefaultTextColour=55", "HotKey=635", "PopUpOnlyOnHotKey=0",
        "Monitor=0", "QuietInFullscreen=1", "HoldOnHover=1", "ShowCover=1", "CoverSize=64", "Controls=1",
        "MediaControls=1", "WindowsLook=0",
    };
    EXPECT_EQ(lines, expected);
}

TEST_F(SettingsDialog, CancelRestoresEverySettingFromTheIniFile)
{
    SetIni({ { "DisplayTime", 1 }, { "Position", 3 }, { "Alpha", 100 } });
    ASSERT_TRUE(Load());
    ASSERT_TRUE(DriveSettingsDialog([&](HWND dialog) {
        Press(dialog, IDC_DISPLAY_TIME);
        Press(dialog, IDC_WIN_COLOURS);
        SelectComboItem(dialog, IDC_POSITION, 0);
        Ask(dialog, IDC_ALPHA, TBM_SETPOS, TRUE, 255);
        SendMessageA(dialog, WM_HSCROLL, TB_ENDTRACK, (LPARAM)GetDlgItem(dialog, IDC_ALPHA));
        PickedColour(dialog, IDC_BACK_COLOUR, RGB(1, 2, 3));
        SetHotKeyControl(dialog, 0x017A);
        Press(dialog, IDCANCEL);
    }));
    ASSERT_TRUE(DriveSettingsDialog([&](HWND dialog) {
        EXPECT_TRUE(Checked(dialog, IDC_DISPLAY_TIME));
        EXPECT_FALSE(Checked(dialog, IDC_WIN_COLOURS));
        EXPECT_EQ(Ask(dialog, IDC_POSITION, CB_GETCURSEL), 3);
        EXPECT_EQ(Ask(dialog, IDC_ALPHA, TBM_GETPOS), 100);
        EXPECT_EQ(Ask(dialog, IDC_BACK_COLOUR, CPM_GETCOLOUR), kDefaultBack);
        EXPECT_EQ(Ask(dialog, IDC_HOTKEY, HKM_GETHOTKEY) & 0xFFFF, 0x027B);
    }));
    // Nothing was written, and the hot key stayed.
    EXPECT_EQ(PlayerReadSetting("HotKey"), -1);
    EXPECT_TRUE(HotKeyTaken(MOD_CONTROL, VK_F12));
    EXPECT_FALSE(HotKeyTaken(MOD_SHIFT, VK_F11));
}

TEST_F(SettingsDialog, PreviewAndAboutShowTheValuesBeingEdited)
{
    SetIni("Seconds", 0);
    ASSERT_TRUE(Load());
    const COLORREF picked = RGB(10, 120, 200);
    ASSERT_TRUE(DriveSettingsDialog([&](HWND dialog) {
        // Picked in the system's colour chooser.
        ClickControl(GetDlgItem(dialog, IDC_BACK_COLOUR));
        HWND chooser = WaitForPlayerDialog(NULL);
        ASSERT_NE(chooser, (HWND)NULL) << "no colour chooser";
        SetDlgItemInt(chooser, 706, 10, FALSE);   // its red, green and blue fields
        SetDlgItemInt(chooser, 707, 120, FALSE);
        SetDlgItemInt(chooser, 708, 200, FALSE);
        PostMessageA(chooser, WM_COMMAND, IDOK, 0);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(chooser); }));

        Press(dialog, IDC_PREVIEW);
        HWND preview = WaitForPopupWithInfo(kPreviewText);
        ASSERT_NE(preview, (HWND)NULL);
        EXPECT_EQ(WindowText(ReadPopupParts(preview).title), kDialogCaption);
        EXPECT_TRUE(PopupShowsBackground(preview, picked));
        PostMessageA(preview, UM_POPUP_CLOSE, 0, 0);
        ASSERT_TRUE(WaitUntil([&] { return VisiblePopups().empty(); }));

        Press(dialog, IDC_WIN_COLOURS);
        Press(dialog, IDC_PREVIEW);
        preview = WaitForPopupWithInfo(kPreviewText);
        ASSERT_NE(preview, (HWND)NULL);
        EXPECT_TRUE(PopupShowsBackground(preview, GetSysColor(COLOR_BTNFACE)));
        PostMessageA(preview, UM_POPUP_CLOSE, 0, 0);
        ASSERT_TRUE(WaitUntil([&] { return VisiblePopups().empty(); }));

        // Equal colours make the preview invalid; About has colours of its own.
        Press(dialog, IDC_WIN_COLOURS);
        PickedColour(dialog, IDC_TEXT_COLOUR, picked);
        Press(dialog, IDC_PREVIEW);
        Press(dialog, IDC_ABOUT);
        HWND about = WaitForPopupWithInfo(" Written by:\n   The Tunebell team\n"
                                          " Popup module by:\n   The Tunebell popup crew");
        ASSERT_NE(about, (HWND)NULL);
        EXPECT_TRUE(PopupShowsBackground(about, picked));
        EXPECT_EQ(VisiblePopups().size(), 1u);
    }));
}

// The look that follows Windows greys what the design's looks choose, and
// Preview shows it at once, in Windows' colours rather than those edited.
TEST_F(SettingsDialog, TheWindowsLookGreysTheStyleAndColoursAndPreviewShowsIt)
{
    ThemeRegistry registry;
    registry.SetModes(0, kRemoved);
    SetIni("Seconds", 0);
    ASSERT_TRUE(Load());
    const int designControls[] = { IDC_STYLE, IDC_STYLE_LABEL, IDC_BACK_COLOUR, IDC_TEXT_COLOUR, IDC_WIN_COLOURS };
    ASSERT_TRUE(DriveSettingsDialog([&](HWND dialog) {
        EXPECT_FALSE(Checked(dialog, IDC_WINDOWS_LOOK));
        EXPECT_EQ(Text(dialog, IDC_WINDOWS_LOOK), "Look like Windows (light or dark as Windows is set)");
        PickedColour(dialog, IDC_TEXT_COLOUR, kDefaultBack);   // equal colours: no preview in the design's look
        Press(dialog, IDC_WINDOWS_LOOK);
        for (int id : designControls)
            EXPECT_FALSE(Enabled(dialog, id)) << id;
        Press(dialog, IDC_PREVIEW);
        HWND preview = WaitForPopupWithInfo(kPreviewText);
        ASSERT_NE(preview, (HWND)NULL);
        EXPECT_TRUE(PopupShowsBackground(preview, RGB(43, 43, 43)));
        PostMessageA(preview, UM_POPUP_CLOSE, 0, 0);
        ASSERT_TRUE(WaitUntil([&] { return VisiblePopups().empty(); }));

        Press(dialog, IDC_WINDOWS_LOOK);
        for (int id : designControls)
            EXPECT_TRUE(Enabled(dialog, id)) << id;
        Press(dialog, IDC_WINDOWS_LOOK);
        Press(dialog, IDOK);
    }));
    EXPECT_EQ(PlayerReadSetting("WindowsLook"), 1);
}

TEST_F(SettingsDialog, DoubleClickOnANotifyingBoxKeepsBoxAndFieldTogether)
{
    ASSERT_TRUE(Load());
    bool checked = false;
    ASSERT_TRUE(DriveSettingsDialog([&](HWND dialog) {
        ClickControl(GetDlgItem(dialog, IDC_DISPLAY_TIME), true);
        WaitUntil([&] { return Checked(dialog, IDC_DISPLAY_TIME); });
        DWORD_PTR ignored;
        SendMessageTimeoutA(dialog, WM_NULL, 0, 0, SMTO_NORMAL, 3000, &ignored);
        checked = Checked(dialog, IDC_DISPLAY_TIME);
        Press(dialog, IDOK);
    }));
    EXPECT_EQ(PlayerReadSetting("DisplayTime"), checked ? 1 : 0);
}

TEST_F(SettingsDialog, OpensAgainAfterThePlugInWasUnloadedAndLoaded)
{
    ASSERT_TRUE(Load());
    ASSERT_TRUE(DriveSettingsDialog([](HWND) {}));
    QuitAndUnload();
    // The swatch class went with the code it points into.
    WNDCLASSA wc;
    EXPECT_FALSE(GetClassInfoA(GetModuleHandleA(NULL), "ColourPicker", &wc));
    ASSERT_TRUE(Load());
    ASSERT_TRUE(DriveSettingsDialog([](HWND dialog) {
        EXPECT_EQ(Ask(dialog, IDC_BACK_COLOUR, CPM_GETCOLOUR), kDefaultBack);
    }));
}

// On a Windows with media controls (the recording double, registered for
// this test alone) the box is open, takes effect at once, and Cancel puts
// back what was.
struct SettingsDialogWithMediaControls : PlayerTest {
    void SetUp() override { PlayerTest::SetUp(); ASSERT_TRUE(RegisterMediaDouble()); }
    void TearDown() override { PlayerTest::TearDown(); UnregisterMediaDouble(); }
};

TEST_F(SettingsDialogWithMediaControls, TheBoxTakesThePlayerOutAndBackAtOnceAndCancelPutsItBack)
{
    auto expectCalls = [](const char *when, const char *const calls[2]) {
        for (int i = 0; i < 2; i++)
            EXPECT_TRUE(MediaDoubleWaitFor(calls[i], 5000)) << when << ": " << calls[i] << "\n" << MediaDoubleCalls();
    };
    const char *const out[2] = { "remove_ButtonPressed", "put_IsEnabled 0" }, *const in[2] = { "add_ButtonPressed", "Update" };
    PlayerSetTrack(kSong);
    PlayerPatchBeforeInit(PatchPluginForMediaDouble);
    ASSERT_TRUE(LoadPatched());
    expectCalls("at init", in);
    ASSERT_TRUE(DriveSettingsDialog([&](HWND dialog) {
        EXPECT_TRUE(WaitUntil([&] { return Enabled(dialog, IDC_MEDIA_CONTROLS); })) << "greyed";
        EXPECT_TRUE(Checked(dialog, IDC_MEDIA_CONTROLS));
        // Off, on again with the current track, and off before Cancel.
        for (const char *const *calls : { out, in, out }) {
            MediaDoubleForget();
            Press(dialog, IDC_MEDIA_CONTROLS);
            expectCalls("a click", calls);
        }
        MediaDoubleForget();
        Press(dialog, IDCANCEL);
    }));
    expectCalls("after Cancel", in);
    EXPECT_EQ(PlayerReadSetting("MediaControls"), -1) << "written without OK";
}
