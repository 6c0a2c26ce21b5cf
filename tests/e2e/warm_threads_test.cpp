// Warm popup threads: popups shown by a thread that waited for them look and
// stack exactly as those of a new thread; quit ends the waiting threads too;
// and when the oldest popup goes, the others move and repaint themselves.
#include "host/dialog_driver.h"
#include "base/messages.h"
#include "popup/popup.h"
#include "res/resource.h"
#include "tests/e2e/support.h"

#include <stdio.h>
#include <tlhelp32.h>

#include <algorithm>
#include <set>

namespace {

const int kOpen = 20;

DWORD ThreadOf(HWND window)
{
    return GetWindowThreadProcessId(window, NULL);
}

// The threads that keep a hidden spare window: every warm thread, waiting
// or showing a popup.
std::set<DWORD> WarmThreads()
{
    std::set<DWORD> threads;
    for (HWND w = FindWindowExA(NULL, NULL, SPARE_CLASS, NULL); w; w = FindWindowExA(NULL, w, SPARE_CLASS, NULL)) {
        DWORD process = 0;
        DWORD thread = GetWindowThreadProcessId(w, &process);
        if (process == GetCurrentProcessId())
            threads.insert(thread);
    }
    return threads;
}

// Every thread of this process: a popup whose thread is among those taken
// before its event came from a thread that was waiting for it.
std::set<DWORD> ProcessThreads()
{
    std::set<DWORD> threads;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry;
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        if (entry.th32OwnerProcessID == GetCurrentProcessId())
            threads.insert(entry.th32ThreadID);
    CloseHandle(snapshot);
    return threads;
}

// Warm threads without a popup: those waiting for one. A spare is in the
// pool before its window exists.
int WaitingThreads()
{
    std::set<DWORD> waiting = WarmThreads();
    HWND popups[kMaxPopupsSeen];
    int count = std::min(PlayerFindPopups(popups, kMaxPopupsSeen), (int)kMaxPopupsSeen);
    for (int i = 0; i < count; i++)
        waiting.erase(ThreadOf(popups[i]));
    return (int)waiting.size();
}

bool WaitForWaitingThreads(int atLeast)
{
    return WaitUntil([&] { return WaitingThreads() >= atLeast; });
}

// All popups of this process, topmost first.
std::vector<HWND> AllPopups()
{
    HWND popups[kMaxPopupsSeen];
    int count = std::min(PlayerFindPopups(popups, kMaxPopupsSeen), (int)kMaxPopupsSeen);
    return std::vector<HWND>(popups, popups + count);
}

// What a popup looks like, in one line to compare one popup with another:
// styles, size, each child's place and text.
std::string LookOf(HWND popup)
{
    RECT r = WindowRectOf(popup);
    char line[128];
    snprintf(line, sizeof line, "style %lx/%lx, %ld x %ld;", GetWindowLongA(popup, GWL_STYLE),
             GetWindowLongA(popup, GWL_EXSTYLE), r.right - r.left, r.bottom - r.top);
    std::string look = line;
    HWND children[16];
    int count = std::min(PlayerChildWindows(popup, children, 16), 16);
    for (int i = 0; i < count; i++) {
        RECT c = ChildRect(children[i]);
        snprintf(line, sizeof line, " (%ld,%ld,%ld,%ld) ", c.left, c.top, c.right, c.bottom);
        look += line + WindowText(children[i]);
    }
    return look;
}

}  // namespace

using SpareThreads = PlayerTest;

