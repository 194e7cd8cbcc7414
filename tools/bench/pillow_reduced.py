#!/usr/bin/python3
"""pillow_reduced.py FILE...: Pillow's whole decode of each file beside its reduced one for a
240 x 320 box (draft(), which lets libjpeg scale while decoding, then thumbnail()), from bytes
in memory, wall-clock medians of 7:

    pillow  photo_q90.jpg  whole 98.1 ms  draft+thumbnail 23.0 ms
"""
import io
import statistics
import sys
import time
from pathlib import Path

from PIL import Image

Image.MAX_IMAGE_PIXELS = None
BOX = (240, 320)


def median_ms(run, data, repeat=7):
    times = []
    for _ in range(repeat):
        start = time.perf_counter()
        run(data)
        times.append((time.perf_counter() - start) * 1000)
    return statistics.median(times)


def whole(data):
    with Image.open(io.BytesIO(data)) as im:
        im.load()


def reduced(data):
    with Image.open(io.BytesIO(data)) as im:
        im.draft("RGB", BOX)
        im.thumbnail(BOX)


def main():
    for name in sys.argv[1:]:
        data = Path(name).read_bytes()
        print(f"pillow  {Path(name).name:<16} whole {median_ms(whole, data):7.1f} ms  "
              f"draft+thumbnail {median_ms(reduced, data):6.1f} ms", flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
