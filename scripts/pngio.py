"""PNG reading and writing with the standard library only, for the scripts that
make the example pictures and the benchmark photos: 8-bit grey or RGB, not
interlaced."""
import struct
import zlib


def read_png(path):
    """(width, height, channels, rows of bytes) of an 8-bit grey or RGB PNG."""
    data = open(path, "rb").read()
    assert data[:8] == b"\x89PNG\r\n\x1a\n", path
    at, idat = 8, b""
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", body)
            assert depth == 8 and colour in (0, 2) and interlace == 0, path
        elif kind == b"IDAT":
            idat += body
        at += 12 + length
    channels = 1 if colour == 0 else 3
    raw, stride = zlib.decompress(idat), width * channels
    rows, previous = [], bytearray(stride)
    for y in range(height):
        kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - channels] if i >= channels else 0
            b = previous[i]
            c = previous[i - channels] if i >= channels else 0
            if kind == 1:
                line[i] = (line[i] + a) & 255
            elif kind == 2:
                line[i] = (line[i] + b) & 255
            elif kind == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append(line)
        previous = line
    return width, height, channels, rows


def write_png(path, width, height, channels, rows, dpi=None, level=9):
    """Writes the rows unfiltered; a dpi gives the picture a pHYs chunk."""
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))
    packer, idat = zlib.compressobj(level), []
    for row in rows:
        idat.append(packer.compress(b"\x00" + bytes(row)))
    idat.append(packer.flush())
    png = (b"\x89PNG\r\n\x1a\n"
           + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 0 if channels == 1 else 2, 0, 0, 0)))
    if dpi is not None:
        ppm = round(dpi / 0.0254)
        png += chunk(b"pHYs", struct.pack(">IIB", ppm, ppm, 1))
    png += chunk(b"IDAT", b"".join(idat)) + chunk(b"IEND", b"")
    open(path, "wb").write(png)
