#!/usr/bin/env python3
"""Draws the format plug-ins' icons (group 100): a page with a coloured band and the
format's letters, at 16 x 16 and 32 x 32, written as .ico files beside each plug-in.

Run from the repository root: tools/icons/make_plugin_icons.py
"""
import struct
from pathlib import Path

# 3 x 5 pixel letters, enough for the format names.
FONT = {
    "B": ["110", "101", "110", "101", "110"], "M": ["101", "111", "111", "101", "101"],
    "P": ["110", "101", "110", "100", "100"], "C": ["011", "100", "100", "100", "011"],
    "X": ["101", "101", "010", "101", "101"], "G": ["011", "100", "101", "101", "011"],
    "I": ["111", "010", "010", "010", "111"], "F": ["111", "100", "110", "100", "100"],
    "T": ["111", "010", "010", "010", "010"], "J": ["001", "001", "001", "101", "010"],
    "N": ["101", "111", "111", "111", "101"], "W": ["101", "101", "111", "111", "101"],
    "E": ["111", "100", "110", "100", "111"],
}

PLUGINS = {
    "bmp": ("BMP", (0x2E, 0x6F, 0xD8)),
    "pcx": ("PCX", (0xD8, 0x7A, 0x1E)),
    "gif": ("GIF", (0x2E, 0xA0, 0x4A)),
    "tif": ("TIF", (0x8E, 0x3E, 0xC0)),
    "jpg": ("JPG", (0xC8, 0x2E, 0x3A)),
    "png": ("PNG", (0x1E, 0x9C, 0xA8)),
    "webp": ("WEB", (0xB0, 0x8A, 0x10)),
}


def draw(size, letters, band):
    white, edge, ink = (255, 255, 255), (0x50, 0x50, 0x50), (0x20, 0x20, 0x20)
    px = [[None] * size for _ in range(size)]
    s = size / 16.0
    left, right, top, bottom = int(2 * s), int(13 * s), 0, size - 1
    fold = int(3 * s)
    for y in range(top, bottom + 1):
        for x in range(left, right + 1):
            if x > right - fold and y < top + fold and (x - (right - fold)) > y - top:
                continue  # folded corner
            border = x in (left, right) or y in (top, bottom) or (x - (right - fold)) == y - top
            px[y][x] = edge if border else white
    band_top, band_bottom = int(9 * s), int(14 * s)
    for y in range(band_top, band_bottom):
        for x in range(left + 1, right):
            px[y][x] = band
    if size >= 32:
        scale = 2
        x0 = left + 2
        y0 = int(3 * s) + 2
        for i, ch in enumerate(letters):
            for r, row in enumerate(FONT[ch]):
                for c, bit in enumerate(row):
                    if bit == "1":
                        for dy in range(scale):
                            for dx in range(scale):
                                px[y0 + r * scale + dy][x0 + i * 7 + c * scale + dx] = ink
    else:
        for i, ch in enumerate(letters[:1]):
            for r, row in enumerate(FONT[ch]):
                for c, bit in enumerate(row):
                    if bit == "1":
                        px[3 + r][6 + c] = ink
    return px


def icon_image(px):
    size = len(px)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    rows = b""
    for y in reversed(range(size)):
        for x in range(size):
            p = px[y][x]
            rows += bytes((p[2], p[1], p[0], 255)) if p else b"\0\0\0\0"
    mask_stride = ((size + 31) // 32) * 4
    mask = b""
    for y in reversed(range(size)):
        bits = 0
        row = bytearray(mask_stride)
        for x in range(size):
            if px[y][x] is None:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(row)
    return header + rows + mask


def write_ico(path, images):
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    data = b""
    for size, img in images:
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(img), offset + len(data))
        data += img
    path.write_bytes(out + data)


def main():
    root = Path(__file__).resolve().parents[2]
    for name, (letters, band) in PLUGINS.items():
        images = [(n, icon_image(draw(n, letters, band))) for n in (16, 32)]
        target = root / "plugins" / name / f"{name}.ico"
        target.parent.mkdir(parents=True, exist_ok=True)
        write_ico(target, images)


if __name__ == "__main__":
    main()
