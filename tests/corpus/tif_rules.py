"""What the TIFF plug-in must do with each corpus file, read from the file's first directory."""
import struct

CANNOT_READ = "Can't read TIFF-File!"
INVALID = "Invalid color format in TIFF-File!"
JPEG = "JPEG-Format wird nicht unterstützt!"
PHOTOMETRIC_MESSAGES = {
    4: "No Transpartmasks-Color format supported!",
    5: "No CMYK-Color format supported!",
    6: "No YCbCr-Color format supported!",
    8: "No CIE L*a*b*-Color format supported!",
}
MESSAGES = {CANNOT_READ, INVALID, JPEG, "There is not enough memory!", "Error occured while decoding TIFF-File!",
            *PHOTOMETRIC_MESSAGES.values()}

# Codecs built into the plug-in's libtiff: none, CCITT RLE, G3, G4, LZW, NeXT, RLE/W,
# PackBits, ThunderScan. Strips of any other codec stay zero.
CODECS = {1, 2, 3, 4, 5, 32766, 32771, 32773, 32809}

TYPE_SIZES = {1: 1, 2: 1, 3: 2, 4: 4, 5: 8, 6: 1, 7: 1, 8: 2, 9: 4, 10: 8, 11: 4, 12: 8, 16: 8, 17: 8, 18: 8}
TYPE_FORMATS = {1: "B", 3: "H", 4: "I", 6: "b", 8: "h", 9: "i", 16: "Q", 17: "q", 18: "Q"}


def corpus_files(corpus):
    return sorted(p for p in (corpus / "pillow").glob("*") if p.suffix.lower() in (".tif", ".tiff"))


def first_directory(path):
    """Tag number -> list of values of the first directory (integers only), or None."""
    data = path.read_bytes()
    if len(data) < 8 or data[:2] not in (b"II", b"MM"):
        return None
    e = "<" if data[:2] == b"II" else ">"
    magic = struct.unpack_from(e + "H", data, 2)[0]
    try:
        if magic == 42:
            ifd = struct.unpack_from(e + "I", data, 4)[0]
            count = struct.unpack_from(e + "H", data, ifd)[0]
            entry_size, head, value_size, off_fmt = 12, 2, 4, "I"
        elif magic == 43:
            ifd = struct.unpack_from(e + "Q", data, 8)[0]
            count = struct.unpack_from(e + "Q", data, ifd)[0]
            entry_size, head, value_size, off_fmt = 20, 8, 8, "Q"
        else:
            return None
        tags = {}
        for i in range(min(count, 4096)):
            at = ifd + head + i * entry_size
            if magic == 42:
                tag, typ, n = struct.unpack_from(e + "HHI", data, at)
            else:
                tag, typ, n = struct.unpack_from(e + "HHQ", data, at)
            size = TYPE_SIZES.get(typ, 1) * n
            where = at + entry_size - value_size
            if size > value_size:
                where = struct.unpack_from(e + off_fmt, data, where)[0]
            fmt = TYPE_FORMATS.get(typ)
            if fmt and n < 1 << 20 and where + size <= len(data):
                tags[tag] = list(struct.unpack_from(e + fmt * n, data, where))
            else:
                tags[tag] = []
        return tags
    except (struct.error, OverflowError, ValueError):
        return None


def first(tags, tag, default):
    v = tags.get(tag)
    return v[0] if v else default


def expected_refusal(tags):
    """The message the plug-in must show for this directory, or None when it decodes it."""
    if first(tags, 259, 1) == 7:
        return JPEG
    photometric = first(tags, 262, None)
    bits = first(tags, 258, 1)
    samples = first(tags, 277, 1)
    if photometric in PHOTOMETRIC_MESSAGES:
        return PHOTOMETRIC_MESSAGES[photometric]
    accepted = ((photometric in (0, 1) and samples == 1 and bits in (1, 4, 8))
                or (photometric == 2 and samples == 3 and bits == 8)
                or (photometric == 3 and samples == 1 and bits in (4, 8)))
    if photometric is None:
        return "unknown"  # libtiff guesses the photometric
    if not accepted:
        return INVALID
    if 322 in tags or (first(tags, 284, 1) == 2 and samples > 1):
        return INVALID
    return None


def damaged(path):
    return any(s in path.name for s in ("crash", "oom", "segfault", "overflow"))


def check_outcome(path, rc, messages):
    """None when the outcome is allowed, else what is wrong."""
    texts = [m.split(": ", 2)[2] if m.count(": ") >= 2 else m for m in messages]
    captions = {m.split(": ", 2)[1] for m in messages if m.count(": ") >= 2}
    if captions - {"Message..."}:
        return f"unexpected caption {captions}"
    # A file libtiff cannot open is reported by the page count and again by the load.
    if texts == [CANNOT_READ, CANNOT_READ]:
        return None if rc == 1 else "decoded a file it could not count"
    tags = first_directory(path)
    # libtiff mends some damaged directories its own way (a fax codec forces 1 bit per sample).
    expected = expected_refusal(tags) if tags and not damaged(path) else "unknown"
    if rc == 1:
        if len(texts) != 1:
            return f"refused with {len(texts)} messages {texts}"
        if texts[0] not in MESSAGES:
            return f"unexpected message {texts}"
        if expected not in ("unknown", None) and texts[0] not in (expected, CANNOT_READ):
            return f"refused with {texts[0]!r}, expected {expected!r}"
        if expected is None and texts[0] != CANNOT_READ:
            return f"an accepted layout was refused: {texts}"
        return None
    if texts:
        return f"decoded but also said {texts}"
    if expected not in (None, "unknown"):
        return f"decoded a file the plug-in must refuse ({expected})"
    return None


def incomparable(path):
    """Why the reference does not apply under the plug-in's rules, or None."""
    tags = first_directory(path)
    if tags is None:
        return "first directory not readable here"
    if first(tags, 259, 1) not in CODECS:
        return "codec not built in: the rows stay zero"
    if first(tags, 262, None) == 3:
        cmap = tags.get(320, [])
        if cmap and max(cmap) < 256:
            return "an 8-bit colour map is taken as it stands"
    if first(tags, 274, 1) != 1:
        return "the reference applies the Orientation tag; the plug-in shows the rows as stored"
    if damaged(path):
        return "damaged file"
    return None
