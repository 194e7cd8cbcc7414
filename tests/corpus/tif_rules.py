"""What the TIFF plug-in must do with each corpus file, read from the file's first directory,
and with TIFFs written here as editors and tiffcp write them: Deflate (both codes, grey, RGB
and palette, with and without the predictor) decoded as Pillow decodes them; LZMA, ZSTD and
WebP (codecs the plug-in's libtiff lacks) and a damaged Deflate strip refused with a message."""
import shutil
import struct
import subprocess

CANNOT_READ = "Can't read TIFF-File!"
INVALID = "Invalid color format in TIFF-File!"
JPEG = "JPEG-Format wird nicht unterstützt!"
PHOTOMETRIC_MESSAGES = {
    4: "No Transpartmasks-Color format supported!",
    5: "No CMYK-Color format supported!",
    6: "No YCbCr-Color format supported!",
    8: "No CIE L*a*b*-Color format supported!",
}
DAMAGED = "Damaged image data in TIFF-File!"
MESSAGES = {CANNOT_READ, INVALID, JPEG, DAMAGED, "There is not enough memory!",
            "Error occured while decoding TIFF-File!", *PHOTOMETRIC_MESSAGES.values()}

# Codecs built into the plug-in's libtiff: none, CCITT RLE, G3, G4, LZW, Deflate (both codes),
# NeXT, RLE/W, PackBits, ThunderScan. Any other is refused with its number.
CODECS = {1, 2, 3, 4, 5, 8, 32946, 32766, 32771, 32773, 32809}


def unsupported(compression):
    return f"TIFF-Compression {compression} is not supported!"


# The files written here: name -> the one message the plug-in must refuse it with (None: it
# must decode it, and Pillow's reading is the reference).
WRITTEN = {}

TYPE_SIZES = {1: 1, 2: 1, 3: 2, 4: 4, 5: 8, 6: 1, 7: 1, 8: 2, 9: 4, 10: 8, 11: 4, 12: 8, 16: 8, 17: 8, 18: 8}
TYPE_FORMATS = {1: "B", 3: "H", 4: "I", 6: "b", 8: "h", 9: "i", 16: "Q", 17: "q", 18: "Q"}


def corpus_files(corpus):
    return sorted(p for p in (corpus / "pillow").glob("*") if p.suffix.lower() in (".tif", ".tiff"))


def patch_compression(path, code):
    """Sets the first directory's Compression entry (a little-endian classic TIFF) to `code`."""
    data = bytearray(path.read_bytes())
    ifd = struct.unpack_from("<I", data, 4)[0]
    for i in range(struct.unpack_from("<H", data, ifd)[0]):
        at = ifd + 2 + 12 * i
        if struct.unpack_from("<H", data, at)[0] == 259:
            struct.pack_into("<H", data, at + 8, code)
    path.write_bytes(bytes(data))


def extra_files(more, work):
    from PIL import Image, ImageDraw
    folder = work / "written"
    shutil.rmtree(folder, ignore_errors=True)
    folder.mkdir(parents=True)
    rgb = Image.merge("RGB", [Image.linear_gradient("L").resize((96, 64)).rotate(r, expand=False)
                              for r in (0, 90, 180)])
    ImageDraw.Draw(rgb).ellipse((20, 10, 70, 50), fill=(200, 30, 90))
    pictures = {"grey": rgb.convert("L"), "rgb": rgb, "palette": rgb.quantize(64)}
    for kind, im in pictures.items():
        plain = folder / f"plain_{kind}.tif"
        im.save(plain)
        for predictor in (1, 2):
            for code in (8, 32946):
                path = folder / f"deflate{code}_{kind}_predictor{predictor}.tif"
                # Strips of 16 rows, so that every picture has several.
                subprocess.run(["tiffcp", "-r", "16", "-c", f"zip:{predictor}", str(plain), str(path)], check=True)
                if code != 8:
                    patch_compression(path, code)
                WRITTEN[path.name] = None
        plain.unlink()
    for codec, code in (("lzma", 34925), ("zstd", 50000), ("webp", 50001)):
        path = folder / f"{codec}.tif"
        subprocess.run(["tiffcp", "-c", codec, str(folder / "deflate8_rgb_predictor1.tif"), str(path)], check=True)
        WRITTEN[path.name] = unsupported(code)
    # The second strip's data overwritten with bytes no Deflate stream holds.
    damaged = folder / "deflate8_damaged_strip.tif"
    shutil.copy(folder / "deflate8_rgb_predictor1.tif", damaged)
    data = bytearray(damaged.read_bytes())
    at, count = first_directory(damaged)[273][1], first_directory(damaged)[279][1]
    data[at:at + count] = b"\xff" * count
    damaged.write_bytes(bytes(data))
    WRITTEN[damaged.name] = DAMAGED
    return sorted(folder.glob("*.tif"))


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
    if first(tags, 259, 1) not in CODECS:
        return unsupported(first(tags, 259, 1))
    return None


def damaged(path):
    return any(s in path.name for s in ("crash", "oom", "segfault", "overflow"))


def check_outcome(path, rc, messages):
    """None when the outcome is allowed, else what is wrong."""
    texts = [m.split(": ", 2)[2] if m.count(": ") >= 2 else m for m in messages]
    captions = {m.split(": ", 2)[1] for m in messages if m.count(": ") >= 2}
    if captions - {"Message..."}:
        return f"unexpected caption {captions}"
    if path.name in WRITTEN:
        want = [WRITTEN[path.name]] if WRITTEN[path.name] else []
        return None if (rc == 1 if want else rc == 0) and texts == want else f"exit {rc} with {texts}, want {want}"
    # A file libtiff cannot open is reported by the page count and again by the load.
    if texts == [CANNOT_READ, CANNOT_READ]:
        return None if rc == 1 else "decoded a file it could not count"
    tags = first_directory(path)
    # libtiff mends some damaged directories its own way (a fax codec forces 1 bit per sample).
    expected = expected_refusal(tags) if tags and not damaged(path) else "unknown"
    if rc == 1:
        if len(texts) != 1:
            return f"refused with {len(texts)} messages {texts}"
        if texts[0] not in MESSAGES and texts[0] != expected:
            return f"unexpected message {texts}"
        if expected not in ("unknown", None) and texts[0] not in (expected, CANNOT_READ):
            return f"refused with {texts[0]!r}, expected {expected!r}"
        # libtiff alone knows whether a strip decodes.
        if expected is None and texts[0] not in (CANNOT_READ, DAMAGED):
            return f"an accepted layout was refused: {texts}"
        return None
    if texts:
        return f"decoded but also said {texts}"
    if expected not in (None, "unknown"):
        return f"decoded a file the plug-in must refuse ({expected})"
    return None


def incomparable(path):
    """Why the reference does not apply under the plug-in's rules, or None."""
    if path.name in WRITTEN:
        return None
    tags = first_directory(path)
    if tags is None:
        return "first directory not readable here"
    if first(tags, 262, None) == 3:
        cmap = tags.get(320, [])
        if cmap and max(cmap) < 256:
            return "an 8-bit colour map is taken as it stands"
    if first(tags, 274, 1) != 1:
        return "the reference applies the Orientation tag; the plug-in shows the rows as stored"
    if damaged(path):
        return "damaged file"
    return None


def reference(path):
    """Pillow's reading of a written file; the corpus's rendering of a corpus file."""
    from PIL import Image
    if path.name in WRITTEN:
        with Image.open(path) as im:
            return im.convert("RGB")
    ref = path.parent.parent / "pillow-ref" / (path.name + ".png")
    return ref if ref.exists() else None
