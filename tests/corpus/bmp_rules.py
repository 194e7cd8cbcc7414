"""What the BMP plug-in must do with each corpus file, read from the file's own header."""
import struct

MESSAGES = {
    "No valid Bitmap file!", "An error ocurred while reading the Bitmap file header!",
    "An error occured while reading the Bitmap file data!", "Unknown device independent format!",
    "There is not enough memory to compute the graphic!", "Invalid RLE-Bitmap!",
    "Generic memory error occured.",
}


def corpus_files(corpus):
    files = []
    for sub in ("g", "q", "b", "x"):
        files += sorted((corpus / "bmpsuite" / sub).glob("*.bmp"))
    files += sorted(p for p in (corpus / "pillow").glob("*") if p.suffix.lower() == ".bmp")
    return files


def header(path):
    data = path.read_bytes()[:54]
    if len(data) < 30 or data[:2] != b"BM":
        return None
    off_bits = struct.unpack_from("<I", data, 10)[0]
    size = struct.unpack_from("<I", data, 14)[0]
    if size == 12:
        w, h, planes, bits = struct.unpack_from("<HHHH", data, 18)
        return dict(size=size, width=w, height=h, bits=bits, compression=0, colors=0, off_bits=off_bits)
    if len(data) < 54:
        return dict(size=size, width=0, height=0, bits=0, compression=0, colors=0, off_bits=off_bits)
    w, h, planes, bits, comp, size_image, xp, yp, colors = struct.unpack_from("<iiHHIIiiI", data, 18)
    return dict(size=size, width=w, height=h, bits=bits, compression=comp, colors=colors, off_bits=off_bits)


def table_size(h):
    n = h["colors"] or (1 << h["bits"] if h["bits"] < 16 else 0)
    return n * (3 if h["size"] == 12 else 4)


def rle_skips_pixels(path, h):
    """True when the run-length stream leaves pixels unset (deltas, early line or bitmap ends)."""
    data = path.read_bytes()[h["off_bits"]:]
    x = y = i = 0
    while i + 1 < len(data) and y < h["height"]:
        first, second = data[i], data[i + 1]
        i += 2
        if first:
            x += first
        elif second == 0:
            if x < h["width"]:
                return True
            x, y = 0, y + 1
        elif second == 1:
            return y < h["height"] - 1 or x < h["width"]
        elif second == 2:
            return True
        else:
            n = (second + 1) // 2 if h["bits"] == 4 else second
            i += n + (n & 1)
            x += second
    return y < h["height"]


def pixel_indices_beyond_table(path, h):
    if h["bits"] != 8 or h["compression"] != 0 or not h["colors"]:
        return False
    data = path.read_bytes()[h["off_bits"]:]
    return any(b >= h["colors"] for b in data)


def masks(path, h):
    """The red, green and blue masks of a 16- or 32-bit bitmap, as the plug-in applies them."""
    if h["compression"] == 3:
        return struct.unpack_from("<III", path.read_bytes(), 54)
    return (0x7C00, 0x03E0, 0x001F) if h["bits"] == 16 else (0xFF0000, 0x00FF00, 0x0000FF)


def unused_bits_set(path, h):
    """True when a 16-bit 5-5-5 bitmap without masks sets the top bit that 5-5-5 leaves unused."""
    if h["bits"] != 16 or h["compression"] != 0:
        return False
    data = path.read_bytes()[h["off_bits"]:]
    return any(data[i] & 0x80 for i in range(1, len(data), 2))


def tolerance(path):
    """How far each channel may lie from the reference, and why; (0, None) for exactly."""
    h = header(path)
    if not h or h["bits"] not in (16, 32):
        return 0, None
    if path.parent.name == "pillow" and any(0 < bin(m).count("1") < 8 for m in masks(path, h)):
        return 1, "Pillow widens fields narrower than 8 bits by repeating their bits, the plug-in's rows are scaled and rounded"
    if any(bin(m).count("1") > 8 for m in masks(path, h)):
        return 1, "the reference cuts fields wider than 8 bits to their top bits, the plug-in's rows are scaled and rounded"
    return 0, None


def check_outcome(path, rc, messages):
    """None when the outcome is allowed, else what is wrong."""
    texts = [m.split(": ", 2)[2] if m.count(": ") >= 2 else m for m in messages]
    h = header(path)
    if rc == 1:
        if not texts:
            return "refused without a message"
        unknown = [t for t in texts if t not in MESSAGES]
        if unknown:
            return f"unexpected message {unknown}"
        if path.parent.name == "g" and h and h["size"] in (12, 40) and h["height"] >= 0:
            return f"a good file with a readable header was refused: {texts}"
        return None
    if texts:
        return f"decoded but also said {texts}"
    if h and (h["size"] not in (12, 40) or h["height"] < 0 or h["bits"] not in (1, 4, 8, 16, 24, 32)):
        return "decoded a header the plug-in must refuse"
    return None


def incomparable(path):
    """Why the reference does not apply under the plug-in's rules, or None."""
    h = header(path)
    if h is None:
        return "not a bitmap"
    bit_fields = h["compression"] == 3 and h["bits"] in (16, 32)
    if h["compression"] not in (0, 1, 2) and not bit_fields:
        return "compression passed on unexpanded (JPEG, PNG, alpha bit fields)"
    if h["off_bits"] and h["off_bits"] < 14 + h["size"] + table_size(h):
        return "bfOffBits points into the colour table, and pixels are read from there"
    if h["compression"] in (1, 2) and rle_skips_pixels(path, h):
        return "pixels a run-length stream skips take colour index 0"
    if h["bits"] == 4 and h["compression"] and path.parent.name == "pillow":
        return "the reference (Pillow 9.4) misreads RLE4"
    if pixel_indices_beyond_table(path, h):
        return "pixel indices beyond the colour table"
    if unused_bits_set(path, h):
        return "the reference takes the unused top bit of 5-5-5 pixels for transparency"
    return None
