#!/usr/bin/env python3
"""Makes kivo.ico beside this script from assets/design/kivo.png: 16, 32, 48 and 64 pixel
images, each a 32-bit bitmap with its mask, which every Windows version reads."""

import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.join(HERE, "..", "..", "..", "assets", "design", "kivo.png")
SIZES = (16, 32, 48, 64)


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def read_rgba_png(path):
    """Pixels of an 8-bit RGBA, non-interlaced PNG as rows of (r, g, b, a)."""
    with open(path, "rb") as source:
        data = source.read()
    assert data[:8] == b"\x89PNG\r\n\x1a\n", "not a PNG file"
    offset, idat = 8, b""
    while offset < len(data):
        length, kind = struct.unpack(">I4s", data[offset:offset + 8])
        body = data[offset + 8:offset + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", body)
            assert (depth, colour, interlace) == (8, 6, 0), "only 8-bit RGBA, not interlaced"
        elif kind == b"IDAT":
            idat += body
        offset += 12 + length
    raw = zlib.decompress(idat)
    stride = width * 4
    rows, previous = [], bytearray(stride)
    for y in range(height):
        start = y * (stride + 1)
        kind, line = raw[start], bytearray(raw[start + 1:start + 1 + stride])
        for i in range(stride):
            left = line[i - 4] if i >= 4 else 0
            up = previous[i]
            up_left = previous[i - 4] if i >= 4 else 0
            line[i] = (line[i] + (0, left, up, (left + up) // 2, paeth(left, up, up_left))[kind]) & 255
        rows.append([tuple(line[x * 4:x * 4 + 4]) for x in range(width)])
        previous = line
    return rows


def resample(rows, size):
    """Area-averaged downscale, weighting colour by alpha so that clear pixels add no colour."""
    scale = len(rows) / size
    result = []
    for ty in range(size):
        row = []
        for tx in range(size):
            total = [0.0, 0.0, 0.0, 0.0]
            y0, y1, x0, x1 = ty * scale, (ty + 1) * scale, tx * scale, (tx + 1) * scale
            for sy in range(int(y0), min(len(rows), int(y1 + 0.999999))):
                wy = min(y1, sy + 1) - max(y0, sy)
                for sx in range(int(x0), min(len(rows), int(x1 + 0.999999))):
                    w = wy * (min(x1, sx + 1) - max(x0, sx))
                    r, g, b, a = rows[sy][sx]
                    total[0] += r * a * w
                    total[1] += g * a * w
                    total[2] += b * a * w
                    total[3] += a * w
            area = scale * scale
            alpha = total[3] / area
            colour = [round(c / total[3]) if total[3] else 0 for c in total[:3]]
            row.append((*colour, round(alpha)))
        result.append(row)
    return result


def icon_image(rows):
    """BITMAPINFOHEADER (double height: colour, then mask), bottom-up BGRA rows, 1-bit mask."""
    size = len(rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = b"".join(bytes((b, g, r, a)) for row in reversed(rows) for (r, g, b, a) in row)
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        line = bytearray(mask_stride)
        for x, pixel in enumerate(row):
            if pixel[3] == 0:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += line
    return header + colour + bytes(mask)


def main():
    source = read_rgba_png(SOURCE)
    images = [(size, icon_image(resample(source, size))) for size in SIZES]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in images:
        directory += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    with open(os.path.join(HERE, "kivo.ico"), "wb") as out:
        out.write(directory + b"".join(image for _, image in images))


if __name__ == "__main__":
    main()
