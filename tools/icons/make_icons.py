#!/usr/bin/env python3
"""Generates the executive's icons and cursors as .ico/.cur files.

  make_icons.py <out-dir>

speed0.ico .. speed3.ico  product mark, plain and with a red digit 1..3 in
                          the upper-left corner (icon groups 145..148)
app.ico                   product mark (icon group 149)
scroll.cur                four-way arrow cursor (cursor 154)
Each icon holds 16x16 and 32x32 32-bit images. Stdlib only.
"""
import os
import struct
import sys

# 3x5 digit glyphs, rows top to bottom, bits left to right.
DIGITS = {
    1: ["010", "110", "010", "010", "111"],
    2: ["111", "001", "111", "100", "111"],
    3: ["111", "001", "111", "001", "111"],
}


def mark(size):
    """RGBA rows (top to bottom) of the product mark: a mouse body with a
    wheel and a dividing line, in blue-grey with a dark outline."""
    px = [[(0, 0, 0, 0)] * size for _ in range(size)]
    cx, cy = (size - 1) / 2.0, (size - 1) / 2.0
    rx, ry = size * 0.34, size * 0.46
    for y in range(size):
        for x in range(size):
            d = ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2
            if d <= 1.0:
                edge = d > 0.72
                px[y][x] = (30, 40, 60, 255) if edge else (90, 130, 190, 255)
    # button split and wheel
    top = int(cy - ry) + 1
    for y in range(top, int(cy)):
        px[y][int(cx)] = (30, 40, 60, 255)
        if size >= 32:
            px[y][int(cx) + 1] = (30, 40, 60, 255)
    w = max(1, size // 16)
    for y in range(int(cy - ry * 0.6), int(cy - ry * 0.15)):
        for x in range(int(cx) - w + 1, int(cx) + w + 1):
            if 0 <= x < size:
                px[y][x] = (235, 235, 240, 255)
    return px


def with_digit(px, digit):
    size = len(px)
    scale = 1 if size <= 16 else 2
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


def arrows(size):
    """Four-way arrow: black with white outline."""
    px = [[(0, 0, 0, 0)] * size for _ in range(size)]
    c = size // 2
    fill = set()
    for i in range(2, size - 2):
        fill.add((c, i)); fill.add((i, c))
        fill.add((c - 1, i)); fill.add((i, c - 1))
    head = max(3, size // 6)
    for k in range(head):
        for d in range(-k, k + 1):
            fill.add((c + d, 1 + k)); fill.add((c + d, size - 2 - k))
            fill.add((1 + k, c + d)); fill.add((size - 2 - k, c + d))
    for (x, y) in fill:
        if 0 <= x < size and 0 <= y < size:
            px[y][x] = (0, 0, 0, 255)
    for (x, y) in list(fill):
        for dx in (-1, 0, 1):
            for dy in (-1, 0, 1):
                nx, ny = x + dx, y + dy
                if 0 <= nx < size and 0 <= ny < size and (nx, ny) not in fill:
                    px[ny][nx] = (255, 255, 255, 255)
    return px


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


def write_ico(path, images, cursor=False, hotspot=(0, 0)):
    data = [dib(p) for p in images]
    out = struct.pack("<HHH", 0, 2 if cursor else 1, len(data))
    offset = 6 + 16 * len(data)
    for p, d in zip(images, data):
        size = len(p)
        a, b = (hotspot if cursor else (1, 32))
        out += struct.pack("<BBBBHHII", size, size, 0, 0, a, b, len(d), offset)
        offset += len(d)
    with open(path, "wb") as f:
        f.write(out + b"".join(data))


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    write_ico(os.path.join(out, "app.ico"), [mark(16), mark(32)])
    write_ico(os.path.join(out, "speed0.ico"), [mark(16), mark(32)])
    for n in (1, 2, 3):
        write_ico(os.path.join(out, "speed%d.ico" % n),
                  [with_digit(mark(16), n), with_digit(mark(32), n)])
    write_ico(os.path.join(out, "scroll.cur"), [arrows(32)], cursor=True, hotspot=(16, 16))


if __name__ == "__main__":
    main()
