#!/usr/bin/python3
"""Draws the viewer's own bitmaps and icons into resources/:

- viewer_toolbar.bmp (bitmap 131): thirteen 16 x 16 cells, 208 x 16, 8 bits with a colour
  table. Light grey 0xC0C0C0 is the background the toolbar maps to its button face. Cells:
  0 zoom in, 1 zoom out, 2 rotate left, 3 rotate right, 4 open, 5 invert, 6 mirror
  left-right, 7 flip top-bottom, 8 spare (blank), 9 status bar, 10 toolbar, 11 previous
  page, 12 next page.
- view_background.bmp (bitmap 134): the image view's 8 x 8 background pattern, a soft
  checkerboard that tells the picture's edge from the empty view.
- program.ico (icon 107) and file_link.ico (icon 154): 16 x 16 and 32 x 32, 32-bit with
  alpha and an AND mask, written as plain DIB entries (no PNG inside) for every loader.

Run from the repository root: tools/icons/make_viewer_images.py
"""
import struct
from pathlib import Path

from PIL import Image, ImageDraw

OUT = Path(__file__).resolve().parents[2] / "resources"

FACE = (192, 192, 192)
BLACK = (0, 0, 0)
WHITE = (255, 255, 255)
DARK = (64, 64, 64)
SHADE = (112, 112, 112)
BLUE = (0, 64, 176)
SKY = (96, 160, 232)
GLASS = (200, 228, 255)
YELLOW = (248, 208, 72)
OCHRE = (168, 120, 16)
RED = (200, 32, 32)
GREEN = (24, 128, 48)
PALETTE = [FACE, BLACK, WHITE, DARK, SHADE, BLUE, SKY, GLASS, YELLOW, OCHRE, RED, GREEN]


def cell():
    img = Image.new("RGB", (16, 16), FACE)
    return img, ImageDraw.Draw(img)


def magnifier(sign):
    img, d = cell()
    d.ellipse([1, 1, 10, 10], fill=GLASS, outline=BLUE, width=2)
    d.line([(9, 9), (14, 14)], fill=DARK, width=3)
    d.line([(3, 5), (8, 5)], fill=BLUE, width=1)
    d.line([(3, 6), (8, 6)], fill=BLUE, width=1)
    if sign == "+":
        d.line([(5, 3), (5, 8)], fill=BLUE, width=1)
        d.line([(6, 3), (6, 8)], fill=BLUE, width=1)
    return img


def rotate(clockwise):
    img, d = cell()
    # A page turned a quarter, with a curved arrow over it.
    d.rectangle([4, 7, 11, 14], fill=WHITE, outline=DARK)
    d.arc([2, 1, 13, 10], start=190, end=350, fill=GREEN, width=2)
    if clockwise:
        d.polygon([(10, 4), (15, 4), (12, 8)], fill=GREEN)
    else:
        d.polygon([(0, 4), (5, 4), (3, 8)], fill=GREEN)
    return img


def folder():
    img, d = cell()
    d.polygon([(1, 4), (6, 4), (7, 5), (14, 5), (14, 13), (1, 13)], fill=YELLOW, outline=OCHRE)
    d.polygon([(3, 8), (15, 8), (13, 13), (1, 13)], fill=(255, 232, 128), outline=OCHRE)
    return img


def invert():
    img, d = cell()
    d.rectangle([1, 2, 14, 13], outline=DARK, fill=WHITE)
    d.rectangle([8, 3, 13, 12], fill=BLACK)
    d.ellipse([4, 5, 11, 10], fill=BLACK)
    d.pieslice([4, 5, 11, 10], start=270, end=90, fill=WHITE)
    return img


def mirror():
    img, d = cell()
    d.line([(7, 1), (7, 14)], fill=DARK)
    d.line([(8, 1), (8, 14)], fill=DARK)
    d.polygon([(5, 3), (5, 12), (0, 12)], fill=BLUE)
    d.polygon([(10, 3), (10, 12), (15, 12)], fill=SKY, outline=BLUE)
    return img


def flip():
    img, d = cell()
    d.line([(1, 7), (14, 7)], fill=DARK)
    d.line([(1, 8), (14, 8)], fill=DARK)
    d.polygon([(3, 5), (12, 5), (12, 0)], fill=BLUE)
    d.polygon([(3, 10), (12, 10), (12, 15)], fill=SKY, outline=BLUE)
    return img


def window_with_bar(top):
    img, d = cell()
    d.rectangle([1, 1, 14, 14], fill=WHITE, outline=DARK)
    if top:
        d.rectangle([2, 2, 13, 5], fill=SHADE)
        for x in (3, 6, 9):
            d.rectangle([x, 3, x + 1, 4], fill=BLUE)
    else:
        d.rectangle([2, 11, 13, 13], fill=SHADE)
        d.line([(7, 11), (7, 13)], fill=DARK)
    d.polygon([(4, 9 if top else 4), (8, 7 if top else 2), (11, 9 if top else 4)], fill=SKY)
    return img


