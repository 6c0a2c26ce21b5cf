#include "cover/tag_file.h"
#include "cover/flac.h"
#include "cover/id3v2.h"
#include "cover/mp4.h"
#include "cover/ogg.h"

// Bounds on the walks over a file's structure, far beyond what a real file
// has, so that a hostile one cannot keep us reading headers for long.
#define MOST_FLAC_BLOCKS 1024
#define MOST_OGG_PAGES   16384
#define MOST_MP4_BOXES   1024
#define MOST_ID3_TAGS    16
// A long read goes in pieces, to see a stop between them.
#define READ_PIECE ((DWORD)1 << 20)

struct SourceFile {
    HANDLE handle;
    ULONGLONG size;
    const volatile LONG *stop;
    bool failed;   // a read, or the open, failed: what was read says nothing
};

// Opens a file on a disk for reading, sharing it with the player, which may
// be writing its tags; false when it is not to be read. A directory, a device
// or a pipe is not read; a file another program holds cannot be, and that is
// a failure. CloseSourceFile closes whatever this opened, either way.
static bool OpenSourceFile(const WCHAR *path, SourceFile *file, const volatile LONG *stop)
{
    file->stop = stop;
    file->size = 0;
    file->handle = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    bool opened = file->handle != INVALID_HANDLE_VALUE;
    bool disk = opened && GetFileType(file->handle) == FILE_TYPE_DISK;
    LARGE_INTEGER size;
    bool sized = disk && GetFileSizeEx(file->handle, &size);
    if (sized)
        file->size = (ULONGLONG)size.QuadPart;
    file->failed = !opened || (disk && !sized);
    return sized;
}

static void CloseSourceFile(SourceFile *file)
{
    if (file->handle != INVALID_HANDLE_VALUE)
        CloseHandle(file->handle);
    file->handle = INVALID_HANDLE_VALUE;
}

// Reads exactly `length` bytes at `offset`; false when the file has fewer.
static bool ReadAt(SourceFile *file, ULONGLONG offset, BYTE *into, size_t length)
{
    if (offset > file->size || length > file->size - offset)
        return false;
    LARGE_INTEGER at;
    at.QuadPart = (LONGLONG)offset;
    if (!SetFilePointerEx(file->handle, at, NULL, FILE_BEGIN))
        return false;
    while (length > 0) {
        if (*file->stop)
            return false;
        DWORD piece = length < READ_PIECE ? (DWORD)length : READ_PIECE, read = 0;
        // The file was long enough as it was opened: another program locked
        // it, or cut it short, since.
        if (!ReadFile(file->handle, into, piece, &read, NULL) || read == 0) {
            file->failed = true;
            return false;
        }
        into += read;
        length -= read;
    }
    return true;
}

// A heap block holding `length` bytes of the file at `offset`.
static BYTE *ReadBlock(SourceFile *file, ULONGLONG offset, size_t length)
{
    BYTE *block = (BYTE *)HeapAlloc(GetProcessHeap(), 0, length ? length : 1);
    file->failed |= block == NULL;
    if (block && !ReadAt(file, offset, block, length)) {
        HeapFree(GetProcessHeap(), 0, block);
        block = NULL;
    }
    return block;
}

typedef bool (*Finder)(BYTE *bytes, size_t size, PictureSpan *picture);

static bool FindId3(BYTE *b, size_t n, PictureSpan *p) { return FindId3Picture(b, n, p); }
static bool FindFlac(BYTE *b, size_t n, PictureSpan *p) { return FindFlacPicture(b, n, p); }
static bool FindMp4(BYTE *b, size_t n, PictureSpan *p) { return FindMp4Picture(b, n, p); }
static bool FindOgg(BYTE *b, size_t n, PictureSpan *p) { return FindOggPicture(b, n, p); }

// Reads the tag's bytes and finds its picture in them.
static bool FindInTag(SourceFile *file, ULONGLONG offset, ULONGLONG length, Finder find, PictureBytes *picture)
{
    if (length == 0 || length > MAX_TAG_BYTES || offset > file->size || length > file->size - offset)
        return false;
    BYTE *block = ReadBlock(file, offset, (size_t)length);
    PictureSpan span;
    if (!block || !find(block, (size_t)length, &span)) {
        if (block)
            HeapFree(GetProcessHeap(), 0, block);
        return false;
    }
    picture->block = block;
    picture->size = (size_t)length;
    picture->offset = span.offset;
    picture->length = span.length;
    return true;
}

// The metadata blocks from "fLaC" at `start` to the end of the last one.
static bool FindInFlac(SourceFile *file, ULONGLONG start, PictureBytes *picture)
{
    ULONGLONG pos = start + FLAC_MARKER_BYTES;
    for (int blocks = 0; blocks < MOST_FLAC_BLOCKS; blocks++) {
        unsigned char header[FLAC_BLOCK_HEADER_BYTES];
        if (!ReadAt(file, pos, header, sizeof(header)))
            return false;
        FlacBlockHeader block = ReadFlacBlockHeader(header);
        pos += FLAC_BLOCK_HEADER_BYTES + block.length;
        if (pos - start > MAX_TAG_BYTES)
            return false;
        if (block.last)
            return FindInTag(file, start, pos - start, FindFlac, picture);
    }
    return false;
}

