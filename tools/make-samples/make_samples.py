#!/usr/bin/python3
"""Draw the sample pictures that a first run of Vedra Viewer opens on.

Writes one or more pictures of every type the viewer shows (JPG, GIF, BMP, ICO,
WMF, EMF) into samples/ at the repository root. Everything is drawn here, so the
project may redistribute the files; the output is deterministic.

Usage:
    python3 tools/make-samples/make_samples.py [--out DIR]
"""

import argparse
import math
import os
import struct
import sys

try:
    from PIL import Image, ImageDraw, ImageFont
except ImportError:
    sys.exit("error: Pillow is missing (Debian: apt-get install python3-pil)")


def lerp(a, b, t):
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


def vertical_gradient(size, top, bottom):
    image = Image.new("RGB", size)
    draw = ImageDraw.Draw(image)
    for y in range(size[1]):
        draw.line([(0, y), (size[0], y)], fill=lerp(top, bottom, y / max(1, size[1] - 1)))
    return image


def harbour(size):
    """Evening sky, sun and sea with waves."""
    w, h = size
    image = vertical_gradient(size, (32, 52, 120), (250, 160, 90))
    draw = ImageDraw.Draw(image)
    horizon = int(h * 0.62)
    draw.ellipse([w * 0.58, horizon - h * 0.2, w * 0.58 + h * 0.3, horizon + h * 0.1],
                 fill=(255, 214, 120))
    for y in range(horizon, h):
        t = (y - horizon) / max(1, h - horizon)
        draw.line([(0, y), (w, y)], fill=lerp((40, 70, 120), (10, 25, 60), t))
    for row in range(12):
        y = horizon + (row + 1) * (h - horizon) / 13
        amp = 2 + row
        points = [(x, y + amp * math.sin(x / (18 + row * 4) + row)) for x in range(0, w + 8, 8)]
        draw.line(points, fill=(120, 150, 200), width=1 + row // 4)
    # A small boat.
    bx, by = w * 0.25, horizon + (h - horizon) * 0.35
    draw.polygon([(bx, by), (bx + w * 0.12, by), (bx + w * 0.1, by + h * 0.04),
                  (bx + w * 0.02, by + h * 0.04)], fill=(60, 30, 20))
    draw.polygon([(bx + w * 0.05, by - h * 0.16), (bx + w * 0.05, by - 2),
                  (bx + w * 0.11, by - 2)], fill=(240, 235, 220))
    return image


def mountains(size):
    """Layered ridges under a clear sky."""
    w, h = size
    image = vertical_gradient(size, (120, 170, 230), (225, 238, 250))
    draw = ImageDraw.Draw(image)
    ridges = [((95, 110, 140), 0.45, 0.9, 3), ((70, 85, 110), 0.58, 1.7, 7),
              ((45, 70, 60), 0.74, 2.9, 11)]
    for colour, base, freq, seed in ridges:
        points = [(0, h)]
        for x in range(0, w + 10, 10):
            y = h * base - h * 0.12 * (math.sin(x / w * math.pi * freq + seed)
                                        + 0.5 * math.sin(x / w * math.pi * freq * 2.3 + seed))
            points.append((x, y))
        points.append((w, h))
        draw.polygon(points, fill=colour)
    return image


def balloons(size):
    """Three balloons on a pale sky, in a 32-colour palette."""
    w, h = size
    image = vertical_gradient(size, (170, 210, 245), (240, 248, 255))
    draw = ImageDraw.Draw(image)
    for cx, cy, colour in [(0.25, 0.4, (220, 50, 60)), (0.5, 0.3, (250, 190, 40)),
                           (0.75, 0.45, (60, 150, 90))]:
        rx, ry = w * 0.1, h * 0.16
        x, y = w * cx, h * cy
        draw.ellipse([x - rx, y - ry, x + rx, y + ry], fill=colour, outline=(40, 40, 40))
        draw.line([(x, y + ry), (x - 6, y + ry + h * 0.3)], fill=(80, 80, 80), width=2)
    return image.quantize(colors=32, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)


def tiles(size):
    """A checkerboard of coloured tiles with circles."""
    w, h = size
    image = Image.new("RGB", size, (250, 250, 250))
    draw = ImageDraw.Draw(image)
    cell = 40
    colours = [(31, 95, 174), (20, 163, 151), (232, 140, 30), (200, 60, 80)]
    for j in range(0, h, cell):
        for i in range(0, w, cell):
            c = colours[(i // cell + j // cell) % len(colours)]
            draw.rectangle([i, j, i + cell - 1, j + cell - 1], fill=c)
            draw.ellipse([i + 10, j + 10, i + cell - 11, j + cell - 11], fill=(250, 250, 250))
    return image


def compass(size):
    """A compass rose on a transparent background."""
    s = size
    image = Image.new("RGBA", (s * 8, s * 8), (0, 0, 0, 0))
    draw = ImageDraw.Draw(image)
    c = s * 4
    draw.ellipse([s * 0.3, s * 0.3, s * 7.7, s * 7.7], fill=(240, 244, 250, 255),
                 outline=(31, 95, 174, 255), width=max(2, s // 4))
    for angle, colour in [(0, (200, 40, 50)), (90, (31, 95, 174)), (180, (31, 95, 174)),
                          (270, (31, 95, 174))]:
        a = math.radians(angle - 90)
        tip = (c + math.cos(a) * s * 3.2, c + math.sin(a) * s * 3.2)
        left = (c + math.cos(a + 2.6) * s * 0.9, c + math.sin(a + 2.6) * s * 0.9)
        right = (c + math.cos(a - 2.6) * s * 0.9, c + math.sin(a - 2.6) * s * 0.9)
        draw.polygon([tip, left, (c, c), right], fill=colour + (255,))
    return image.resize((s, s), Image.LANCZOS)


# --- Windows metafiles, written record by record -------------------------------------------

def rgb(r, g, b):
    return r | (g << 8) | (b << 16)


class Wmf:
    """A placeable WMF in anisotropic mapping: logical units are the picture's pixels."""

    def __init__(self, width, height):
        self.width, self.height = width, height
        self.records = []
        self.record(0x0103, "<h", 8)             # SETMAPMODE anisotropic
        self.record(0x020B, "<hh", 0, 0)          # SETWINDOWORG y, x
        self.record(0x020C, "<hh", height, width)  # SETWINDOWEXT y, x
        self.record(0x0102, "<h", 1)             # SETBKMODE transparent

    def record(self, function, fmt, *values):
        body = struct.pack(fmt, *values) if fmt else b""
        if len(body) % 2:
            body += b"\0"
        self.records.append(struct.pack("<IH", 3 + len(body) // 2, function) + body)

    def create(self, slot, function, fmt, *values):
        """Creates an object (it takes the lowest free slot) and selects it."""
        self.record(function, fmt, *values)
        self.record(0x012D, "<h", slot)  # SELECTOBJECT

    def delete(self, *slots):
        for slot in slots:
            self.record(0x01F0, "<h", slot)  # DELETEOBJECT

    def pen_and_brush(self, pen, brush, width):
        self.create(0, 0x02FA, "<HhhI", 0, width, 0, pen)  # CREATEPENINDIRECT
        self.create(1, 0x02FC, "<HIH", 0, brush, 0)       # CREATEBRUSHINDIRECT

    def shape(self, function, left, top, right, bottom, pen, brush, width=1):
        self.pen_and_brush(pen, brush, width)
        self.record(function, "<hhhh", bottom, right, top, left)
        self.delete(0, 1)

    def polygon(self, points, pen, brush, width=1):
        self.pen_and_brush(pen, brush, width)
        flat = [v for p in points for v in p]
        self.record(0x0324, "<h%dh" % len(flat), len(points), *flat)
        self.delete(0, 1)

    def text(self, x, y, string, height, colour):
        face = b"DejaVu Sans".ljust(32, b"\0")
        self.create(0, 0x02FB, "<hhhhhBBBBBBBB32s", -height, 0, 0, 0, 700,
                    0, 0, 0, 0, 0, 0, 0, 0, face)
        self.record(0x0209, "<I", colour)  # SETTEXTCOLOR
        raw = string.encode("latin-1")
        padded = raw + (b"\0" if len(raw) % 2 else b"")
        self.record(0x0521, "<h%dshh" % len(padded), len(raw), padded, y, x)
        self.delete(0)

    def bytes(self):
        body = b"".join(self.records) + struct.pack("<IH", 3, 0)
        words = 9 + len(body) // 2
        biggest = max(len(r) // 2 for r in self.records)
        header = struct.pack("<HHHIHIH", 1, 9, 0x0300, words, 2, biggest, 0)
        placeable = struct.pack("<IHhhhhHI", 0x9AC6CDD7, 0, 0, 0, self.width, self.height,
                                96, 0)
        checksum = 0
        for (word,) in struct.iter_unpack("<H", placeable[:20]):
            checksum ^= word
        return placeable + struct.pack("<H", checksum) + header + body


class Emf:
    """An enhanced metafile in device pixels at 96 dpi."""

    def __init__(self, width, height):
        self.width, self.height = width, height
        self.records = []
        self.record(18, "<I", 1)  # SETBKMODE transparent

    def record(self, kind, fmt, *values):
        body = struct.pack(fmt, *values) if fmt else b""
        body += b"\0" * (-len(body) % 4)
        self.records.append(struct.pack("<II", kind, 8 + len(body)) + body)

    def select_new(self, kind, fmt, *values):
        self.record(kind, fmt, *values)
        self.record(37, "<I", 1)  # SELECTOBJECT handle 1

    def drop(self):
        self.record(37, "<I", 0x80000000 | 4)   # select a stock brush back before deleting
        self.record(37, "<I", 0x80000000 | 7)   # and a stock pen
        self.record(40, "<I", 1)                 # DELETEOBJECT handle 1

    def rectangle(self, kind, rect, pen, brush, width=1):
        self.select_new(38, "<IIiiI", 1, 0, width, 0, pen)   # CREATEPEN
        self.record(39, "<IIII", 2, 0, brush, 0)            # CREATEBRUSHINDIRECT in slot 2
        self.record(37, "<I", 2)
        self.record(kind, "<iiii", *rect)
        self.record(37, "<I", 0x80000000 | 4)
        self.record(37, "<I", 0x80000000 | 7)
        self.record(40, "<I", 1)
        self.record(40, "<I", 2)

    def polyline(self, points, pen, width=3):
        self.select_new(38, "<IIiiI", 1, 0, width, 0, pen)
        xs = [p[0] for p in points]
        ys = [p[1] for p in points]
        flat = [v for p in points for v in p]
        self.record(87, "<iiiiI%dh" % len(flat), min(xs), min(ys), max(xs), max(ys),
                    len(points), *flat)
        self.drop()

    def text(self, x, y, string, height, colour):
        face = "DejaVu Sans".encode("utf-16-le").ljust(64, b"\0")
        logfont = struct.pack("<iiiiiBBBBBBBB64s", -height, 0, 0, 0, 700,
                              0, 0, 0, 0, 0, 0, 0, 0, face)
        self.record(82, "<I92s", 1, logfont)  # EXTCREATEFONTINDIRECTW
        self.record(37, "<I", 1)
        self.record(24, "<I", colour)         # SETTEXTCOLOR
        chars = string.encode("utf-16-le")
        chars += b"\0" * (-len(chars) % 4)
        n = len(string)
        font = ImageFont.truetype("DejaVuSans-Bold.ttf", height)
        ends = [round(font.getlength(string[:i + 1])) for i in range(n)]
        advances = [e - b for b, e in zip([0] + ends[:-1], ends)]
        off_string = 8 + 16 + 12 + 40
        off_dx = off_string + len(chars)
        dx = struct.pack("<%dI" % n, *advances)
        body = struct.pack("<iiiiIff", x, y, x + ends[-1], y + height, 1, 1.0, 1.0)
        body += struct.pack("<iiIIIiiiiI", x, y, n, off_string, 0, 0, 0, -1, -1, off_dx)
        body += chars + dx
        self.records.append(struct.pack("<II", 84, 8 + len(body)) + body)
        self.record(37, "<I", 0x80000000 | 13)  # SYSTEM_FONT back
        self.record(40, "<I", 1)

    def bytes(self):
        eof = struct.pack("<IIIII", 14, 20, 0, 16, 20)
        records = b"".join(self.records) + eof
        header_size = 108
        total = header_size + len(records)
        frame = (0, 0, round(self.width * 2540 / 96), round(self.height * 2540 / 96))
        header = struct.pack("<II4i4iIIIIHHIIIiiii", 1, header_size,
                             0, 0, self.width - 1, self.height - 1, *frame,
                             0x464D4520, 0x10000, total, len(self.records) + 2, 3, 0,
                             0, 0, 0, 1920, 1080, 508, 286)
        header += struct.pack("<IIIii", 0, 0, 0, 508000, 285750)
        assert len(header) == header_size
        return header + records


def house_wmf():
    wmf = Wmf(480, 360)
    wmf.shape(0x041B, 0, 0, 480, 360, rgb(200, 225, 250), rgb(200, 225, 250))  # sky
    wmf.shape(0x041B, 0, 270, 480, 360, rgb(90, 160, 80), rgb(110, 180, 90))    # lawn
    wmf.shape(0x0418, 360, 30, 440, 110, rgb(240, 170, 30), rgb(255, 210, 60))  # sun
    wmf.shape(0x041B, 110, 160, 300, 290, rgb(60, 40, 30), rgb(230, 200, 160), 3)  # wall
    wmf.polygon([(95, 165), (205, 70), (315, 165)], rgb(90, 30, 20), rgb(180, 60, 45))
    wmf.shape(0x041B, 185, 215, 230, 290, rgb(60, 40, 30), rgb(120, 70, 40), 2)  # door
    wmf.shape(0x041B, 130, 185, 170, 225, rgb(60, 40, 30), rgb(170, 210, 240), 2)
    wmf.shape(0x041B, 245, 185, 285, 225, rgb(60, 40, 30), rgb(170, 210, 240), 2)
    wmf.text(20, 20, "WMF sample", 28, rgb(31, 95, 174))
    return wmf.bytes()


def chart_emf():
    emf = Emf(640, 400)
    emf.rectangle(43, (0, 0, 640, 400), rgb(250, 250, 250), rgb(250, 250, 250))
    emf.polyline([(60, 40), (60, 350), (610, 350)], rgb(40, 40, 40), 2)
    values = [120, 210, 160, 260, 190, 290]
    colours = [rgb(31, 95, 174), rgb(20, 163, 151), rgb(232, 140, 30)]
    for i, v in enumerate(values):
        x = 90 + i * 85
        emf.rectangle(43, (x, 350 - v, x + 55, 350), rgb(30, 30, 30), colours[i % 3])
    emf.polyline([(117 + i * 85, 330 - v) for i, v in enumerate(values)], rgb(200, 40, 60), 4)
    emf.rectangle(42, (560, 20, 620, 80), rgb(200, 40, 60), rgb(255, 230, 235), 3)
    emf.text(80, 20, "EMF sample", 28, rgb(31, 95, 174))
    return emf.bytes()


def main():
    root = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", default=os.path.join(root, "samples"))
    out = parser.parse_args().out
    os.makedirs(out, exist_ok=True)

    def path(name):
        return os.path.join(out, name)

    harbour((1200, 800)).save(path("Harbour at dusk.jpg"), quality=88, optimize=True)
    mountains((3000, 2000)).save(path("Mountains.jpg"), quality=85, optimize=True)
    balloons((480, 360)).save(path("Balloons.gif"))
    tiles((320, 240)).save(path("Tiles.bmp"))
    big = compass(256)
    big.save(path("Compass.ico"), sizes=[(16, 16), (32, 32), (48, 48), (256, 256)])
    with open(path("House.wmf"), "wb") as f:
        f.write(house_wmf())
    with open(path("Chart.emf"), "wb") as f:
        f.write(chart_emf())


if __name__ == "__main__":
    main()
