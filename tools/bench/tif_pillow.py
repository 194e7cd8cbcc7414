#!/usr/bin/python3
"""Large TIFF inputs for bench_tif, and Pillow's decoding speed on them as the reference.

    tif_pillow.py make DIR           writes the inputs (4000 x 3000) into DIR
    tif_pillow.py time FILE...       Pillow's in-process decode time of each file

Times are the process's CPU time (best of 5), as bench_tif's rates are: the machine is shared.
"""
import sys
import time
from pathlib import Path

from PIL import Image, ImageDraw

W, H = 4000, 3000


def photo():
    """Smooth colour fields with a little grain, like a photograph."""
    r = Image.linear_gradient("L").resize((W, H))
    g = Image.radial_gradient("L").resize((W, H))
    b = Image.linear_gradient("L").rotate(90).resize((W, H))
    base = Image.merge("RGB", (r, g, b))
    grain = Image.effect_noise((W, H), 24).convert("RGB")
    return Image.blend(base, grain, 0.05)


def page(mode, ink, paper):
    """Lines of text and ruled boxes, like a scanned page or a screenshot."""
    im = Image.new(mode, (W, H), paper)
    d = ImageDraw.Draw(im)
    line = "The quick brown fox jumps over the lazy dog 0123456789 " * 12
    for y in range(40, H - 40, 18):
        d.text((60, y), line, fill=ink)
    for x in range(0, W, 500):
        d.rectangle((x + 20, 20, x + 480, H - 20), outline=ink, width=3)
    return im


def make(out):
    out.mkdir(parents=True, exist_ok=True)
    photo().save(out / "lzw_rgb.tif", compression="tiff_lzw")
    photo().convert("L").save(out / "lzw_gray.tif", compression="tiff_lzw")
    page("L", 30, 245).save(out / "packbits_gray.tif", compression="packbits")
    page("1", 0, 1).save(out / "g4.tif", compression="group4")


def pillow_time(path, runs=5):
    best = None
    for _ in range(runs):
        im = Image.open(path)
        t0 = time.process_time()
        im.load()
        t = time.process_time() - t0
        best = t if best is None or t < best else best
    return best, im.size[0] * im.size[1]


def main():
    if len(sys.argv) >= 3 and sys.argv[1] == "make":
        make(Path(sys.argv[2]))
        return 0
    if len(sys.argv) >= 3 and sys.argv[1] == "time":
        for f in sys.argv[2:]:
            t, pixels = pillow_time(f)
            print(f"Pillow {Image.__version__} {Path(f).name:16} {t * 1000:8.1f} ms CPU {pixels / t / 1e6:8.1f} MP/s")
        return 0
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main())
