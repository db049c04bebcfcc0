#!/usr/bin/env python3
"""Draws PLYX's icon (plyx.ico) and its progress clip (split.avi) from code.

    python3 generate.py OUTDIR

Standard library only; the output depends on nothing but this file, so the
build can rerun it whenever the script changes.
"""
import math
import os
import struct
import sys

# ---------------------------------------------------------------- drawing ---


class Canvas:
    """A grid of colour names, (0, 0) at the top left."""

    def __init__(self, width, height, fill):
        self.width = width
        self.height = height
        self.pixels = [[fill] * width for _ in range(height)]

    def put(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = colour

    def rect(self, x0, y0, x1, y1, colour):
        """Fills the rectangle with both corners included."""
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.put(x, y, colour)

    def frame(self, x0, y0, x1, y1, colour):
        self.rect(x0, y0, x1, y0, colour)
        self.rect(x0, y1, x1, y1, colour)
        self.rect(x0, y0, x0, y1, colour)
        self.rect(x1, y0, x1, y1, colour)

    def hline(self, x0, x1, y, colour):
        self.rect(x0, y, x1, y, colour)

    def rows(self):
        return self.pixels


# ------------------------------------------------------------------- icon ---

# The 16 colours of the 4 bpp image: the standard VGA palette, so that the
# icon looks the same on a 16-colour display.
VGA = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]

# Colour name -> (VGA index for 4 bpp, RGB for 8 bpp). "clear" is transparent.
ICON_COLOURS = {
    "clear": (0, (0, 0, 0)),
    "ink": (0, (0, 0, 0)),
    "paper": (15, (255, 255, 255)),
    "fold": (7, (208, 208, 208)),
    "shadow": (8, (128, 128, 128)),
    "text": (12, (32, 80, 224)),
    "arrow": (9, (232, 24, 24)),
    "arrowDark": (1, (150, 0, 0)),
    "disk": (4, (24, 40, 120)),
    "diskLight": (12, (56, 88, 176)),
    "shutter": (7, (200, 204, 212)),
    "shutterDark": (8, (120, 124, 136)),
    "label": (15, (250, 250, 250)),
    "labelLine": (7, (150, 170, 220)),
}


def DrawPage(c, left, top, right, bottom, fold, shaded):
    """A document page with a folded top-right corner; shaded: the fold's
    underside and a shadow, for the sizes with room for them."""
    c.rect(left, top, right, bottom, "paper")
    c.frame(left, top, right, bottom, "ink")
    for i in range(fold + 1):
        c.hline(right - fold + i + 1, right, top + i, "clear")
        if shaded:
            c.hline(right - fold, right - fold + i - 1, top + i, "fold")
        c.put(right - fold + i, top + i, "ink")
    c.rect(right - fold, top, right - fold, top + fold, "ink")
    c.hline(right - fold, right, top + fold, "ink")
    if shaded:
        c.rect(left + 1, bottom + 1, right + 1, bottom + 1, "shadow")
        c.rect(right + 1, top + fold + 1, right + 1, bottom + 1, "shadow")


def DrawIcon():
    c = Canvas(32, 32, "clear")
    DrawPage(c, 1, 0, 18, 23, 5, True)
    # Blue lines of text.
    for y, x1 in ((4, 12), (7, 16), (10, 15), (13, 16), (16, 13), (19, 15)):
        c.hline(4, x1, y, "text")
    # Floppy disk at the lower right, with its cut corner at the top right.
    fx0, fy0, fx1, fy1 = 16, 16, 31, 31
    c.rect(fx0, fy0, fx1, fy1, "disk")
    c.rect(fx0 + 1, fy0 + 1, fx0 + 1, fy1 - 1, "diskLight")
    c.frame(fx0, fy0, fx1, fy1, "ink")
    c.put(fx1, fy0, "clear")
    c.put(fx1 - 1, fy0 + 1, "ink")
    c.rect(fx0 + 4, fy0 + 1, fx0 + 11, fy0 + 5, "shutter")
    c.rect(fx0 + 8, fy0 + 2, fx0 + 9, fy0 + 4, "shutterDark")
    c.rect(fx0 + 3, fy0 + 8, fx1 - 3, fy1, "label")
    c.frame(fx0 + 3, fy0 + 8, fx1 - 3, fy1, "ink")
    for y in (fy0 + 10, fy0 + 12):
        c.hline(fx0 + 5, fx1 - 5, y, "labelLine")
    # Red arrow from the page to the disk: right along the page, then down.
    c.rect(9, 9, 24, 10, "arrow")
    c.rect(23, 9, 24, 12, "arrow")
    for i, half in enumerate((3, 2, 1, 0)):
        c.hline(23 - half, 24 + half, 12 + i, "arrow")
    c.hline(9, 22, 11, "arrowDark")
    return c


