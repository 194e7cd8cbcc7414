#!/usr/bin/python3
"""Draws the program's own bitmaps that are not icons:

- resources/splash.bmp (bitmap 136): the splash picture, one 216 x 80 cell; grey
  0x808080 is the image list's mask colour, so the rounded corners show the dialog behind.
  The image list keeps 16 colours, so the picture is dithered to the 16 standard colours
  (without the mask grey) and looks the same on every screen.
- tests/app/toolbar13.bmp: a 208 x 16 strip of thirteen 16 x 16 toolbar cells for the
  toolbar tests.

Run from the repository root: tools/icons/make_app_bitmaps.py
"""
import math
from pathlib import Path

from PIL import Image, ImageDraw

MASK = (0x80, 0x80, 0x80)


def lerp(a, b, t):
    return tuple(int(round(x + (y - x) * t)) for x, y in zip(a, b))


def splash():
    w, h = 216, 80
    img = Image.new("RGB", (w, h), MASK)
    d = ImageDraw.Draw(img)
    # Evening sky over hills inside a rounded frame.
    sky_top, sky_bottom = (0x1C, 0x3F, 0x8C), (0xF2, 0xA6, 0x5A)
    body = Image.new("RGB", (w, h))
    bd = ImageDraw.Draw(body)
    for y in range(h):
        bd.line([(0, y), (w, y)], fill=lerp(sky_top, sky_bottom, y / (h - 1)))
    bd.ellipse([150, 38, 182, 70], fill=(0xFF, 0xE0, 0x8A))
    far = [(x, 58 - 9 * math.sin(x / 23.0) - 4 * math.sin(x / 7.0)) for x in range(0, w + 1, 2)]
    bd.polygon(far + [(w, h), (0, h)], fill=(0x3E, 0x5E, 0x8E))
    near = [(x, 66 - 7 * math.sin(x / 31.0 + 1.3)) for x in range(0, w + 1, 2)]
    bd.polygon(near + [(w, h), (0, h)], fill=(0x24, 0x3A, 0x5C))
    mask = Image.new("L", (w, h), 0)
    ImageDraw.Draw(mask).rounded_rectangle([0, 0, w - 1, h - 1], radius=10, fill=255)
    img.paste(body, (0, 0), mask)
    # The viewer's mark: a lens with a highlight, left of centre.
    cx, cy, r = 40, 34, 22
    d.ellipse([cx - r - 3, cy - r - 3, cx + r + 3, cy + r + 3], fill=(0xF4, 0xF4, 0xF4))
    d.ellipse([cx - r, cy - r, cx + r, cy + r], fill=(0x10, 0x22, 0x48))
    d.ellipse([cx - 13, cy - 13, cx + 13, cy + 13], fill=(0x2E, 0x6F, 0xD8))
    d.ellipse([cx - 6, cy - 6, cx + 6, cy + 6], fill=(0x0A, 0x12, 0x28))
    d.ellipse([cx - 11, cy - 12, cx - 4, cy - 5], fill=(0xE8, 0xF2, 0xFF))
    return img


# The 16 standard colours less the mask grey.
STANDARD = [(0, 0, 0), (0x80, 0, 0), (0, 0x80, 0), (0x80, 0x80, 0), (0, 0, 0x80), (0x80, 0, 0x80),
            (0, 0x80, 0x80), (0xC0, 0xC0, 0xC0), (0xFF, 0, 0), (0, 0xFF, 0), (0xFF, 0xFF, 0),
            (0, 0, 0xFF), (0xFF, 0, 0xFF), (0, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF)]


def to_standard_colours(img):
    """Dithers everything but the mask to the standard colours; the mask stays exact."""
    palette = Image.new("P", (1, 1))
    flat = [c for rgb in STANDARD for c in rgb]
    palette.putpalette(flat + flat[:3] * (256 - len(STANDARD)))
    dithered = img.quantize(palette=palette, dither=Image.Dither.FLOYDSTEINBERG).convert("RGB")
    out = img.copy()
    src, dst = img.load(), dithered.load()
    for y in range(img.height):
        for x in range(img.width):
            if src[x, y] != MASK:
                out.putpixel((x, y), dst[x, y])
    return out


def toolbar():
    img = Image.new("RGB", (208, 16), (0xC0, 0xC0, 0xC0))
    d = ImageDraw.Draw(img)
    for i in range(13):
        colour = lerp((0x2E, 0x6F, 0xD8), (0xD8, 0x7A, 0x1E), i / 12)
        d.rectangle([i * 16 + 2, 2, i * 16 + 13, 13], outline=(0, 0, 0), fill=colour)
        for k in range(i % 4 + 1):
            d.point((i * 16 + 4 + 2 * k, 7), fill=(0xFF, 0xFF, 0xFF))
    return img


def main():
    root = Path(__file__).resolve().parents[2]
    to_standard_colours(splash()).save(root / "resources" / "splash.bmp")
    (root / "tests" / "app").mkdir(parents=True, exist_ok=True)
    toolbar().save(root / "tests" / "app" / "toolbar13.bmp")


if __name__ == "__main__":
    main()
