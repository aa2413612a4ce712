#!/usr/bin/env python3
"""Turns the SVG drawings beside this script into the programs' icons (.ico) and bitmaps (.bmp).

    make_art.py OUTPUT_FOLDER [RSVG_CONVERT]

Each drawing is rendered by rsvg-convert at every size it is needed in; a drawing NAME-16.svg, where it
exists, replaces NAME.svg at 16 pixels so that the small picture can be drawn on its own pixel grid.
Icons carry every size twice: 32 bits with an alpha channel and a mask (Windows XP and later), and 256
colours with a mask (the older releases). Bitmaps are strips of equal cells in 24 bits, with one colour
that the program's image list takes as transparent. Only the standard library is used.
"""
import os
import struct
import subprocess
import sys
import tempfile
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))

PAGES = ["general", "folders", "registry", "features", "doctypes", "actions", "userinterface",
         "maintenance", "setupmedia"]
TOOLS = ["new", "open", "save", "build", "target", "run", "test", "about"]
STATES = ["state-not", "state-partly", "state-all", "state-installed"]

# Output file: (drawings, sizes) for icons (the setup type icons are only ever shown large), (drawings, cell size, transparent colour, background) for strips.
ICONS = {"Tessaro.ico": ("tessaro", (16, 32, 48)), "Setup.ico": ("setup", (16, 32, 48)),
         "Typical.ico": ("typical", (32,)), "Custom.ico": ("custom", (32,))}
ICONS.update({"Page-%s.ico" % name: ("page-" + name, (16, 32)) for name in PAGES})
# The toolbar's cells are drawn over a button face grey and keyed on magenta; the feature states over the
# white of the tree, white being their transparent colour.
STRIPS = {"Toolbar.bmp": (["tool-" + name for name in TOOLS], 16, (255, 0, 255), (212, 208, 200)),
          "FeatureStates.bmp": (STATES, 20, (255, 255, 255), (255, 255, 255))}


class ArtError(Exception):
    pass


# ---- reading the renderer's PNG (8-bit RGBA, not interlaced) ----

