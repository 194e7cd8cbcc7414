"""What the JPEG plug-in must do with libjpeg-turbo's test pictures, the fuzzer's seeds and the
cases Pillow writes here (each EXIF orientation, grey, CMYK, the subsamplings, progressive,
a file cut short, a file that is no JPEG).

The reference is Pillow's reading (Debian's python3-pil, over the same libjpeg-turbo) turned
upright by ImageOps.exif_transpose, in RGB; Pillow takes four components as Adobe's inverted
CMYK, as the plug-in does for files with Adobe's marker."""
import io

from PIL import Image, ImageDraw, ImageOps

WARNING = ("Warning...", "The JPEG-File is damaged or incomplete. The picture is shown as far as it could be read.")
REFUSALS = {
    "testorig12.jpg": "This kind of JPEG-File is not supported!",
    "not_a_jpeg.jpg": "No valid JPEG-File!",
    "duplicate_frame_between_progressive_scans.jpg": "The image data of the JPEG-File are damaged!",
}
CUT_SHORT = {"cut_short.jpg", "cut_short_progressive.jpg"}


def corpus_files(corpus):
    return []  # the shared corpus holds no JPEG


def picture(width, height):
    """Smooth colours, a sharp edge and a block of red: every plane and subsampling shows."""
    im = Image.new("RGB", (width, height))
    px = im.load()
    for y in range(height):
        for x in range(width):
            px[x, y] = (x * 255 // (width - 1), y * 255 // (height - 1), (x * y * 7) % 256)
    ImageDraw.Draw(im).rectangle((2, 2, width // 3, height // 3), fill=(250, 20, 30))
    return im


def write_cases(folder):
    folder.mkdir(parents=True, exist_ok=True)
    photo = picture(37, 21)
    for orientation in range(1, 9):
        exif = Image.Exif()
        exif[0x0112] = orientation
        photo.save(folder / f"orientation_{orientation}.jpg", quality=90, exif=exif.tobytes())
    photo.convert("L").save(folder / "grey.jpg", quality=90)
    photo.convert("CMYK").save(folder / "cmyk.jpg", quality=90)
    photo.save(folder / "subsampling_444.jpg", quality=90, subsampling=0)
    photo.save(folder / "subsampling_422.jpg", quality=90, subsampling=1)
    photo.save(folder / "progressive.jpg", quality=90, progressive=True)
    for name, progressive in (("cut_short.jpg", False), ("cut_short_progressive.jpg", True)):
        data = io.BytesIO()
        picture(64, 48).save(data, "JPEG", quality=90, progressive=progressive)
        (folder / name).write_bytes(data.getvalue()[:len(data.getvalue()) * 3 // 5])
    data = io.BytesIO()
    photo.save(data, "PNG")
    (folder / "not_a_jpeg.jpg").write_bytes(data.getvalue())
    return sorted(folder.glob("*.jpg"))


def extra_files(more, work):
    files = []
    for folder in more:
        files += sorted(folder.glob("*.jpg"))
    return files + write_cases(work / "cases")


def check_outcome(path, rc, messages):
    parts = [tuple(m.split(": ", 2)[1:]) for m in messages]
    if path.name in REFUSALS:
        want = [("Error...", REFUSALS[path.name])]
        return None if rc == 1 and parts == want else f"exit {rc} with {messages}, want a refusal with {want}"
    want = [WARNING] if path.name in CUT_SHORT else []
    return None if rc == 0 and parts == want else f"exit {rc} with {messages}, want a picture with {want}"


def expected_bits(path):
    with Image.open(path) as im:
        return 8 if im.mode == "L" else 24


def incomparable(path):
    if path.name in CUT_SHORT:
        return "cut short: the rows past the cut are as libjpeg fills them"
    return None


def reference(path):
    with Image.open(path) as im:
        return ImageOps.exif_transpose(im).convert("RGB")