def DrawSmallIcon():
    """The same picture drawn for 16 pixels: fewer lines, a smaller disk."""
    c = Canvas(16, 16, "clear")
    DrawPage(c, 0, 0, 9, 12, 3, False)
    for y, x1 in ((2, 5), (6, 7), (8, 6), (10, 7)):
        c.hline(2, x1, y, "text")
    fx0, fy0, fx1, fy1 = 7, 8, 15, 15
    c.rect(fx0, fy0, fx1, fy1, "disk")
    c.frame(fx0, fy0, fx1, fy1, "ink")
    c.put(fx1, fy0, "clear")
    c.rect(fx0 + 2, fy0 + 1, fx0 + 5, fy0 + 2, "shutter")
    c.rect(fx0 + 2, fy0 + 4, fx1 - 2, fy1, "label")
    c.frame(fx0 + 2, fy0 + 4, fx1 - 2, fy1, "ink")
    # The arrow: right along the page, down into the disk.
    c.hline(3, 13, 4, "arrow")
    c.hline(3, 11, 5, "arrowDark")
    c.rect(12, 4, 13, 5, "arrow")
    c.hline(10, 15, 6, "arrow")
    c.hline(11, 14, 7, "arrow")
    return c


def DrawLargeIcon():
    """The same picture drawn for 48 pixels: finer text, a detailed disk."""
    c = Canvas(48, 48, "clear")
    DrawPage(c, 2, 0, 27, 35, 8, True)
    for y, x1 in ((5, 17), (9, 23), (17, 22), (21, 24), (25, 19), (29, 22)):
        c.hline(6, x1, y, "text")
    fx0, fy0, fx1, fy1 = 24, 24, 47, 47
    c.rect(fx0, fy0, fx1, fy1, "disk")
    c.rect(fx0 + 1, fy0 + 1, fx0 + 2, fy1 - 1, "diskLight")
    c.frame(fx0, fy0, fx1, fy1, "ink")
    for i in range(3):  # the cut corner
        c.hline(fx1 - 2 + i, fx1, fy0 + i, "clear")
        c.put(fx1 - 3 + i, fy0 + i, "ink")
    c.rect(fx0 + 6, fy0 + 1, fx0 + 17, fy0 + 8, "shutter")
    c.frame(fx0 + 6, fy0 + 1, fx0 + 17, fy0 + 8, "shutterDark")
    c.rect(fx0 + 12, fy0 + 3, fx0 + 14, fy0 + 6, "shutterDark")
    c.rect(fx0 + 4, fy0 + 12, fx1 - 4, fy1, "label")
    c.frame(fx0 + 4, fy0 + 12, fx1 - 4, fy1, "ink")
    for y in (fy0 + 15, fy0 + 18, fy0 + 21):
        c.hline(fx0 + 7, fx1 - 7, y, "labelLine")
    # Red arrow from the page to the disk: right along the page, then down.
    c.rect(13, 12, 36, 14, "arrow")
    c.rect(34, 12, 36, 17, "arrow")
    for i, half in enumerate((4, 3, 2, 1, 0)):
        c.hline(35 - half, 35 + half, 17 + i, "arrow")
    c.hline(13, 33, 15, "arrowDark")
    return c


