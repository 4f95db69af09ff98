#!/usr/bin/env python3
"""Makes the two 6000 x 4000 benchmark photos as PNG without any image library:
the sample enlarged 10 times (each pixel repeated, smooth at a distance) and the
sample repeated 10 x 10 times (full detail everywhere).

Usage: make-photos.py SAMPLE.png ENLARGED.png REPEATED.png
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "scripts"))
from pngio import read_png, write_png  # noqa: E402


def main():
    width, height, channels, rows = read_png(sys.argv[1])
    assert channels == 3, "needs an RGB photo"
    enlarged = []
    for row in rows:
        wide = b"".join(row[3 * x:3 * x + 3] * 10 for x in range(width))
        enlarged.extend([wide] * 10)
    write_png(sys.argv[2], width * 10, len(enlarged), 3, enlarged, level=1)
    write_png(sys.argv[3], width * 10, height * 10, 3, [row * 10 for row in rows] * 10, level=1)


if __name__ == "__main__":
    main()