TEST_F(SpareThreads, PopupsFromSparesLookAndStackLikeThoseOfNewThreads)
{
    SetIni("Seconds", 0);
    PlayerSetTrack({ 0, "Song", 205, 44, 192, 2 });
    ASSERT_TRUE(LoadPatched());
    ASSERT_TRUE(WaitForWaitingThreads(1)) << "no spare after init";

    // The first popup after init comes from the spare.
    std::set<DWORD> before = ProcessThreads();
    HWND first = ShowPopup();
    ASSERT_NE(first, (HWND)NULL);
    EXPECT_EQ(before.count(ThreadOf(first)), 1u) << "the first popup had a new thread";

    // A burst: more popups at once than there are spares, so new threads
    // show some of them.
    before = ProcessThreads();
    for (int i = 0; i < 5; i++)
        PlayerStartTrackPastThrottle();
    ASSERT_TRUE(WaitForVisiblePopups(6));
    std::vector<HWND> popups = VisiblePopups();
    std::vector<HWND> fresh;
    for (HWND popup : popups)
        if (!before.count(ThreadOf(popup)))
            fresh.push_back(popup);
    ASSERT_FALSE(fresh.empty()) << "every popup of the burst came from a spare";

    // After the burst a waiting thread shows the next one.
    ASSERT_TRUE(WaitForWaitingThreads(1));
    before = ProcessThreads();
    HWND after = ShowPopup();
    ASSERT_NE(after, (HWND)NULL);
    EXPECT_EQ(before.count(ThreadOf(after)), 1u) << "the popup after the burst had a new thread";
    popups.push_back(after);

    // Same look as a popup of a new thread; a column in the corner, 2 pixels
    // apart, each place taken once; the youngest on top of all.
    std::string cold = LookOf(fresh[0]);
    int height = WindowRectOf(fresh[0]).bottom - WindowRectOf(fresh[0]).top;
    RECT area = WorkArea();
    std::set<LONG> bottoms;
    for (HWND popup : popups) {
        SCOPED_TRACE(popup == first ? "first" : popup == after ? "after the burst" : "of the burst");
        EXPECT_EQ(LookOf(popup), cold);
        RECT r = WindowRectOf(popup);
        EXPECT_EQ(r.right, area.right - 2);
        LONG slot = (area.bottom - 2 - r.bottom) / (height + 2);
        EXPECT_EQ(r.bottom, area.bottom - 2 - slot * (height + 2));
        bottoms.insert(r.bottom);
    }
    EXPECT_EQ(bottoms.size(), popups.size()) << "two popups share a place";
    EXPECT_EQ(*bottoms.begin(), area.bottom - 2 - 6 * (height + 2));
    EXPECT_EQ(AllPopups().front(), after) << "the popup from the spare is not on top";
    EXPECT_TRUE(FindPopupWithTitle(TitleLine(0, "Song")));
}

TEST_F(SpareThreads, ASettingChangedAfterTheSpareWasMadeShowsInItsPopup)
{
    SetIni("Seconds", 0);
    PlayerSetTrack({ 0, "Song", 205, 44, 192, 2 });
    ASSERT_TRUE(LoadPatched());
    ASSERT_TRUE(WaitForWaitingThreads(1));
    std::set<DWORD> before = ProcessThreads();

    // The time on, the upper left corner, the flat style.
    ASSERT_TRUE(DriveSettingsDialog([&](HWND dialog) {
        Press(dialog, IDC_DISPLAY_TIME);
        SelectComboItem(dialog, IDC_POSITION, 0);
        SelectComboItem(dialog, IDC_STYLE, 1);
        Press(dialog, IDOK);
    }));
    HWND popup = ShowPopup();
    ASSERT_NE(popup, (HWND)NULL);
    EXPECT_EQ(before.count(ThreadOf(popup)), 1u) << "the popup had a new thread";
    EXPECT_NE(ReadPopupParts(popup).time, (HWND)NULL) << "no time line";
    RECT area = WorkArea(), r = WindowRectOf(popup);
    EXPECT_TRUE(RectIs(r, area.left + 2, area.top + 2, kAnyEdge, kAnyEdge));
    // The flat frame is black.
    EXPECT_TRUE(WaitForWindowColour(popup, r.left, (r.top + r.bottom) / 2, RGB(0, 0, 0)));
}

TEST_F(SpareThreads, QuitWithOnlyWaitingThreadsLeavesNothingAndTheModuleCanGo)
{
    SetIni("Seconds", 0);
    PlayerSetTrack({ 0, "Song", 205, 44, 192, 2 });
    ASSERT_TRUE(LoadPatched());
    // Threads whose popups have closed wait beside the spares.
    for (int i = 0; i < 3; i++)
        PlayerStartTrackPastThrottle();
    ASSERT_TRUE(WaitForVisiblePopups(3));
    for (HWND popup : VisiblePopups())
        PostMessageA(popup, WM_CONTEXTMENU, (WPARAM)popup, 0);
    ASSERT_TRUE(WaitForNoPopupWindows());
    ASSERT_TRUE(WaitForWaitingThreads(3));

    DWORD took = QuitAndUnload();
    EXPECT_LT(took, 2000u);
    EXPECT_TRUE(WarmThreads().empty()) << "a warm thread outlived quit";
    EXPECT_TRUE(NoPopupAndBaselineThreads());
    EXPECT_EQ(GetModuleHandleA("gen_tunebell.dll"), (HMODULE)NULL);
    // No code of the unloaded module runs any more: a thread that did would
    // crash the test program.
    PlayerPumpFor(200);
}

