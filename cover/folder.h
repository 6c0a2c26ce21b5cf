// Where a track's cover may lie beside it: which paths are looked at at all,
// and the pictures of its folder in the order they are tried.
#ifndef TUNEBELL_COVER_FOLDER_H
#define TUNEBELL_COVER_FOLDER_H

#include <windows.h>

// A path's longest length in UTF-16 units, its NUL included.
#define COVER_PATH_UNITS 32768

// Pure: a local path with its drive ("X:\...") or a network one
// ("\\server\share\..."), either also in its extended form ("\\?\X:\...",
// "\\?\UNC\server\share\..."). Streams' addresses, device paths ("\\.\"),
// volumes named otherwise and relative paths are not looked at.
bool IsLocalOrNetworkPath(const WCHAR *path);

// Pure: how many units of the path are its folder, the last backslash
// included; 0 when it has none.
int FolderLength(const WCHAR *path);

// Pure: whether a file name is AlbumArt_*_Large.jpg, in any case.
bool IsAlbumArtLargeName(const WCHAR *name);

// Called for each picture of the folder that exists as a file, in order,
// until it answers true (the picture was taken).
typedef bool (*FolderPictureProc)(const WCHAR *path, const WIN32_FILE_ATTRIBUTE_DATA *file, void *context);

// The folder's pictures, tried in order: cover, folder, front and album,
// each with .jpg, .jpeg, .png, .bmp and .gif before the next name; then
// AlbumArt_*_Large.jpg; then AlbumArtSmall.jpg. The file system compares
// names in any case. True when one was taken. `stop` ends the search early.
bool SearchFolderPictures(const WCHAR *track, FolderPictureProc take, void *context, const volatile LONG *stop);

#endif
