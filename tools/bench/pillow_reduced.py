#!/usr/bin/python3
"""pillow_reduced.py FILE...: Pillow's whole decode of each file beside its reduced one for a
240 x 320 box (draft(), which lets libjpeg scale while decoding, then thumbnail()), each
opened from the file's path as the plug-ins open it, wall-clock medians of 7:

    pillow  photo_q90.jpg  whole 98.1 ms  draft+thumbnail 23.0 ms
"""
import statistics
import sys
import time
from pathlib import Path

from PIL import Image

Image.MAX_IMAGE_PIXELS = None
BOX = (240, 320)


def median_ms(run, path, repeat=7):
    times = []
    for _ in range(repeat):
        start = time.perf_counter()
        run(path)
        times.append((time.perf_counter() - start) * 1000)
    return statistics.median(times)


def whole(path):
    with Image.open(path) as im:
        im.load()


def reduced(path):
    with Image.open(path) as im:
        im.draft("RGB", BOX)
        im.thumbnail(BOX)


def main():
    for name in sys.argv[1:]:
        print(f"pillow  {Path(name).name:<16} whole {median_ms(whole, name):7.1f} ms  "
              f"draft+thumbnail {median_ms(reduced, name):6.1f} ms", flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
