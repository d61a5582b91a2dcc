#!/usr/bin/env python3
"""Draws the program's icon: a sheet of bytes with one of them changed.

Writes gmkconv.ico (one 48x48 32-bit image) and gmkconv.png (the same image,
for the README) beside this script. Needs nothing beyond Python 3.

    python3 src/front_end/windows/draw_icon.py           # redraw both
    python3 src/front_end/windows/draw_icon.py --check   # are they current?
"""

import pathlib
import struct
import sys
import zlib

SIZE = 48
SAMPLES = 4  # per side of a pixel, for smooth edges

PAPER = (250, 250, 247)
EDGE = (84, 96, 112)
FOLD = (206, 212, 220)
CELL = (150, 172, 196)
CHANGED = (236, 112, 36)


def in_sheet(x, y):
    # A page from (9, 3) to (39, 45) whose top-right corner is folded down.
    return 9 <= x <= 39 and 3 <= y <= 45 and (x - 29) <= (y - 3)


def in_fold(x, y):
    return 29 <= x <= 39 and 3 <= y <= 13 and (x - 29) <= (y - 3)


def on_edge(x, y):
    inside = in_sheet(x, y)
    return inside and not all(
        in_sheet(x + dx, y + dy) for dx, dy in ((-1.2, 0), (1.2, 0), (0, -1.2), (0, 1.2))
    )


def cell_at(x, y):
    """The byte cell under (x, y): its row and column, or None."""
    if not (13 <= x < 35 and 18 <= y < 40):
        return None
    column, dx = divmod(x - 13, 6)
    row, dy = divmod(y - 18, 6)
    if dx >= 4 or dy >= 4:
        return None
    return int(row), int(column)


def colour_at(x, y):
    """The colour of one sample point, or None where the icon is clear."""
    if not in_sheet(x, y):
        return None
    if on_edge(x, y):
        return EDGE
    if in_fold(x, y):
        return EDGE if x < 30.2 or y > 11.8 else FOLD
    cell = cell_at(x, y)
    if cell is None:
        return PAPER
    row, column = cell
    # Four bytes to a row, so byte 4, the one the program rewrites, opens
    # the second row.
    return CHANGED if row * 4 + column == 4 else CELL


def pixel(px, py):
    """Averages the samples of one pixel into straight RGBA."""
    total = [0, 0, 0]
    covered = 0
    for sy in range(SAMPLES):
        for sx in range(SAMPLES):
            colour = colour_at(px + (sx + 0.5) / SAMPLES, py + (sy + 0.5) / SAMPLES)
            if colour is not None:
                covered += 1
                total = [t + c for t, c in zip(total, colour)]
    if covered == 0:
        return (0, 0, 0, 0)
    alpha = round(255 * covered / SAMPLES**2)
    return tuple(round(t / covered) for t in total) + (alpha,)


def draw():
    return [[pixel(x, y) for x in range(SIZE)] for y in range(SIZE)]


def ico(rows):
    """One 32-bit BMP image in an ICO container, rows stored bottom-up."""
    colour = b"".join(bytes((b, g, r, a)) for row in reversed(rows) for r, g, b, a in row)
    mask_stride = ((SIZE + 31) // 32) * 4
    mask = bytes(mask_stride * SIZE)  # all shown: alpha does the masking
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, 2 * SIZE, 1, 32, 0,
                         len(colour) + len(mask), 0, 0, 0, 0)
    image = header + colour + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(image), 6 + 16)
    return directory + entry + image


def png(rows):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    raw = b"".join(b"\0" + b"".join(bytes(p) for p in row) for row in rows)
    header = struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def main():
    here = pathlib.Path(__file__).resolve().parent
    rows = draw()
    drawn = {"gmkconv.ico": ico(rows), "gmkconv.png": png(rows)}
    if sys.argv[1:] == ["--check"]:
        stale = [name for name, data in drawn.items() if (here / name).read_bytes() != data]
        if stale:
            print(f"out of date, redraw with {sys.argv[0]}: {', '.join(stale)}")
        return 1 if stale else 0
    for name, data in drawn.items():
        (here / name).write_bytes(data)
    return 0


if __name__ == "__main__":
    sys.exit(main())
