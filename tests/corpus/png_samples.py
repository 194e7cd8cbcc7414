"""Reads a PNG file's samples as stored, independently of any other PNG reader: the chunks,
the inflated image data, the row filters and the Adam7 passes. Checks no CRC.

    read(path) -> dict(width, height, depth, color_type, palette, trns, rows)

rows[y][x] is the pixel's tuple of samples at the file's own depth (1 to 16 bits)."""
import struct
import zlib

CHANNELS = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}
ADAM7 = [(0, 0, 8, 8), (4, 0, 8, 8), (0, 4, 4, 8), (2, 0, 4, 4), (0, 2, 2, 4), (1, 0, 2, 2), (0, 1, 1, 2)]


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def unfilter(kind, line, prev, step):
    for i in range(len(line)):
        a = line[i - step] if i >= step else 0
        b = prev[i]
        c = prev[i - step] if i >= step else 0
        if kind == 1:
            line[i] = (line[i] + a) & 255
        elif kind == 2:
            line[i] = (line[i] + b) & 255
        elif kind == 3:
            line[i] = (line[i] + (a + b) // 2) & 255
        elif kind == 4:
            line[i] = (line[i] + paeth(a, b, c)) & 255


def pixel(line, x, channels, depth):
    if depth == 8:
        return tuple(line[x * channels:(x + 1) * channels])
    if depth == 16:
        return tuple(struct.unpack_from(">%dH" % channels, line, x * channels * 2))
    per = 8 // depth
    shift = 8 - depth * (x % per + 1)
    return ((line[x // per] >> shift) & ((1 << depth) - 1),)


def read(path):
    data = open(path, "rb").read()
    at, idat, palette, trns, header = 8, b"", [], None, None
    while at + 8 <= len(data):
        length, kind = struct.unpack_from(">I4s", data, at)
        body = data[at + 8:at + 8 + length]
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"PLTE":
            palette = [tuple(body[i:i + 3]) for i in range(0, len(body) - 2, 3)]
        elif kind == b"tRNS":
            trns = body
        elif kind == b"IDAT":
            idat += body
        elif kind == b"IEND":
            break
        at += 12 + length
    width, height, depth, color_type, _, _, interlace = header
    channels = CHANNELS[color_type]
    bits = channels * depth
    raw = zlib.decompressobj().decompress(idat)
    rows = [[None] * width for _ in range(height)]
    pos = 0
    for x0, y0, dx, dy in (ADAM7 if interlace else [(0, 0, 1, 1)]):
        pass_width = (width - x0 + dx - 1) // dx if width > x0 else 0
        pass_height = (height - y0 + dy - 1) // dy if height > y0 else 0
        if not pass_width or not pass_height:
            continue
        stride = (pass_width * bits + 7) // 8
        prev = bytearray(stride)
        for r in range(pass_height):
            line = bytearray(raw[pos + 1:pos + 1 + stride])
            unfilter(raw[pos], line, prev, max(1, bits // 8))
            pos += 1 + stride
            for c in range(pass_width):
                rows[y0 + r * dy][x0 + c * dx] = pixel(line, c, channels, depth)
            prev = line
    return dict(width=width, height=height, depth=depth, color_type=color_type, palette=palette, trns=trns,
                rows=rows)
