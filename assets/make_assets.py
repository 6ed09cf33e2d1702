#!/usr/bin/env python3
"""Draws the program's pictures: the default picture, the design-time picture, the start
button and the icon. Run from anywhere; writes beside this script."""

import math
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
BUTTON_FACE = (240, 240, 240)


def write_bmp24(path, width, height, pixel):
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in range(height - 1, -1, -1):
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        row += b"\0" * (stride - width * 3)
        rows.append(bytes(row))
    data = b"".join(rows)
    header = b"BM" + struct.pack("<IHHI", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as out:
        out.write(header + info + data)


def write_png(path, width, height, pixel):
    raw = bytearray()
    for y in range(height):
        raw.append(0)
        for x in range(width):
            raw += bytes(pixel(x, y))

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))

    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(bytes(raw), 9))
    png += chunk(b"IEND", b"")
    with open(path, "wb") as out:
        out.write(png)


def mix(a, b, t):
    t = max(0.0, min(1.0, t))
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def flower(centre, petals, inner, outer, background):
    """A flower of soft petals over a radial background."""

    def pixel(x, y):
        dx, dy = x + 0.5 - centre, y + 0.5 - centre
        r = math.hypot(dx, dy) / centre
        angle = math.atan2(dy, dx)
        petal = 0.62 + 0.3 * math.cos(petals * angle)
        colour = mix(background[0], background[1], r)
        if r < petal:
            colour = mix(inner, outer, r / petal)
        if r < 0.18:
            colour = mix((255, 214, 64), (230, 140, 20), r / 0.18)
        return colour

    return pixel


def start_button(x, y):
    dx, dy = x + 0.5 - 14, y + 0.5 - 14
    r = math.hypot(dx, dy)
    if r > 13:
        return BUTTON_FACE
    light = max(0.0, 1 - math.hypot(dx + 4, dy + 4) / 16)
    colour = mix((20, 120, 40), (150, 240, 150), light)
    if r > 11.5:
        colour = (10, 80, 25)
    # a white "play" triangle
    if -3 <= dx <= 5 and abs(dy) <= (5 - dx) * 0.62:
        colour = (250, 250, 250)
    return colour


def icon(size):
    draw = flower(size / 2, 6, (250, 120, 170), (170, 40, 120), ((120, 190, 250), (40, 90, 190)))

    def pixel(x, y):
        inside = math.hypot(x + 0.5 - size / 2, y + 0.5 - size / 2) <= size / 2
        return (*draw(x, y), 255 if inside else 0)

    return pixel


def main():
    os.makedirs(os.path.join(HERE, "image"), exist_ok=True)
    write_bmp24(os.path.join(HERE, "image", "1.bmp"), 280, 280,
                flower(140, 8, (255, 150, 190), (190, 30, 110), ((150, 210, 255), (30, 80, 170))))
    write_bmp24(os.path.join(HERE, "design", "image1.bmp"), 280, 280,
                flower(140, 5, (255, 240, 150), (230, 150, 30), ((180, 240, 180), (30, 120, 60))))
    write_bmp24(os.path.join(HERE, "design", "start.bmp"), 28, 28, start_button)
    write_png(os.path.join(HERE, "design", "kivo.png"), 64, 64, icon(64))


if __name__ == "__main__":
    main()
