#!/usr/bin/python3
"""Every picture of the shared corpus through its plug-in twice, in two batches of lmx_decode
under Wine: whole (--out) and reduced into a 64 x 64 box (--size 64x64 --out), and the two held
against each other:

    reduced_check.py --decoder lmx_decode.exe --corpus DIR --work DIR

- A picture that decodes whole decodes reduced, and one refused whole is refused reduced (a
  reduced decode is quiet: it prints no message box).
- The reduced picture is no smaller than the whole one fitted into the box, and no larger than
  the whole one.
- Apart from JPEG: it is the whole picture averaged by the plug-ins' whole factor (Pillow's
  Image.reduce, the same box filter), within one level a channel. JPEG is scaled inside libjpeg:
  its mean colour agrees within a few levels.
"""
import argparse
import subprocess
import sys
import tempfile
from pathlib import Path

from PIL import Image, ImageStat

from corpus_check import wine_path
from dib_image import read_rgb

BOX = 64
EXTENSIONS = (".bmp", ".pcx", ".gif", ".tif", ".tiff", ".jpg", ".jpeg", ".png")


def batch(decoder, args, files, out):
    """lmx_decode ARGS --out OUT FILES: {file: its line}."""
    out.mkdir(parents=True, exist_ok=True)
    with tempfile.TemporaryFile("w+") as so, tempfile.TemporaryFile("w+") as se:
        subprocess.run(["wine", decoder, *args, "--out", wine_path(out), *[wine_path(f) for f in files]],
                       stdout=so, stderr=se, stdin=subprocess.DEVNULL, timeout=1800)
        so.seek(0)
        se.seek(0)
        lines = {}
        for line in so.read().splitlines():
            name, _, rest = line.partition(": ")
            lines[name] = rest.strip()
        return lines, se.read()


def compression(bmp):
    return int.from_bytes(bmp.read_bytes()[30:34], "little") if bmp.exists() else -1


def factor(width, height):
    if width <= BOX and height <= BOX:
        return 1
    return max(1, max(width // BOX, height // BOX))


def image_of(path):
    width, height, rows = read_rgb(path)
    im = Image.new("RGB", (width, height))
    im.putdata([p for row in rows for p in row])
    return im


def compare(src, whole_bmp, reduced_bmp):
    whole, reduced = image_of(whole_bmp), image_of(reduced_bmp)
    w, h = whole.size
    if w == 0 or h == 0:
        return None if reduced.size == whole.size else f"reduced {reduced.size} for whole {whole.size}"
    fit = min(BOX / w, BOX / h, 1.0)
    if reduced.width > w or reduced.height > h or reduced.width < int(w * fit) or reduced.height < int(h * fit):
        return f"reduced {reduced.size} for whole {whole.size}"
    if src.suffix.lower() in (".jpg", ".jpeg"):
        a, b = ImageStat.Stat(whole).mean, ImageStat.Stat(reduced).mean
        worst = max(abs(x - y) for x, y in zip(a, b))
        return None if worst <= 6 or min(w, h) < 32 else f"mean colour {b} against {a}"
    expected = whole.reduce(factor(w, h))
    if expected.size != reduced.size:
        return f"reduced {reduced.size}, averaged whole {expected.size}"
    worst = max(max(abs(x - y) for x, y in zip(p, q)) for p, q in zip(expected.getdata(), reduced.getdata()))
    return None if worst <= 1 else f"differs by {worst} from the whole picture averaged"


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--decoder", required=True)
    ap.add_argument("--corpus", required=True)
    ap.add_argument("--work", required=True)
    args = ap.parse_args()
    corpus, work = Path(args.corpus), Path(args.work) / "reduced"
    files = sorted(p for p in corpus.rglob("*") if p.suffix.lower() in EXTENSIONS and p.is_file()
                   and "ref" not in p.parent.name)
    # One picture a stem: lmx_decode names its outputs after the stems.
    seen, unique = set(), []
    for f in files:
        key = f.stem.lower()
        if key not in seen:
            seen.add(key)
            unique.append(f)
    whole, _ = batch(args.decoder, [], unique, work / "whole")
    reduced, messages = batch(args.decoder, ["--size", f"{BOX}x{BOX}"], unique, work / "reduced")
    failures, compared = [], 0
    if "message: " in messages:
        failures.append("a reduced decode raised a box: " + messages.strip().splitlines()[0])
    for f in unique:
        key = wine_path(f)
        a, b = whole.get(key, ""), reduced.get(key, "")
        rel = f.relative_to(corpus)
        if not a or not b:
            failures.append(f"{rel}: no line (whole '{a}', reduced '{b}')")
            continue
        if a == "refused" or b.startswith("refused"):
            # A layout the viewer does not draw either (alpha bit fields) is not averaged.
            odd = b == "refused: unsupported" and compression(work / "whole" / (f.stem + ".bmp")) not in (0, 3)
            if (a == "refused") != b.startswith("refused") and not odd:
                failures.append(f"{rel}: whole '{a}', reduced '{b}'")
            continue
        problem = compare(f, work / "whole" / (f.stem + ".bmp"), work / "reduced" / (f.stem + ".bmp"))
        compared += 1
        if problem:
            failures.append(f"{rel}: {problem}")
    for fail in failures:
        print("FAIL", fail)
    print(f"{len(unique)} pictures, {compared} compared reduced against whole, {len(failures)} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
