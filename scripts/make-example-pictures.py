#!/usr/bin/env python3
"""Makes the picture resources of examples/resources/PICT from the sample
photographs in examples/photos, and draws the picture series with its masks.

  scripts/make-example-pictures.py [repository root]

Only the standard library: PNG is read and written here (8-bit grey and RGB,
not interlaced), with a pHYs chunk giving each picture its resolution.
"""
import math
import os
import sys

from pngio import read_png, write_png


def grey(width, channels, rows):
    if channels == 1:
        return rows
    return [bytearray((299 * r[3 * x] + 587 * r[3 * x + 1] + 114 * r[3 * x + 2] + 500) // 1000
                      for x in range(width)) for r in rows]


def resize(rows, box, width, height):
    """The box (left, top, right, bottom) of a grey image averaged into width x height."""
    left, top, right, bottom = box
    sx, sy = (right - left) / width, (bottom - top) / height
    out = []
    for y in range(height):
        y0, y1 = top + int(y * sy), top + max(int(y * sy) + 1, int((y + 1) * sy))
        line = bytearray(width)
        for x in range(width):
            x0, x1 = left + int(x * sx), left + max(int(x * sx) + 1, int((x + 1) * sx))
            total = sum(sum(rows[v][x0:x1]) for v in range(y0, y1))
            line[x] = (total + (x1 - x0) * (y1 - y0) // 2) // ((x1 - x0) * (y1 - y0))
        out.append(line)
    return out


def series_picture(level, size):
    """A disc in the level's colour with `level` white bars, on a magenta
    backdrop that the mask takes away; and the mask, a black disc on white."""
    colours = {1: (40, 110, 200), 2: (40, 160, 80), 3: (210, 120, 30)}
    r = size / 2 - 2
    image, mask = [], []
    for y in range(size):
        line, mline = bytearray(), bytearray()
        for x in range(size):
            inside = math.hypot(x + 0.5 - size / 2, y + 0.5 - size / 2) <= r
            bar = any(abs(y + 0.5 - (size / 2 + (k - (level - 1) / 2) * size / 5)) < size / 20
                      for k in range(level)) and abs(x + 0.5 - size / 2) < r * 0.6
            line += bytes((255, 255, 255) if inside and bar else colours[level] if inside else (255, 0, 255))
            mline.append(0 if inside else 255)
        image.append(line)
        mask.append(mline)
    return image, mask


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..")
    photos, out = os.path.join(root, "examples", "photos"), os.path.join(root, "examples", "resources", "PICT")
    os.makedirs(out, exist_ok=True)
    # 128: the camera photograph cut to 3:2, 300 x 200 pixels at 72 dpi (one
    # pixel per point: drawn 1:1 into a 300 x 200 pane).
    w, h, c, rows = read_png(os.path.join(photos, "camera.png"))
    cut = (w - h * 2 // 3) // 2
    rows = resize(grey(w, c, rows), (0, cut, w, cut + w * 2 // 3), 300, 200)
    write_png(os.path.join(out, "128 camera.png"), 300, 200, 1, rows, 72)
    # 129: the coffee photograph in grey at 144 dpi: a 300 x 200 point frame
    # holding 600 x 400 pixels.
    w, h, c, rows = read_png(os.path.join(photos, "coffee.png"))
    write_png(os.path.join(out, "129 coffee.png"), w, h, 1, grey(w, c, rows), 144)
    # 2000 to 2002: a picture series, with masks 2400 to 2402.
    for level in (1, 2, 3):
        image, mask = series_picture(level, 48)
        write_png(os.path.join(out, "%d level %d.png" % (1999 + level, level)), 48, 48, 3, image, 72)
        write_png(os.path.join(out, "%d level %d mask.png" % (2399 + level, level)), 48, 48, 1, mask, 72)


if __name__ == "__main__":
    main()
