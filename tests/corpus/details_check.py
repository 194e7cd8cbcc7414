#!/usr/bin/env python3
"""Details against Pillow: each file's details, as `lmx_decode --info` prints them through the
real plug-ins, against what Pillow reads from the same file.

The files: cases Pillow writes here (JPEGs with an EXIF block of every tag the details tell,
each orientation, GPS in both hemispheres; PNGs with eXIf, tIME and texts, compressed or not;
TIFFs with each resolution unit; an animated GIF) and the corpus's PNG, TIFF, BMP and GIF files.
Only what Pillow reads is compared; a file Pillow does not open is left out.
"""
import argparse
import io
import re
import struct
import subprocess
import sys
import tempfile
import zlib
from pathlib import Path

import warnings

from PIL import Image, PngImagePlugin
from PIL.TiffImagePlugin import IFDRational as R

ORIENTATIONS = {1: "Normal", 2: "Mirrored", 3: "Rotated 180°", 4: "Flipped",
                5: "Mirrored, rotated 270° clockwise", 6: "Rotated 90° clockwise",
                7: "Mirrored, rotated 90° clockwise", 8: "Rotated 270° clockwise"}
MAX_CHARS = 160
# Where the details rightly differ from Pillow: (file name, key): why.
KNOWN = {
    ("crash-74d2a78403a5a59db1fb0a2b8735ac068a75f6e3.tif", "dimensions"):
        "the width tag twice: Pillow takes the last, libtiff (whose picture the viewer shows) the first",
    ("old-style-jpeg-compression-no-samplesperpixel.tif", "software"):
        "the software tag twice, the first a number: libtiff keeps the first, which is no text",
    ("test_extents_transparency.gif", "frames"):
        "a second GIF file follows the first one's end: Pillow takes its picture as a frame",
}


def number(value, decimals):
    text = f"{float(value):.{decimals}f}"
    return text.rstrip("0").rstrip(".") if "." in text else text


def shown(raw, utf8=True):
    """Text of the file as the details show it: UTF-8 where valid (else Latin-1), up to a NUL,
    blanks folded, control characters "?", cut to MAX_CHARS with "..."."""
    if isinstance(raw, str):
        raw = raw.encode("utf-8" if utf8 else "latin-1", "surrogatepass")
    raw = raw.split(b"\0")[0]
    chars, i = [], 0
    while i < len(raw):
        for n in (4, 3, 2) if utf8 and raw[i] >= 0x80 else ():
            try:
                chars.append(raw[i:i + n].decode("utf-8"))
                i += n
                break
            except UnicodeDecodeError:
                pass
        else:
            chars.append(chr(raw[i]))
            i += 1
    out = []
    for c in re.sub(r"[ \t\n\r\v\f]+", " ", "".join(chars)).strip(" "):
        if len(out) >= MAX_CHARS:
            return "".join(out).rstrip(" ") + "..."
        o = ord(c)
        out.append("?" if o < 0x20 or 0x7F <= o < 0xA0 or c in "\u2028\u2029\ufeff" or (o & 0xFFFE) == 0xFFFE else c)
    return "".join(out)


def position(value, ref):
    total = round((float(value[0]) + float(value[1]) / 60 + float(value[2]) / 3600) * 36000)
    degrees, rest = divmod(total, 36000)
    return f"{degrees}° {rest // 600}' {number((rest % 600) / 10, 1)}\" {ref}"


def camera(exif):
    """What the details tell of an EXIF block read by Pillow."""
    sub, gps, got = exif.get_ifd(0x8769), exif.get_ifd(0x8825), {}
    text = {"make": 271, "model": 272, "description": 270, "author": 315, "copyright": 33432, "software": 305}
    date = sub.get(36867) or exif.get(306)
    if date:
        got["date_taken"] = shown(date, utf8=False)
    for key, tag in text.items():
        if exif.get(tag):
            got[key] = shown(exif[tag], utf8=False)
    if sub.get(42036):
        got["lens"] = shown(sub[42036], utf8=False)
    if sub.get(33434):
        t = float(sub[33434])
        got["exposure"] = f"1/{round(1 / t)} s" if t < 0.25 else number(t, 1) + " s"
    if sub.get(33437):
        got["f_number"] = "f/" + number(sub[33437], 1)
    if sub.get(34855):
        got["iso"] = str(sub[34855])
    if 37385 in sub:
        v = sub[37385]
        got["flash"] = "No flash function" if v & 0x20 else (
            ("Fired" if v & 1 else "Did not fire") + (", auto" if (v >> 3 & 3) == 3 else "") +
            (", red-eye reduction" if v & 0x40 else ""))
    if sub.get(37386):
        got["focal_length"] = number(sub[37386], 1) + " mm"
    if exif.get(274) in ORIENTATIONS:
        got["orientation"] = ORIENTATIONS[exif[274]]
    if 2 in gps:
        got["gps_latitude"] = position(gps[2], "S" if gps.get(1) == "S" else "N")
    if 4 in gps:
        got["gps_longitude"] = position(gps[4], "W" if gps.get(3) == "W" else "E")
    if 6 in gps:
        got["gps_altitude"] = number(-float(gps[6]) if gps.get(5) in (1, b"\x01") else float(gps[6]), 1) + " m"
    return got


