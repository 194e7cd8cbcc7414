#!/usr/bin/python3
"""thumbnail_bench.py --run 'WINE EXE' --photo PHOTO --folder DIR --device-folder WINDIR

The explorer's grid of thumbnails on a folder of 60 photographs of 4000 x 3000 at quality 90,
beside Pillow in one run. The photographs are PHOTO (a real photograph of the corpus)
enlarged, each with its own fine grain as a camera's sensor gives it, written into DIR once
(never kept in the repository). Pillow's side is, per file, Image.open + draft("RGB",
(240, 320)) + thumbnail((240, 320)), the median of five; the explorer's first screen is held
against the sum of those times over the files that screen shows.
"""
import argparse
import shlex
import statistics
import subprocess
import sys
import time
from pathlib import Path

from PIL import Image, ImageChops

PHOTOS = 60
SIZE = (4000, 3000)
REPEAT = 5


def make_photos(photo, folder):
    folder.mkdir(parents=True, exist_ok=True)
    names = [folder / f"photo{i:02d}.jpg" for i in range(PHOTOS)]
    if all(n.exists() for n in names):
        return names
    with Image.open(photo) as source:
        source = source.convert("RGB")
        # The middle of the picture in the photographs' 4:3 shape.
        w, h = source.size
        cw = min(w, h * 4 // 3)
        ch = cw * 3 // 4
        box = ((w - cw) // 2, (h - ch) // 2, (w - cw) // 2 + cw, (h - ch) // 2 + ch)
        enlarged = source.crop(box).resize(SIZE, Image.Resampling.BICUBIC)
    for i, name in enumerate(names):
        if name.exists():
            continue
        grain = Image.effect_noise(SIZE, 3 + i % 3).convert("RGB")
        picture = ImageChops.add(enlarged, grain, 1.0, -128)
        if i % 2:
            picture = picture.transpose(Image.Transpose.FLIP_LEFT_RIGHT)
        picture.save(name, quality=90, subsampling=2)
    return names


def pillow_thumbnail_ms(path):
    times = []
    for _ in range(REPEAT):
        start = time.perf_counter()
        with Image.open(path) as im:
            im.draft("RGB", (240, 320))
            im.thumbnail((240, 320))
        times.append(time.perf_counter() - start)
    return statistics.median(times) * 1000


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--run", required=True, help="the command that runs thumbnail_bench.exe")
    ap.add_argument("--photo", required=True)
    ap.add_argument("--folder", required=True)
    ap.add_argument("--device-folder", required=True)
    args = ap.parse_args()

    names = make_photos(Path(args.photo), Path(args.folder))
    size = sum(n.stat().st_size for n in names) / len(names) / 1e6
    pillow = [pillow_thumbnail_ms(n) for n in sorted(names)]
    out = subprocess.run(shlex.split(args.run) + [args.device_folder], capture_output=True, text=True,
                         stdin=subprocess.DEVNULL)
    figures = {}
    for line in out.stdout.splitlines():
        key, _, value = line.partition(" ")
        try:
            figures[key] = float(value)
        except ValueError:
            pass
    if "cold_ms" not in figures:
        print(out.stdout + out.stderr, file=sys.stderr)
        return 1
    shown = int(figures["first_screen_files"])
    pillow_sum = sum(pillow[:shown])
    print(f"a folder of {PHOTOS} JPEG photographs, {SIZE[0]} x {SIZE[1]}, quality 90, {size:.1f} MB each "
          f"(median of 5 runs each)")
    print(f"  first screen: {shown} thumbnails")
    print(f"  cold cache, open to first screen painted   {figures['cold_ms']:8.1f} ms   "
          f"Pillow draft+thumbnail of those files {pillow_sum:8.1f} ms   "
          f"{figures['cold_ms'] / pillow_sum:.2f} x; target 1.5 x")
    print(f"  warm cache folder (a new run)              {figures['warm_disk_ms']:8.1f} ms   target 100 ms")
    print(f"  warm memory (Open again)                   {figures['warm_memory_ms']:8.1f} ms   target 100 ms")
    print(f"  longest input message while decoding       {figures['input_max_ms']:8.1f} ms   target 16 ms "
          f"({int(figures['inputs'])} inputs: longest of all {figures['input_worst_ms']:.1f} ms, median {figures['input_median_ms']:.1f} ms, "
          f"95th percentile {figures['input_p95_ms']:.1f} ms; any other message at most {figures['message_max_ms']:.1f} ms)")
    print(f"  memory while listing                       {figures['peak_ws_mb'] - figures['idle_ws_mb']:8.1f} MB above idle "
          f"(working set {figures['idle_ws_mb']:.1f} -> {figures['peak_ws_mb']:.1f} MB); target 24 MB")
    if figures["peak_mb"] > 0:
        print(f"  private memory while listing               {figures['peak_mb'] - figures['idle_mb']:8.1f} MB above idle")
    print(f"  Pillow per file: median {statistics.median(pillow):.1f} ms")
    return 0


if __name__ == "__main__":
    sys.exit(main())
