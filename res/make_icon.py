#!/usr/bin/env python3
"""Draws the plug-in's icon (a bell on a round badge) at 16, 20, 24 and 32 pixels and
writes it as res/tunebell.ico. Run it again after changing the drawing."""
import os
import struct

BADGE = (0x2E, 0x7D, 0xB8)      # blue badge (RGB)
RIM = (0x1B, 0x4F, 0x78)
BELL = (0xFF, 0xD2, 0x4A)       # golden bell
BELL_EDGE = (0x9A, 0x6A, 0x00)


def inside_bell(x, y):
    """x, y in badge units: -1..1, y downwards."""
    if -0.62 <= y <= 0.38:
        # The bell widens from the crown to the lip.
        t = (y + 0.62) / 1.0
        half = 0.22 + 0.38 * (t ** 1.6)
        if y < -0.40:
            # Round crown.
            return x * x + ((y + 0.40) / 0.9) ** 2 <= 0.22 ** 2 * 1.0 + 0.02
        return abs(x) <= half
    if 0.38 < y <= 0.50:
        return abs(x) <= 0.66       # the lip
    if 0.50 < y <= 0.72:
        return x * x + (y - 0.56) ** 2 <= 0.15 ** 2   # the clapper
    if -0.78 <= y < -0.62:
        return abs(x) <= 0.07       # the loop on top
    return False


def pixel(size, px, py):
    """Colour (r, g, b, a) of one pixel, 4x4 supersampled."""
    acc = [0.0, 0.0, 0.0, 0.0]
    n = 4
    for sy in range(n):
        for sx in range(n):
            x = ((px + (sx + 0.5) / n) / size) * 2 - 1
            y = ((py + (sy + 0.5) / n) / size) * 2 - 1
            r2 = x * x + y * y
            if r2 > 1.0:
                continue
            if inside_bell(x * 1.15, y * 1.15 - 0.02):
                edge = not (inside_bell(x * 1.15 + 0.08, y * 1.15 - 0.02)
                            and inside_bell(x * 1.15 - 0.08, y * 1.15 - 0.02))
                c = BELL_EDGE if edge and size >= 32 else BELL
            elif r2 > 0.86:
                c = RIM
            else:
                c = BADGE
            acc[0] += c[0]; acc[1] += c[1]; acc[2] += c[2]; acc[3] += 255
    k = n * n
    a = acc[3] / k
    if a == 0:
        return (0, 0, 0, 0)
    return (int(acc[0] / (acc[3] / 255)), int(acc[1] / (acc[3] / 255)),
            int(acc[2] / (acc[3] / 255)), int(a))


def icon_image(size):
    """One icon image: BITMAPINFOHEADER, 32-bit BGRA bottom-up, AND mask."""
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    rows = []
    mask_rows = []
    mask_stride = ((size + 31) // 32) * 4
    for py in reversed(range(size)):
        row = b''
        bits = 0
        mask = bytearray(mask_stride)
        for px in range(size):
            r, g, b, a = pixel(size, px, py)
            row += struct.pack('BBBB', min(b, 255), min(g, 255), min(r, 255), a)
            if a == 0:
                mask[px // 8] |= 0x80 >> (px % 8)
        rows.append(row)
        mask_rows.append(bytes(mask))
    return header + b''.join(rows) + b''.join(mask_rows)


def main():
    # The small icon at 100, 125, 150 and 200 % display scaling, and the
    # large one.
    sizes = [16, 20, 24, 32]
    images = [icon_image(s) for s in sizes]
    out = struct.pack('<HHH', 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for s, img in zip(sizes, images):
        out += struct.pack('<BBBBHHII', s, s, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    out += b''.join(images)
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), 'tunebell.ico')
    with open(path, 'wb') as f:
        f.write(out)


if __name__ == '__main__':
    main()