def page_arrow(forward):
    img, d = cell()
    d.polygon([(3, 1), (10, 1), (13, 4), (13, 14), (3, 14)], fill=WHITE, outline=DARK)
    d.line([(10, 1), (10, 4), (13, 4)], fill=DARK)
    if forward:
        d.polygon([(5, 6), (10, 9), (5, 12)], fill=BLUE)
    else:
        d.polygon([(11, 6), (6, 9), (11, 12)], fill=BLUE)
    return img


def to_palette(img):
    pal = Image.new("P", (1, 1))
    flat = [c for rgb in PALETTE for c in rgb]
    pal.putpalette(flat + [0] * (768 - len(flat)))
    return img.quantize(palette=pal, dither=Image.Dither.NONE)


def toolbar():
    cells = [magnifier("+"), magnifier("-"), rotate(False), rotate(True), folder(), invert(), mirror(), flip(),
             cell()[0], window_with_bar(False), window_with_bar(True), page_arrow(False), page_arrow(True)]
    strip = Image.new("RGB", (16 * len(cells), 16), FACE)
    for i, c in enumerate(cells):
        strip.paste(c, (16 * i, 0))
    to_palette(strip).save(OUT / "viewer_toolbar.bmp")


def background():
    img = Image.new("RGB", (8, 8))
    for y in range(8):
        for x in range(8):
            img.putpixel((x, y), (204, 204, 204) if ((x // 4) + (y // 4)) % 2 == 0 else (180, 180, 180))
    img.save(OUT / "view_background.bmp")


def landscape(size, frame):
    """A framed picture: sky, sun, two hills. Drawn large, reduced for smooth edges."""
    big = 8 * size
    img = Image.new("RGBA", (big, big), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    s = big / 32.0
    x0, y0, x1, y1 = frame
    d.rounded_rectangle([x0 * s, y0 * s, x1 * s, y1 * s], radius=2 * s, fill=(40, 48, 64, 255))
    ix0, iy0, ix1, iy1 = (x0 + 2) * s, (y0 + 2) * s, (x1 - 2) * s, (y1 - 2) * s
    d.rectangle([ix0, iy0, ix1, iy1], fill=SKY + (255,))
    w, h = ix1 - ix0, iy1 - iy0
    d.ellipse([ix0 + 0.62 * w, iy0 + 0.12 * h, ix0 + 0.86 * w, iy0 + 0.12 * h + 0.24 * w], fill=YELLOW + (255,))
    d.polygon([(ix0, iy1), (ix0 + 0.35 * w, iy0 + 0.38 * h), (ix0 + 0.7 * w, iy1)], fill=GREEN + (255,))
    d.polygon([(ix0 + 0.4 * w, iy1), (ix0 + 0.72 * w, iy0 + 0.55 * h), (ix1, iy0 + 0.75 * h), (ix1, iy1)],
              fill=(16, 96, 40, 255))
    return img.resize((size, size), Image.Resampling.LANCZOS)


def program_icon(size):
    return landscape(size, (1, 4, 31, 28))


def file_icon(size):
    big = 8 * size
    img = Image.new("RGBA", (big, big), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    s = big / 32.0
    d.polygon([(5 * s, 1 * s), (21 * s, 1 * s), (27 * s, 7 * s), (27 * s, 31 * s), (5 * s, 31 * s)],
              fill=WHITE + (255,), outline=DARK + (255,), width=int(s))
    d.polygon([(21 * s, 1 * s), (21 * s, 7 * s), (27 * s, 7 * s)], fill=(208, 208, 208, 255),
              outline=DARK + (255,), width=int(s))
    small = img.resize((size, size), Image.Resampling.LANCZOS)
    pic = landscape(size, (7, 12, 25, 28))
    return Image.alpha_composite(small, pic)


def ico_entry(img):
    """One icon image: a BITMAPINFOHEADER of double height, BGRA rows bottom-up, AND mask."""
    w, h = img.size
    header = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, 32, 0, 0, 0, 0, 0, 0)
    px = img.load()
    colour = bytearray()
    for y in range(h - 1, -1, -1):
        for x in range(w):
            r, g, b, a = px[x, y]
            colour += bytes((b, g, r, a))
    mask_stride = ((w + 31) // 32) * 4
    mask = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray(mask_stride)
        for x in range(w):
            if px[x, y][3] < 128:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    return header + bytes(colour) + bytes(mask)


def save_ico(path, images):
    entries = [ico_entry(i) for i in images]
    out = bytearray(struct.pack("<HHH", 0, 1, len(entries)))
    offset = 6 + 16 * len(entries)
    for img, data in zip(images, entries):
        w, h = img.size
        out += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for data in entries:
        out += data
    path.write_bytes(bytes(out))


def main():
    toolbar()
    background()
    save_ico(OUT / "program.ico", [program_icon(16), program_icon(32)])
    save_ico(OUT / "file_link.ico", [file_icon(16), file_icon(32)])


if __name__ == "__main__":
    main()
