#!/usr/bin/env python3
"""Draws the program's icons as 16-colour ICO files, so they can be made again byte for byte.

Tray pictures are 16 x 16, MAINICON is 32 x 32. Each picture is a few filled shapes over a
transparent background, in the standard 16-colour VGA palette."""
import struct
import sys
from pathlib import Path

PALETTE = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
           (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
           (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
BLACK, NAVY, GREY, SILVER, RED, LIME, YELLOW, BLUE, WHITE = 0, 4, 8, 7, 9, 10, 11, 12, 15


def blank(size):
    return [[None] * size for _ in range(size)]


def rect(px, x0, y0, x1, y1, colour):
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            px[y][x] = colour


def disc(px, cx, cy, r, colour):
    for y in range(len(px)):
        for x in range(len(px)):
            if (x - cx) ** 2 + (y - cy) ** 2 <= r * r:
                px[y][x] = colour


def window(lit):
    """A small window with a red close cross: the popup killer."""
    px = blank(16)
    rect(px, 1, 2, 14, 13, BLACK)
    rect(px, 2, 3, 13, 4, NAVY if lit else GREY)
    rect(px, 2, 5, 13, 12, WHITE if lit else SILVER)
    colour = RED if lit else GREY
    for i in range(5):
        px[6 + i][6 + i] = colour
        px[6 + i][10 - i] = colour
    return px


def envelope(paper, mark=None):
    """An envelope: the mail watch; `mark` adds a coloured dot in the corner."""
    px = blank(16)
    rect(px, 1, 4, 14, 12, BLACK)
    rect(px, 2, 5, 13, 11, paper)
    for i in range(6):
        px[5 + i][2 + i] = BLACK
        px[5 + i][13 - i] = BLACK
    if mark is not None:
        disc(px, 12, 3, 2, mark)
    return px


def main_icon():
    px = blank(32)
    disc(px, 15, 15, 14, NAVY)
    disc(px, 15, 15, 12, BLUE)
    rect(px, 7, 10, 24, 21, BLACK)
    rect(px, 8, 11, 23, 20, WHITE)
    for i in range(8):
        px[11 + i][8 + i] = BLACK
        px[11 + i][23 - i] = BLACK
    return px


def ico(px):
    size = len(px)
    xor_rows, and_rows = [], []
    for row in reversed(px):  # bitmaps are stored bottom-up
        xor = bytearray()
        for x in range(0, size, 2):
            hi, lo = (row[x] or 0), (row[x + 1] or 0)
            xor.append((hi << 4) | lo)
        mask_bits = 0
        for x in range(size):
            mask_bits = (mask_bits << 1) | (1 if row[x] is None else 0)
        mask = mask_bits.to_bytes(size // 8, 'big')
        xor_rows.append(bytes(xor) + b'\0' * ((-len(xor)) % 4))
        and_rows.append(mask + b'\0' * ((-len(mask)) % 4))
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in PALETTE)
    image = header + palette + b''.join(xor_rows) + b''.join(and_rows)
    directory = struct.pack('<HHH', 0, 1, 1) + struct.pack('<BBBBHHII', size, size, 16, 0, 1, 4, len(image), 22)
    return directory + image


def door():
    """Quit: an open door."""
    px = blank(16)
    rect(px, 3, 1, 12, 14, BLACK)
    rect(px, 4, 2, 11, 13, SILVER)
    rect(px, 4, 2, 8, 13, NAVY)
    px[8][7] = YELLOW
    return px


def tabs():
    """Options: a dialog with tabs."""
    px = blank(16)
    rect(px, 1, 1, 6, 3, BLACK)
    rect(px, 2, 2, 5, 3, SILVER)
    rect(px, 1, 3, 14, 14, BLACK)
    rect(px, 2, 4, 13, 13, SILVER)
    rect(px, 4, 6, 11, 6, BLUE)
    rect(px, 4, 9, 11, 9, BLUE)
    return px


def windows_list():
    """Windows list: two stacked windows."""
    px = blank(16)
    for x0, y0 in ((1, 1), (5, 5)):
        rect(px, x0, y0, x0 + 9, y0 + 9, BLACK)
        rect(px, x0 + 1, y0 + 1, x0 + 8, y0 + 2, NAVY)
        rect(px, x0 + 1, y0 + 3, x0 + 8, y0 + 8, WHITE)
    return px


ICONS = {
    'MENU_QUIT': door(),
    'MENU_OPTIONS': tabs(),
    'MENU_WINDOWS': windows_list(),
    'MENU_MAILBOXES': envelope(WHITE),
    'POP_ACTIVE': window(True),
    'POP_INACTIVE': window(False),
    'MAIL_ACTIVE': envelope(WHITE),
    'MAIL_INACTIVE': envelope(SILVER),
    'MAIL_FOUND': envelope(WHITE, RED),
    'MAIL_WORKING': envelope(YELLOW, LIME),
    'MAINICON': main_icon(),
}

if __name__ == '__main__':
    out = Path(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).parent / 'icons')
    out.mkdir(parents=True, exist_ok=True)
    for name, px in ICONS.items():
        (out / (name.lower() + '.ico')).write_bytes(ico(px))
