#!/usr/bin/env python3
"""Draws LED_PICS, the lamp pictures, as a 16-colour BMP, so it can be made again byte for byte.

24 x 65 pixels: 2 columns (dark lamp, lit lamp) by 5 rows (red, green, yellow, blue, disabled)
of 12 x 13 cells. Each lamp is a disc with a grey rim lit from the top left, a black rim in
shadow at the bottom right and a white highlight. Teal is the see-through colour: it fills
the corners of every cell and the inside of the disabled lamp, which is an empty ring."""
import struct
import sys
from pathlib import Path

PALETTE = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
           (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
           (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
BLACK, TEAL, GREY, WHITE = 0, 6, 8, 15
DARK = [1, 2, 3, 4]   # maroon, dark green, olive, navy
LIT = [9, 10, 11, 12]  # red, lime, yellow, blue
CELL_W, CELL_H = 12, 13
CENTRE_X, CENTRE_Y = 6.0, 6.5
OUTER, INNER = 5.8, 4.6


def cell(fill, highlight):
    """One lamp; `fill` None leaves the inside see-through."""
    px = [[TEAL] * CELL_W for _ in range(CELL_H)]
    for y in range(CELL_H):
        for x in range(CELL_W):
            dx, dy = x + 0.5 - CENTRE_X, y + 0.5 - CENTRE_Y
            d = (dx * dx + dy * dy) ** 0.5
            if d > OUTER:
                continue
            if d > INNER:
                px[y][x] = GREY if dx + dy < 0 else BLACK
            elif fill is not None:
                px[y][x] = fill
    if fill is not None:
        for x, y in highlight:
            px[y][x] = WHITE
    return px


def picture():
    rows = []
    for colour in range(4):
        dark = cell(DARK[colour], [(4, 4)])
        lit = cell(LIT[colour], [(3, 4), (4, 3), (4, 4)])
        rows.append((dark, lit))
    ring = cell(None, [])
    rows.append((ring, ring))
    px = []
    for left, right in rows:
        for y in range(CELL_H):
            px.append(left[y] + right[y])
    return px


def bmp(px):
    height, width = len(px), len(px[0])
    stride = ((width * 4 + 31) // 32) * 4
    data = b''
    for row in reversed(px):  # bottom-up
        line = bytearray(stride)
        for x, index in enumerate(row):
            line[x // 2] |= index << (4 if x % 2 == 0 else 0)
        data += bytes(line)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in PALETTE)
    offset = 14 + 40 + len(palette)
    header = struct.pack('<2sIHHI', b'BM', offset + len(data), 0, 0, offset)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 4, 0, len(data), 2835, 2835, 16, 16)
    return header + info + palette + data


def main():
    out = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).parent / 'pictures' / 'led_pics.bmp'
    out.parent.mkdir(parents=True, exist_ok=True)
    out.write_bytes(bmp(picture()))


if __name__ == '__main__':
    main()
