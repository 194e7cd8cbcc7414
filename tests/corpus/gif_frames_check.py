#!/usr/bin/python3
"""The frames of GIF animations written here, and of every animated GIF of the shared corpus,
composed by the GIF plug-in (lmx_decode --frame all) against Pillow's seek(N) of the same files:

    gif_frames_check.py --decoder lmx_decode.exe --work DIR [--corpus DIR]

Each animation is written byte by byte (its own LZW stream), so that every disposal method,
transparent index, local table, place off the screen and delay is what the table says. The
plug-in composes on a transparent screen shown as white; Pillow's frame as RGBA is therefore
composited over white, and cut to the logical screen (Pillow widens its canvas for a frame
that reaches past it, browsers cut the frame). Where Pillow and browsers part, the table keeps
to what both do: a frame that disposes to the background has a transparent index, and the
first frame covers the screen or has one.
"""
import argparse
import random
import subprocess
import sys
import tempfile
from pathlib import Path

from PIL import Image

from corpus_check import wine_path
from dib_image import read_rgb

WHITE = (255, 255, 255)


def palette(seed, entries):
    rnd = random.Random(seed)
    return [(rnd.randrange(256), rnd.randrange(256), rnd.randrange(256)) for _ in range(entries)]


def lzw(pixels, bits):
    """A valid LZW stream that never grows its code size: a clear code before every run of
    literals short enough that the decoder's table cannot widen the codes."""
    size = max(2, bits)
    clear, end, width = 1 << size, (1 << size) + 1, size + 1
    codes = []
    run = (1 << size) - 2
    for i, p in enumerate(pixels):
        if i % run == 0:
            codes.append(clear)
        codes.append(p)
    codes.append(end)
    acc = held = 0
    out = bytearray()
    for c in codes:
        acc |= c << held
        held += width
        while held >= 8:
            out.append(acc & 255)
            acc >>= 8
            held -= 8
    if held:
        out.append(acc & 255)
    blocks = bytearray([size])
    for i in range(0, len(out), 255):
        piece = out[i:i + 255]
        blocks += bytes([len(piece)]) + piece
    return bytes(blocks + b"\0")


def table_bytes(colours):
    return b"".join(bytes(c) for c in colours)


def gif(width, height, colours, frames, loop=None, background=0):
    """frames: dicts with x, y, w, h, pixels (w*h indices), and optional local (colours),
    transparent, disposal, delay, interlace, damaged."""
    field = (len(colours) - 1).bit_length() - 1
    data = bytearray(b"GIF89a" + width.to_bytes(2, "little") + height.to_bytes(2, "little"))
    data += bytes([0x80 | 0x70 | field, background, 0]) + table_bytes(colours)
    if loop is not None:
        data += b"\x21\xff\x0bNETSCAPE2.0\x03\x01" + loop.to_bytes(2, "little") + b"\0"
    for f in frames:
        flags = (f.get("disposal", 1) << 2) | (1 if "transparent" in f else 0)
        data += b"\x21\xf9\x04" + bytes([flags]) + f.get("delay", 10).to_bytes(2, "little")
        data += bytes([f.get("transparent", 0), 0])
        pixels = f["pixels"]
        if f.get("interlace"):
            order = list(range(0, f["h"], 8)) + list(range(4, f["h"], 8)) + list(range(2, f["h"], 4)) + \
                list(range(1, f["h"], 2))
            pixels = [p for y in order for p in pixels[y * f["w"]:(y + 1) * f["w"]]]
        image_flags = 0x40 if f.get("interlace") else 0
        local = f.get("local")
        if local:
            image_flags |= 0x80 | ((len(local) - 1).bit_length() - 1)
        data += b"\x2c" + b"".join(v.to_bytes(2, "little") for v in (f["x"], f["y"], f["w"], f["h"]))
        data += bytes([image_flags]) + (table_bytes(local) if local else b"")
        stream = lzw(pixels, 8)
        if f.get("damaged"):
            stream = bytes([8, 4, 0xff, 0xff, 0xff, 0xff, 0])  # codes past the table
        data += stream
    return bytes(data + b"\x3b")


