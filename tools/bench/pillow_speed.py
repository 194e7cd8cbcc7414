#!/usr/bin/python3
"""pillow_speed.py [--repeat N] FILE...: the reference decoder's speed on each file.

For every file, Pillow (Debian's python3-pil) decodes it from bytes already in memory, N times
(default 5); the median processor time of the decoding (open + load, measured in-process, so
that neither the interpreter's start nor other programs on a busy machine count) and the
megapixels per second that gives are printed, one line per file:

    pillow  large.gif  4000x3000  123.4 ms  97.3 MP/s
"""
import argparse
import io
import statistics
import sys
import time
from pathlib import Path

from PIL import Image

Image.MAX_IMAGE_PIXELS = None


def decode_times(data, repeat):
    times = []
    size = None
    for _ in range(repeat):
        start = time.process_time()
        with Image.open(io.BytesIO(data)) as im:
            im.load()
            size = im.size
        times.append(time.process_time() - start)
    return statistics.median(times), size


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--repeat", type=int, default=5)
    ap.add_argument("files", nargs="+")
    args = ap.parse_args()
    for name in args.files:
        path = Path(name)
        seconds, (width, height) = decode_times(path.read_bytes(), args.repeat)
        megapixels = width * height / 1e6
        print(f"pillow  {path.name:<14} {width}x{height}  {seconds * 1000:8.1f} ms  {megapixels / seconds:8.1f} MP/s")
    return 0


if __name__ == "__main__":
    sys.exit(main())
