#!/usr/bin/python3
"""The frames of WebP animations written here by Pillow, composed by the WebP plug-in
(lmx_decode --frame all) against Pillow's seek(N) of the same files:

    webp_frames_check.py --decoder lmx_decode.exe --work DIR

Pillow's writer chooses each frame's blending and disposal itself, so the table sets them
afterwards in the frames' ANMF headers, and the durations too (the writer refuses 0 ms). Pillow
reads through the same libwebp animation decoder; its RGBA frames are composited over white as
the plug-in does: c' = (c * a + 255 * (255 - a) + 127) // 255. Lossy frames may differ by a
step or two.
"""
import argparse
import io
import sys
from pathlib import Path

from PIL import Image, ImageDraw

from dib_image import read_rgb
from gif_frames_check import run

LOSSY_STEPS = 2
NO_BLEND, DISPOSE = 2, 1


def pictures(n, width=48, height=32):
    """n frames: a box moving and fading, and a half-transparent disc, on a transparent canvas."""
    out = []
    for i in range(n):
        f = Image.new("RGBA", (width, height), (0, 0, 0, 0))
        draw = ImageDraw.Draw(f)
        draw.rectangle((3 + 7 * i, 4, 18 + 7 * i, 20), fill=(30 + 40 * i, 180, 220 - 30 * i, 255 - 40 * i))
        draw.ellipse((20 - 2 * i, 10, 40, 30), fill=(200, 30 * i, 90, 128))
        out.append(f)
    return out


def animation(n=5, loop=0, **options):
    f = pictures(n)
    data = io.BytesIO()
    f[0].save(data, "WEBP", save_all=True, append_images=f[1:], duration=40, loop=loop, **options)
    return data.getvalue()


def chunks(data):
    """The top-level chunks as (fourcc, start, end with padding)."""
    pos, out = 12, []
    while pos + 8 <= len(data):
        size = int.from_bytes(data[pos + 4:pos + 8], "little")
        out.append((data[pos:pos + 4], pos, pos + 8 + size + (size & 1)))
        pos = out[-1][2]
    return out


def frame_starts(data):
    return [start for fourcc, start, _ in chunks(data) if fourcc == b"ANMF"]