def frame(x, y, w, h, seed, colours=16, **extra):
    rnd = random.Random(seed)
    return dict(x=x, y=y, w=w, h=h, pixels=[rnd.randrange(colours) for _ in range(w * h)], **extra)


G = palette(1, 16)
CASES = {
    # name: (gif bytes, expected delays, expected plays, frames expected before the end, end)
    "keep": (gif(20, 12, G, [frame(0, 0, 20, 12, 1), frame(3, 2, 8, 6, 2, transparent=5),
                             frame(10, 4, 10, 8, 3, disposal=1)], loop=0), [100, 100, 100], 0, 3, None),
    "background": (gif(20, 12, G, [frame(0, 0, 20, 12, 4, transparent=3, disposal=2),
                                   frame(2, 2, 9, 7, 5, transparent=3, disposal=2),
                                   frame(5, 1, 10, 10, 6, transparent=7, disposal=2), frame(0, 0, 4, 4, 7, transparent=2)],
                                  loop=2), [100] * 4, 3, 4, None),
    "previous": (gif(20, 12, G, [frame(0, 0, 20, 12, 8), frame(1, 1, 10, 8, 9, disposal=3),
                                 frame(6, 3, 12, 8, 10, transparent=1, disposal=3), frame(2, 2, 5, 5, 11)]),
                 [100] * 4, 1, 4, None),
    "local_tables": (gif(16, 16, G, [frame(0, 0, 16, 16, 12, colours=256, local=palette(2, 256)),
                                     frame(4, 4, 8, 11, 13, colours=4, local=palette(3, 4), interlace=True),
                                     frame(0, 8, 16, 8, 14, colours=8, local=palette(4, 8), transparent=6)]),
                     [100] * 3, 1, 3, None),
    "off_canvas": (gif(12, 10, G, [frame(0, 0, 12, 10, 15), frame(8, 6, 9, 7, 16, transparent=4),
                                   frame(20, 0, 5, 5, 17), frame(3, 30, 4, 4, 18), frame(10, 0, 6, 12, 19)]),
                   [100] * 5, 1, 5, None),
    "delays": (gif(8, 8, G, [frame(0, 0, 8, 8, 20, delay=0), frame(0, 0, 8, 8, 21, delay=1),
                             frame(0, 0, 8, 8, 22, delay=2), frame(0, 0, 8, 8, 23, delay=25)], loop=0),
               [100, 100, 20, 250], 0, 4, None),
    "unspecified": (gif(10, 10, G, [frame(0, 0, 10, 10, 24, disposal=0), frame(2, 2, 5, 5, 25, disposal=0, transparent=0),
                                    frame(4, 4, 6, 6, 26, disposal=0)]), [100] * 3, 1, 3, None),
    "damaged": (gif(10, 10, G, [frame(0, 0, 10, 10, 27), frame(1, 1, 4, 4, 28), frame(0, 0, 5, 5, 29, damaged=True),
                                frame(0, 0, 10, 10, 30)], loop=0), [100, 100], 0, 2, "damaged"),
}


# The corpus's animations where the plug-in rightly parts from Pillow: how many frames it gives
# and how it ends, the frames below which the pictures agree, and why.
CORPUS_RULES = {
    "dispose_bgnd.gif": dict(same_below=2, why="a frame without a transparent index disposed to the "
                             "background: Pillow paints the background colour, browsers clear it"),
    "dispose_bgnd_rgba.gif": dict(same_below=2, why="as dispose_bgnd.gif"),
    "no_palette.gif": dict(frames=0, end="damaged", why="no colour table for the frame: Pillow draws grey"),
    "no_palette_after_rgb.gif": dict(frames=1, end="damaged", why="as no_palette.gif, from the second frame"),
    "test_extents_transparency.gif": dict(frames=1, why="a stray byte after the first frame ends the file, as "
                                          "browsers take it; Pillow reads on past it"),
}


def over_white(im, width, height):
    rgba = im.convert("RGBA").crop((0, 0, width, height))
    return [[px[:3] if px[3] == 255 else WHITE for px in (rgba.getpixel((x, y)) for x in range(width))]
            for y in range(height)]


