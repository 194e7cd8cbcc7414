"""Reads the .bmp files lmx_decode writes (file header + packed DIB, bottom-up, uncompressed
1/2/4/8/16/24/32 bits, 16 and 32 bits also with bit-field masks) into RGB rows, independently
of any other BMP reader."""
import struct

BIT_FIELDS = 3
DEFAULT_MASKS = {16: (0x7C00, 0x03E0, 0x001F), 32: (0xFF0000, 0x00FF00, 0x0000FF)}


def field(value, mask):
    """The bits of value under mask, scaled from the field's range to 0..255, rounded."""
    if not mask:
        return 0
    shift = (mask & -mask).bit_length() - 1
    top = mask >> shift
    return (2 * ((value & mask) >> shift) * 255 + top) // (2 * top)


def read_rgb(path):
    data = open(path, "rb").read()
    off = struct.unpack_from("<I", data, 10)[0]
    (size, width, height, planes, bits, comp, size_image, xp, yp, clr_used, clr_imp) = \
        struct.unpack_from("<IiiHHIIiiII", data, 14)
    masks = DEFAULT_MASKS.get(bits)
    table_at = 54
    if comp == BIT_FIELDS and bits in (16, 32):
        masks = struct.unpack_from("<III", data, 54)
        table_at += 12
    table = [(data[table_at + 4 * i + 2], data[table_at + 4 * i + 1], data[table_at + 4 * i]) for i in range(clr_used)]
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
            elif bits in (16, 32):
                v = int.from_bytes(row[x * bits // 8:(x + 1) * bits // 8], "little")
                out.append(tuple(field(v, m) for m in masks))
        rows.append(out)
    return width, height, rows
