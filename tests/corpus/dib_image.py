"""Reads the .bmp files lmx_decode writes (file header + packed DIB, bottom-up, uncompressed
1/2/4/8/16/24/32 bits) into RGB rows, independently of any other BMP reader."""
import struct


def read_rgb(path):
    data = open(path, "rb").read()
    off = struct.unpack_from("<I", data, 10)[0]
    (size, width, height, planes, bits, comp, size_image, xp, yp, clr_used, clr_imp) = \
        struct.unpack_from("<IiiHHIIiiII", data, 14)
    table = [(data[54 + 4 * i + 2], data[54 + 4 * i + 1], data[54 + 4 * i]) for i in range(clr_used)]
    stride = ((width * bits + 31) // 32) * 4
    rows = []
    for y in range(height):
        row_at = off + (height - 1 - y) * stride
        row = data[row_at:row_at + stride]
        out = []
        for x in range(width):
            if bits in (1, 2, 4, 8):
                per = 8 // bits
                byte = row[x // per]
                shift = 8 - bits * (x % per + 1)
                index = (byte >> shift) & ((1 << bits) - 1)
                out.append(table[index] if index < len(table) else (0, 0, 0))
            elif bits == 24:
                b, g, r = row[3 * x:3 * x + 3]
                out.append((r, g, b))
            elif bits == 32:
                b, g, r = row[4 * x:4 * x + 3]
                out.append((r, g, b))
            elif bits == 16:
                v = row[2 * x] | row[2 * x + 1] << 8
                c = [(v >> s) & 31 for s in (10, 5, 0)]
                out.append(tuple((k << 3) | (k >> 2) for k in c))
        rows.append(out)
    return width, height, rows
