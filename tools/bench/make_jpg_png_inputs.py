#!/usr/bin/python3
"""make_jpg_png_inputs.py DIR: the 12-megapixel pictures (4000 x 3000) that bench_jpg,
bench_png and bench_webp decode, written by Pillow, once.

    q90_420.jpg    quality 90, 4:2:0 subsampling, baseline
    progressive.jpg  quality 90, 4:2:0, progressive
    rgb.png        24-bit RGB, zlib level 6
    palette.png    256 colours, zlib level 6
    lossy.webp     lossy, quality 90
    lossless.webp  lossless, method 4

The picture is make_large_inputs.py's photograph-like one: smooth gradients, sharp detail and a
little noise.
"""
import sys
from pathlib import Path

from PIL import Image

from make_large_inputs import picture


def main():
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    names = ("q90_420.jpg", "progressive.jpg", "rgb.png", "palette.png", "lossy.webp", "lossless.webp")
    if all((out / n).exists() for n in names):
        return 0
    rgb = picture()
    rgb.save(out / "q90_420.jpg", quality=90, subsampling=2)
    rgb.save(out / "progressive.jpg", quality=90, subsampling=2, progressive=True)
    rgb.save(out / "rgb.png", compress_level=6)
    rgb.quantize(256, method=Image.Quantize.FASTOCTREE).save(out / "palette.png", compress_level=6)
    rgb.save(out / "lossy.webp", quality=90)
    rgb.save(out / "lossless.webp", lossless=True, method=4)
    return 0


if __name__ == "__main__":
    sys.exit(main())
