"""lmx_decode --transform on real bitmaps of every depth: the written picture must be the
decoded one turned, mirrored, flipped or inverted, read back by an independent reader."""
import argparse
import os
import subprocess
import sys
import tempfile
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "corpus"))
from dib_image import read_rgb  # noqa: E402


def wine_path(p):
    return "Z:" + str(Path(p).resolve()).replace("/", "\\")


def decode(decoder, src, out, codes):
    args = ["wine", decoder]
    for c in codes:
        args += ["--transform", str(c)]
    # Output through files: Wine's helper processes inherit the descriptors.
    with tempfile.TemporaryFile("w+") as se, tempfile.TemporaryFile("w+") as so:
        rc = subprocess.run(args + [wine_path(src), wine_path(out)], stdout=so, stderr=se,
                            stdin=subprocess.DEVNULL, timeout=120).returncode
        se.seek(0)
        return rc, se.read()


def turn_cw(rows):
    h, w = len(rows), len(rows[0])
    return [[rows[h - 1 - j][i] for j in range(h)] for i in range(w)]


def turn_ccw(rows):
    h, w = len(rows), len(rows[0])
    return [[rows[j][w - 1 - i] for j in range(h)] for i in range(w)]


def mirror(rows):
    return [row[::-1] for row in rows]


def flip(rows):
    return rows[::-1]


def negative(rows):
    return [[tuple(255 - v for v in px) for px in row] for row in rows]


MOVES = {1: turn_cw, 2: turn_ccw, 3: lambda r: flip(mirror(r)), 4: mirror, 5: flip}

# (file, codes): every geometric code at every depth, chains, and the negative where it is
# a colour negative (24 bits through the pixels, 8 bits through the table).
CASES = [(f, [c]) for f in ("pal1.bmp", "pal1bg.bmp", "pal4.bmp", "pal8.bmp", "pal8nonsquare.bmp", "rgb24.bmp")
         for c in (1, 2, 3, 4, 5)]
CASES += [("pal4.bmp", [1, 1, 1, 1]), ("pal1.bmp", [2, 4, 1]), ("rgb24.bmp", [6]), ("pal8.bmp", [6]),
          ("pal8.bmp", [1, 6, 2]), ("pal4.bmp", [6, 6])]


def expected(rows, codes):
    for c in codes:
        rows = negative(rows) if c == 6 else MOVES[c](rows)
    return rows


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--decoder", required=True)
    ap.add_argument("--corpus", required=True)
    ap.add_argument("--work", required=True)
    a = ap.parse_args()
    suite = Path(a.corpus) / "bmpsuite" / "g"
    if not suite.is_dir():
        print("no corpus; skipped")
        return 0
    work = Path(a.work)
    work.mkdir(parents=True, exist_ok=True)
    failures = 0
    plain = {}
    for name, codes in CASES:
        if name not in plain:
            rc, err = decode(a.decoder, suite / name, work / ("plain-" + name), [])
            assert rc == 0, (name, rc, err)
            plain[name] = read_rgb(work / ("plain-" + name))[2]
        out = work / ("t%s-%s" % ("".join(map(str, codes)), name))
        rc, err = decode(a.decoder, suite / name, out, codes)
        got = read_rgb(out)[2] if rc == 0 else None
        if rc != 0 or err.strip() or got != expected(plain[name], codes):
            print("FAIL %s %s: rc=%s %s" % (name, codes, rc, err.strip()))
            failures += 1
    # A 16-bit picture cannot be turned: the message is printed, the picture written as it was.
    rc, err = decode(a.decoder, suite / "rgb16.bmp", work / "t1-rgb16.bmp", [1])
    if rc != 3 or "message: Internal Error...: " not in err or \
            read_rgb(work / "t1-rgb16.bmp")[:2] != read_rgb(suite / "rgb16.bmp")[:2]:
        print("FAIL rgb16.bmp [1]: rc=%s %s" % (rc, err.strip()))
        failures += 1
    print("%d cases, %d failures" % (len(CASES) + 1, failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
