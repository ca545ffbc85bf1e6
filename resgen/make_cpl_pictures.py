#!/usr/bin/env python3
"""Generates the control panel's pictures.

  make_cpl_pictures.py <out-dir>

mouse_buttons.bmp      440x175, 24 bits: an eight-button mouse seen from
                       above with its buttons numbered 1..8 (bitmap 223)
mouse_buttons_125.bmp  the same drawn at 125 % (550x219, bitmap 224),
mouse_buttons_150.bmp  150 % (660x263, bitmap 225) and
mouse_buttons_200.bmp  200 % (880x350, bitmap 226)
cpl_page.ico           16, 20, 24 and 32 px: the product mark (icon 204)
preview_play.ico       16, 20, 24, 32 px: a green "play" triangle (icon 202)
preview_stop.ico       16, 20, 24, 32 px: a dark red "stop" square (icon 203)
Every picture comes from one geometry drawn at 100, 125, 150 and 200 %.
Stdlib only.
"""
import os
import struct
import sys

W0, H0 = 440, 175
SCALES = (100, 125, 150, 200)
SMALL_SIZES = [16 * s // 100 for s in SCALES]

# 5x7 digit glyphs, rows top to bottom.
DIGITS = {
    "1": ["00100", "01100", "00100", "00100", "00100", "00100", "01110"],
    "2": ["01110", "10001", "00001", "00010", "00100", "01000", "11111"],
    "3": ["11110", "00001", "00001", "01110", "00001", "00001", "11110"],
    "4": ["00010", "00110", "01010", "10010", "11111", "00010", "00010"],
    "5": ["11111", "10000", "11110", "00001", "00001", "10001", "01110"],
    "6": ["00110", "01000", "10000", "11110", "10001", "10001", "01110"],
    "7": ["11111", "00001", "00010", "00100", "01000", "01000", "01000"],
    "8": ["01110", "10001", "10001", "01110", "10001", "10001", "01110"],
}

BG = (250, 250, 252)
BODY = (70, 78, 92)
BODY_EDGE = (35, 40, 50)
BUTTON = (120, 170, 215)
BUTTON_EDGE = (30, 80, 130)
LABEL = (200, 40, 40)
WHITE = (255, 255, 255)
LINE = (150, 150, 160)


def r(v):
    return int(v + 0.5)


def canvas(f):
    return [[BG] * r(W0 * f) for _ in range(r(H0 * f))]


def ellipse(px, cx, cy, rx, ry, fill, edge, edge_width=0.08):
    H, W = len(px), len(px[0])
    for y in range(max(0, int(cy - ry) - 1), min(H, int(cy + ry) + 2)):
        for x in range(max(0, int(cx - rx) - 1), min(W, int(cx + rx) + 2)):
            d = ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2
            if d <= 1.0:
                px[y][x] = edge if d > 1.0 - edge_width * 2 else fill


def rect(px, x0, y0, x1, y1, fill, edge):
    for y in range(y0, y1):
        for x in range(x0, x1):
            on_edge = x in (x0, x1 - 1) or y in (y0, y1 - 1)
            px[y][x] = edge if on_edge else fill


def line(px, x0, y0, x1, y1, colour, width=1):
    H, W = len(px), len(px[0])
    steps = max(abs(x1 - x0), abs(y1 - y0), 1)
    for i in range(steps + 1):
        x = round(x0 + (x1 - x0) * i / steps)
        y = round(y0 + (y1 - y0) * i / steps)
        for d in range(width):
            xx, yy = (x + d, y) if abs(y1 - y0) > abs(x1 - x0) else (x, y + d)
            if 0 <= xx < W and 0 <= yy < H:
                px[yy][xx] = colour


def digit(px, ch, cx, cy, cell=2.0):
    """A glyph of cells cell pixels wide (2 at 100 %), centred on cx, cy."""
    glyph = DIGITS[ch]
    x0 = cx - 5 * cell / 2.0
    y0 = cy - 7 * cell / 2.0
    for gy, row in enumerate(glyph):
        for gx, bit in enumerate(row):
            if bit == "1":
                for y in range(r(y0 + gy * cell), r(y0 + (gy + 1) * cell)):
                    for x in range(r(x0 + gx * cell), r(x0 + (gx + 1) * cell)):
                        px[y][x] = WHITE


def badge(px, number, cx, cy, target, f):
    line(px, r(cx * f), r(cy * f), r(target[0] * f), r(target[1] * f), LINE, max(1, r(f)))
    ellipse(px, cx * f, cy * f, 11 * f, 11 * f, LABEL, (120, 20, 20), 0.06)
    digit(px, str(number), r(cx * f), r(cy * f), 2 * f)


def mouse_picture(f=1.0):
    """The picture at scale f (1.0 = 440x175); all geometry is given at 100 %."""
    px = canvas(f)
    # Body seen from above, front (buttons 1 and 3) to the left.
    ellipse(px, 215 * f, 88 * f, 150 * f, 66 * f, BODY, BODY_EDGE, 0.03)
    # Buttons: (number, rectangle, badge position)
    buttons = [
        (1, (85, 40, 150, 84), (40, 22)),     # front left main
        (3, (85, 92, 150, 136), (40, 153)),   # front right main
        (2, (155, 74, 185, 102), (170, 16)),  # behind the wheel
        (4, (158, 40, 186, 64), (120, 12)),   # wheel-side top
        (5, (200, 28, 240, 44), (230, 12)),   # thumb side, front
        (6, (250, 28, 290, 44), (290, 12)),   # thumb side, back
        (7, (200, 132, 240, 148), (230, 164)),
        (8, (250, 132, 290, 148), (290, 164)),
    ]
    # the wheel between the two main buttons
    def box(x0, y0, x1, y1, fill, edge):
        edge_px = max(1, r(f))
        X0, Y0, X1, Y1 = r(x0 * f), r(y0 * f), r(x1 * f), r(y1 * f)
        rect(px, X0, Y0, X1, Y1, edge, edge)
        rect(px, X0 + edge_px, Y0 + edge_px, X1 - edge_px, Y1 - edge_px, fill, fill)
    box(100, 84, 140, 92, (210, 210, 215), BODY_EDGE)
    for number, (x0, y0, x1, y1), badge_at in buttons:
        box(x0, y0, x1, y1, BUTTON, BUTTON_EDGE)
    for number, (x0, y0, x1, y1), badge_at in buttons:
        badge(px, number, badge_at[0], badge_at[1], ((x0 + x1) // 2, (y0 + y1) // 2), f)
    return px


def write_bmp(path, px):
    H, W = len(px), len(px[0])
    row_bytes = (W * 3 + 3) & ~3
    data = bytearray()
    for y in range(H - 1, -1, -1):
        row = bytearray()
        for (r, g, b) in px[y]:
            row += bytes((b, g, r))
        row += b"\0" * (row_bytes - len(row))
        data += row
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(data), 0, 0, 14 + 40)
    info = struct.pack("<IiiHHIIiiII", 40, W, H, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


def page_icon_pixels(size=16):
    """RGBA rows of a small mouse with a blue button half."""
    px = [[(0, 0, 0, 0)] * size for _ in range(size)]
    cx, cy = (size - 1) / 2.0, (size - 1) / 2.0
    rx, ry = size * 0.36, size * 0.47
    for y in range(size):
        for x in range(size):
            d = ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2
            if d <= 1.0:
                if d > 0.7:
                    px[y][x] = (35, 40, 50, 255)
                elif y < cy:
                    px[y][x] = (120, 170, 215, 255)
                else:
                    px[y][x] = (90, 98, 112, 255)
    for y in range(int(cy - ry) + 1, int(cy)):
        px[y][int(cx)] = (35, 40, 50, 255)
    return px


def preview_pixels(size, kind):
    """RGBA rows of the preview button's play triangle or stop square, at
    16 px for 100 %: the glyph keeps within the middle 14 of every 16
    pixels, so it shows whole on the small button at its own scale."""
    px = [[(0, 0, 0, 0)] * size for _ in range(size)]
    c = (size - 1) / 2.0
    half = min(6.0 * size / 16.0, size * 0.36)
    for y in range(size):
        for x in range(size):
            if kind == "play":
                # Pointing right: left edge at c - half, tip at c + half.
                dx = x - (c - half * 0.8)
                inside = 0 <= dx <= 2 * half * 0.8 and abs(y - c) <= half * (1 - dx / (2 * half * 0.8))
                if inside:
                    px[y][x] = (30, 140, 50, 255)
            else:
                if abs(x - c) <= half * 0.8 and abs(y - c) <= half * 0.8:
                    px[y][x] = (170, 30, 30, 255)
    return px


def ico_image(px):
    size = len(px)
    xor = bytearray()
    for y in range(size - 1, -1, -1):
        for (r, g, b, a) in px[y]:
            xor += bytes((b, g, r, a))
    mask_row = ((size + 31) // 32) * 4
    andmask = bytearray()
    for y in range(size - 1, -1, -1):
        bits = bytearray(mask_row)
        for x in range(size):
            if px[y][x][3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        andmask += bits
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(andmask), 0, 0, 0, 0)
    return info + xor + andmask


def write_ico(path, *images):
    """An icon file with one entry per RGBA picture."""
    blobs = [ico_image(px) for px in images]
    header = struct.pack("<HHH", 0, 1, len(blobs))
    offset = 6 + 16 * len(blobs)
    entries = b""
    for px, blob in zip(images, blobs):
        size = len(px)
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    with open(path, "wb") as f:
        f.write(header + entries + b"".join(blobs))


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    for scale in SCALES:
        name = "mouse_buttons.bmp" if scale == 100 else "mouse_buttons_%d.bmp" % scale
        write_bmp(os.path.join(out, name), mouse_picture(scale / 100.0))
    write_ico(os.path.join(out, "cpl_page.ico"), *[page_icon_pixels(s) for s in SMALL_SIZES])
    for kind in ("play", "stop"):
        write_ico(os.path.join(out, "preview_%s.ico" % kind), *[preview_pixels(s, kind) for s in SMALL_SIZES])


if __name__ == "__main__":
    main()
