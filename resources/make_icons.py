#!/usr/bin/env python3
"""Draws the program's icons as ICO files, so they can be made again byte for byte.

Tray pictures are designed at 16 x 16, MAINICON at 32 x 32. Each picture is a few filled shapes
over a transparent background, in the standard 16-colour VGA palette. Each file holds the design
as a 16-colour image and, resampled from it, 32-bit images with alpha at the sizes high-DPI
screens ask for."""
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


def ico_entry_4bit(px):
    """The design itself: a 16-colour image with its AND mask, for old displays."""
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
    return size, 16, 4, header + palette + b''.join(xor_rows) + b''.join(and_rows)


def resampled(px, size):
    """The design at `size` pixels as premultiplied-free RGBA: each target pixel
    averages the part of the design it covers, so edges at 20 and 24 pixels
    are smoothed by the alpha channel instead of doubled pixels."""
    source = len(px)
    out = []
    for ty in range(size):
        row = []
        for tx in range(size):
            r = g = b = a = 0.0
            y0, y1 = ty * source / size, (ty + 1) * source / size
            x0, x1 = tx * source / size, (tx + 1) * source / size
            for sy in range(int(y0), min(source, int(-(-y1 // 1)))):
                wy = min(y1, sy + 1) - max(y0, sy)
                for sx in range(int(x0), min(source, int(-(-x1 // 1)))):
                    wx = min(x1, sx + 1) - max(x0, sx)
                    colour = px[sy][sx]
                    if colour is None or wx <= 0 or wy <= 0:
                        continue
                    w = wx * wy
                    cr, cg, cb = PALETTE[colour]
                    r, g, b, a = r + cr * w, g + cg * w, b + cb * w, a + w
            area = (y1 - y0) * (x1 - x0)
            if a > 0:
                row.append((round(r / a), round(g / a), round(b / a), round(255 * a / area)))
            else:
                row.append((0, 0, 0, 0))
        out.append(row)
    return out


def ico_entry_32bit(px, size):
    """The design at `size` pixels in 32-bit colour with alpha."""
    rgba = resampled(px, size)
    pixels = b''.join(struct.pack('<BBBB', b, g, r, a) for row in reversed(rgba) for r, g, b, a in row)
    mask_row = b'\0' * (((size + 31) // 32) * 4)  # the alpha channel does the masking
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    return size, 0, 32, header + pixels + mask_row * size


def ico(px, sizes):
    entries = [ico_entry_4bit(px)] + [ico_entry_32bit(px, size) for size in sizes]
    directory = struct.pack('<HHH', 0, 1, len(entries))
    offset = 6 + 16 * len(entries)
    images = b''
    for size, colours, bits, image in entries:
        directory += struct.pack('<BBBBHHII', size % 256, size % 256, colours, 0, 1, bits, len(image), offset)
        offset += len(image)
        images += image
    return directory + images


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
        # The sizes the shell asks for as SM_CXSMICON at 96 to 192 DPI, and
        # for the application icon also its large sizes.
        sizes = (16, 20, 24, 32, 48, 64) if len(px) == 32 else (16, 20, 24, 32)
        (out / (name.lower() + '.ico')).write_bytes(ico(px, sizes))
