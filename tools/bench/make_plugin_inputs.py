#!/usr/bin/python3
"""make_plugin_inputs.py DIR: the fourteen 4000 x 3000 pictures of the plug-in benchmark
(plugin_bench.py), one of each kind every plug-in reads most, written into DIR once.

    rle8.bmp          256 colours, run-length encoded (a page of text and rules)
    rgb24.bmp         24 bits, uncompressed
    g4.tif            1 bit, CCITT Group 4 (the page in black and white)
    packbits_gray.tif 8-bit grey, PackBits (the page in grey)
    lzw_gray.tif      8-bit grey, LZW (a photograph-like picture)
    lzw_rgb.tif       24-bit RGB, LZW
    large8.pcx        256 colours, run-length encoded
    large24.pcx       3 planes of 8 bits, run-length encoded
    large.gif         256 colours
    q90_420.jpg       quality 90, 4:2:0, baseline
    progressive.jpg   quality 90, 4:2:0, progressive
    rgb.png           24-bit RGB, zlib level 6
    rgba.png          RGBA with a soft alpha, zlib level 6
    palette.png       256 colours, zlib level 6

The photograph-like pictures are make_large_inputs.py's and make_tif_inputs.py's, so the files
are the ones the native benchmarks decode.
"""
import struct
import sys
from itertools import groupby
from pathlib import Path

from PIL import Image

from make_large_inputs import picture
from make_tif_inputs import page, photo

NAMES = ("rle8.bmp", "rgb24.bmp", "g4.tif", "packbits_gray.tif", "lzw_gray.tif", "lzw_rgb.tif", "large8.pcx",
         "large24.pcx", "large.gif", "q90_420.jpg", "progressive.jpg", "rgb.png", "rgba.png", "palette.png")


def rle8_bmp(im, path):
    """A bottom-up BMP of the palette picture `im`, each row as encoded runs (Pillow writes no
    run-length bitmaps)."""
    width, height = im.size
    data = im.tobytes()
    out = bytearray()
    for y in range(height - 1, -1, -1):
        for value, run in groupby(data[y * width:(y + 1) * width]):
            n = sum(1 for _ in run)
            while n:
                take = min(n, 255)
                out += bytes((take, value))
                n -= take
        out += b"\x00\x00"
    out += b"\x00\x01"
    palette = im.getpalette()[:768]
    palette += [0] * (768 - len(palette))
    table = b"".join(bytes((palette[3 * i + 2], palette[3 * i + 1], palette[3 * i], 0)) for i in range(256))
    offset = 14 + 40 + len(table)
    head = b"BM" + struct.pack("<IHHI", offset + len(out), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 1, len(out), 2835, 2835, 256, 0)
    path.write_bytes(head + info + table + out)


def main():
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    if all((out / n).exists() for n in NAMES):
        return 0
    rgb = picture()
    palette = rgb.quantize(256, method=Image.Quantize.FASTOCTREE)
    grey_page = page("L", 30, 245)
    rle8_bmp(grey_page.quantize(16), out / "rle8.bmp")
    rgb.save(out / "rgb24.bmp")
    page("1", 0, 1).save(out / "g4.tif", compression="group4")
    grey_page.save(out / "packbits_gray.tif", compression="packbits")
    photo().convert("L").save(out / "lzw_gray.tif", compression="tiff_lzw")
    photo().save(out / "lzw_rgb.tif", compression="tiff_lzw")
    palette.save(out / "large8.pcx")
    rgb.save(out / "large24.pcx")
    palette.save(out / "large.gif")
    rgb.save(out / "q90_420.jpg", quality=90, subsampling=2)
    rgb.save(out / "progressive.jpg", quality=90, subsampling=2, progressive=True)
    rgb.save(out / "rgb.png", compress_level=6)
    rgba = rgb.copy()
    rgba.putalpha(Image.radial_gradient("L").resize(rgb.size))
    rgba.save(out / "rgba.png", compress_level=6)
    palette.save(out / "palette.png", compress_level=6)
    return 0


if __name__ == "__main__":
    sys.exit(main())
