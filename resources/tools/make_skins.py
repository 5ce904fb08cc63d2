#!/usr/bin/env python3
"""Makes the program's skin bitmaps.

    make_skins.py DEFAULT_SKIN.bmp btnsource.bmp [MAINICON.bmp]

DEFAULT_SKIN.bmp is the skin built into the program: 62 x 100 pixels, 8 bits per pixel with a
palette, four strips of 25 rows (normal, hover, pressed, disabled) each holding a light-grey rounded
button with a vertical shading, on silver (192, 192, 192), the colour the button repaints in its
parent's colour. btnsource.bmp is the skin that ships beside the program: 60 x 88 pixels at 24 bits
per pixel, four strips of 22 rows of a blue rounded button whose corners are the window colour.
MAINICON.bmp is the program's icon: a strip of film on a blue disc, 32 x 32 at 24 bits per pixel.
"""
import struct
import sys

SILVER = (192, 192, 192)


def inside_rounded(x, y, w, h, r):
    """True when pixel (x, y) lies in the rounded rectangle that fills a w x h box."""
    for cx, cy in ((r - 0.5, r - 0.5), (w - r - 0.5, r - 0.5), (r - 0.5, h - r - 0.5), (w - r - 0.5, h - r - 0.5)):
        in_corner_x = (x < r and cx == r - 0.5) or (x >= w - r and cx == w - r - 0.5)
        in_corner_y = (y < r and cy == r - 0.5) or (y >= h - r and cy == h - r - 0.5)
        if in_corner_x and in_corner_y:
            return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return True


def strip(w, h, r, outline, top, bottom, outside, avoid):
    rows = []
    for y in range(h):
        t = y / max(h - 1, 1)
        fill = tuple(round(a + (b - a) * t) for a, b in zip(top, bottom))
        if fill == avoid:
            fill = tuple(c + 1 for c in fill)
        row = []
        for x in range(w):
            if not inside_rounded(x, y, w, h, r):
                row.append(outside)
                continue
            edge = any(not (0 <= nx < w and 0 <= ny < h) or not inside_rounded(nx, ny, w, h, r)
                       for nx, ny in ((x - 1, y), (x + 1, y), (x, y - 1), (x, y + 1)))
            row.append(outline if edge else fill)
        rows.append(row)
    return rows


def bmp(rows, bits):
    h, w = len(rows), len(rows[0])
    if bits == 8:
        palette = sorted({c for row in rows for c in row})
        assert len(palette) <= 256
        index = {c: i for i, c in enumerate(palette)}
        stride = (w + 3) // 4 * 4
        pixels = b"".join(bytes(index[c] for c in row) + b"\0" * (stride - w) for row in reversed(rows))
        pal = b"".join(bytes((c[2], c[1], c[0], 0)) for c in palette)
        colors = len(palette)
    else:
        stride = (w * 3 + 3) // 4 * 4
        pixels = b"".join(b"".join(bytes((c[2], c[1], c[0])) for c in row) + b"\0" * (stride - w * 3)
                          for row in reversed(rows))
        pal = b""
        colors = 0
    offset = 14 + 40 + len(pal)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, bits, 0, len(pixels), 3780, 3780, colors, colors)
    return header + info + pal + pixels


def default_skin():
    w, h = 62, 25
    looks = [
        ((112, 112, 112), (252, 252, 252), (212, 212, 212)),  # normal
        ((24, 24, 24), (255, 255, 255), (222, 222, 222)),  # hover: dark outline
        ((24, 24, 24), (200, 200, 200), (164, 164, 164)),  # pressed: darker
        ((168, 168, 168), (242, 242, 242), (230, 230, 230)),  # disabled: paler
    ]
    rows = []
    for outline, top, bottom in looks:
        rows += strip(w, h, 4, outline, top, bottom, SILVER, SILVER)
    return bmp(rows, 8)


def shipped_skin():
    w, h = 60, 22
    window = (239, 239, 239)
    looks = [
        ((38, 72, 122), (132, 176, 226), (62, 110, 178)),  # normal
        ((20, 40, 80), (164, 204, 246), (86, 136, 204)),  # hover
        ((20, 40, 80), (56, 96, 160), (98, 142, 204)),  # pressed: shading turned over
        ((150, 160, 172), (214, 220, 228), (190, 198, 208)),  # disabled
    ]
    rows = []
    for outline, top, bottom in looks:
        rows += strip(w, h, 3, outline, top, bottom, window, window)
    return bmp(rows, 24)


def icon():
    size = 32
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            dx, dy = x - 15.5, y - 15.5
            d = (dx * dx + dy * dy) ** 0.5
            if d > 15.5:
                row.append((0, 0, 255))  # the blue of the about window's panel around the disc
            elif d < 3:
                row.append((0, 0, 128))
            elif 10 <= y <= 21:
                holes = (y in (11, 20)) and (x % 4 == 1)
                row.append((250, 250, 250) if holes else (24, 24, 24))
            else:
                shade = int(150 + 90 * (1 - d / 15.5))
                row.append((shade // 3, shade // 2, shade))
        rows.append(row)
    return bmp(rows, 24)


if __name__ == "__main__":
    if len(sys.argv) == 4:
        with open(sys.argv[3], "wb") as f:
            f.write(icon())
    if len(sys.argv) not in (3, 4):
        sys.exit(__doc__)
    with open(sys.argv[1], "wb") as f:
        f.write(default_skin())
    with open(sys.argv[2], "wb") as f:
        f.write(shipped_skin())
