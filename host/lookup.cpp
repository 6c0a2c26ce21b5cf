// Looking at the windows and threads the plug-in made, from outside it.
#include "host/player.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <tlhelp32.h>

static const char kPopupClass[] = "PopUpWnd";
// A plug-in thread that does not answer WM_GETTEXT within this is stuck.
static const UINT kTextTimeoutMs = 2000;

struct WindowList {
    HWND *windows;
    int max;
    int count;
};

static void AddWindow(WindowList *list, HWND window)
{
    if (list->count < list->max)
        list->windows[list->count] = window;
    list->count++;
}

static BOOL CALLBACK CollectPopup(HWND window, LPARAM param)
{
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId != GetCurrentProcessId())
        return TRUE;
    char className[64];
    if (GetClassNameA(window, className, sizeof className) &&
        strcmp(className, kPopupClass) == 0)
        AddWindow((WindowList *)param, window);
    return TRUE;
}

int PlayerFindPopups(HWND *out, int max)
{
    WindowList list = { out, max, 0 };
    EnumWindows(CollectPopup, (LPARAM)&list);
    return list.count;
}

static BOOL CALLBACK CollectChild(HWND window, LPARAM param)
{
    AddWindow((WindowList *)param, window);
    return TRUE;
}

int PlayerChildWindows(HWND parent, HWND *out, int max)
{
    WindowList list = { out, max, 0 };
    EnumChildWindows(parent, CollectChild, (LPARAM)&list);
    return list.count;
}

int PlayerWindowText(HWND window, char *out, int size)
{
    if (size <= 0)
        return 0;
    out[0] = '\0';
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, (WPARAM)size, (LPARAM)out,
                             SMTO_NORMAL, kTextTimeoutMs, &copied))
        return 0;
    out[size - 1] = '\0';
    return (int)strlen(out);
}

static bool WindowTextIs(HWND window, const char *text)
{
    size_t wanted = strlen(text);
    DWORD_PTR length = 0;
    // The length asked for may be more than the text (it can be counted in
    // the window's own character set), never less.
    if (!SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL,
                             kTextTimeoutMs, &length) ||
        length < wanted)
        return false;
    char *buffer = (char *)malloc(length + 2);
    if (!buffer)
        return false;
    PlayerWindowText(window, buffer, (int)length + 2);
    bool same = strcmp(buffer, text) == 0;
    free(buffer);
    return same;
}

struct TextSearch {
    const char *text;
    bool found;
};

static BOOL CALLBACK MatchChildText(HWND window, LPARAM param)
{
    TextSearch *search = (TextSearch *)param;
    if (WindowTextIs(window, search->text)) {
        search->found = true;
        return FALSE;
    }
    return TRUE;
}

bool PlayerHasChildText(HWND parent, const char *text)
{
    TextSearch search = { text, false };
    EnumChildWindows(parent, MatchChildText, (LPARAM)&search);
    return search.found;
}

std::string TitleLine(int position, const char *title)
{
    char line[1024];
    snprintf(line, sizeof line, " %02d. %s ", position + 1, title ? title : "Unknown");
    return line;
}

std::string InfoLine(int length, int kHz, int kbit, int channels)
{
    if (length < 0)
        length = 0;
    char line[256];
    snprintf(line, sizeof line, " %02d:%02d [%d KHz - %d Kbit - %s] ", length / 60,
             length % 60, kHz, kbit, channels == 2 ? "Stereo" : "Mono");
    return line;
}

struct DialogSearch {
    const std::function<bool(const char *caption)> *wanted;
    HWND found;
};

static BOOL CALLBACK MatchDialog(HWND window, LPARAM param)
{
    DialogSearch *search = (DialogSearch *)param;
    char className[32], caption[128];
    GetClassNameA(window, className, sizeof className);
    GetWindowTextA(window, caption, sizeof caption);
    if (strcmp(className, "#32770") == 0 && IsWindowVisible(window) && (*search->wanted)(caption)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND PlayerFindDialog(const std::function<bool(const char *caption)> &wanted)
{
    DialogSearch search = { &wanted, NULL };
    EnumThreadWindows(PlayerThreadId(), MatchDialog, (LPARAM)&search);
    return search.found;
}

RECT WindowRectOf(HWND window)
{
    RECT r = { 0, 0, 0, 0 };
    GetWindowRect(window, &r);
    return r;
}

int LayeredAlpha(HWND popup)
{
    if (!(GetWindowLongA(popup, GWL_EXSTYLE) & WS_EX_LAYERED))
        return -1;
    BYTE alpha = 0;
    DWORD flags = 0;
    if (!GetLayeredWindowAttributes(popup, NULL, &alpha, &flags) || !(flags & LWA_ALPHA))
        return -1;
    return alpha;
}

COLORREF ScreenColour(int x, int y)
{
    HDC screen = GetDC(NULL);
    COLORREF colour = GetPixel(screen, x, y);
    ReleaseDC(NULL, screen);
    return colour;
}

int PlayerThreadCount()
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return -1;
    DWORD processId = GetCurrentProcessId();
    int count = 0;
    THREADENTRY32 entry;
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more;
         more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID == processId)
            count++;
        entry.dwSize = sizeof entry;
    }
    CloseHandle(snapshot);
    return count;
}
