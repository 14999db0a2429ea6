#!/usr/bin/env python3
"""Draws the tray menu's side-bar picture as a 16 x 16 BMP of 16 colours, so it can be made again
byte for byte.

The picture is an envelope with a red close cross over it: the mail watch and the popup killer.
Its background is magenta, the colour the bar treats as transparent (the bottom-left pixel)."""
import struct
import sys
from pathlib import Path

from make_icons import BLACK, PALETTE, RED, WHITE, YELLOW, rect

MAGENTA = 13  # (255, 0, 255) in the standard palette: the transparent colour


def bar_picture():
    px = [[MAGENTA] * 16 for _ in range(16)]
    rect(px, 0, 5, 13, 14, BLACK)
    rect(px, 1, 6, 12, 13, WHITE)
    for i in range(6):
        px[6 + i][1 + i] = BLACK
        px[6 + i][12 - i] = BLACK
    rect(px, 9, 0, 15, 6, BLACK)
    rect(px, 10, 1, 14, 5, YELLOW)
    for i in range(5):
        px[1 + i][10 + i] = RED
        px[1 + i][14 - i] = RED
    return px


def bmp(px):
    """A BMP file of 4 bits a pixel, rows stored bottom-up, each padded to 4 bytes."""
    height, width = len(px), len(px[0])
    rows = []
    for row in reversed(px):
        packed = bytearray((row[x] << 4) | row[x + 1] for x in range(0, width, 2))
        rows.append(bytes(packed) + b'\0' * ((-len(packed)) % 4))
    pixels = b''.join(rows)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in PALETTE)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 4, 0, len(pixels), 2835, 2835, 16, 0)
    offset = 14 + len(info) + len(palette)
    header = struct.pack('<2sIHHI', b'BM', offset + len(pixels), 0, 0, offset)
    return header + info + palette + pixels


if __name__ == '__main__':
    out = Path(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).parent / 'pictures')
    out.mkdir(parents=True, exist_ok=True)
    (out / 'bar_pic.bmp').write_bytes(bmp(bar_picture()))
