#!/usr/bin/python3
"""Sample pictures for the emulated device's My Documents folder, one per delivered format:
a 24-bit BMP, a 256-colour GIF, a 16-colour PCX and a TIFF of three pages. A file that is
already there is left alone, so installing again changes nothing.

    make_samples.py FOLDER
"""
import math
import os
import sys

from PIL import Image, ImageDraw

W, H = 240, 180


def sunset():
    img = Image.new("RGB", (W, H))
    px = img.load()
    for y in range(H):
        for x in range(W):
            t = y / (H - 1)
            px[x, y] = (int(255 * (1 - t * 0.6)), int(140 * (1 - t) + 40 * t), int(60 + 140 * t))
    d = ImageDraw.Draw(img)
    d.ellipse((90, 50, 150, 110), fill=(255, 220, 80))
    d.rectangle((0, 130, W, H), fill=(20, 40, 90))
    for i in range(8):
        d.line((20 + i * 28, 140 + (i % 3) * 10, 40 + i * 28, 140 + (i % 3) * 10), fill=(255, 200, 90), width=2)
    return img


def rings():
    img = Image.new("RGB", (W, H), (255, 255, 255))
    d = ImageDraw.Draw(img)
    for r in range(110, 0, -10):
        a = r / 110
        d.ellipse((W / 2 - r, H / 2 - r, W / 2 + r, H / 2 + r),
                  fill=(int(255 * a), int(128 + 127 * math.sin(r / 15)), int(255 * (1 - a))))
    return img.quantize(colors=256)


def stripes():
    img = Image.new("RGB", (W, H))
    d = ImageDraw.Draw(img)
    colours = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
               (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
               (255, 0, 255), (0, 255, 255), (255, 255, 255)]
    for i, c in enumerate(colours):
        d.polygon([(i * 15 - 40, 0), (i * 15 - 10, 0), (i * 15 + 50, H), (i * 15 + 20, H)], fill=c)
    palette = Image.new("P", (1, 1))
    palette.putpalette([v for c in colours for v in c] + [0] * (768 - 48))
    return img.quantize(palette=palette, dither=Image.Dither.NONE)


def pages():
    out = []
    for n, colour in enumerate([(200, 40, 40), (40, 160, 40), (40, 60, 200)], start=1):
        img = Image.new("RGB", (H, W), (250, 250, 240))
        d = ImageDraw.Draw(img)
        d.rectangle((10, 10, H - 11, W - 11), outline=colour, width=4)
        for i in range(n):
            d.ellipse((30 + i * 45, 100, 70 + i * 45, 140), fill=colour)
        out.append(img)
    return out


def main():
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)

    def missing(name):
        return not os.path.exists(os.path.join(folder, name))

    if missing("Sunset.bmp"):
        sunset().save(os.path.join(folder, "Sunset.bmp"))
    if missing("Rings.gif"):
        rings().save(os.path.join(folder, "Rings.gif"))
    if missing("Stripes.pcx"):
        stripes().save(os.path.join(folder, "Stripes.pcx"))
    if missing("Pages.tif"):
        first, *rest = pages()
        first.save(os.path.join(folder, "Pages.tif"), save_all=True, append_images=rest, compression="tiff_lzw")


if __name__ == "__main__":
    main()
