#!/usr/bin/python3
"""make_large_inputs.py DIR: writes the large benchmark pictures into DIR with Pillow, once.

    large.gif     4000 x 3000, 256 colours, LZW
    large8.pcx    4000 x 3000, 256 colours, run-length encoded
    large24.pcx   4000 x 3000, 3 planes of 8 bits, run-length encoded

The picture is photograph-like: smooth gradients, sharp detail and a little noise, so that
neither LZW nor run-length coding has it too easy.
"""
import sys
from pathlib import Path

from PIL import Image, ImageChops

SIZE = (4000, 3000)


def picture():
    detail = Image.effect_mandelbrot(SIZE, (-2.2, -1.2, 1.0, 1.2), 64)
    across = Image.linear_gradient("L").rotate(90).resize(SIZE)
    around = Image.radial_gradient("L").resize(SIZE)
    noise = Image.effect_noise(SIZE, 4)
    channels = [ImageChops.add(c, noise, 1.0, -128) for c in (detail, across, around)]
    return Image.merge("RGB", channels)


def main():
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    targets = [out / n for n in ("large.gif", "large8.pcx", "large24.pcx")]
    if all(t.exists() for t in targets):
        return 0
    rgb = picture()
    palette = rgb.quantize(256, method=Image.Quantize.FASTOCTREE)
    palette.save(out / "large.gif")
    palette.save(out / "large8.pcx")
    rgb.save(out / "large24.pcx")
    return 0


if __name__ == "__main__":
    sys.exit(main())
