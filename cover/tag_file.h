// Reading a picture's bytes from a file: the picture in a music file's tag,
// or a whole picture file. Only the tag's own bytes are read (the ID3v2 tag,
// the FLAC metadata blocks, the Ogg pages up to the comment header's end, the
// MP4 moov box; never the audio), at most MAX_TAG_BYTES of a tag and
// MAX_PICTURE_BYTES of a picture.
#ifndef TUNEBELL_COVER_TAG_FILE_H
#define TUNEBELL_COVER_TAG_FILE_H

#include <windows.h>

// A picture's bytes inside a block of the process heap that the holder frees
// with FreePictureBytes.
struct PictureBytes {
    BYTE *block;
    size_t size;             // of the block
    size_t offset, length;   // the picture in it
};

// The picture of the file's tag: its front cover, else its first picture.
// False (and nothing held) when the file has none that can be read. `stop`
// ends a long read early.
bool ReadTagPicture(const WCHAR *path, PictureBytes *picture, const volatile LONG *stop);
// The whole file, when it is a file no larger than a picture may be.
bool ReadPictureFile(const WCHAR *path, PictureBytes *picture, const volatile LONG *stop);
void FreePictureBytes(PictureBytes *picture);

#endif
