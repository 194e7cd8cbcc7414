#!/usr/bin/python3
"""make_tif_inputs.py DIR: the large TIFFs (4000 x 3000) that bench_tif decodes, written by Pillow.

    lzw_rgb.tif        a photograph-like colour picture, LZW
    lzw_gray.tif       the same in grey, LZW
    packbits_gray.tif  a page of text and rules in grey, PackBits
    g4.tif             the same page in black and white, CCITT Group 4
"""
import sys
from pathlib import Path

from PIL import Image, ImageDraw

W, H = 4000, 3000


def photo():
    """Smooth colour fields with a little grain."""
    r = Image.linear_gradient("L").resize((W, H))
    g = Image.radial_gradient("L").resize((W, H))
    b = Image.linear_gradient("L").rotate(90).resize((W, H))
    base = Image.merge("RGB", (r, g, b))
    grain = Image.effect_noise((W, H), 24).convert("RGB")
    return Image.blend(base, grain, 0.05)


def page(mode, ink, paper):
    """Lines of text and ruled boxes, like a scanned page."""
    im = Image.new(mode, (W, H), paper)
    d = ImageDraw.Draw(im)
    line = "The quick brown fox jumps over the lazy dog 0123456789 " * 12
    for y in range(40, H - 40, 18):
        d.text((60, y), line, fill=ink)
    for x in range(0, W, 500):
        d.rectangle((x + 20, 20, x + 480, H - 20), outline=ink, width=3)
    return im


def main():
    if len(sys.argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    photo().save(out / "lzw_rgb.tif", compression="tiff_lzw")
    photo().convert("L").save(out / "lzw_gray.tif", compression="tiff_lzw")
    page("L", 30, 245).save(out / "packbits_gray.tif", compression="packbits")
    page("1", 0, 1).save(out / "g4.tif", compression="group4")
    return 0


if __name__ == "__main__":
    sys.exit(main())
