"""What the PCX plug-in must do with each corpus file, read from the file's own header."""
import struct

MESSAGES = {
    "There is not enough memory!", "Unknown PCX-File format", "No valid PCX-File", "Can't read PCX-File",
    "Error while decoding PCX-File", "Error in color table id", "Fehler beim Lesen der PCX-Datei!",
    "Falsches Farbformat in der PCX-Datei!",
}


def corpus_files(corpus):
    return sorted(p for p in (corpus / "pillow").glob("*") if p.suffix.lower() == ".pcx")


def header(path):
    data = path.read_bytes()
    if len(data) < 128:
        return None
    xmin, ymin, xmax, ymax = struct.unpack_from("<4H", data, 4)
    return dict(manufacturer=data[0], version=data[1], encoding=data[2], bits=data[3], planes=data[65],
                xmin=xmin, ymin=ymin, xmax=xmax, ymax=ymax, palette=data[16:64], size=len(data))


def check_outcome(path, rc, messages):
    """None when the outcome is allowed, else what is wrong."""
    texts = [m.split(": ", 2)[2] if m.count(": ") >= 2 else m for m in messages]
    h = header(path)
    if rc == 1:
        if not texts:
            return "refused without a message"
        unknown = [t for t in texts if t not in MESSAGES]
        return f"unexpected message {unknown}" if unknown else None
    if texts:
        return f"decoded but also said {texts}"
    if h is None or h["manufacturer"] not in (0x0A, 0xCD):
        return "decoded a file without a PCX header"
    if h["bits"] * h["planes"] not in (1, 4, 8, 24):
        return "decoded a depth the plug-in must refuse"
    return None


def incomparable(path):
    """Why the reference does not apply under the plug-in's rules, or None."""
    h = header(path)
    if h is None:
        return "not a PCX file"
    depth = h["bits"] * h["planes"]
    if h["version"] == 3 and depth != 24:
        return "version 3 takes the fixed default palette"
    if depth == 1:
        pal = h["palette"]
        if pal[0:3] != pal[3:6] and (pal[0:3], pal[3:6]) != (b"\0\0\0", b"\xff\xff\xff"):
            return "monochrome shows its header palette, Pillow black and white"
    if depth == 4:
        return "4 planes: plane 0 is bit 0 of the pixel here, the top bit in Pillow"
    if depth == 8 and h["version"] != 5:
        return "8-bit files before version 5: Pillow ignores the palette"
    return None
