#!/usr/bin/env python3
"""Makes the application icon of the desktop: one drawing written as SVG and as PNG in every size.

    make_icon.py OUTPUT_DIR

writes OUTPUT_DIR/org.cinaxo.Cinaxo.svg and OUTPUT_DIR/icons/NxN/org.cinaxo.Cinaxo.png. The drawing is
the one of MAINICON (make_skins.py) on a larger canvas: a blue disc with a strip of film across it.
Only the standard library is needed; the PNGs are sampled 4 x 4 times per pixel.
"""
import os
import struct
import sys
import zlib

NAME = "org.cinaxo.Cinaxo"
SIZES = (16, 22, 24, 32, 48, 64, 128, 256)
CANVAS = 256

DISC_TOP, DISC_BOTTOM = (0x5B, 0x9C, 0xF0), (0x16, 0x3A, 0x8C)
RIM = (0x0E, 0x25, 0x5C)
FILM = (0x1C, 0x1C, 0x1C)
HOLE = (0xF4, 0xF4, 0xF4)
FRAME_TOP, FRAME_BOTTOM = (0xBF, 0xDB, 0xFF), (0x6F, 0xA2, 0xE6)

# Shapes in painting order on a 256 x 256 canvas.
DISC = ("circle", 128, 128, 120)
DISC_FACE = ("circle", 128, 128, 114)
BAND = ("rect", 12, 86, 232, 84, 10)
HOLES = [("rect", x, y, 12, 10, 2) for y in (94, 152) for x in range(22, 234, 24)]
FRAMES = [("rect", x, 110, 64, 36, 4) for x in (24, 96, 168)]


def lerp(a, b, t):
    return tuple(round(p + (q - p) * t) for p, q in zip(a, b))


def inside(shape, x, y):
    if shape[0] == "circle":
        _, cx, cy, r = shape
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    _, left, top, w, h, r = shape
    if not (left <= x <= left + w and top <= y <= top + h):
        return False
    cx = min(max(x, left + r), left + w - r)
    cy = min(max(y, top + r), top + h - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def colour_at(x, y):
    """The colour of the drawing at a canvas point, or None outside it."""
    colour = None
    if inside(DISC, x, y):
        colour = RIM
    if inside(DISC_FACE, x, y):
        colour = lerp(DISC_TOP, DISC_BOTTOM, (y - 14) / 228)
    if inside(BAND, x, y):
        colour = FILM
        if any(inside(h, x, y) for h in HOLES):
            colour = HOLE
        elif any(inside(f, x, y) for f in FRAMES):
            colour = lerp(FRAME_TOP, FRAME_BOTTOM, (y - 110) / 36)
    return colour


def png(size):
    n = 4
    scale = CANVAS / size
    raw = bytearray()
    for py in range(size):
        raw.append(0)
        for px in range(size):
            r = g = b = a = 0
            for sy in range(n):
                for sx in range(n):
                    c = colour_at((px + (sx + 0.5) / n) * scale, (py + (sy + 0.5) / n) * scale)
                    if c:
                        r, g, b, a = r + c[0], g + c[1], b + c[2], a + 1
            raw += bytes((r // a, g // a, b // a, 255 * a // (n * n)) if a else (0, 0, 0, 0))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(bytes(raw), 9))
            + chunk(b"IEND", b""))


def svg():
    hexc = lambda c: "#%02x%02x%02x" % c
    rect = lambda s, fill: ('<rect x="%g" y="%g" width="%g" height="%g" rx="%g" fill="%s"/>'
                            % (s[1], s[2], s[3], s[4], s[5], fill))
    lines = [
        '<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" viewBox="0 0 %d %d">' % ((CANVAS,) * 4),
        '<defs>',
        '<linearGradient id="disc" gradientUnits="userSpaceOnUse" x1="0" y1="14" x2="0" y2="242">'
        '<stop offset="0" stop-color="%s"/><stop offset="1" stop-color="%s"/></linearGradient>'
        % (hexc(DISC_TOP), hexc(DISC_BOTTOM)),
        '<linearGradient id="frame" gradientUnits="userSpaceOnUse" x1="0" y1="110" x2="0" y2="146">'
        '<stop offset="0" stop-color="%s"/><stop offset="1" stop-color="%s"/></linearGradient>'
        % (hexc(FRAME_TOP), hexc(FRAME_BOTTOM)),
        '</defs>',
        '<circle cx="%g" cy="%g" r="%g" fill="%s"/>' % (DISC[1], DISC[2], DISC[3], hexc(RIM)),
        '<circle cx="%g" cy="%g" r="%g" fill="url(#disc)"/>' % DISC_FACE[1:],
        rect(BAND, hexc(FILM)),
    ]
    lines += [rect(h, hexc(HOLE)) for h in HOLES]
    lines += [rect(f, "url(#frame)") for f in FRAMES]
    lines.append('</svg>')
    return "\n".join(lines) + "\n"


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    out = sys.argv[1]
    with open(os.path.join(out, NAME + ".svg"), "w") as f:
        f.write(svg())
    for size in SIZES:
        folder = os.path.join(out, "icons", "%dx%d" % (size, size))
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, NAME + ".png"), "wb") as f:
            f.write(png(size))
