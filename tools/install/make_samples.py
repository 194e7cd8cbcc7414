#!/usr/bin/python3
"""Sample pictures for the emulated device's My Documents folder, one per delivered format:
a 24-bit BMP, a 256-colour GIF, a 16-colour PCX, a TIFF of three pages, a photograph-like
JPEG, a PNG with transparency and the photograph again as a lossy WebP. A file that is already there is left alone, so installing
again changes nothing.

    make_samples.py FOLDER
"""
import math
import os
import sys

from PIL import Image, ImageChops, ImageDraw, ImageFilter

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


def photo():
    """A lake below mountains at dusk: soft gradients, fine grain and sharp edges, as in a
    photograph, so that the JPEG's compression has work to do."""
    w, h = 320, 240
    sky = Image.linear_gradient("L").resize((w, h))
    img = Image.merge("RGB", (sky.point(lambda v: 250 - v // 3), sky.point(lambda v: 150 + v // 3),
                              sky.point(lambda v: 120 + v // 2)))
    d = ImageDraw.Draw(img)
    d.ellipse((210, 40, 250, 80), fill=(255, 236, 180))
    img = img.filter(ImageFilter.GaussianBlur(3))
    d = ImageDraw.Draw(img)
    for shade, peaks in (((70, 80, 110), [(0, 150), (60, 90), (120, 135), (190, 70), (260, 125), (320, 100)]),
                         ((40, 60, 70), [(0, 170), (80, 130), (150, 160), (230, 120), (320, 160)])):
        d.polygon(peaks + [(w, 175), (0, 175)], fill=shade)
    d.rectangle((0, 175, w, h), fill=(60, 90, 120))
    # The mountains mirrored in the water, darker and blurred.
    mirror = img.crop((0, 110, w, 175)).transpose(Image.Transpose.FLIP_TOP_BOTTOM).resize((w, h - 175))
    water = Image.blend(mirror, Image.new("RGB", mirror.size, (30, 50, 80)), 0.45)
    img.paste(water.filter(ImageFilter.GaussianBlur(1)), (0, 175))
    grain = Image.effect_noise((w, h), 6).convert("RGB")
    return ImageChops.add(img, grain, 1.0, -128)


def glass():
    """Three tinted panes over one another on a transparent ground, half see-through."""
    img = Image.new("RGBA", (W, H), (0, 0, 0, 0))
    for box, colour in (((20, 20, 140, 140), (220, 30, 40, 150)), ((100, 30, 220, 150), (30, 120, 220, 150)),
                        ((60, 70, 180, 170), (40, 180, 60, 150))):
        pane = Image.new("RGBA", (W, H), (0, 0, 0, 0))
        ImageDraw.Draw(pane).rounded_rectangle(box, radius=18, fill=colour, outline=colour[:3] + (255,), width=3)
        img = Image.alpha_composite(img, pane)
    return img


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
    if missing("Photo.jpg"):
        photo().save(os.path.join(folder, "Photo.jpg"), quality=90)
    if missing("Glass.png"):
        glass().save(os.path.join(folder, "Glass.png"))
    if missing("Lake.webp"):
        photo().save(os.path.join(folder, "Lake.webp"), quality=85)


if __name__ == "__main__":
    main()
