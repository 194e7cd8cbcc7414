"""What the GIF plug-in must do with each corpus file, read from the file's own structure.

The plug-in shows the first image on a canvas of the logical screen, index 0 where the image
does not reach, with the global table (or the image's local one) and no transparency. Pillow's
first frame agrees where the image covers the whole screen with a colour table the plug-in
accepts; those files are compared.
"""
import struct

MESSAGES = {
    "Invalid GIF-File!", "Premature end of  GIF-File!", "Not enough memory to work with graphic!",
    "Error in read loop!", "Error in LZW-part of the GIF-File!", "Wrong color information in image descriptor!",
    "This GIF-File hasn't got a colortable!", "Not enough memory for relationtable available!",
    "Invalid GIF-Part!",
}
# Messages after which the canvas still comes back.
CANVAS_MESSAGES = MESSAGES - {"Invalid GIF-File!", "Not enough memory to work with graphic!"}


def corpus_files(corpus):
    return sorted(p for p in (corpus / "pillow").glob("*") if p.suffix.lower() == ".gif")


def first_image(path):
    """Screen and first image descriptor as the plug-in reads them, or None when it finds none."""
    d = path.read_bytes()
    if len(d) < 13 or d[:3] != b"GIF" or d[3:6] not in (b"87a", b"89a"):
        return None
    width, height, flags = struct.unpack_from("<HHB", d, 6)
    s = flags & 7
    bits = 1 if s == 0 else 4 if s <= 3 else 8
    p = 13 + (3 << (s + 1) if flags & 0x80 else 0)
    screen = dict(width=width, height=height, bits=bits, global_table=bool(flags & 0x80))
    while p < len(d):
        b = d[p]
        p += 1
        if b == 0:
            continue
        if b == 0x21:
            p += 1
            while p < len(d) and d[p]:
                p += d[p] + 1
            p += 1
            continue
        if b == 0x2C and p + 9 <= len(d):
            left, top, w, h, f = struct.unpack_from("<4HB", d, p)
            p += 9 + (3 << ((f & 7) + 1) if f & 0x80 else 0)
            return dict(screen, left=left, top=top, w=w, h=h, local=(2 << (f & 7)) if f & 0x80 else 0,
                        code_size=d[p] if p < len(d) else None)
        return None
    return None


def check_outcome(path, rc, messages):
    """None when the outcome is allowed, else what is wrong."""
    texts = [m.split(": ", 2)[2] if m.count(": ") >= 2 else m for m in messages]
    unknown = [t for t in texts if t not in MESSAGES and not t.startswith("Invalid LZW-Code ")
               and not t.startswith("Unknown GIF-Version: ")]
    if unknown:
        return f"unexpected message {unknown}"
    if rc == 1:
        return None if texts else "refused without a message"
    late = [t for t in texts if t not in CANVAS_MESSAGES and not t.startswith("Invalid LZW-Code ")]
    if late:
        return f"returned a canvas after {late}"
    if first_image(path) is None and not texts:
        return "decoded a file without an image and said nothing"
    return None


def incomparable(path):
    """Why the reference does not apply under the plug-in's rules, or None."""
    i = first_image(path)
    if i is None:
        return "no first image the plug-in can find"
    if not i["global_table"] and not i["local"]:
        return "no colour table"
    if i["local"] > (1 << i["bits"]):
        return "local table larger than the canvas depth (message, empty canvas)"
    if i["code_size"] is None or i["code_size"] >= 12:
        return "image data the plug-in refuses"
    if (i["left"], i["top"]) != (0, 0) or i["w"] < i["width"] or i["h"] < i["height"]:
        return "first image does not cover the screen: index 0 around it"
    return None
