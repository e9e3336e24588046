#!/usr/bin/env python3
"""Draws the demo's emoticons: face01.gif to face48.gif, 24 x 24 GIF pictures.

Six face colours times eight expressions (smile, grin, wink, surprise, sad,
tongue, sleepy, love). Pixel (1, 1) holds the background colour, which the
emoticon picker leaves out when it draws a picture. The demo copies the
pictures into Images\\Face\\ beside OrbChatDemo.exe. Run it from this folder
after changing the drawing:
    python3 make_faces.py
"""
import math
import struct

SIZE = 24
# Palette indexes.
BACK, EDGE, DARK, WHITE, RED, PINK, BLUE, FILL = range(8)
BASE_PALETTE = [(250, 250, 250), (120, 80, 20), (40, 30, 30), (255, 255, 255),
                (220, 40, 40), (255, 150, 170), (70, 140, 230)]
FILLS = [(255, 214, 60), (255, 170, 70), (255, 190, 200), (150, 220, 120),
         (150, 200, 255), (220, 190, 255)]
EXPRESSIONS = ["smile", "grin", "wink", "surprise", "sad", "tongue", "sleepy", "love"]
CENTRE = 11.5
RADIUS = 10.6


def face(expression):
    px = [[BACK] * SIZE for _ in range(SIZE)]

    def put(x, y, colour):
        if 0 <= x < SIZE and 0 <= y < SIZE:
            px[y][x] = colour

    for y in range(SIZE):
        for x in range(SIZE):
            d = math.hypot(x - CENTRE, y - CENTRE)
            if d <= RADIUS - 1.3:
                px[y][x] = FILL
            elif d <= RADIUS:
                px[y][x] = EDGE

    def eye(x, y, kind):
        if kind == "dot":
            for dx, dy in [(0, 0), (1, 0), (0, 1), (1, 1)]:
                put(x + dx, y + dy, DARK)
        elif kind == "closed":
            for dx in range(-1, 3):
                put(x + dx, y + 1, DARK)
        elif kind == "open":
            for dx, dy in [(0, -1), (1, -1), (-1, 0), (2, 0), (-1, 1), (2, 1), (0, 2), (1, 2)]:
                put(x + dx, y + dy, DARK)
            for dx, dy in [(0, 0), (1, 0), (0, 1), (1, 1)]:
                put(x + dx, y + dy, WHITE)
        elif kind == "heart":
            for dx, dy in [(-1, -1), (0, -1), (2, -1), (3, -1), (-1, 0), (0, 0), (1, 0), (2, 0), (3, 0),
                           (0, 1), (1, 1), (2, 1), (1, 2)]:
                put(x + dx - 1, y + dy, RED)

    def arc(y0, width, depth, colour, down=True):
        """A parabola from (centre - width, y0) through the lowest (or
        highest) point depth away, joined without gaps."""
        previous = None
        for i in range(-width, width + 1):
            t = i / width
            dy = round(depth * (1 - t * t))
            y = y0 + (dy if down else -dy)
            x = round(CENTRE + i)
            put(x, y, colour)
            if previous is not None and abs(previous - y) > 1:
                step = 1 if previous < y else -1
                for yy in range(previous + step, y, step):
                    put(x - 1 if abs(yy - previous) <= abs(yy - y) else x, yy, colour)
            previous = y

    left, right, eyes_y = 7, 15, 8
    kinds = {"smile": ("dot", "dot"), "grin": ("dot", "dot"), "wink": ("dot", "closed"),
             "surprise": ("open", "open"), "sad": ("dot", "dot"), "tongue": ("dot", "closed"),
             "sleepy": ("closed", "closed"), "love": ("heart", "heart")}[expression]
    eye(left, eyes_y, kinds[0])
    eye(right, eyes_y, kinds[1])
    if expression in ("smile", "wink", "love"):
        arc(14, 5, 3, DARK)
    elif expression == "grin":
        for y in range(14, 18):
            half = 5 - (y - 14)
            for x in range(round(CENTRE) - half, round(CENTRE) + half + 1):
                put(x, y, WHITE if y < 16 else DARK)
        arc(14, 5, 0, DARK)
    elif expression == "surprise":
        for dx, dy in [(0, -1), (1, -1), (-1, 0), (2, 0), (-1, 1), (2, 1), (0, 2), (1, 2)]:
            put(11 + dx, 15 + dy, DARK)
    elif expression == "sad":
        arc(18, 4, 2, DARK, down=False)
        put(6, 11, BLUE)
        put(6, 12, BLUE)
    elif expression == "tongue":
        arc(14, 5, 2, DARK)
        for dx, dy in [(0, 0), (1, 0), (2, 0), (0, 1), (1, 1), (2, 1), (1, 2)]:
            put(12 + dx, 16 + dy, PINK)
    elif expression == "sleepy":
        for x in range(9, 15):
            put(x, 16, DARK)
        for dx, dy in [(0, 0), (1, 0), (2, 0), (1, 1), (0, 2), (1, 2), (2, 2)]:
            put(18 + dx, 1 + dy, BLUE)
    return px


def gif(pixels, palette):
    """A GIF89a of 8 palette colours; a clear code after every two pixels
    keeps every code 4 bits wide, which any decoder reads."""
    out = bytearray(b"GIF89a")
    out += struct.pack("<HHBBB", SIZE, SIZE, 0xF2, 0, 0)  # global table of 8 colours
    for r, g, b in palette:
        out += bytes((r, g, b))
    out += b"," + struct.pack("<HHHHB", 0, 0, SIZE, SIZE, 0)
    out += bytes((3,))  # minimum code size 3: clear 8, end 9
    acc = bits = 0
    data = bytearray()

    def put(code):
        nonlocal acc, bits
        acc |= code << bits
        bits += 4
        while bits >= 8:
            data.append(acc & 0xFF)
            acc >>= 8
            bits -= 8

    flat = [c for row in pixels for c in row]
    for i, c in enumerate(flat):
        if i % 2 == 0:
            put(8)
        put(c)
    put(9)
    if bits:
        data.append(acc & 0xFF)
    for i in range(0, len(data), 255):
        block = data[i:i + 255]
        out += bytes((len(block),)) + block
    out += b"\x00;"
    return bytes(out)


def main():
    number = 0
    for fill in FILLS:
        for expression in EXPRESSIONS:
            number += 1
            with open("face%02d.gif" % number, "wb") as f:
                f.write(gif(face(expression), BASE_PALETTE + [fill]))


if __name__ == "__main__":
    main()