def patched(data, flags=None, durations=None, x=None):
    """The ANMF headers given each frame's flags (blending, disposal), duration or x offset."""
    out = bytearray(data)
    for k, start in enumerate(frame_starts(data)):
        p = start + 8
        if x and k in x:
            out[p:p + 3] = (x[k] // 2).to_bytes(3, "little")
        if durations:
            out[p + 12:p + 15] = durations[k].to_bytes(3, "little")
        if flags:
            out[p + 15] = flags[k]
    return bytes(out)


def spliced(*files):
    """The header chunks of the first file, then frame k from files[k % len(files)]."""
    parts = [chunks(f) for f in files]
    body = b"".join(files[0][s:e] for c, s, e in parts[0] if c != b"ANMF")
    frames = [[f[s:e] for c, s, e in p if c == b"ANMF"] for f, p in zip(files, parts)]
    body += b"".join(frames[k % len(files)][k] for k in range(len(frames[0])))
    return b"RIFF" + (len(body) + 4).to_bytes(4, "little") + b"WEBP" + body


def damaged(data, k):
    """Frame k's bitstream garbled at the first place where libwebp (through Pillow) fails on it."""
    start = frame_starts(data)[k]
    end = chunks(data)[[s for _, s, _ in chunks(data)].index(start)][2]
    for at in range(start + 40, end - 8):
        garbled = bytearray(data)
        for i in range(at, at + 8):
            garbled[i] ^= 0x5A
        try:
            with Image.open(io.BytesIO(bytes(garbled))) as im:
                im.seek(k)
                im.load()
        except (OSError, EOFError):
            return bytes(garbled)
    raise AssertionError("no garbled stretch that libwebp finds")


def still():
    data = io.BytesIO()
    pictures(1)[0].save(data, "WEBP", lossless=True)
    return data.getvalue()


LOSSLESS = animation(lossless=True)
LOSSY = animation(loop=3, quality=80)
CASES = {
    # name: (file, delays, plays, frames shown, how it ends, steps a pixel may differ by)
    "blend_keep": (patched(LOSSLESS, flags=[0, 0, 0, 0, 0]), [40] * 5, 0, 5, None, 0),
    "blend_dispose": (patched(LOSSLESS, flags=[DISPOSE, 0, DISPOSE, DISPOSE, 0]), [40] * 5, 0, 5, None, 0),
    "replace": (patched(LOSSLESS, flags=[NO_BLEND, NO_BLEND | DISPOSE, 0, NO_BLEND, DISPOSE]), [40] * 5, 0, 5,
                None, 0),
    "lossy": (patched(LOSSY, flags=[DISPOSE, 0, NO_BLEND, DISPOSE, 0]), [40] * 5, 3, 5, None, LOSSY_STEPS),
    "mixed": (patched(spliced(LOSSY, LOSSLESS), flags=[0, DISPOSE, 0, 0, NO_BLEND]), [40] * 5, 3, 5, None,
              LOSSY_STEPS),
    "delays": (patched(LOSSLESS, durations=[0, 10, 11, 20, 1000]), [100, 100, 11, 20, 1000], 0, 5, None, 0),
    "cut": (LOSSLESS[:frame_starts(LOSSLESS)[3] + 30], [40] * 3, 0, 3, "damaged", 0),
    "damaged": (damaged(LOSSLESS, 2), [40] * 2, 0, 2, "damaged", 0),
    # libwebp's demuxer refuses a file with a frame past the canvas, and a still file is no animation.
    "off_canvas": (patched(LOSSLESS, x={2: 40}), [], 0, 0, "none", 0),
    "still": (still(), [], 0, 0, "none", 0),
}
# Pillow opens no cut animation: its frames are those of the whole file.
REFERENCES = {"cut": LOSSLESS}


def over_white(im):
    def pixel(r, g, b, a):
        return tuple((c * a + 255 * (255 - a) + 127) // 255 for c in (r, g, b))
    return [[pixel(*im.getpixel((x, y))) for x in range(im.size[0])] for y in range(im.size[1])]


def compare(name, path, stem, k, steps, failures):
    width, height, rows = read_rgb(f"{stem}-{k}.bmp")
    with Image.open(path) as im:
        im.seek(k)
        if im.size != (width, height):
            failures.append(f"{name} frame {k}: {width}x{height}, Pillow's {im.size}")
            return
        expected = over_white(im.convert("RGBA"))
    bad = [(x, y) for y in range(height) for x in range(width)
           if max(abs(a - b) for a, b in zip(rows[y][x], expected[y][x])) > steps]
    if bad:
        x, y = bad[0]
        failures.append(f"{name} frame {k}: {len(bad)} pixels differ, first at {x},{y}: "
                        f"{tuple(rows[y][x])} against Pillow's {expected[y][x]}")


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--decoder", required=True)
    ap.add_argument("--work", required=True)
    args = ap.parse_args()
    work = Path(args.work) / "webp-frames"
    work.mkdir(parents=True, exist_ok=True)
    failures = []
    for name, (data, delays, plays, count, end, steps) in CASES.items():
        src = work / f"{name}.webp"
        src.write_bytes(data)
        reference = src
        if name in REFERENCES:
            reference = work / f"{name}-whole.webp"
            reference.write_bytes(REFERENCES[name])
        rc, lines, err = run(args.decoder, src, work / name)
        shown = [line for line in lines if " bpp=" in line]
        outcome = "the end" if rc == 0 else lines[-1][len("ended: "):] if lines[-1:] and \
            lines[-1].startswith("ended: ") else "none" if rc == 2 else f"rc {rc}"
        if len(shown) != count or outcome != (end or "the end") or (rc != 2 and err.strip()):
            failures.append(f"{name}: {len(shown)} frames, then {outcome}, said {err.strip()!r}; "
                            f"want {count} then {end or 'the end'}")
            continue
        for k, line in enumerate(shown):
            fields = dict(item.split("=") for item in line.split()[1:])
            got = f"plays={fields['plays']} delay={fields['delay']}"
            if got != f"plays={plays} delay={delays[k]}" or (not end and fields["frames"] != str(count)):
                failures.append(f"{name} frame {k}: {line}; want {count} frames, plays={plays} delay={delays[k]}")
            compare(name, reference, work / name, k, steps, failures)
        print(f"{name}: {len(shown)} frames, then {outcome}")
    for f in failures:
        print("FAIL", f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
