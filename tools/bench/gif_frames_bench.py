#!/usr/bin/python3
"""gif_frames_bench.py --decoder "WINE lmx_decode.exe" --work DIR [--device-work WINDIR]:
composing the frames of a 480 x 270 GIF of 200 frames, the GIF plug-in's frame reader
(lmx_decode --frame all --time 9, in process under Wine, the blocks freed as they come)
beside Pillow's seek() and convert("RGB") of every frame, side by side in one run, per frame.

It also writes DIR/anim25.gif, the same frames at 40 ms (25 frames a second), for the viewer's
CPU benchmark.
"""
import argparse
import math
import statistics
import subprocess
import tempfile
import time
from pathlib import Path

from PIL import Image, ImageDraw

WIDTH, HEIGHT, FRAMES = 480, 270, 200


def frames():
    """Balls moving over a gradient: each frame differs from the last in places, as a
    browser's GIF does, and Pillow stores only the changed part with its disposal."""
    base = Image.new("RGB", (WIDTH, HEIGHT))
    draw = ImageDraw.Draw(base)
    for y in range(HEIGHT):
        draw.line([(0, y), (WIDTH, y)], fill=(y * 255 // HEIGHT, 80, 255 - y * 255 // HEIGHT))
    out = []
    for k in range(FRAMES):
        im = base.copy()
        d = ImageDraw.Draw(im)
        for b in range(6):
            angle = 2 * math.pi * (k / FRAMES) * (b + 1)
            x = WIDTH / 2 + (WIDTH / 3) * math.cos(angle + b)
            y = HEIGHT / 2 + (HEIGHT / 3) * math.sin(angle * 1.3 + b)
            d.ellipse([x - 24, y - 24, x + 24, y + 24], fill=(40 * b, 255 - 30 * b, 60 + 30 * b))
        out.append(im.quantize(64))
    return out


def write(path, images, duration):
    images[0].save(path, save_all=True, append_images=images[1:], duration=duration, loop=0)


def pillow_per_frame(path, runs=5):
    times = []
    for _ in range(runs):
        start = time.perf_counter()
        with Image.open(path) as im:
            for k in range(im.n_frames):
                im.seek(k)
                im.convert("RGB")
            frames = im.n_frames
        times.append((time.perf_counter() - start) * 1000 / frames)
    return statistics.median(times), min(times)


def ours_per_frame(decoder, device, name):
    """lmx_decode --frame all --time 9 of DIR/NAME: the median and least milliseconds a frame."""
    # Output through a file: Wine's helper processes inherit descriptors and outlive the decoder.
    with tempfile.TemporaryFile("w+") as so:
        subprocess.run(decoder.split() + ["--frame", "all", "--time", "9", device + "\\" + name, device + "\\frame.bmp"],
                       stdout=so, stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL, timeout=600)
        so.seek(0)
        line = so.read().strip().splitlines()[-1]
    return float(line.split("median ")[1].split(" ms")[0]), float(line.split("least ")[1].split(" ms")[0])


def arguments():
    """The decoder's command, the work folder (made) and that folder as the decoder sees it."""
    ap = argparse.ArgumentParser()
    ap.add_argument("--decoder", required=True, help="the command that runs lmx_decode.exe")
    ap.add_argument("--work", required=True)
    ap.add_argument("--device-work", help="DIR as the decoder sees it")
    args = ap.parse_args()
    work = Path(args.work)
    work.mkdir(parents=True, exist_ok=True)
    return args.decoder, work, args.device_work or "Z:" + str(work.resolve()).replace("/", "\\")


def main():
    decoder, work, device = arguments()
    images = frames()
    write(work / "anim.gif", images, 100)
    write(work / "anim25.gif", images, 40)
    ours, least = ours_per_frame(decoder, device, "anim.gif")
    for f in work.glob("frame-*.bmp"):
        f.unlink()
    pillow, pillow_least = pillow_per_frame(work / "anim.gif")
    print(f"composing {FRAMES} frames of {WIDTH} x {HEIGHT} (GIF of {(work / 'anim.gif').stat().st_size} bytes), per frame:")
    print(f"  zlx_gif.dll LMX_NextFrame under Wine  median {ours:7.3f} ms  least {least:7.3f} ms")
    print(f"  Pillow seek() + convert('RGB')        median {pillow:7.3f} ms  least {pillow_least:7.3f} ms")
    print(f"  Pillow's time / ours: {pillow / ours:.2f}")


if __name__ == "__main__":
    main()
