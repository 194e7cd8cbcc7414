#!/usr/bin/python3
"""Draws the explorer's bitmaps, two strips of 16 x 16 cells:

- resources/explorer_images.bmp (bitmap 140): the rows' icons, 128 x 16, magenta
  0xFF00FF transparent: 0 folder, 1 up arrow (parent row), 2 file, 3 storage card,
  4 picture, 5 plug-in, 6 down-pointing triangle, 7 up-pointing triangle (sort arrows).
- resources/explorer_toolbar.bmp (bitmap 145): the toolbar, 208 x 16 on button-face
  grey 0xC0C0C0 (the toolbar maps it to the face colour): 0 folder (root), 1 up arrow, then
  file, storage card, picture, plug-in, sort down, sort up, back, forward, find, cancel, done.

Run from the repository root: tools/icons/make_explorer_bitmaps.py
"""
from pathlib import Path

from PIL import Image, ImageDraw

MAGENTA = (0xFF, 0x00, 0xFF)
FACE = (0xC0, 0xC0, 0xC0)
BLACK = (0, 0, 0)
WHITE = (0xFF, 0xFF, 0xFF)
FOLDER = (0xF2, 0xC1, 0x4E)
FOLDER_DARK = (0x9C, 0x6B, 0x0C)
BLUE = (0x1E, 0x5A, 0xC8)
GREEN = (0x1E, 0x8C, 0x3C)
RED = (0xC8, 0x1E, 0x1E)
GREY = (0x60, 0x60, 0x60)


def folder(d, x):
    d.polygon([(x + 1, 3), (x + 6, 3), (x + 7, 5), (x + 14, 5), (x + 14, 13), (x + 1, 13)],
              fill=FOLDER, outline=FOLDER_DARK)
    d.line([(x + 2, 6), (x + 13, 6)], fill=WHITE)


def up_arrow(d, x):
    d.polygon([(x + 8, 1), (x + 14, 8), (x + 10, 8), (x + 10, 14), (x + 6, 14), (x + 6, 8), (x + 2, 8)],
              fill=GREEN, outline=BLACK)


def page(d, x):
    d.polygon([(x + 3, 1), (x + 10, 1), (x + 13, 4), (x + 13, 14), (x + 3, 14)], fill=WHITE, outline=BLACK)
    d.line([(x + 10, 1), (x + 10, 4), (x + 13, 4)], fill=BLACK)


def file_icon(d, x):
    page(d, x)
    for y in (6, 8, 10, 12):
        d.line([(x + 5, y), (x + 11, y)], fill=GREY)


def storage_card(d, x):
    d.polygon([(x + 2, 2), (x + 11, 2), (x + 14, 5), (x + 14, 14), (x + 2, 14)], fill=BLUE, outline=BLACK)
    for k in range(4):
        d.rectangle([x + 4 + 2 * k, 3, x + 4 + 2 * k, 5], fill=(0xE8, 0xC8, 0x40))
    d.rectangle([x + 4, 8, x + 12, 12], fill=WHITE)


def picture(d, x):
    d.rectangle([x + 1, 2, x + 14, 13], fill=(0x9C, 0xD0, 0xF4), outline=BLACK)
    d.polygon([(x + 2, 12), (x + 6, 7), (x + 9, 10), (x + 11, 8), (x + 13, 12)], fill=GREEN)
    d.ellipse([x + 9, 3, x + 12, 6], fill=(0xF8, 0xD8, 0x30))


def plug_in(d, x):
    d.rectangle([x + 3, 4, x + 12, 12], fill=(0x70, 0x40, 0xB0), outline=BLACK)
    for px in (x + 5, x + 9):
        d.rectangle([px, 1, px + 1, 3], fill=GREY)
    d.line([(x + 7, 12), (x + 7, 15)], fill=BLACK)


def triangle_down(d, x):
    d.polygon([(x + 4, 6), (x + 12, 6), (x + 8, 11)], fill=GREY, outline=BLACK)


def triangle_up(d, x):
    d.polygon([(x + 4, 10), (x + 12, 10), (x + 8, 5)], fill=GREY, outline=BLACK)


def arrow_left(d, x):
    d.polygon([(x + 1, 8), (x + 8, 2), (x + 8, 6), (x + 14, 6), (x + 14, 10), (x + 8, 10), (x + 8, 14)],
              fill=BLUE, outline=BLACK)


def arrow_right(d, x):
    d.polygon([(x + 14, 8), (x + 7, 2), (x + 7, 6), (x + 1, 6), (x + 1, 10), (x + 7, 10), (x + 7, 14)],
              fill=BLUE, outline=BLACK)


def magnifier(d, x):
    d.ellipse([x + 2, 2, x + 10, 10], fill=(0xD8, 0xEC, 0xFC), outline=BLACK)
    d.line([(x + 9, 9), (x + 14, 14)], fill=BLACK, width=2)


def cross(d, x):
    d.line([(x + 3, 3), (x + 12, 12)], fill=RED, width=3)
    d.line([(x + 12, 3), (x + 3, 12)], fill=RED, width=3)


def check(d, x):
    d.line([(x + 2, 8), (x + 6, 12), (x + 13, 3)], fill=GREEN, width=3)


ROW_IMAGES = [folder, up_arrow, file_icon, storage_card, picture, plug_in, triangle_down, triangle_up]
TOOLBAR_IMAGES = [folder, up_arrow, file_icon, storage_card, picture, plug_in, triangle_down, triangle_up,
                  arrow_left, arrow_right, magnifier, cross, check]


def strip(painters, background):
    img = Image.new("RGB", (16 * len(painters), 16), background)
    d = ImageDraw.Draw(img)
    for i, paint in enumerate(painters):
        paint(d, 16 * i)
    return img


def main():
    out = Path(__file__).resolve().parents[2] / "resources"
    strip(ROW_IMAGES, MAGENTA).save(out / "explorer_images.bmp")
    strip(TOOLBAR_IMAGES, FACE).save(out / "explorer_toolbar.bmp")


if __name__ == "__main__":
    main()
