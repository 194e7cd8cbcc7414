"""What the PNG plug-in must do with each file of PngSuite: decode it by its rules, or refuse it
with one message when the name begins with "x" (a damaged file).

The reference is those rules applied to the samples png_samples.py reads: palettes indexed,
grey as grey, 16-bit samples by their high byte, grey 1, 2 and 4 bits scaled to 0-255, and
transparency (an alpha channel, or tRNS) composited over white on 8-bit values:
c' = (c * a + 255 * (255 - a) + 127) // 255. Gamma and colour profiles are not applied."""
from PIL import Image

from png_samples import read

CAPTION = "Error..."
MESSAGES = {"No valid PNG-File!", "Error in the header of the PNG-File!", "The image data of the PNG-File are damaged!"}


def corpus_files(corpus):
    return sorted((corpus / "pngsuite").glob("*.png"))


def check_outcome(path, rc, messages):
    parts = [m.split(": ", 2) for m in messages]
    if path.name.startswith("x"):
        if rc != 1:
            return "a damaged file was not refused"
        if len(parts) != 1 or parts[0][1:] not in ([CAPTION, t] for t in MESSAGES):
            return f"refused with {messages}"
        return None
    if rc != 0:
        return f"refused: {messages}"
    return f"decoded but also said {messages}" if messages else None


def incomparable(path):
    return None


def palette_alpha(png):
    alpha = list(png["trns"] or b"")
    return alpha if any(a < 255 for a in alpha) else None


def expected_bits(path):
    png = read(path)
    if png["color_type"] == 3 and not palette_alpha(png):
        return {1: 1, 2: 4, 4: 4, 8: 8}[png["depth"]]
    return 8 if png["color_type"] in (0, 4) else 24


def over_white(c, a):
    return (c * a + 255 * (255 - a) + 127) // 255


def reference(path):
    png = read(path)
    depth, kind, trns = png["depth"], png["color_type"], png["trns"]

    def eight(v):
        return v >> 8 if depth == 16 else v if depth == 8 else v * 255 // ((1 << depth) - 1)

    palette = png["palette"]
    alpha = palette_alpha(png) or []
    key = None
    if trns and kind == 0:
        key = (int.from_bytes(trns[0:2], "big"),)
    elif trns and kind == 2:
        key = tuple(int.from_bytes(trns[i:i + 2], "big") for i in (0, 2, 4))
    out = Image.new("RGB", (png["width"], png["height"]))
    px = out.load()
    for y, row in enumerate(png["rows"]):
        for x, s in enumerate(row):
            if kind == 3:
                i = s[0]
                rgb, a = (palette[i] if i < len(palette) else (0, 0, 0)), (alpha[i] if i < len(alpha) else 255)
            elif kind in (0, 2):
                rgb = tuple(eight(v) for v in s) * (3 if kind == 0 else 1)
                a = 0 if s == key else 255
            else:
                rgb, a = tuple(eight(v) for v in s[:-1]) * (3 if kind == 4 else 1), eight(s[-1])
            px[x, y] = tuple(over_white(c, a) for c in rgb)
    return out