def run(decoder, src, stem):
    with tempfile.TemporaryFile("w+") as so, tempfile.TemporaryFile("w+") as se:
        rc = subprocess.run(["wine", decoder, "--frame", "all", wine_path(src), wine_path(stem)],
                            stdout=so, stderr=se, stdin=subprocess.DEVNULL, timeout=300).returncode
        so.seek(0)
        se.seek(0)
        return rc, so.read().splitlines(), se.read()


def compare(name, stem, im, k, failures):
    """Frame k of our composing (STEM-k.bmp) against Pillow's; skipped where Pillow cannot seek."""
    width, height, rows = read_rgb(f"{stem}-{k}.bmp")
    try:
        im.seek(k)
        expected = over_white(im, width, height)
    except Exception:  # noqa: BLE001 - Pillow fails on some of the corpus's frames in ways of its own
        return
    bad = [(x, y) for y in range(height) for x in range(width) if tuple(rows[y][x]) != expected[y][x]]
    if bad:
        x, y = bad[0]
        failures.append(f"{name} frame {k}: {len(bad)} pixels differ, first at {x},{y}: "
                        f"{tuple(rows[y][x])} against Pillow's {expected[y][x]}")


def check_corpus(decoder, corpus, work, failures):
    """Every animated GIF of the corpus, frame by frame, by the rules above."""
    for src in sorted(Path(corpus).rglob("*.gif")):
        try:
            with Image.open(src) as probe:
                count = getattr(probe, "n_frames", 1)
        except Exception:  # noqa: BLE001 - what Pillow cannot open is no animation to compare with
            continue
        if count < 2:
            continue
        rule = CORPUS_RULES.get(src.name, {})
        stem = work / ("corpus-" + src.stem)
        rc, lines, err = run(decoder, src, stem)
        shown = [line for line in lines if " bpp=" in line]
        want, end = rule.get("frames", count), rule.get("end")
        ended = [line for line in lines if line.startswith("ended: ")]
        if len(shown) != want or ended != ([f"ended: {end}"] if end else []) or err.strip():
            failures.append(f"{src.name}: {len(shown)} frames, {ended}, {err.strip()!r}; want {want} then {end or 'the end'}")
            continue
        im = Image.open(src)
        for k in range(min(len(shown), rule.get("same_below", len(shown)))):
            compare(src.name, stem, im, k, failures)
        print(f"{src.name}: {len(shown)} frames" + (f" ({rule['why']})" if rule else ""))


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--decoder", required=True)
    ap.add_argument("--work", required=True)
    ap.add_argument("--corpus")
    args = ap.parse_args()
    work = Path(args.work) / "gif-frames"
    work.mkdir(parents=True, exist_ok=True)
    failures = []
    for name, (data, delays, plays, count, end) in CASES.items():
        src = work / f"{name}.gif"
        src.write_bytes(data)
        rc, lines, err = run(args.decoder, src, work / name)
        shown = [line for line in lines if " bpp=" in line]
        if err.strip():
            failures.append(f"{name}: said {err.strip()!r}")
        if len(shown) != count or (end and lines[-1:] != [f"ended: {end}"]) or (not end and rc != 0):
            failures.append(f"{name}: {len(shown)} frames, rc {rc}, {lines[-1:]}; want {count} then {end or 'the end'}")
            continue
        im = Image.open(src)
        width, height = im.size
        for k, line in enumerate(shown):
            fields = dict(item.split("=") for item in line.split()[1:])
            want = f"frames={len(delays) if not end else fields['frames']} plays={plays} delay={delays[k]}"
            got = f"frames={fields['frames']} plays={fields['plays']} delay={fields['delay']}"
            if got != want or line.split()[0] != f"{width}x{height}":
                failures.append(f"{name} frame {k}: {line}; want {width}x{height} {want}")
            compare(name, work / name, im, k, failures)
        print(f"{name}: {len(shown)} frames{', then ' + end if end else ''}")
    if args.corpus:
        check_corpus(args.decoder, args.corpus, work, failures)
    for f in failures:
        print("FAIL", f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
