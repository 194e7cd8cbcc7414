"""What the WebP plug-in must do with the cases Pillow and cwebp write here: lossy, lossless,
with alpha (lossy with an ALPH chunk, and lossless), extended files with EXIF and ICC chunks,
animations (the first frame on its canvas), a file cut short, one damaged, a canvas too large,
a file that is no WebP, and an extension in capitals.

The reference is Pillow's reading (Debian's python3-pil, over the same libwebp) of the first
frame, transparency composited over white as the PNG plug-in does:
c' = (c * a + 255 * (255 - a) + 127) // 255."""
import io
import struct
import subprocess

from PIL import Image, ImageDraw

WARNING = ("Warning...", "The WebP-File is damaged or incomplete. The picture is shown as far as it could be read.")
REFUSALS = {
    "not_a_webp.webp": "No valid WebP-File!",
    "too_large.webp": "There is not enough memory for this WebP picture!",
}
DAMAGED = {"cut_short.webp", "cut_short_lossy.webp", "damaged.webp", "cut_animation.webp"}


def corpus_files(corpus):
    return []  # the shared corpus holds no WebP


def picture(width, height, alpha=False):
    """Smooth colours, a sharp edge and a block of red; with alpha, a ramp of transparency."""
    im = Image.new("RGBA", (width, height))
    px = im.load()
    for y in range(height):
        for x in range(width):
            a = (x * 255 // (width - 1) + y * 3) % 256 if alpha else 255
            px[x, y] = (x * 255 // (width - 1), y * 255 // (height - 1), (x * y * 7) % 256, a)
    ImageDraw.Draw(im).rectangle((2, 2, width // 3, height // 3), fill=(250, 20, 30, 200 if alpha else 255))
    return im if alpha else im.convert("RGB")


def frames():
    """Three frames of a 60 x 40 animation: a box moving and fading over a transparent canvas,
    which Pillow's encoder stores as smaller frames at offsets."""
    out = []
    for i in range(3):
        f = Image.new("RGBA", (60, 40), (0, 0, 0, 0))
        ImageDraw.Draw(f).rectangle((5 + 12 * i, 8, 25 + 12 * i, 30), fill=(30 + 60 * i, 180, 220 - 50 * i, 255 - 70 * i))
        ImageDraw.Draw(f).line((0, 39, 59, 0), fill=(0, 0, 0, 128))
        out.append(f)
    return out


def damaged(data):
    """The lossless file with 16 bytes garbled past its middle, at the first place where libwebp
    (through Pillow) finds the fault: most garbled stretches only change pixels."""
    for start in range(len(data) // 2, len(data) - 16, 97):
        garbled = bytearray(data)
        for i in range(start, start + 16):
            garbled[i] ^= 0x5A
        try:
            with Image.open(io.BytesIO(bytes(garbled))) as im:
                im.load()
        except (OSError, SyntaxError):
            return bytes(garbled)
    raise AssertionError("no garbled stretch that libwebp finds")


def cwebp(folder, png_name, webp_name, *options):
    subprocess.run(["cwebp", "-quiet", *options, str(folder / png_name), "-o", str(folder / webp_name)], check=True)
    (folder / png_name).unlink()


def write_cases(folder):
    folder.mkdir(parents=True, exist_ok=True)
    for old in folder.glob("*"):
        old.unlink()
    photo, clear = picture(67, 45), picture(67, 45, alpha=True)
    photo.save(folder / "lossy.webp", quality=90)
    photo.save(folder / "lossless.webp", lossless=True)
    clear.save(folder / "alpha_lossy.webp", quality=90)
    clear.save(folder / "alpha_lossless.webp", lossless=True)
    exif = Image.Exif()
    exif[0x010F] = "Camera Maker"
    photo.save(folder / "extended.webp", quality=85, exif=exif.tobytes(), icc_profile=bytes(range(256)) * 2)
    photo.save(folder / "photo.png")
    cwebp(folder, "photo.png", "cwebp_lossy.webp", "-q", "75", "-sharp_yuv")
    clear.save(folder / "clear.png")
    cwebp(folder, "clear.png", "cwebp_alpha.webp", "-q", "75", "-alpha_filter", "best")
    clear.save(folder / "clear.png")
    cwebp(folder, "clear.png", "cwebp_lossless.webp", "-lossless", "-exact")
    f = frames()
    f[0].save(folder / "animated.webp", save_all=True, append_images=f[1:], duration=[80, 120, 200], loop=0,
              lossless=True)
    f[0].save(folder / "animated_lossy.webp", save_all=True, append_images=f[1:], duration=100, loop=2, quality=90)
    photo.save(folder / "upper_case.WEBP", quality=90)

    big = io.BytesIO()
    picture(160, 120).save(big, "WEBP", lossless=True)
    data = big.getvalue()
    (folder / "cut_short.webp").write_bytes(data[:len(data) * 3 // 5])
    (folder / "damaged.webp").write_bytes(damaged(data))
    big = io.BytesIO()
    picture(160, 120).save(big, "WEBP", quality=90)
    (folder / "cut_short_lossy.webp").write_bytes(big.getvalue()[:len(big.getvalue()) * 3 // 5])
    animation = (folder / "animated.webp").read_bytes()
    (folder / "cut_animation.webp").write_bytes(animation[:len(animation) - 20])
    # The animation's canvas made 20000 x 20000 (its VP8X chunk): 1.2 GB at 24 bits.
    huge = bytearray(animation)
    assert huge[12:16] == b"VP8X"
    huge[24:30] = struct.pack("<I", 19999)[:3] + struct.pack("<I", 19999)[:3]
    (folder / "too_large.webp").write_bytes(bytes(huge))
    data = io.BytesIO()
    photo.save(data, "PNG")
    (folder / "not_a_webp.webp").write_bytes(data.getvalue())
    return sorted(folder.glob("*.webp")) + sorted(folder.glob("*.WEBP"))


def extra_files(more, work):
    return write_cases(work / "cases")


def check_outcome(path, rc, messages):
    parts = [tuple(m.split(": ", 2)[1:]) for m in messages]
    if path.name in REFUSALS:
        want = [("Error...", REFUSALS[path.name])]
        return None if rc == 1 and parts == want else f"exit {rc} with {messages}, want a refusal with {want}"
    want = [WARNING] if path.name in DAMAGED else []
    return None if rc == 0 and parts == want else f"exit {rc} with {messages}, want a picture with {want}"


def expected_bits(path):
    return 24


def incomparable(path):
    if path.name in DAMAGED and path.name != "cut_animation.webp":
        return "cut short or damaged: the rows past the fault stay black"
    return None


def over_white(im):
    """An RGBA picture composited over white on 8-bit values, rounded as the plug-in does."""
    out = Image.new("RGB", im.size)
    src, dst = im.load(), out.load()
    for y in range(im.size[1]):
        for x in range(im.size[0]):
            r, g, b, a = src[x, y]
            dst[x, y] = tuple((c * a + 255 * (255 - a) + 127) // 255 for c in (r, g, b))
    return out


def reference(path):
    # The cut animation ends inside its last frame: its first is the whole animation's.
    if path.name == "cut_animation.webp":
        path = path.with_name("animated.webp")
    with Image.open(path) as im:
        im.seek(0)
        return over_white(im.convert("RGBA")) if im.mode == "RGBA" else im.convert("RGB")
