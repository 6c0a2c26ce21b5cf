// Pictures made at run time for the cover tests, the demo and the benchmark:
// encoded with the Windows Imaging Component, as a cover in a music file or
// beside it would be.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

enum PictureFormat { PICTURE_JPEG, PICTURE_PNG, PICTURE_BMP, PICTURE_GIF };

// A width x height picture of one colour; PNG keeps `alpha` (255 opaque),
// the others are opaque. `detail` draws a fine pattern over the colour, as
// a photograph has, so that a JPEG takes as long to decode as a real one.
// A GIF is always 1 x 1. Empty when it could not be made.
std::vector<unsigned char> MakePicture(PictureFormat format, int width, int height, COLORREF colour,
                                       BYTE alpha = 255, bool detail = false);

// A size x size picture that looks the part of an album cover: a diagonal
// blend from one colour to another with a record's disc in the middle.
std::vector<unsigned char> MakeArtwork(PictureFormat format, int size, COLORREF from, COLORREF to);

// Writes the bytes as a file (replacing one); true when all were written.
bool WriteBytesToFile(const std::string &path, const std::vector<unsigned char> &bytes);

// Writes the bytes over an existing file of the same length and gives it
// back its time of last writing, as taggers that keep file times do; true
// when all of that was done.
bool RewriteKeepingTime(const std::string &path, const std::vector<unsigned char> &bytes);