def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def read_png(path):
    data = open(path, "rb").read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ArtError("%s is no PNG file" % path)
    pos, idat, header = 8, b"", None
    while pos + 8 <= len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    if header is None or header[2:5] != (8, 6, 0) or header[6] != 0:
        raise ArtError("%s is not an 8-bit RGBA PNG without interlace" % path)
    width, height = header[0], header[1]
    raw = zlib.decompress(idat)
    stride = width * 4
    rows, previous = [], bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for x in range(stride):
            left = line[x - 4] if x >= 4 else 0
            up = previous[x]
            corner = previous[x - 4] if x >= 4 else 0
            line[x] = (line[x] + (0, left, up, (left + up) // 2, paeth(left, up, corner))[kind]) & 0xFF
        rows.append([tuple(line[x:x + 4]) for x in range(0, stride, 4)])
        previous = line
    return rows


def render(drawing, size, renderer, scratch):
    source = os.path.join(HERE, "%s-%d.svg" % (drawing, size))
    if not os.path.exists(source):
        source = os.path.join(HERE, drawing + ".svg")
    if not os.path.exists(source):
        raise ArtError("no drawing %s.svg" % drawing)
    target = os.path.join(scratch, "%s-%d.png" % (drawing, size))
    try:
        subprocess.run([renderer, "-w", str(size), "-h", str(size), "-f", "png", "-o", target, source],
                       check=True)
    except (OSError, subprocess.CalledProcessError) as error:
        raise ArtError("cannot render %s with %s: %s" % (source, renderer, error))
    rows = read_png(target)
    if len(rows) != size or len(rows[0]) != size:
        raise ArtError("%s rendered at %dx%d instead of %d" % (source, len(rows[0]), len(rows), size))
    return rows


# ---- icons ----

# The 256 colours of the small images: a 6x6x6 colour cube and 40 greys.
CUBE = (0, 51, 102, 153, 204, 255)
PALETTE = [(r, g, b) for r in CUBE for g in CUBE for b in CUBE] + [(v * 255 // 41,) * 3 for v in range(1, 41)]


def nearest(colour):
    best, best_distance = 0, None
    for index, entry in enumerate(PALETTE):
        distance = sum((a - b) * (a - b) for a, b in zip(colour, entry))
        if best_distance is None or distance < best_distance:
            best, best_distance = index, distance
    return best


def mask_rows(rows):
    """The AND mask, bottom row first, each row padded to 4 bytes: 1 where the picture is transparent."""
    size = len(rows)
    stride = ((size + 31) // 32) * 4
    out = bytearray()
    for row in reversed(rows):
        line = bytearray(stride)
        for x, pixel in enumerate(row):
            if pixel[3] < 128:
                line[x // 8] |= 0x80 >> (x % 8)
        out += line
    return bytes(out)


def info_header(size, bits, colours):
    return struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0, 0, 0, 0, colours, 0)


def icon_image_32(rows):
    pixels = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            pixels += bytes((b, g, r, a)) if a else b"\0\0\0\0"
    return info_header(len(rows), 32, 0) + bytes(pixels) + mask_rows(rows)


def icon_image_8(rows):
    size = len(rows)
    stride = (size + 3) // 4 * 4
    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in PALETTE)
    cache, pixels = {}, bytearray()
    for row in reversed(rows):
        line = bytearray(stride)
        for x, (r, g, b, a) in enumerate(row):
            if a >= 128:
                line[x] = cache.setdefault((r, g, b), nearest((r, g, b)))
        pixels += line
    return info_header(size, 8, 256) + palette + bytes(pixels) + mask_rows(rows)


def write_ico(path, images):
    """images: (size, bits, image bytes) in directory order."""
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    body = b""
    for size, bits, image in images:
        directory += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, bits, len(image), offset)
        offset += len(image)
        body += image
    with open(path, "wb") as out:
        out.write(directory + body)


def make_icon(path, drawing, sizes, renderer, scratch):
    rendered = [(size, render(drawing, size, renderer, scratch)) for size in sizes]
    images = [(size, 32, icon_image_32(rows)) for size, rows in rendered]
    images += [(size, 8, icon_image_8(rows)) for size, rows in rendered]
    write_ico(path, images)


# ---- strips ----

def flatten(pixel, key, background):
    """A cell pixel over the background; mostly transparent pixels take the transparent colour."""
    r, g, b, a = pixel
    if a < 96:
        return key
    colour = tuple((c * a + k * (255 - a)) // 255 for c, k in zip((r, g, b), background))
    if colour == key:  # a drawn pixel never vanishes
        colour = (key[0], key[1], key[2] - 1) if key[2] else (key[0], key[1], 1)
    return colour


def write_bmp(path, rows):
    width, height = len(rows[0]), len(rows)
    stride = (width * 3 + 3) // 4 * 4
    pixels = bytearray()
    for row in reversed(rows):
        line = bytearray(stride)
        for x, (r, g, b) in enumerate(row):
            line[x * 3:x * 3 + 3] = bytes((b, g, r))
        pixels += line
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    with open(path, "wb") as out:
        out.write(b"BM" + struct.pack("<IHHI", 14 + len(header) + len(pixels), 0, 0, 14 + len(header)))
        out.write(header + pixels)


def make_strip(path, drawings, cell, key, background, renderer, scratch):
    cells = [render(drawing, cell, renderer, scratch) for drawing in drawings]
    rows = [[flatten(pixel, key, background) for picture in cells for pixel in picture[y]] for y in range(cell)]
    write_bmp(path, rows)


def main(argv):
    if len(argv) not in (2, 3):
        sys.stderr.write("usage: make_art.py OUTPUT_FOLDER [RSVG_CONVERT]\n")
        return 2
    output, renderer = argv[1], argv[2] if len(argv) == 3 else "rsvg-convert"
    try:
        os.makedirs(output, exist_ok=True)
        with tempfile.TemporaryDirectory() as scratch:
            for name, (drawing, sizes) in sorted(ICONS.items()):
                make_icon(os.path.join(output, name), drawing, sizes, renderer, scratch)
            for name, (drawings, cell, key, background) in sorted(STRIPS.items()):
                make_strip(os.path.join(output, name), drawings, cell, key, background, renderer, scratch)
    except (ArtError, OSError) as error:
        sys.stderr.write("make_art.py: %s\n" % error)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
