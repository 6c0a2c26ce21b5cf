#include "cover/folder.h"

static bool IsSlash(WCHAR c)
{
    return c == L'\\' || c == L'/';
}

static bool IsDrivePath(const WCHAR *path)
{
    WCHAR letter = (WCHAR)(path[0] | 0x20);
    return letter >= L'a' && letter <= L'z' && path[1] == L':' && IsSlash(path[2]);
}

// "server\share\...", a path's part after its two leading backslashes.
static bool IsSharePath(const WCHAR *path)
{
    int at = 0;
    while (path[at] && !IsSlash(path[at]))
        at++;
    bool device = at == 1 && (path[0] == L'.' || path[0] == L'?');
    if (at == 0 || device || !IsSlash(path[at]))
        return false;
    return path[at + 1] && !IsSlash(path[at + 1]);
}

bool IsLocalOrNetworkPath(const WCHAR *path)
{
    // The extended forms "\\?\X:\..." and "\\?\UNC\server\share\..." name the
    // same files as the plain ones (and longer paths).
    if (path[0] == L'\\' && path[1] == L'\\' && path[2] == L'?' && path[3] == L'\\') {
        const WCHAR *rest = path + 4;
        if ((rest[0] | 0x20) == L'u' && (rest[1] | 0x20) == L'n' && (rest[2] | 0x20) == L'c' && rest[3] == L'\\')
            return IsSharePath(rest + 4);
        return IsDrivePath(rest);
    }
    if (IsDrivePath(path))
        return true;
    return IsSlash(path[0]) && IsSlash(path[1]) && IsSharePath(path + 2);
}

int FolderLength(const WCHAR *path)
{
    int length = 0;
    for (int i = 0; path[i]; i++) {
        if (IsSlash(path[i]))
            length = i + 1;
    }
    return length;
}

static WCHAR Lower(WCHAR c)
{
    return c >= L'A' && c <= L'Z' ? (WCHAR)(c - L'A' + L'a') : c;
}

static bool StartsWithText(const WCHAR *s, const WCHAR *prefix)
{
    for (; *prefix; s++, prefix++) {
        if (Lower(*s) != *prefix)
            return false;
    }
    return true;
}

bool IsAlbumArtLargeName(const WCHAR *name)
{
    static const WCHAR head[] = L"albumart_";
    static const WCHAR tail[] = L"_large.jpg";
    const int headLength = sizeof(head) / sizeof(WCHAR) - 1;
    const int tailLength = sizeof(tail) / sizeof(WCHAR) - 1;
    int length = lstrlenW(name);
    return length >= headLength + tailLength && StartsWithText(name, head)
        && StartsWithText(name + length - tailLength, tail);
}

// Joins the folder (with its backslash) and a name; false when too long.
static bool JoinPath(WCHAR *path, const WCHAR *track, int folder, const WCHAR *name)
{
    int nameLength = lstrlenW(name);
    if (folder + nameLength >= COVER_PATH_UNITS)
        return false;
    CopyMemory(path, track, folder * sizeof(WCHAR));
    CopyMemory(path + folder, name, (nameLength + 1) * sizeof(WCHAR));
    return true;
}

// Offers one candidate when it is a file.
static bool TryCandidate(const WCHAR *path, FolderPictureProc take, void *context)
{
    WIN32_FILE_ATTRIBUTE_DATA file;
    if (!GetFileAttributesExW(path, GetFileExInfoStandard, &file))
        return false;
    if (file.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        return false;
    return take(path, &file, context);
}

bool SearchFolderPictures(const WCHAR *track, FolderPictureProc take, void *context, const volatile LONG *stop)
{
    static const WCHAR *const names[] = { L"cover", L"folder", L"front", L"album" };
    static const WCHAR *const extensions[] = { L".jpg", L".jpeg", L".png", L".bmp", L".gif" };
    int folder = FolderLength(track);
    if (folder == 0)
        return false;
    WCHAR *path = (WCHAR *)HeapAlloc(GetProcessHeap(), 0, COVER_PATH_UNITS * sizeof(WCHAR));
    if (!path)
        return false;
    bool taken = false;
    WCHAR name[16];
    for (int n = 0; n < 4 && !taken && !*stop; n++) {
        for (int e = 0; e < 5 && !taken && !*stop; e++) {
            lstrcpyW(name, names[n]);
            lstrcatW(name, extensions[e]);
            taken = JoinPath(path, track, folder, name) && TryCandidate(path, take, context);
        }
    }
    if (!taken && !*stop && JoinPath(path, track, folder, L"AlbumArt_*_Large.jpg")) {
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW(path, &found);
        if (search != INVALID_HANDLE_VALUE) {
            // The pattern also matches short 8.3 names: the long name decides.
            do {
                taken = IsAlbumArtLargeName(found.cFileName) && JoinPath(path, track, folder, found.cFileName)
                     && TryCandidate(path, take, context);
            } while (!taken && !*stop && FindNextFileW(search, &found));
            FindClose(search);
        }
    }
    if (!taken && !*stop && JoinPath(path, track, folder, L"AlbumArtSmall.jpg"))
        taken = TryCandidate(path, take, context);
    HeapFree(GetProcessHeap(), 0, path);
    return taken;
}