// The pages from the file's start until the first stream's second packet
// (the comment header) has ended.
static bool FindInOgg(SourceFile *file, PictureBytes *picture)
{
    ULONGLONG pos = 0;
    uint32_t serial = 0;
    int packets = 0;
    for (int pages = 0; pages < MOST_OGG_PAGES; pages++) {
        unsigned char header[OGG_PAGE_HEADER_BYTES], table[255];
        OggPage page;
        if (!ReadAt(file, pos, header, sizeof(header)) || !ReadOggPageHeader(header, sizeof(header), &page)
            || !ReadAt(file, pos + OGG_PAGE_HEADER_BYTES, table, (size_t)page.segments))
            return false;
        ReadOggSegmentTable(table, &page);
        if (pages == 0)
            serial = page.serial;
        if (page.serial == serial)
            packets += page.packetsEnded;
        pos += page.headerLength + page.bodyLength;
        if (pos > MAX_TAG_BYTES)
            return false;
        if (packets >= 2)
            return FindInTag(file, 0, pos, FindOgg, picture);
    }
    return false;
}

// The moov box, wherever it is among the top-level boxes.
static bool FindInMp4(SourceFile *file, PictureBytes *picture)
{
    ULONGLONG pos = 0;
    for (int boxes = 0; boxes < MOST_MP4_BOXES && pos < file->size; boxes++) {
        unsigned char header[MP4_BOX_HEADER_BYTES];
        ULONGLONG room = file->size - pos;
        size_t available = room < sizeof(header) ? (size_t)room : sizeof(header);
        Mp4Box box;
        if (!ReadAt(file, pos, header, available) || !ReadMp4Box(header, available, room, &box))
            return false;
        if (box.type[0] == 'm' && box.type[1] == 'o' && box.type[2] == 'o' && box.type[3] == 'v')
            return FindInTag(file, pos, box.size, FindMp4, picture);
        pos += box.size;
    }
    return false;
}

// ID3v2 tags one after another from the file's start, at most
// MAX_TAG_BYTES of them together: a tagger may put its own before one it
// did not read. *end is where the last one ends.
static bool FindInId3(SourceFile *file, ULONGLONG *end, PictureBytes *picture)
{
    ULONGLONG pos = 0;
    for (int tags = 0; tags < MOST_ID3_TAGS; tags++) {
        unsigned char header[ID3_HEADER_BYTES];
        size_t length = ReadAt(file, pos, header, sizeof(header)) ? Id3TagLength(header, sizeof(header)) : 0;
        if (!length)
            break;
        // Past MAX_TAG_BYTES, only where the tags end is still of use.
        bool read = length <= MAX_TAG_BYTES - pos;
        if (read && FindInTag(file, pos, length, FindId3, picture))
            return true;
        pos += length;
        if (!read)
            break;
    }
    *end = pos;
    return false;
}

// An ID3v2.4 tag appended at the file's end, found by its footer, before an
// ID3v1 tag when there is one.
static bool FindAppendedId3(SourceFile *file, PictureBytes *picture)
{
    ULONGLONG end = file->size;
    unsigned char v1[3];
    if (end >= ID3V1_BYTES && ReadAt(file, end - ID3V1_BYTES, v1, sizeof(v1)) && v1[0] == 'T' && v1[1] == 'A'
        && v1[2] == 'G')
        end -= ID3V1_BYTES;
    unsigned char footer[ID3_HEADER_BYTES];
    if (end < sizeof(footer) || !ReadAt(file, end - sizeof(footer), footer, sizeof(footer)))
        return false;
    size_t length = Id3FooterTagLength(footer, sizeof(footer));
    return length && length <= end && FindInTag(file, end - length, length, FindId3, picture);
}

// The picture of the tag the file's first bytes show, wherever that tag
// keeps it.
static bool FindTagPicture(SourceFile *file, PictureBytes *picture)
{
    unsigned char head[MP4_BOX_HEADER_BYTES];
    size_t headSize = file->size < sizeof(head) ? (size_t)file->size : sizeof(head);
    if (!ReadAt(file, 0, head, headSize))
        return false;
    if (Id3TagLength(head, headSize)) {
        // A FLAC stream may follow the tags.
        ULONGLONG id3End = 0;
        unsigned char marker[FLAC_MARKER_BYTES];
        return FindInId3(file, &id3End, picture)
            || (ReadAt(file, id3End, marker, sizeof(marker)) && IsFlacMarker(marker, sizeof(marker))
                && FindInFlac(file, id3End, picture))
            || FindAppendedId3(file, picture);
    }
    if (IsFlacMarker(head, headSize))
        return FindInFlac(file, 0, picture);
    if (headSize >= 4 && head[0] == 'O' && head[1] == 'g' && head[2] == 'g' && head[3] == 'S')
        return FindInOgg(file, picture);
    if (LooksLikeMp4(head, headSize))
        return FindInMp4(file, picture);
    return FindAppendedId3(file, picture);
}

ReadOutcome ReadTagPicture(const WCHAR *path, PictureBytes *picture, const volatile LONG *stop)
{
    picture->block = NULL;
    SourceFile file;
    bool found = OpenSourceFile(path, &file, stop) && FindTagPicture(&file, picture);
    CloseSourceFile(&file);
    return found ? READ_FOUND : file.failed ? READ_FAILED : READ_NONE;
}

ReadOutcome ReadPictureFile(const WCHAR *path, PictureBytes *picture, const volatile LONG *stop)
{
    picture->block = NULL;
    SourceFile file;
    if (OpenSourceFile(path, &file, stop) && file.size > 0 && file.size <= MAX_PICTURE_BYTES)
        picture->block = ReadBlock(&file, 0, (size_t)file.size);
    CloseSourceFile(&file);
    picture->offset = 0;
    picture->size = picture->length = picture->block ? (size_t)file.size : 0;
    return picture->block ? READ_FOUND : file.failed ? READ_FAILED : READ_NONE;
}

void FreePictureBytes(PictureBytes *picture)
{
    if (picture->block)
        HeapFree(GetProcessHeap(), 0, picture->block);
    picture->block = NULL;
}