TEST_F(SpareThreads, WakeUpsPostedFromOutsideAskForNothing)
{
    SetIni("Seconds", 0);
    ASSERT_TRUE(LoadPatched());
    ASSERT_TRUE(WaitForWaitingThreads(1));
    // Another program posts what wakes a waiting thread, with a "request"
    // that points nowhere, and the end.
    for (DWORD thread : WarmThreads()) {
        PostThreadMessageA(thread, UM_POOL_RUN, 0, 1);
        PostThreadMessageA(thread, UM_POOL_END, 0, 0);
    }
    PlayerPumpFor(200);

    std::set<DWORD> before = ProcessThreads();
    HWND popup = ShowPopup();
    ASSERT_NE(popup, (HWND)NULL);
    EXPECT_EQ(before.count(ThreadOf(popup)), 1u) << "the spare did not wait on";
    EXPECT_LT(QuitAndUnload(), 2000u);
    EXPECT_TRUE(NoPopupAndBaselineThreads());
}

TEST_F(SpareThreads, ClosingTheOldestOfTwentyLeavesEveryOtherInPlacePaintedAndInOrder)
{
    // In the centre popups overlap, so their order on the screen shows too.
    SetIni({ { "Seconds", 0 }, { "Position", 4 }, { "DynamicResize", 0 } });   // the centre
    ASSERT_TRUE(LoadPatched());
    char titles[kOpen][16];
    std::vector<PlayerTrack> tracks;
    for (int i = 0; i < kOpen; i++) {
        snprintf(titles[i], sizeof titles[i], "Track %d", i);
        tracks.push_back({ i, titles[i], 205, 44, 192, 2 });
    }
    std::vector<HWND> popups = ShowPopups(tracks);   // oldest first
    ASSERT_EQ(popups.size(), (size_t)kOpen);
    RECT area = WorkArea(), r = WindowRectOf(popups[0]);
    int w = r.right - r.left, h = r.bottom - r.top;
    int x0 = area.left + (area.right - area.left - w) / 2, y0 = area.top + (area.bottom - area.top - h) / 2;
    int dx = GetSystemMetrics(SM_CXSMICON), dy = GetSystemMetrics(SM_CYSMICON);
    for (int i = 0; i < kOpen; i++)
        EXPECT_TRUE(RectIs(WindowRectOf(popups[i]), x0 + i * dx, y0 + i * dy, kAnyEdge, kAnyEdge)) << "popup " << i;

    PostMessageA(popups[0], WM_CONTEXTMENU, (WPARAM)popups[0], 0);
    popups.erase(popups.begin());
    bool settled = WaitUntil([&] {
        for (size_t i = 0; i < popups.size(); i++) {
            RECT now = WindowRectOf(popups[i]);
            if (now.left != x0 + (int)i * dx || now.top != y0 + (int)i * dy)
                return false;
        }
        return true;
    });
    EXPECT_TRUE(settled) << "not every popup moved into its place";
    ASSERT_TRUE(WaitUntil([] { return PlayerFindPopups(NULL, 0) == kOpen - 1; }));

    // The youngest on top, each older one under the next younger.
    std::vector<HWND> order = AllPopups();
    std::reverse(order.begin(), order.end());
    EXPECT_EQ(order, popups) << "the popups are out of order on the screen";

    // The youngest is painted where it now is: background between the icon
    // and the title, the light frame at its left edge.
    HWND youngest = popups.back();
    r = WindowRectOf(youngest);
    int y = (r.top + r.bottom) / 2;
    EXPECT_TRUE(WaitForScreenColour(r.left + 21, y, RGB(255, 255, 200)))
        << std::hex << "0x" << ScreenColour(r.left + 21, y);
    EXPECT_TRUE(WaitForScreenColour(r.left, y, 0xE0FFFF)) << std::hex << "0x" << ScreenColour(r.left, y);
}
