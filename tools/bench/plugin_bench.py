#!/usr/bin/python3
"""plugin_bench.py --run "WINE BIN/plugin_bench.exe" --inputs DIR [--rounds N] [--repeat N] [NAME...]

The real plug-in DLLs in process under Wine (plugin_bench.exe) beside Pillow in process, on the
fourteen 4000 x 3000 pictures of make_plugin_inputs.py (or those NAMEd), the two taking turns
file by file, in two ways:

- fresh: one decode in a fresh process, as a user opening one picture (the plug-in loaded and
  Pillow imported before the clock starts); N rounds (default 5), the median of each side;
- repeated: decodes one after another in one process, N rounds of --repeat decodes (default 5),
  the median and the least of each side over all of them. Every LocalAlloc of a picture's block
  under Wine gets fresh pages, touched for the first time by the decode; so Pillow's process
  runs with glibc's mmap threshold fixed (MALLOC_MMAP_THRESHOLD_), which gives each of its
  pictures fresh pages too. Pillow as glibc has it by default, keeping the memory of one picture
  for the next, is shown beside ("kept").

Both sides time the decode alone (open and load from the file's path, wall clock) inside the
process. The table gives Pillow's time over ours for each way (above 1: ours is faster), and the
first touch: how long getting a fresh block as large as the picture and touching its pages
takes, against our fresh decode. A second table tells where a fresh process's decode goes
(plugin_bench.exe --parts, one process a file): the window system brought up (our fresh
decodes start after it, as the viewer's window stands when it opens a picture), the wait
cursor, one text of the plug-in's string table and the file's mapping, each the first time and
again, then the decode after them and again.

    plugin_bench.py --pillow N FILE   (Pillow's side: N decodes, one "decode D ms" line each)
"""
import argparse
import os
import statistics
import subprocess
import sys
import time
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE))
from make_plugin_inputs import NAMES  # noqa: E402

KINDS = {
    "rle8.bmp": "RLE8 BMP", "rgb24.bmp": "24-bit BMP", "g4.tif": "1-bit G4 TIFF", "packbits_gray.tif": "PackBits TIFF",
    "lzw_gray.tif": "8-bit LZW TIFF", "lzw_rgb.tif": "RGB LZW TIFF", "large8.pcx": "8-bit PCX",
    "large24.pcx": "24-bit PCX", "large.gif": "8-bit GIF", "q90_420.jpg": "quality-90 JPEG",
    "progressive.jpg": "progressive JPEG", "rgb.png": "RGB PNG", "rgba.png": "RGBA PNG", "palette.png": "palette PNG",
}


def pillow_side(runs, path):
    from PIL import Image
    Image.MAX_IMAGE_PIXELS = None
    Image.init()
    for _ in range(runs):
        start = time.perf_counter()
        with Image.open(path) as im:
            im.load()
        print(f"decode {(time.perf_counter() - start) * 1000:.2f} ms", flush=True)
    return 0


def wine_path(p):
    return "Z:" + str(Path(p).resolve()).replace("/", "\\")


def lines_of(command, env=None):
    out = subprocess.run(command, capture_output=True, text=True, stdin=subprocess.DEVNULL, timeout=600,
                         env={**os.environ, **env} if env else None)
    lines = [l.split() for l in out.stdout.splitlines() if l.startswith("decode ")]
    if out.returncode != 0 or not lines:
        raise SystemExit(f"{' '.join(command)} failed ({out.returncode}): {out.stderr.strip()[-400:]}")
    return lines


def ours(run, path, repeat):
    """[(decode ms, touch ms)] of one process."""
    args = [*run.split(), *(["--repeat", str(repeat)] if repeat > 1 else []), wine_path(path)]
    return [(float(l[1]), float(l[4])) for l in lines_of(args)]


# glibc's threshold as it starts: blocks of this size and more are mapped, and unmapped when freed.
FRESH_PAGES = {"MALLOC_MMAP_THRESHOLD_": "131072"}


def pillow(path, repeat, env=None):
    command = ["/usr/bin/python3", __file__, "--pillow", str(repeat), str(path)]
    return [float(l[1]) for l in lines_of(command, env)]


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--pillow", type=int)
    ap.add_argument("--run")
    ap.add_argument("--inputs")
    ap.add_argument("--rounds", type=int, default=5)
    ap.add_argument("--repeat", type=int, default=5)
    ap.add_argument("names", nargs="*")
    args = ap.parse_args()
    if args.pillow:
        return pillow_side(args.pillow, args.names[0])
    if not args.run or not args.inputs:
        ap.error("--run and --inputs are needed")
    inputs = Path(args.inputs)
    print(f"{args.rounds} rounds; fresh: one decode a process; repeated: {args.repeat} decodes a process; "
          "ratio = Pillow / Lumivex (ms, wall clock in process)")
    print(f"{'file':<17} {'fresh':>8} {'Pillow':>8} {'ratio':>6} | {'repeated':>15} {'Pillow':>15} "
          f"{'ratio':>10} | {'kept':>6} {'ratio':>5} | {'first touch':>17}")
    print(f"{'':<17} {'ms':>8} {'ms':>8} {'':>6} | {'median/least':>15} {'median/least':>15} "
          f"{'med/least':>10} | {'ms':>6} {'':>5} | {'ms':>6} {'of fresh':>10}")
    for name in args.names or NAMES:
        path = inputs / name
        fresh, fresh_pillow, touches, repeated, repeated_pillow, kept = [], [], [], [], [], []
        for _ in range(args.rounds):
            (decode, touch), = ours(args.run, path, 1)
            fresh.append(decode)
            touches.append(touch)
            fresh_pillow += pillow(path, 1, FRESH_PAGES)
            many = ours(args.run, path, args.repeat)
            repeated += [d for d, _ in many]
            touches += [t for _, t in many]
            repeated_pillow += pillow(path, args.repeat, FRESH_PAGES)
            kept += pillow(path, args.repeat)
        f, fp = statistics.median(fresh), statistics.median(fresh_pillow)
        r, rp = statistics.median(repeated), statistics.median(repeated_pillow)
        rl, rpl = min(repeated), min(repeated_pillow)
        touch, k = statistics.median(touches), statistics.median(kept)
        print(f"{name:<17} {f:8.1f} {fp:8.1f} {fp / f:6.2f} | {r:7.1f}/{rl:7.1f} {rp:7.1f}/{rpl:7.1f} "
              f"{rp / r:4.2f}/{rpl / rl:4.2f} | {k:6.1f} {k / r:5.2f} | {touch:6.1f} {100 * touch / f:9.0f}%  "
              f"{KINDS.get(name, '')}", flush=True)
    print("\nwhere a fresh process's decode goes (ms, first time/again):")
    print(f"{'file':<17} {'window':>7} {'wait cursor':>12} {'string':>11} {'mapping':>11} {'decode':>15} {'touch':>6}")
    for name in args.names or NAMES:
        out = subprocess.run([*args.run.split(), "--parts", wine_path(inputs / name)], capture_output=True, text=True,
                             stdin=subprocess.DEVNULL, timeout=600).stdout.split()
        if len(out) < 18:
            print(f"{name:<17} failed")
            continue
        print(f"{name:<17} {out[1]:>7} {out[4]:>12} {out[7]:>11} {out[10]:>11} {out[13]:>15} {out[16]:>6}", flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
