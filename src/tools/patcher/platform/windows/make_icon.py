#!/usr/bin/env python3
"""Draws the updater's icon (a parcel with a green arrow pointing into it) and writes
patcher.ico beside this script: 16x16, 32x32 and 48x48 images, 32-bit BMP with alpha.
The output depends on nothing but this script."""
import os
import struct

SIZES = (16, 32, 48)
SAMPLES = 8  # per pixel and axis

# Shapes in unit coordinates (y down), painted in order: polygon, fill, outline colour (RGB).
PARCEL_BROWN = (0xC9, 0x8B, 0x4B)
PARCEL_DARK = (0x6E, 0x45, 0x1E)
LID_BROWN = (0xB0, 0x74, 0x38)
TAPE = (0xE8, 0xCE, 0x98)
ARROW_GREEN = (0x2F, 0xA8, 0x3F)
ARROW_DARK = (0x17, 0x5C, 0x22)


def rect(x0, y0, x1, y1):
    return [(x0, y0), (x1, y0), (x1, y1), (x0, y1)]


SHAPES = [
    (rect(0.12, 0.44, 0.88, 0.94), PARCEL_BROWN, PARCEL_DARK),
    (rect(0.44, 0.44, 0.56, 0.94), TAPE, PARCEL_DARK),
    (rect(0.06, 0.36, 0.94, 0.50), LID_BROWN, PARCEL_DARK),
    ([(0.38, 0.03), (0.62, 0.03), (0.62, 0.36), (0.80, 0.36), (0.50, 0.70), (0.20, 0.36), (0.38, 0.36)],
     ARROW_GREEN, ARROW_DARK),
]


def inside(polygon, x, y):
    result = False
    j = len(polygon) - 1
    for i, (xi, yi) in enumerate(polygon):
        xj, yj = polygon[j]
        if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
            result = not result
        j = i
    return result


def edge_distance(polygon, x, y):
    best = float("inf")
    for i, (x0, y0) in enumerate(polygon):
        x1, y1 = polygon[(i + 1) % len(polygon)]
        dx, dy = x1 - x0, y1 - y0
        t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / (dx * dx + dy * dy)))
        best = min(best, ((x - x0 - t * dx) ** 2 + (y - y0 - t * dy) ** 2) ** 0.5)
    return best


def sample(x, y, outline):
    colour = None
    for polygon, fill, edge in SHAPES:
        if inside(polygon, x, y):
            colour = edge if edge_distance(polygon, x, y) < outline else fill
    return colour


def render(size):
    """Rows top-down of (r, g, b, a)."""
    outline = max(0.045, 1.0 / size)
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            total = [0, 0, 0]
            hits = 0
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    colour = sample((px + (sx + 0.5) / SAMPLES) / size, (py + (sy + 0.5) / SAMPLES) / size, outline)
                    if colour:
                        hits += 1
                        for c in range(3):
                            total[c] += colour[c]
            if hits:
                row.append(tuple((t + hits // 2) // hits for t in total) + ((hits * 255 + SAMPLES * SAMPLES // 2) // (SAMPLES * SAMPLES),))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


def bmp_image(size, rows):
    """BITMAPINFOHEADER, bottom-up BGRA pixels, then the 1-bit AND mask (set where transparent)."""
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b"".join(bytes((b, g, r, a)) for row in reversed(rows) for (r, g, b, a) in row)
    mask_row_bytes = (size + 31) // 32 * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_row_bytes)
        for x, pixel in enumerate(row):
            if pixel[3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + pixels + bytes(mask)


def icon_file():
    images = [bmp_image(size, render(size)) for size in SIZES]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = len(directory) + 16 * len(images)
    entries = b""
    for size, image in zip(SIZES, images):
        entries += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    return directory + entries + b"".join(images)


if __name__ == "__main__":
    with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "patcher.ico"), "wb") as f:
        f.write(icon_file())