def expected(path):
    im = Image.open(path)
    got = {"dimensions": f"{im.size[0]} x {im.size[1]}"}
    if im.format in ("JPEG", "PNG", "TIFF"):
        got.update(camera(im.getexif()))
    if im.format == "PNG":
        for keyword, key in (("Title", "title"), ("Author", "author"), ("Description", "description"),
                             ("Copyright", "copyright"), ("Software", "software"), ("Comment", "comment")):
            if isinstance(im.info.get(keyword), str) and key not in got:
                got[key] = shown(im.info[keyword], utf8=isinstance(im.text.get(keyword), PngImagePlugin.iTXt))
        if "dpi" in im.info and im.info.get("aspect") is None:
            got["resolution_dpi"] = number(im.info["dpi"][0], 0)
    if im.format == "TIFF":
        unit = {1: "", 3: " dots per cm"}.get(im.tag_v2.get(296, 2), " dpi")
        if im.tag_v2.get(282) and im.tag_v2.get(283):
            got["resolution"] = f"{number(im.tag_v2[282], 2)} x {number(im.tag_v2[283], 2)}{unit}"
        got["pages"] = getattr(im, "n_frames", 1)
    if im.format == "GIF":
        got["frames"] = im.n_frames
    if im.format == "BMP" and im.info.get("compression") in (1, 2):
        got["format_has"] = {1: "RLE8", 2: "RLE4"}[im.info["compression"]]
    return got


def write_cases(folder):
    folder.mkdir(parents=True, exist_ok=True)
    files, base = [], Image.new("RGB", (24, 16), (200, 120, 40))
    for n, (orientation, lat, lon) in enumerate([(o, "NS"[o % 2], "EW"[o // 5]) for o in range(1, 9)]):
        exif = Image.Exif()
        exif.update({271: "Canon", 272: "EOS R6", 274: orientation, 306: "2021:02:03 04:05:06", 270: "Harbour\tat\x01dusk",
                     315: "A. Smith", 33432: "(c) A. Smith", 305: "Lumivex test"})
        exif[0x8769] = {33434: R(1, 125 * (n + 1)), 33437: R(28 + 10 * n, 10), 34855: 100 * (n + 1),
                        36867: f"2024:05:{10 + n} 18:42:07", 37385: (0x19, 0x10, 0x20, 0x41)[n % 4],
                        37386: R(71 + 2 * n, 2), 42036: "RF 35mm F1.8"}
        exif[0x8825] = {1: lat, 2: (R(33, 1), R(51, 1), R(73, 2)), 3: lon, 4: (R(151, 1), R(12, 1), R(30, 1)),
                        5: bytes([n % 2]), 6: R(58 + n, 1)}
        path = folder / f"exif_{orientation}.jpg"
        base.save(path, exif=exif, dpi=(300, 300))
        files.append(path)
    exif = Image.Exif()
    exif.update({271: "Nikon", 272: "Z 6"})
    info = PngImagePlugin.PngInfo()
    info.add_text("Title", "Rings at dawn")
    info.add_text("Author", "B. Jones", zip=True)
    info.add_itxt("Description", "Ringe im Morgengrauen, Überblick", lang="de", zip=True)
    info.add(b"tIME", struct.pack(">HBBBBB", 2023, 7, 14, 9, 30, 0))
    base.convert("RGBA").save(folder / "texts.png", pnginfo=info, exif=exif, dpi=(300, 300))
    files.append(folder / "texts.png")
    for unit, name in ((2, "inch"), (3, "centimetre"), (1, "none")):
        path = folder / f"resolution_{name}.tif"
        base.save(path, tiffinfo={282: 300.0, 283: 150.0, 296: unit}, compression="tiff_lzw")
        files.append(path)
    frames = [Image.new("P", (8, 8), i) for i in range(12)]
    frames[0].save(folder / "twelve.gif", save_all=True, append_images=frames[1:], loop=0)
    files.append(folder / "twelve.gif")
    return files


def details(decoder, files):
    """lmx_decode --info over the files, in batches: {path: {key: value}}."""
    out = {}
    for start in range(0, len(files), 80):
        batch = files[start:start + 80]
        with tempfile.TemporaryFile("w+", encoding="utf-8") as so:
            subprocess.run(["wine", decoder, "--info"] + ["Z:" + str(p.resolve()).replace("/", "\\") for p in batch],
                           stdout=so, stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL, timeout=300)
            so.seek(0)
            text = so.read()
        for block, path in zip(text.replace("\r", "").split("\n\n"), batch):
            out[path] = dict(line.split(": ", 1) for line in block.split("\n")[1:] if ": " in line)
    return out


def differences(path, told, wanted):
    problems = []
    for key, value in wanted.items():
        if key == "pages":
            ok = value == 1 or f" of {value}" in told.get("format", "")
        elif key == "frames":
            ok = f", {value} frame" in told.get("format", "")
        elif key == "format_has":
            ok = value in told.get("format", "")
        elif key == "resolution_dpi":
            ok = f"({value} dpi)" in told.get("resolution", "")
        else:
            ok = told.get(key) == value
        if not ok and (path.name, key) not in KNOWN:
            problems.append(f"{path}: {key}: told {told.get(key, told.get('format'))!r}, Pillow {value!r}")
    return problems


def main():
    warnings.simplefilter("ignore")
    parser = argparse.ArgumentParser()
    parser.add_argument("--decoder", required=True)
    parser.add_argument("--corpus", required=True, type=Path)
    parser.add_argument("--work", required=True, type=Path)
    args = parser.parse_args()
    files = write_cases(args.work / "details-cases")
    for pattern in ("pngsuite/*.png", "pillow/*.tif", "pillow/*.tiff", "bmpsuite/g/*.bmp", "pillow/*.gif"):
        files += sorted(args.corpus.glob(pattern))
    wanted = {}
    for path in files:
        try:
            wanted[path] = expected(path)
        except Exception:  # Pillow refuses it: nothing to compare
            pass
    told = details(args.decoder, list(wanted))
    problems = [p for path in wanted for p in differences(path, told.get(path, {}), wanted[path])]
    for p in problems:
        print(p)
    print(f"{len(wanted)} files, {sum(len(w) for w in wanted.values())} facts compared, {len(problems)} differ")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
