// The demo's Unicode part: titles in Japanese, Russian, Greek and Korean, and
// one with accented Latin letters and a symbol outside the BMP, from a
// current player; then one track from an older player, which hands over its
// titles in the ANSI code page only. Every popup must show its title exactly
// as the player holds it (the older player: as its ANSI title reads).
#include "host/demo_support.h"

#include <stdio.h>
#include <string.h>

struct UnicodeTrack {
    const char *name;   // for the screenshot file
    bool older;         // a player that does not know 213
    PlayerTrack track;
};

static const UnicodeTrack kTracks[] = {
    { "japanese", false,
      { 10, NULL, 241, 44, 320, 2, L"\u661f\u91ce\u3072\u304b\u308a - \u591c\u660e\u3051\u306e\u6b4c" } },
    { "russian", false,
      { 11, NULL, 275, 48, 256, 2,
        L"\u0410\u043d\u043d\u0430 \u0411\u0435\u043b\u043e\u0432\u0430 - "
        L"\u0417\u0438\u043c\u043d\u044f\u044f \u0434\u043e\u0440\u043e\u0433\u0430" } },
    { "greek", false,
      { 12, NULL, 198, 44, 192, 2,
        L"\u039d\u03af\u03ba\u03bf\u03c2 \u0391\u03bb\u03b5\u03be\u03af\u03bf\u03c5 - "
        L"\u039a\u03b1\u03bb\u03bf\u03ba\u03b1\u03af\u03c1\u03b9" } },
    { "korean", false,
      { 13, NULL, 223, 44, 256, 2, L"\uae40\ud558\ub298 - \ubd04\ub0a0\uc758 \ub178\ub798" } },
    // U+1D11E, the G clef, as its surrogate pair.
    { "accents-and-symbol", false,
      { 14, NULL, 312, 96, 1411, 2,
        L"Zo\u00eb Lef\u00e8vre & \u00c5ngstr\u00f6m - Caf\u00e9 D\u00e9j\u00e0 Vu \xD834\xDD1E" } },
    { "older-player", true,
      { 15, NULL, 187, 44, 128, 1, L"S\u00f8ren \u00d8deg\u00e5rd - Bl\u00e5b\u00e6r" } },
};

enum { kTrackCount = sizeof kTracks / sizeof kTracks[0] };

static void Utf8(const WCHAR *text, char *out, int size)
{
    if (!WideCharToMultiByte(CP_UTF8, 0, text, -1, out, size, NULL, NULL))
        out[0] = 0;
}

// The title line the popup must show: an older player's title comes through
// the ANSI code page, with what it cannot hold lost on the way.
static void ExpectedTitle(const UnicodeTrack *t, WCHAR *out, int size)
{
    WCHAR title[512];
    lstrcpynW(title, t->track.wideTitle, 512);
    if (t->older) {
        char ansi[1024];
        WideCharToMultiByte(CP_ACP, 0, t->track.wideTitle, -1, ansi, sizeof ansi, NULL, NULL);
        MultiByteToWideChar(CP_ACP, 0, ansi, -1, title, 512);
    }
    wsprintfW(out, L" %02d. %s ", t->track.position + 1, title);
    out[size - 1] = 0;
}

struct WideSearch {
    const WCHAR *titleLine;
    const char *infoLine;
    HWND found;
};

static BOOL CALLBACK MatchWideText(HWND child, LPARAM param)
{
    WideSearch *search = (WideSearch *)param;
    WCHAR text[600];
    DWORD_PTR copied = 0;
    if (SendMessageTimeoutW(child, WM_GETTEXT, 600, (LPARAM)text, SMTO_NORMAL, 2000, &copied) &&
        lstrcmpW(text, search->titleLine) == 0) {
        search->found = child;
        return FALSE;
    }
    return TRUE;
}

static bool WidePopupShown(WideSearch *search)
{
    HWND popups[kMaxPopups];
    int count = PlayerFindPopups(popups, kMaxPopups);
    for (int i = 0; i < count && i < kMaxPopups; i++) {
        if (!IsWindowVisible(popups[i]) || !PlayerHasChildText(popups[i], search->infoLine))
            continue;
        search->found = NULL;
        EnumChildWindows(popups[i], MatchWideText, (LPARAM)search);
        if (search->found) {
            search->found = popups[i];
            return true;
        }
    }
    return false;
}

static HWND ShowUnicodeTrack(const UnicodeTrack *t)
{
    WCHAR titleLine[600];
    ExpectedTitle(t, titleLine, 600);
    std::string infoLine = InfoLine(t->track.length, t->track.sampleRate, t->track.bitRate,
                                    t->track.channels);
    WideSearch search = { titleLine, infoLine.c_str(), NULL };

    PlayerSetOlder(t->older);
    PlayerStartTrack(t->track);
    char shown[1800];
    Utf8(titleLine, shown, sizeof shown);
    if (!WaitUntil([&] { return WidePopupShown(&search); }, kPopupDeadlineMs)) {
        Say("demo: %s -> FAILED: no visible popup showing \"%s\" within %d ms\n", t->name, shown,
            kPopupDeadlineMs);
        return NULL;
    }
    WaitUntilSettled(search.found);
    RECT r;
    GetWindowRect(search.found, &r);
    Say("demo: %s%s -> popup \"%s\" at (%ld,%ld) %ld x %ld\n", t->name,
        t->older ? " (an older player: the title from 212)" : "", shown, r.left, r.top,
        r.right - r.left, r.bottom - r.top);
    return search.found;
}

static bool SavePopups(const char *shotsDir, const char *name, const HWND *popups, int count)
{
    RECT area = AreaAround(popups, count);
    return SaveScreenArea(shotsDir, name, &area);
}

bool RunUnicodeDemo(const char *shotsDir, const char *pluginPath)
{
    // A column at the lower right that stays until the demo closes it.
    bool ok = WriteDemoSettings() && PlayerWriteSetting("Seconds", 0) &&
              PlayerWriteSetting("Position", 2) && PlayerWriteSetting("Spreading", 1);
    if (!ok || !PlayerLoadPlugin(pluginPath)) {
        Say("demo: unicode titles -> FAILED: cannot set up the plug-in\n");
        return false;
    }
    Say("demo: titles beyond the ANSI code page, from a current player and an older one\n");
    HWND popups[kTrackCount];
    for (int i = 0; i < kTrackCount && ok; i++) {
        if (i > 0)
            PlayerPumpFor(kEventGapMs);
        popups[i] = ShowUnicodeTrack(&kTracks[i]);
        ok = popups[i] != NULL;
        if (ok && shotsDir) {
            char name[64];
            snprintf(name, sizeof name, "unicode-%s", kTracks[i].name);
            ok = SavePopups(shotsDir, name, &popups[i], 1);
        }
    }
    if (ok && shotsDir)
        ok = SavePopups(shotsDir, "unicode-titles", popups, kTrackCount);
    PlayerSetOlder(false);
    return ShutDownPlugin(pluginPath) && ok;
}
