#!/usr/bin/env python3
"""Writes data/beside/handgrab.cur: a 32x32 grabbing-hand pointer (32-bit colour with an
AND mask), drawn from the 16x16 pattern below at double size. Hot spot in the palm."""
import struct
import sys

HAND = [
    "                ",
    "                ",
    "                ",
    "     XX XX XX   ",
    "    X..X..X..XX ",
    "    X........X.X",
    "  XXX..........X",
    " X..X..........X",
    " X.............X",
    "  X............X",
    "   X..........X ",
    "    X.........X ",
    "     X.......X  ",
    "      X......X  ",
    "      X......X  ",
    "      XXXXXXXX  ",
]
SIZE, HOT_X, HOT_Y = 32, 16, 16
COLOURS = {"X": (0, 0, 0, 255), ".": (255, 255, 255, 255), " ": (0, 0, 0, 0)}


def pixel(x, y):
    return COLOURS[HAND[y // 2][x // 2]]


def cursor_bytes():
    rows = range(SIZE - 1, -1, -1)   # bitmaps are stored bottom-up
    xor = b"".join(struct.pack("<4B", b, g, r, a)
                   for y in rows for x in range(SIZE) for (r, g, b, a) in [pixel(x, y)])
    mask = b""
    for y in rows:
        bits = 0
        for x in range(SIZE):
            bits = (bits << 1) | (1 if pixel(x, y)[3] == 0 else 0)
        mask += struct.pack(">I", bits)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, 2 * SIZE, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    image = header + xor + mask
    directory = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, HOT_X, HOT_Y, len(image), 6 + 16)
    return directory + entry + image


if __name__ == "__main__":
    out = sys.argv[1] if len(sys.argv) > 1 else "data/beside/handgrab.cur"
    with open(out, "wb") as f:
        f.write(cursor_bytes())
