#!/usr/bin/env python3
"""Draws tag_picture.bmp, the small tag picture of the tag and alias dialogs.

A 24 x 24 picture, 24 bits per pixel: an orange label pointing left, with a
punched hole and two lines of "writing", on the skin's dialog background so
that it blends in. Run it from this folder after changing the drawing:
    python3 make_tag_picture.py
"""
import struct

SIZE = 24
BACKGROUND = (235, 242, 250)
FILL = (255, 170, 50)
EDGE = (196, 106, 16)
WRITING = (255, 255, 255)

# The label outline, clockwise, in pixel coordinates (y grows downwards).
OUTLINE = [(2.0, 12.0), (9.0, 4.5), (21.5, 4.5), (21.5, 19.5), (9.0, 19.5)]


def inside(px, py, poly):
    """Even-odd test of the pixel centre against the polygon."""
    hit = False
    n = len(poly)
    for i in range(n):
        x1, y1 = poly[i]
        x2, y2 = poly[(i + 1) % n]
        if (y1 > py) != (y2 > py):
            cross = x1 + (py - y1) * (x2 - x1) / (y2 - y1)
            if px < cross:
                hit = not hit
    return hit


def colour_at(x, y):
    cx, cy = x + 0.5, y + 0.5
    if not inside(cx, cy, OUTLINE):
        return BACKGROUND
    # A pixel whose neighbour lies outside is on the edge.
    for dx, dy in ((-1, 0), (1, 0), (0, -1), (0, 1)):
        if not inside(cx + dx, cy + dy, OUTLINE):
            return EDGE
    hole = (cx - 8.5) ** 2 + (cy - 12.0) ** 2
    if hole <= 2.3 ** 2:
        return BACKGROUND if hole <= 1.4 ** 2 else EDGE
    if y in (9, 14) and 12 <= x <= 19:
        return WRITING
    return FILL


def write_bmp(path):
    row_bytes = (SIZE * 3 + 3) & ~3
    pixels = bytearray()
    for y in range(SIZE - 1, -1, -1):  # bottom-up rows
        row = bytearray()
        for x in range(SIZE):
            r, g, b = colour_at(x, y)
            row += bytes((b, g, r))
        row += bytes(row_bytes - len(row))
        pixels += row
    header_size = 14 + 40
    file_header = struct.pack("<2sIHHI", b"BM", header_size + len(pixels), 0, 0, header_size)
    info_header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    with open(path, "wb") as out:
        out.write(file_header + info_header + pixels)


if __name__ == "__main__":
    write_bmp("tag_picture.bmp")