def IconImage(canvas, bitCount):
    """One ICO image: BITMAPINFOHEADER with doubled height, palette,
    bottom-up XOR rows, AND mask."""
    w, h = canvas.width, canvas.height
    if bitCount == 4:
        palette = list(VGA)
        index = {name: vga for name, (vga, _) in ICON_COLOURS.items()}
    else:
        palette = [(0, 0, 0)]
        index = {"clear": 0}
        for name, (_, rgb) in ICON_COLOURS.items():
            if name == "clear":
                continue
            if rgb not in palette:
                palette.append(rgb)
            index[name] = palette.index(rgb)
        palette += [(0, 0, 0)] * (256 - len(palette))
    colours = 1 << bitCount
    xorStride = (w * bitCount + 31) // 32 * 4
    andStride = (w + 31) // 32 * 4
    xor = bytearray()
    mask = bytearray()
    for row in reversed(canvas.rows()):
        line = bytearray(xorStride)
        bits = bytearray(andStride)
        for x, name in enumerate(row):
            value = index[name]
            if bitCount == 4:
                line[x // 2] |= value << (4 if x % 2 == 0 else 0)
            else:
                line[x] = value
            if name == "clear":
                bits[x // 8] |= 0x80 >> (x % 8)
        xor += line
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, bitCount, 0,
                         len(xor) + len(mask), 0, 0, 0, 0)
    pal = b"".join(struct.pack("BBBB", b, g, r, 0) for (r, g, b) in palette[:colours])
    return header + pal + bytes(xor) + bytes(mask)


def BuildIcon():
    """The 32-pixel form first, then the title bar's 16 and the 48 that
    150 % asks for, each in 16 and 256 colours; Windows picks by size."""
    images = []
    for canvas in (DrawIcon(), DrawSmallIcon(), DrawLargeIcon()):
        images += [(canvas.width, 16, 4, IconImage(canvas, 4)),
                   (canvas.width, 0, 8, IconImage(canvas, 8))]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, colourCount, bitCount, data in images:
        out += struct.pack("<BBBBHHII", size, size, colourCount, 0, 1, bitCount,
                           len(data), offset)
        offset += len(data)
    return out + b"".join(data for _, _, _, data in images)


# ------------------------------------------------------------------- clip ---

CLIP_WIDTH, CLIP_HEIGHT, CLIP_FRAMES, CLIP_RATE = 272, 60, 25, 10

# Entry 0 is the background: the animation control draws the colour of the
# first pixel as transparent (ACS_TRANSPARENT).
CLIP_PALETTE = [
    ("background", (255, 0, 255)),
    ("ink", (0, 0, 0)),
    ("paper", (255, 255, 255)),
    ("paperEdge", (220, 220, 220)),
    ("shadow", (128, 128, 128)),
    ("text", (32, 80, 224)),
    ("disk", (24, 40, 120)),
    ("diskLight", (56, 88, 176)),
    ("shutter", (200, 204, 212)),
    ("shutterDark", (110, 114, 126)),
    ("ring", (168, 168, 176)),
    ("ringDark", (80, 80, 88)),
    ("label", (250, 250, 250)),
    ("labelLine", (150, 170, 220)),
    ("cover", (190, 40, 40)),
]
CLIP_INDEX = {name: i for i, (name, _) in enumerate(CLIP_PALETTE)}


def DrawDocument(c):
    """A ring-bound notebook at the left end."""
    x0, y0, x1, y1 = 12, 9, 60, 56
    c.rect(x0 + 3, y0 + 3, x1 + 3, y1 + 3, "shadow")
    c.rect(x0, y0, x1, y1, "cover")
    c.rect(x0 + 2, y0 + 2, x1 - 2, y1 - 1, "paperEdge")
    c.rect(x0 + 2, y0 + 2, x1 - 4, y1 - 3, "paper")
    c.frame(x0, y0, x1, y1, "ink")
    for i, y in enumerate(range(y0 + 10, y1 - 5, 5)):
        c.hline(x0 + 7, x1 - (10 if i % 3 == 2 else 7), y, "text")
    # Rings over the top edge.
    for x in range(x0 + 5, x1 - 3, 7):
        c.rect(x, y0 - 5, x + 2, y0 - 5, "ringDark")
        c.rect(x - 1, y0 - 4, x - 1, y0 + 3, "ringDark")
        c.rect(x + 3, y0 - 4, x + 3, y0 + 3, "ringDark")
        c.rect(x, y0 - 4, x + 2, y0 - 4, "ring")
        c.rect(x, y0 - 3, x, y0 + 3, "ring")
        c.rect(x + 2, y0 - 3, x + 2, y0 + 3, "ring")
        c.rect(x, y0 + 4, x + 2, y0 + 4, "ringDark")


def DrawDisk(c):
    """A floppy disk at the right end, cut corner at its top right."""
    x0, y0, x1, y1 = 210, 6, 259, 55
    c.rect(x0 + 3, y0 + 3, x1 + 3, y1 + 3, "shadow")
    c.rect(x0, y0, x1, y1, "disk")
    c.rect(x0 + 1, y0 + 1, x0 + 2, y1 - 1, "diskLight")
    c.frame(x0, y0, x1, y1, "ink")
    for i in range(5):  # the cut corner
        c.hline(x1 - 4 + i, x1 + 3, y0 + i, "background")
        c.put(x1 - 4 + i, y0 + i, "ink")
    c.rect(x1 + 1, y0 + 3, x1 + 3, y0 + 7, "background")
    # Metal shutter with its window.
    c.rect(x0 + 12, y0 + 1, x0 + 37, y0 + 17, "shutter")
    c.frame(x0 + 12, y0 + 1, x0 + 37, y0 + 17, "shutterDark")
    c.rect(x0 + 28, y0 + 4, x0 + 33, y0 + 14, "shutterDark")
    # Label.
    c.rect(x0 + 6, y0 + 24, x1 - 6, y1, "label")
    c.frame(x0 + 6, y0 + 24, x1 - 6, y1, "ink")
    for y in range(y0 + 29, y1 - 2, 5):
        c.hline(x0 + 10, x1 - 10, y, "labelLine")


def DrawSheet(c, cx, cy):
    """The sheet in flight, centred at (cx, cy)."""
    w, h = 18, 22
    x0, y0 = cx - w // 2, cy - h // 2
    c.rect(x0 + 2, y0 + 2, x0 + w + 1, y0 + h + 1, "shadow")
    c.rect(x0, y0, x0 + w - 1, y0 + h - 1, "paper")
    c.frame(x0, y0, x0 + w - 1, y0 + h - 1, "ink")
    for y in range(y0 + 4, y0 + h - 3, 3):
        c.hline(x0 + 3, x0 + w - 4, y, "text")


def SheetPosition(frame):
    """From the notebook to the disk over the frames, on an arc."""
    t = frame / (CLIP_FRAMES - 1)
    startX, endX, baseY, lift = 36, 234, 36, 16
    x = startX + (endX - startX) * t
    y = baseY - lift * math.sin(math.pi * t)
    return int(round(x)), int(round(y))


def DrawClipFrame(frame):
    c = Canvas(CLIP_WIDTH, CLIP_HEIGHT, "background")
    DrawDocument(c)
    DrawSheet(c, *SheetPosition(frame))
    # The disk is drawn last so that the sheet slides into it.
    DrawDisk(c)
    return c


def EncodeRle8(canvas):
    """BI_RLE8 in encoded mode only: (count, index) runs of at most 255,
    00 00 at each line end, 00 01 at the end; rows bottom-up."""
    out = bytearray()
    for row in reversed(canvas.rows()):
        x = 0
        while x < len(row):
            run = 1
            while x + run < len(row) and run < 255 and row[x + run] == row[x]:
                run += 1
            out += bytes((run, CLIP_INDEX[row[x]]))
            x += run
        out += b"\x00\x00"
    out += b"\x00\x01"
    return bytes(out)


def Chunk(fourcc, data):
    pad = b"\x00" if len(data) % 2 else b""
    return fourcc + struct.pack("<I", len(data)) + data + pad


def List(kind, data):
    return Chunk(b"LIST", kind + data)


def BuildClip():
    frames = [EncodeRle8(DrawClipFrame(i)) for i in range(CLIP_FRAMES)]
    largest = max(len(f) for f in frames)
    bufferSize = (largest + 8 + 511) // 512 * 512
    avih = struct.pack("<IIIIIIIIII4I", 1000000 // CLIP_RATE, largest * CLIP_RATE,
                       0, 0x10,  # AVIF_HASINDEX
                       CLIP_FRAMES, 0, 1, bufferSize, CLIP_WIDTH, CLIP_HEIGHT,
                       0, 0, 0, 0)
    strh = struct.pack("<4s4sIHHIIIIIIIIhhhh", b"vids", b"mrle", 0, 0, 0, 0,
                       1, CLIP_RATE, 0, CLIP_FRAMES, bufferSize, 0xFFFFFFFF, 0,
                       0, 0, CLIP_WIDTH, CLIP_HEIGHT)
    strf = struct.pack("<IiiHHIIiiII", 40, CLIP_WIDTH, CLIP_HEIGHT, 1, 8,
                       1,  # BI_RLE8
                       largest, 0, 0, 256, 0)
    palette = [rgb for _, rgb in CLIP_PALETTE]
    palette += [(0, 0, 0)] * (256 - len(palette))
    strf += b"".join(struct.pack("BBBB", b, g, r, 0) for (r, g, b) in palette)
    hdrl = List(b"hdrl", Chunk(b"avih", avih)
                + List(b"strl", Chunk(b"strh", strh) + Chunk(b"strf", strf)))
    movi = b""
    index = b""
    for data in frames:
        # Offsets count from the "movi" tag.
        index += struct.pack("<4sIII", b"00dc", 0x10,  # AVIIF_KEYFRAME
                             4 + len(movi), len(data))
        movi += Chunk(b"00dc", data)
    body = b"AVI " + hdrl + List(b"movi", movi) + Chunk(b"idx1", index)
    return b"RIFF" + struct.pack("<I", len(body)) + body


# ------------------------------------------------------------------- main ---


def WriteIfChanged(path, data):
    """Leaves an up-to-date file untouched so that nothing relinks needlessly."""
    try:
        with open(path, "rb") as f:
            if f.read() == data:
                return
    except OSError:
        pass
    with open(path, "wb") as f:
        f.write(data)


def main(argv):
    if len(argv) != 2:
        sys.stderr.write("usage: generate.py OUTDIR\n")
        return 2
    outDir = argv[1]
    os.makedirs(outDir, exist_ok=True)
    WriteIfChanged(os.path.join(outDir, "plyx.ico"), BuildIcon())
    WriteIfChanged(os.path.join(outDir, "split.avi"), BuildClip())
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
