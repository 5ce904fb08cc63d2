#!/usr/bin/env python3
"""Makes the marks the owner-drawn menus draw beside checked items.

    make_menu_marks.py LUMRADIOITEM.bmp OBM_CHECK.bmp

LUMRADIOITEM.bmp is the radio mark: 16 x 16 pixels, 4 bits per pixel with the 16 standard colours,
teal (0, 128, 128) around a black dot (rows 5 and 10 black in columns 6 to 9, rows 6 to 9 in
columns 5 to 10). It is drawn with its bottom-left colour transparent.
OBM_CHECK.bmp is the check mark: 13 x 13 pixels, 1 bit per pixel, a black 7 x 7 tick on white;
the black pixels take the text colour when it is drawn.
"""
import struct
import sys

VGA16 = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
         (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
         (255, 0, 255), (0, 255, 255), (255, 255, 255)]
TEAL, BLACK = 6, 0

TICK = ["......#",
        ".....##",
        "#...###",
        "##.###.",
        "#####..",
        ".###...",
        "..#...."]


def bmp(width, height, bpp, palette, rows):
    """A bottom-up BMP with an info header; rows are lists of palette indexes, top row first."""
    row_bytes = ((width * bpp + 31) // 32) * 4
    pixels = b""
    for row in reversed(rows):
        bits = 0
        count = 0
        data = bytearray()
        for index in row:
            bits = (bits << bpp) | index
            count += bpp
            if count == 8:
                data.append(bits)
                bits = count = 0
        if count:
            data.append(bits << (8 - count))
        pixels += bytes(data) + b"\0" * (row_bytes - len(data))
    pal = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    offset = 14 + 40 + len(pal)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bpp, 0, len(pixels), 2835, 2835,
                       len(palette), 0)
    return header + info + pal + pixels


def radio():
    rows = [[TEAL] * 16 for _ in range(16)]
    for y in (5, 10):
        for x in range(6, 10):
            rows[y][x] = BLACK
    for y in range(6, 10):
        for x in range(5, 11):
            rows[y][x] = BLACK
    return bmp(16, 16, 4, VGA16, rows)


def check():
    rows = [[1] * 13 for _ in range(13)]
    for y, line in enumerate(TICK):
        for x, c in enumerate(line):
            if c == "#":
                rows[y + 3][x + 3] = 0
    return bmp(13, 13, 1, [(0, 0, 0), (255, 255, 255)], rows)


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    with open(sys.argv[1], "wb") as f:
        f.write(radio())
    with open(sys.argv[2], "wb") as f:
        f.write(check())


if __name__ == "__main__":
    main()
