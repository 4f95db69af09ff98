#!/usr/bin/env python3
"""Makes the two 6000 x 4000 benchmark photos as PNG without any image library:
the sample enlarged 10 times (each pixel repeated, smooth at a distance) and the
sample repeated 10 x 10 times (full detail everywhere).

Usage: make-photos.py SAMPLE.png ENLARGED.png REPEATED.png
"""
import struct
import sys
import zlib


def read_png(path):
    data = open(path, "rb").read()
    assert data[:8] == b"\x89PNG\r\n\x1a\n", "not a PNG"
    at, idat = 8, b""
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", body)
            assert depth == 8 and colour == 2 and interlace == 0, "needs 8-bit RGB, not interlaced"
        elif kind == b"IDAT":
            idat += body
        at += 12 + length
    raw, stride, rows, previous = zlib.decompress(idat), width * 3, [], bytearray(width * 3)
    for y in range(height):
        kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - 3] if i >= 3 else 0
            b, c = previous[i], previous[i - 3] if i >= 3 else 0
            if kind == 1: line[i] = (line[i] + a) & 255
            elif kind == 2: line[i] = (line[i] + b) & 255
            elif kind == 3: line[i] = (line[i] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append(bytes(line))
        previous = line
    return width, height, rows


def write_png(path, width, rows):
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))
    packer, idat = zlib.compressobj(1), []
    for row in rows:
        idat.append(packer.compress(b"\0" + row))
    idat.append(packer.flush())
    header = struct.pack(">IIBBBBB", width, len(rows), 8, 2, 0, 0, 0)
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", b"".join(idat)) + chunk(b"IEND", b""))


def main():
    width, height, rows = read_png(sys.argv[1])
    enlarged = []
    for row in rows:
        wide = b"".join(row[3 * x:3 * x + 3] * 10 for x in range(width))
        enlarged.extend([wide] * 10)
    write_png(sys.argv[2], width * 10, enlarged)
    write_png(sys.argv[3], width * 10, [row * 10 for row in rows] * 10)


if __name__ == "__main__":
    main()
