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

// What a read found: the picture; that the file holds none; or nothing at
// all, the file being held by another program (a tagger writing it), shut
// to us, or cut short while it was read, so that a later read may differ.
enum ReadOutcome { READ_FOUND, READ_NONE, READ_FAILED };

// The picture of the file's tag: its front cover, else its first picture.
// Nothing is held unless it was found. `stop` ends a long read early.
ReadOutcome ReadTagPicture(const WCHAR *path, PictureBytes *picture, const volatile LONG *stop);
// The whole file, when it is a file no larger than a picture may be.
ReadOutcome ReadPictureFile(const WCHAR *path, PictureBytes *picture, const volatile LONG *stop);
void FreePictureBytes(PictureBytes *picture);

#endif
