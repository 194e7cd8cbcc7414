#!/usr/bin/python3
"""alternate.py FORMAT [--rounds N] [--build DIR] [NAME...]: our decoder and Pillow's, taking turns.

The memory of a shared machine speeds up and slows down over minutes, so figures taken one
after the other drift apart. This runs our decoder (bench_FORMAT, median of 3 repetitions)
and Pillow's (pillow_speed.py, median of 9) alternately on each file, N rounds (default 5),
and prints every pair, then the least and the median of each side and how many pairs ours
won. FORMAT and its files (NAME, default all of them):

    tif  lzw_rgb lzw_gray packbits_gray g4
    jpg  q90_420 progressive
    png  rgb palette
"""
import argparse
import re
import statistics
import subprocess
import sys
from pathlib import Path

HERE = Path(__file__).resolve().parent
# Per format: the inputs folder beside the benchmark, the files' extension, their names, and
# how the benchmark names each file's run.
FORMATS = {
    "tif": ("tif-inputs", ".tif", ["lzw_rgb", "lzw_gray", "packbits_gray", "g4"], "Decode/{}/"),
    "jpg": ("jpg-png-inputs", ".jpg", ["q90_420", "progressive"], "^{}\\.jpg"),
    "png": ("jpg-png-inputs", ".png", ["rgb", "palette"], "^{}\\.png"),
}


def ours(bench, pattern):
    out = subprocess.run([str(bench), f"--benchmark_filter={pattern}", "--benchmark_repetitions=3",
                          "--benchmark_min_time=0.5"], capture_output=True, text=True, check=True).stdout
    return float(re.search(r"_median\s+([\d.]+) ms", out).group(1))


def pillow(path):
    out = subprocess.run(["/usr/bin/python3", str(HERE / "pillow_speed.py"), "--repeat", "9", str(path)],
                         capture_output=True, text=True, check=True).stdout
    return float(out.split()[-4])


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("format", choices=sorted(FORMATS))
    ap.add_argument("--rounds", type=int, default=5)
    ap.add_argument("--build", default=str(HERE.parent.parent / "build" / "bench"))
    ap.add_argument("names", nargs="*")
    args = ap.parse_args()
    folder, ext, names, pattern = FORMATS[args.format]
    bench = Path(args.build) / "tools" / "bench" / f"bench_{args.format}"
    inputs = bench.parent / folder
    for name in args.names or names:
        pairs = []
        for _ in range(args.rounds):
            pairs.append((ours(bench, pattern.format(name)), pillow(inputs / f"{name}{ext}")))
            print(f"{name:14} ours {pairs[-1][0]:7.2f} ms   pillow {pairs[-1][1]:7.2f} ms", flush=True)
        a, b = [p[0] for p in pairs], [p[1] for p in pairs]
        won = sum(x < y for x, y in pairs)
        print(f"{name:14} ours least {min(a):.2f} median {statistics.median(a):.2f} ms; "
              f"pillow least {min(b):.2f} median {statistics.median(b):.2f} ms; ours faster in {won} of {len(pairs)}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
