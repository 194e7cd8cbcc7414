#!/usr/bin/python3
"""make_photo_inputs.py DIR CORPUS: a real photograph (the corpus's hopper.bmp, a portrait)
enlarged to 4000 x 3000 with Lanczos, written by Pillow once: photo_q90.jpg (quality 90, 4:2:0)
and photo.png (24-bit RGB, zlib level 6). The reduced-decoding benchmark reads them.
"""
import sys
from pathlib import Path

from PIL import Image


def main():
    out, corpus = Path(sys.argv[1]), Path(sys.argv[2])
    out.mkdir(parents=True, exist_ok=True)
    names = ("photo_q90.jpg", "photo.png")
    if all((out / n).exists() for n in names):
        return 0
    with Image.open(corpus / "pillow" / "hopper.bmp") as small:
        photo = small.convert("RGB").resize((4000, 3000), Image.Resampling.LANCZOS)
    photo.save(out / "photo_q90.jpg", quality=90, subsampling=2)
    photo.save(out / "photo.png", compress_level=6)
    return 0


if __name__ == "__main__":
    sys.exit(main())
