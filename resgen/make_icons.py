#!/usr/bin/env python3
"""Generates the executive's icons and cursors as .ico/.cur files.

  make_icons.py <out-dir>

speed0.ico .. speed3.ico  product mark, plain and with a red digit 1..3 in
                          the upper-left corner (icon groups 145..148)
app.ico                   product mark (icon group 149)
scroll.cur                32x32 monochrome four-way marker around a letter
                          mark, hot spot (16, 9) (cursor 154)
Every picture is drawn for 100, 125, 150 and 200 % scaling from the same
geometry: each icon holds the small sizes 16, 20, 24, 32 and the large
sizes 40, 48, 64 as 32-bit images; the cursor holds 32, 40, 48 and 64 with
the hot spot scaled alike. Stdlib only.
"""
import os
import struct
import sys

SCALES = (100, 125, 150, 200)
ICON_SIZES = sorted({16 * s // 100 for s in SCALES} | {32 * s // 100 for s in SCALES})
CURSOR_SIZES = [32 * s // 100 for s in SCALES]

# 3x5 digit glyphs, rows top to bottom, bits left to right.
DIGITS = {
    1: ["010", "110", "010", "010", "111"],
    2: ["111", "001", "111", "100", "111"],
    3: ["111", "001", "111", "001", "111"],
}


def mark(size):
    """RGBA rows (top to bottom) of the product mark: a mouse body with a
    wheel and a dividing line, in green with a dark green outline."""
    px = [[(0, 0, 0, 0)] * size for _ in range(size)]
    cx, cy = (size - 1) / 2.0, (size - 1) / 2.0
    rx, ry = size * 0.34, size * 0.46
    for y in range(size):
        for x in range(size):
            d = ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2
            if d <= 1.0:
                edge = d > 0.72
                px[y][x] = (20, 70, 30, 255) if edge else (60, 170, 80, 255)
    # button split and wheel
    top = int(cy - ry) + 1
    split = max(1, int(size / 16 + 0.5))
    for y in range(top, int(cy)):
        for k in range(split):
            px[y][int(cx) + k] = (20, 70, 30, 255)
    w = max(1, size // 16)
    for y in range(int(cy - ry * 0.6), int(cy - ry * 0.15)):
        for x in range(int(cx) - w + 1, int(cx) + w + 1):
            if 0 <= x < size:
                px[y][x] = (235, 235, 240, 255)
    return px


def with_digit(px, digit):
    size = len(px)
    scale = max(1, int(size / 16 + 0.5))
    glyph = DIGITS[digit]
    # white backing box, then the red digit
    for gy in range(-1, 6):
        for gx in range(-1, 4):
            for sy in range(scale):
                for sx in range(scale):
                    y, x = gy * scale + sy + scale, gx * scale + sx + scale
                    if 0 <= x < size and 0 <= y < size:
                        on = 0 <= gy < 5 and 0 <= gx < 3 and glyph[gy][gx] == "1"
                        px[y][x] = (220, 20, 20, 255) if on else (255, 255, 255, 255)
    return px


# 5x5 letter mark in the middle of the scroll cursor.
LETTER_Q = ["01110", "10001", "10101", "10010", "01101"]


def scroll_cursor(size=32):
    """Monochrome marker, 32x32 at 100 %: four arrowheads (up, down, left,
    right) around a letter mark. Rows of 'b' (black), 'w' (white), '.'
    (clear)."""
    f = size / 32.0
    grid = [["."] * size for _ in range(size)]
    c = size // 2
    black = set()
    edge = max(1, int(f + 0.5))
    for k in range(int(6 * f + 0.5)):  # arrowheads, 6 rows deep at 100 %
        for d in range(-k, k + 1):
            black.add((c + d, edge + k))              # up
            black.add((c + d, size - 1 - edge - k))   # down
            black.add((edge + k, c + d))              # left
            black.add((size - 1 - edge - k, c + d))   # right
    cell = 2 * f
    x0 = c - 5 * f
    for gy, row in enumerate(LETTER_Q):
        for gx, bit in enumerate(row):
            if bit == "1":
                for y in range(int(x0 + gy * cell + 0.5), int(x0 + (gy + 1) * cell + 0.5)):
                    for x in range(int(x0 + gx * cell + 0.5), int(x0 + (gx + 1) * cell + 0.5)):
                        black.add((x, y))
    for (x, y) in black:
        grid[y][x] = "b"
    for (x, y) in list(black):
        for dx in (-1, 0, 1):
            for dy in (-1, 0, 1):
                nx, ny = x + dx, y + dy
                if 0 <= nx < size and 0 <= ny < size and grid[ny][nx] == ".":
                    grid[ny][nx] = "w"
    return grid


def mono_dib(grid):
    """1-bit DIB of a cursor: header, two-colour palette, XOR then AND mask."""
    size = len(grid)
    stride = ((size + 31) // 32) * 4
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 1, 0, 0, 0, 0, 2, 0)
    palette = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    xor = b""
    andmask = b""
    for row in reversed(grid):
        xl, al = bytearray(stride), bytearray(stride)
        for x, v in enumerate(row):
            if v == "w":
                xl[x // 8] |= 0x80 >> (x % 8)
            if v == ".":
                al[x // 8] |= 0x80 >> (x % 8)
        xor += bytes(xl)
        andmask += bytes(al)
    return header + palette + xor + andmask


def write_cursor(path, grids, hotspot):
    """A cursor file with one entry per grid; hotspot is that of the 32x32
    picture, scaled for the others."""
    data = [mono_dib(g) for g in grids]
    out = struct.pack("<HHH", 0, 2, len(data))
    offset = 6 + 16 * len(data)
    for g, d in zip(grids, data):
        size = len(g)
        hx, hy = (int(v * size / 32.0 + 0.5) for v in hotspot)
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 2, 0, hx, hy, len(d), offset)
        offset += len(d)
    with open(path, "wb") as f:
        f.write(out + b"".join(data))


def dib(px):
    size = len(px)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = b"".join(bytes((b, g, r, a)) for row in reversed(px) for (r, g, b, a) in row)
    stride = ((size + 31) // 32) * 4
    andmask = b""
    for row in reversed(px):
        bits = 0
        line = bytearray(stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                line[x // 8] |= 0x80 >> (x % 8)
        andmask += bytes(line)
    return header + xor + andmask


def write_ico(path, images):
    data = [dib(p) for p in images]
    out = struct.pack("<HHH", 0, 1, len(data))
    offset = 6 + 16 * len(data)
    for p, d in zip(images, data):
        size = len(p)
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(d), offset)
        offset += len(d)
    with open(path, "wb") as f:
        f.write(out + b"".join(data))


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    write_ico(os.path.join(out, "app.ico"), [mark(s) for s in ICON_SIZES])
    write_ico(os.path.join(out, "speed0.ico"), [mark(s) for s in ICON_SIZES])
    for n in (1, 2, 3):
        write_ico(os.path.join(out, "speed%d.ico" % n), [with_digit(mark(s), n) for s in ICON_SIZES])
    write_cursor(os.path.join(out, "scroll.cur"), [scroll_cursor(s) for s in CURSOR_SIZES], hotspot=(16, 9))


if __name__ == "__main__":
    main()
