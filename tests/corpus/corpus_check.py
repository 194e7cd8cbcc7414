#!/usr/bin/python3
"""Runs every file of one format in the shared corpus through the real plug-in (lmx_decode
under Wine) and checks that each one decodes or is refused with a message box, never crashes
or hangs; where a reference rendering exists and the plug-in's rules agree with it, the
decoded pixels must match it.

    corpus_check.py --format bmp --decoder lmx_decode.exe --corpus DIR --work DIR [--more DIR]...

A format's rules (FORMAT_rules.py) may add files of their own (extra_files, from the --more
folders or written into the work folder), compute the reference themselves (reference, a PIL
image) and name the bit count the picture must come in (expected_bits).
"""
import argparse
import json
import os
import subprocess
import sys
import tempfile
from pathlib import Path

from PIL import Image

import importlib
from dib_image import read_rgb

FORMATS = ("bmp", "pcx", "gif", "tif", "jpg", "png", "webp")


def wine_path(p):
    return "Z:" + str(Path(p).resolve()).replace("/", "\\")


def decode(decoder, src, out, timeout):
    # Output goes through files: Wine's helper processes (the desktop, services) inherit the
    # descriptors and outlive the decoder, so a pipe would not close when it ends.
    with tempfile.TemporaryFile("w+") as so, tempfile.TemporaryFile("w+") as se:
        try:
            rc = subprocess.run(["wine", decoder, wine_path(src), wine_path(out)], stdout=so, stderr=se,
                                stdin=subprocess.DEVNULL, timeout=timeout).returncode
        except subprocess.TimeoutExpired:
            return None, "", "timed out"
        so.seek(0)
        se.seek(0)
        return rc, so.read(), se.read()


def reference_for(corpus, src):
    if src.parent.name in ("g", "q") and src.parent.parent.name == "bmpsuite":
        ref = corpus / "bmpsuite" / "ref" / (src.stem + ".png")
    else:
        ref = corpus / "pillow-ref" / (src.name + ".png")
    return ref if ref.exists() else None


def bit_count(decoded):
    return int.from_bytes(Path(decoded).read_bytes()[28:30], "little")


def pixels_differ(decoded, ref, tolerance=0):
    """Number of pixels whose colour differs (any channel by more than tolerance) where the
    reference (a file or an image) is opaque; -1 for a size change."""
    width, height, rows = read_rgb(decoded)
    r = ref if isinstance(ref, Image.Image) else Image.open(ref)
    alpha = r.getchannel("A").load() if r.mode in ("RGBA", "LA", "PA") else None
    pr = r.convert("RGB").load()
    if (width, height) != r.size:
        return -1
    bad = 0
    for y in range(height):
        for x in range(width):
            if alpha and alpha[x, y] < 255:
                continue
            if any(abs(a - b) > tolerance for a, b in zip(rows[y][x], pr[x, y])):
                bad += 1
    return bad


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--format", required=True, choices=FORMATS)
    ap.add_argument("--decoder", required=True)
    ap.add_argument("--corpus", required=True)
    ap.add_argument("--work", required=True)
    ap.add_argument("--timeout", type=float, default=60)
    ap.add_argument("--more", action="append", default=[], help="a further folder of files")
    args = ap.parse_args()
    rules = importlib.import_module(args.format + "_rules")
    corpus = Path(args.corpus)
    work = Path(args.work) / args.format
    work.mkdir(parents=True, exist_ok=True)

    files = rules.corpus_files(corpus)
    if hasattr(rules, "extra_files"):
        files += rules.extra_files([Path(m) for m in args.more], work)
    if not files:
        print("no corpus files found under", corpus)
        return 1
    failures, compared, refused, decoded, notes, retried = [], 0, 0, 0, {}, []
    for src in files:
        out = work / (src.parent.name + "_" + src.name + ".out.bmp")
        if out.exists():
            out.unlink()
        rel = src.relative_to(corpus) if src.is_relative_to(corpus) else src.relative_to(src.parent.parent)
        # A refusal without any box is retried: on a loaded machine Wine has been seen to fail
        # creating a box now and then. A plug-in that really shows nothing fails every time.
        for attempt in range(3):
            rc, stdout, stderr = decode(args.decoder, src, out, args.timeout)
            messages = [l for l in stderr.splitlines() if l.startswith("message: ")]
            if rc != 1 or messages:
                break
            retried.append(str(rel))
        if rc is None:
            failures.append(f"{rel}: hangs")
            continue
        if rc not in (0, 1):
            failures.append(f"{rel}: exit code {rc} (crash?) {stderr.strip()[-300:]}")
            continue
        problem = rules.check_outcome(src, rc, messages)
        if problem:
            failures.append(f"{rel}: {problem}")
            continue
        if rc == 1:
            refused += 1
            if src.parent.name == "g":
                notes.setdefault("refused by the plug-in's rules: " + messages[-1].split(": ", 2)[-1], []).append(str(rel))
            continue
        decoded += 1
        if hasattr(rules, "expected_bits") and bit_count(out) != rules.expected_bits(src):
            failures.append(f"{rel}: {bit_count(out)} bits, want {rules.expected_bits(src)}")
            continue
        if hasattr(rules, "reference"):
            why_not = rules.incomparable(src)
            ref = None if why_not else rules.reference(src)
            why_not = why_not or (None if ref is not None else "no reference")
        else:
            ref = reference_for(corpus, src)
            why_not = rules.incomparable(src) if ref else "no reference"
        if why_not:
            notes.setdefault("not compared, " + why_not, []).append(str(rel))
            continue
        tolerance, why_near = getattr(rules, "tolerance", lambda p: (0, None))(src)
        if why_near:
            notes.setdefault(f"compared within {tolerance}, {why_near}", []).append(str(rel))
        bad = pixels_differ(out, ref, tolerance)
        compared += 1
        if bad != 0:
            name = ref.name if isinstance(ref, Path) else "the reference"
            failures.append(f"{rel}: {'size differs from' if bad < 0 else f'{bad} pixels differ from'} {name}")

    for why, names in sorted(notes.items()):
        print(f"{why}: {len(names)}: {' '.join(sorted(names))}")
    print(f"{len(files)} files: {decoded} decoded ({compared} compared with references), {refused} refused")
    if retried:
        print(f"retried after a refusal without a box: {' '.join(retried)}")
    for f in failures:
        print("FAIL", f)
    print(f"{len(files) - len(failures)} passed, {len(failures)} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
