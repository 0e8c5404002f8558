#!/usr/bin/env python3
"""Draw the pictures that Vedra Viewer stores with its windows.

Every picture is drawn with Pillow on a large canvas (8x or more of the
final size) and downsampled with a Lanczos filter, which gives smooth,
anti-aliased edges.  Shapes are laid out on the pixel grid of the final
size so that straight edges land on pixel boundaries and stay crisp.

The output is deterministic: running the script twice writes byte-identical
PNG files (no timestamps or other varying metadata are stored).

Usage:
    python3 tools/make-resources/make_resources.py [--out DIR] [--icons DIR] [--sheet FILE]

By default the pictures go to resources/pictures/ next to this tool and
resources/resources.qrc is rewritten to list them.  The program icon is also
written as desktop icons in the hicolor theme under data/icons/ (PNG at the
usual sizes plus a scalable SVG), named by the application id.
"""

import argparse
import os
import re
import sys

try:
    from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont
except ImportError:
    sys.exit("error: Pillow is missing (Debian: apt-get install python3-pil; "
             "or run this with the system /usr/bin/python3)")

# ---------------------------------------------------------------------------
# Palette
# ---------------------------------------------------------------------------

BLUE = (0x1F, 0x5F, 0xAE)
BLUE_LIGHT = (0x3A, 0x80, 0xD2)
BLUE_DARK = (0x15, 0x46, 0x86)
BLUE_DEEP = (0x0F, 0x33, 0x66)
TEAL = (0x14, 0xA3, 0x97)
TEAL_LIGHT = (0x5C, 0xCF, 0xC2)
TEAL_DARK = (0x0D, 0x7C, 0x73)
SKY = (0xD9, 0xEB, 0xFB)
SKY_DEEP = (0xA9, 0xD0, 0xF5)
WHITE = (0xFF, 0xFF, 0xFF)
PAPER = (0xF4, 0xF7, 0xFB)
GREY_LIGHT = (0xDD, 0xE4, 0xEE)
GREY = (0x9A, 0xA8, 0xBA)
SUN = (0xF6, 0xB9, 0x2B)
SUN_LIGHT = (0xFF, 0xD5, 0x5E)
ORANGE = (0xE8, 0x77, 0x22)
ORANGE_DARK = (0xB8, 0x4E, 0x10)
CHARCOAL = (0x24, 0x2B, 0x36)

FONT_DIRS = ["/usr/share/fonts/truetype/dejavu"]
FONT_BOLD = "DejaVuSans-Bold.ttf"


def rgba(color, alpha=255):
    return tuple(color[:3]) + (alpha,)


# ---------------------------------------------------------------------------
# Drawing helpers
# ---------------------------------------------------------------------------


class Canvas:
    """A supersampled RGBA canvas addressed in final-size pixel units.

    A box (x0, y0, x1, y1) covers the final pixels x0 .. x1-1 and
    y0 .. y1-1, exactly like a Qt QRect built from two corners.
    """

    def __init__(self, width, height, scale=8):
        self.w = width
        self.h = height
        self.s = scale
        self.img = Image.new("RGBA", (width * scale, height * scale), (0, 0, 0, 0))

    # -- coordinate conversion ------------------------------------------------
    def _box(self, box):
        x0, y0, x1, y1 = box
        s = self.s
        return (round(x0 * s), round(y0 * s), round(x1 * s) - 1, round(y1 * s) - 1)

    def _pts(self, pts):
        s = self.s
        return [(round(x * s), round(y * s)) for x, y in pts]

    def new_mask(self):
        return Image.new("L", self.img.size, 0)

    # -- mask builders ----------------------------------------------------------
    def mask_rrect(self, box, radius=0):
        m = self.new_mask()
        d = ImageDraw.Draw(m)
        if radius > 0:
            d.rounded_rectangle(self._box(box), radius=round(radius * self.s), fill=255)
        else:
            d.rectangle(self._box(box), fill=255)
        return m

    def mask_poly(self, pts):
        m = self.new_mask()
        ImageDraw.Draw(m).polygon(self._pts(pts), fill=255)
        return m

    def mask_ellipse(self, cx, cy, rx, ry=None):
        if ry is None:
            ry = rx
        m = self.new_mask()
        s = self.s
        ImageDraw.Draw(m).ellipse(
            (
                round((cx - rx) * s),
                round((cy - ry) * s),
                round((cx + rx) * s) - 1,
                round((cy + ry) * s) - 1,
            ),
            fill=255,
        )
        return m

    def mask_line(self, pts, width, round_caps=True):
        m = self.new_mask()
        d = ImageDraw.Draw(m)
        p = self._pts(pts)
        w = round(width * self.s)
        d.line(p, fill=255, width=w, joint="curve")
        if round_caps:
            r = w / 2.0
            for x, y in (p[0], p[-1]):
                d.ellipse((x - r, y - r, x + r - 1, y + r - 1), fill=255)
        return m

    # -- painting -----------------------------------------------------------------
    def fill(self, mask, color, alpha=255):
        layer = Image.new("RGBA", self.img.size, rgba(color, 255))
        if alpha != 255:
            mask = mask.point(lambda v: v * alpha // 255)
        layer.putalpha(mask)
        self.img = Image.alpha_composite(self.img, layer)

    def fill_vgradient(self, mask, top, bottom, y0=None, y1=None):
        """Fill mask with a vertical gradient from top (at y0) to bottom (at y1)."""
        bbox = mask.getbbox()
        if bbox is None:
            return
        py0 = bbox[1] if y0 is None else round(y0 * self.s)
        py1 = bbox[3] if y1 is None else round(y1 * self.s)
        h = self.img.size[1]
        column = []
        for y in range(h):
            t = 0.0 if py1 <= py0 else min(1.0, max(0.0, (y - py0) / float(py1 - py0)))
            column.append(tuple(round(a + (b - a) * t) for a, b in zip(top, bottom)) + (255,))
        grad = Image.new("RGBA", (1, h))
        grad.putdata(column)
        grad = grad.resize(self.img.size, Image.NEAREST)
        grad.putalpha(mask)
        self.img = Image.alpha_composite(self.img, grad)

    def shadow(self, mask, dx=0.0, dy=0.5, blur=0.6, alpha=70, color=(0, 0, 0)):
        """Soft drop shadow under the shape described by mask."""
        s = self.s
        shifted = Image.new("L", mask.size, 0)
        shifted.paste(mask, (round(dx * s), round(dy * s)))
        if blur > 0:
            shifted = shifted.filter(ImageFilter.GaussianBlur(blur * s))
        self.fill(shifted, color, alpha)

    def result(self):
        return self.img.resize((self.w, self.h), Image.LANCZOS)


def subtract(a, b):
    """Mask a minus mask b."""
    return ImageChops.subtract(a, b)


def union(*masks):
    out = masks[0]
    for m in masks[1:]:
        out = ImageChops.lighter(out, m)
    return out


def intersect(a, b):
    return ImageChops.darker(a, b)


def find_font(name):
    for d in FONT_DIRS:
        p = os.path.join(d, name)
        if os.path.exists(p):
            return p
    sys.exit(
        "error: font %s not found in %s (install fonts-dejavu-core)" % (name, FONT_DIRS)
    )


# ---------------------------------------------------------------------------
# Shared motif: a little landscape photo (sky, sun, two hills)
# ---------------------------------------------------------------------------


def landscape(c, box, sun=True, detail=True):
    """Sky, sun and two teal hills clipped to box (final-pixel units)."""
    x0, y0, x1, y1 = box
    w = x1 - x0
    h = y1 - y0
    area = c.mask_rrect(box)
    c.fill_vgradient(area, SKY_DEEP, SKY, y0, y1)
    if sun:
        r = max(1.3, h * 0.16)
        sun_mask = intersect(c.mask_ellipse(x0 + w * 0.72, y0 + h * 0.30, r), area)
        c.fill(sun_mask, SUN)
    back = c.mask_poly(
        [
            (x0, y1),
            (x0, y0 + h * 0.78),
            (x0 + w * 0.30, y0 + h * 0.42),
            (x0 + w * 0.55, y0 + h * 0.72),
            (x0 + w * 0.72, y0 + h * 0.55),
            (x1, y0 + h * 0.85),
            (x1, y1),
        ]
    )
    c.fill(intersect(back, area), TEAL_LIGHT)
    front = c.mask_poly(
        [
            (x0, y1),
            (x0 + w * 0.20, y0 + h * 0.80),
            (x0 + w * 0.52, y0 + h * 0.58) if detail else (x0 + w * 0.55, y0 + h * 0.62),
            (x0 + w * 0.85, y0 + h * 0.86),
            (x1, y0 + h * 0.80),
            (x1, y1),
        ]
    )
    c.fill(intersect(front, area), TEAL)


# ---------------------------------------------------------------------------
# Program icon
# ---------------------------------------------------------------------------


def draw_app_icon_large(size=256):
    """Detailed program icon: a blue tile holding a framed landscape photo
    with a round viewing lens over its corner."""
    u = size / 32.0  # everything below is laid out on a 32-unit grid
    c = Canvas(size, size, 4 if size >= 128 else 8)

    def b(x0, y0, x1, y1):
        return (x0 * u, y0 * u, x1 * u, y1 * u)

    tile = c.mask_rrect(b(1, 1, 31, 31), 6.5 * u)
    c.shadow(tile, 0, 0.45 * u, 0.5 * u, 80)
    c.fill_vgradient(tile, BLUE_LIGHT, BLUE_DARK)
    # soft top highlight
    hl = intersect(c.mask_ellipse(16 * u, -6 * u, 24 * u, 16 * u), tile)
    c.fill(hl, WHITE, 28)

    # photo card
    card = c.mask_rrect(b(5, 6.5, 27, 25.5), 1.6 * u)
    c.shadow(card, 0, 0.5 * u, 0.6 * u, 90, BLUE_DEEP)
    c.fill(card, WHITE)
    landscape(c, b(7, 8.5, 25, 23.5))

    # viewing lens in the lower right corner
    cx, cy, r = 22.5 * u, 22.5 * u, 5.2 * u
    ring = c.mask_ellipse(cx, cy, r)
    c.shadow(ring, 0, 0.4 * u, 0.5 * u, 90, BLUE_DEEP)
    c.fill(ring, WHITE)
    glass = c.mask_ellipse(cx, cy, r - 1.3 * u)
    c.fill_vgradient(glass, TEAL_LIGHT, TEAL_DARK)
    shine = intersect(c.mask_ellipse(cx - 1.2 * u, cy - 1.6 * u, 2.2 * u, 1.4 * u), glass)
    c.fill(shine, WHITE, 150)
    pupil = c.mask_ellipse(cx + 0.4 * u, cy + 0.5 * u, 1.3 * u)
    c.fill(pupil, BLUE_DEEP, 200)
    return c.result()


def draw_app_icon_32():
    c = Canvas(32, 32, 8)
    tile = c.mask_rrect((1, 1, 31, 31), 6)
    c.shadow(tile, 0, 0.5, 0.4, 70)
    c.fill_vgradient(tile, BLUE_LIGHT, BLUE_DARK)
    c.fill(intersect(c.mask_ellipse(16, -6, 24, 16), tile), WHITE, 24)
    card = c.mask_rrect((5, 6, 27, 25), 1.5)
    c.shadow(card, 0, 0.5, 0.4, 80, BLUE_DEEP)
    c.fill(card, WHITE)
    landscape(c, (7, 8, 25, 23))
    cx, cy, r = 22.5, 22.5, 5.5
    ring = c.mask_ellipse(cx, cy, r)
    c.shadow(ring, 0, 0.4, 0.4, 80, BLUE_DEEP)
    c.fill(ring, WHITE)
    glass = c.mask_ellipse(cx, cy, r - 1.5)
    c.fill_vgradient(glass, TEAL_LIGHT, TEAL_DARK)
    c.fill(c.mask_ellipse(cx + 0.3, cy + 0.4, 1.3), BLUE_DEEP, 210)
    c.fill(intersect(c.mask_ellipse(cx - 1.1, cy - 1.4, 1.6, 1.1), glass), WHITE, 170)
    return c.result()


def draw_app_icon_16(size=16):
    """Simplified program icon for 16 to 24 pixels, laid out on a 16-unit grid."""
    u = size / 16.0
    c = Canvas(size, size, 16 if size <= 16 else 8)

    def p(x, y):
        return (x * u, y * u)

    tile = c.mask_rrect((0, 0, size, size), 3.5 * u)
    c.fill_vgradient(tile, BLUE_LIGHT, BLUE_DARK)
    c.fill(c.mask_rrect((2 * u, 3 * u, 14 * u, 13 * u), 0.8 * u), WHITE)
    area = c.mask_rrect((3 * u, 4 * u, 13 * u, 12 * u))
    c.fill_vgradient(area, SKY_DEEP, SKY)
    c.fill(intersect(c.mask_ellipse(10.5 * u, 6.5 * u, 1.5 * u), area), SUN)
    back = c.mask_poly(
        [p(3, 12), p(3, 10.5), p(6, 7), p(9, 10), p(10.5, 9), p(13, 11.5), p(13, 12)]
    )
    c.fill(intersect(back, area), TEAL_LIGHT)
    front = c.mask_poly([p(3, 12), p(5, 10.5), p(8.5, 9), p(13, 11), p(13, 12)])
    c.fill(intersect(front, area), TEAL)
    # (the viewing lens of the larger sizes is left out: at 16 pixels it
    # would only blur the photo)
    return c.result()


TRAY_PALETTE = [
    WHITE,
    SKY,
    SKY_DEEP,
    (0x8F, 0xB4, 0xE2),
    BLUE_LIGHT,
    (0x2A, 0x6D, 0xC0),
    BLUE,
    BLUE_DARK,
    BLUE_DEEP,
    TEAL_LIGHT,
    TEAL,
    TEAL_DARK,
    SUN,
    (0xC8, 0xD8, 0xEA),
    (0x0A, 0x22, 0x44),
]


def quantise_16(img):
    """Reduce an RGBA picture to 16 palette entries: 15 fixed colours from
    the program palette plus one fully transparent entry (index 15).  Used
    for the tray icon, where some panels cope badly with smooth alpha."""
    assert len(TRAY_PALETTE) == 15
    flat_palette = [v for col in TRAY_PALETTE for v in col] + [0, 0, 0]
    pal = Image.new("P", (1, 1))
    pal.putpalette(flat_palette + [0, 0, 0] * (256 - 16))
    # Pillow keeps straight (non-premultiplied) alpha, so dropping the alpha
    # channel leaves the true colour of each half-covered edge pixel.
    mapped = img.convert("RGB").quantize(palette=pal, dither=Image.Dither.NONE)
    alpha = img.getchannel("A").load()
    src = mapped.load()
    out = Image.new("P", img.size, 15)
    out.putpalette(flat_palette)
    dst = out.load()
    for y in range(img.size[1]):
        for x in range(img.size[0]):
            dst[x, y] = src[x, y] if alpha[x, y] >= 128 else 15
    out.info["transparency"] = 15
    return out


# ---------------------------------------------------------------------------
# Toolbar buttons (32x32, transparent background)
# ---------------------------------------------------------------------------


def draw_systray():
    """A small window with an arrow sweeping it down into the tray corner."""
    c = Canvas(32, 32, 8)
    # taskbar / tray strip along the bottom
    bar = c.mask_rrect((1, 23, 31, 30), 2)
    c.shadow(bar, 0, 0.5, 0.3, 50)
    c.fill_vgradient(bar, (0x3A, 0x46, 0x58), CHARCOAL)
    # tray slot with a glowing notification icon
    slot = c.mask_rrect((22, 24.5, 29, 28.5), 1)
    c.fill(slot, TEAL)
    c.fill(c.mask_rrect((24, 25.5, 27, 27.5), 0.5), WHITE)
    # two dim task buttons on the bar
    c.fill(c.mask_rrect((3, 25, 8, 28), 0.8), (0x5A, 0x68, 0x7C))
    c.fill(c.mask_rrect((9, 25, 14, 28), 0.8), (0x5A, 0x68, 0x7C))
    # the window
    win = c.mask_rrect((2, 2, 19, 16), 1.5)
    c.shadow(win, 0, 0.5, 0.5, 60)
    c.fill(win, BLUE)
    c.fill(c.mask_rrect((3, 5, 18, 15), 0.6), WHITE)
    c.fill(c.mask_rrect((15, 3, 17, 4)), WHITE)  # minimise dash
    # motion arrow from the window to the tray slot
    # (an elbow arrow on the pixel grid stays crisp, unlike a diagonal one)
    elbow = union(
        c.mask_rrect((19, 7, 27, 10.5), 0.5),
        c.mask_rrect((23.5, 7, 27, 16)),
        c.mask_poly([(20, 15.5), (30.5, 15.5), (25.25, 21.5)]),
    )
    c.fill(elbow, TEAL)
    return c.result()


def page(c, box, body=WHITE, border=BLUE, bw=1.5, radius=1.5, shadow=True):
    m = c.mask_rrect(box, radius)
    if shadow:
        c.shadow(m, 0, 0.5, 0.5, 55)
    c.fill(m, border)
    x0, y0, x1, y1 = box
    c.fill(c.mask_rrect((x0 + bw, y0 + bw, x1 - bw, y1 - bw), max(0, radius - bw)), body)


def draw_copy():
    """Two overlapping picture pages."""
    c = Canvas(32, 32, 8)
    page(c, (3, 2, 20, 22), body=PAPER, border=BLUE_DARK)
    # ghosted lines on the back page
    for y in (6, 9, 12):
        c.fill(c.mask_rrect((6, y, 17 if y != 12 else 12, y + 1.5), 0.6), GREY_LIGHT)
    page(c, (11, 9, 29, 30), body=WHITE, border=BLUE)
    landscape(c, (13.5, 11.5, 26.5, 27.5))
    return c.result()


def draw_paste():
    """A clipboard with a picture on it."""
    c = Canvas(32, 32, 8)
    board = c.mask_rrect((4, 4, 28, 31), 2.5)
    c.shadow(board, 0, 0.5, 0.5, 60)
    c.fill_vgradient(board, BLUE_LIGHT, BLUE_DARK)
    c.fill(c.mask_rrect((7, 8, 25, 28.5), 1), WHITE)
    landscape(c, (9, 12, 23, 26.5))
    # the clip
    clip = c.mask_rrect((10, 2, 22, 9), 1.5)
    c.shadow(clip, 0, 0.5, 0.4, 70)
    c.fill_vgradient(clip, (0xC9, 0xD3, 0xE0), (0x8E, 0x9C, 0xB0))
    c.fill(c.mask_rrect((11, 6.5, 21, 8.5), 0.8), (0x6F, 0x7E, 0x94))
    c.fill(c.mask_ellipse(16, 3.9, 1.2), BLUE_DARK)
    return c.result()


def draw_browse():
    """An open folder: pick a file name."""
    c = Canvas(32, 32, 8)
    back = union(c.mask_rrect((3, 6, 14, 11), 1.5), c.mask_rrect((3, 9, 28, 27), 2))
    c.shadow(back, 0, 0.5, 0.5, 60)
    c.fill_vgradient(back, (0xE0, 0xA5, 0x2E), (0xB9, 0x7A, 0x12))
    page(c, (7, 11, 25, 24), body=WHITE, border=BLUE_DARK, bw=1, radius=1, shadow=False)
    front = c.mask_poly([(2, 15), (30, 15), (27.5, 27), (4.5, 27)])
    c.shadow(front, 0, -0.3, 0.5, 50)
    c.fill_vgradient(front, (0xFF, 0xD0, 0x5C), (0xE8, 0xA8, 0x2A))
    return c.result()


def arrow_down_mask(c):
    return c.mask_poly(
        [
            (12, 3),
            (20, 3),
            (20, 15),
            (27, 15),
            (16, 28),
            (5, 15),
            (12, 15),
        ]
    )


def draw_arrow(up=False):
    """A bold arrow pointing down (or up), with a lit left half."""
    c = Canvas(32, 32, 8)
    m = arrow_down_mask(c)
    # soften the corners a little: blur the outline and threshold it again
    m = m.filter(ImageFilter.GaussianBlur(6)).point(lambda v: 255 if v >= 128 else 0)
    if up:
        m = m.transpose(Image.FLIP_TOP_BOTTOM)
    c.shadow(m, 0, 0.6, 0.5, 70)
    c.fill_vgradient(m, BLUE_LIGHT, BLUE_DARK, 4 if up else 3, 29 if up else 28)
    c.fill(intersect(m, c.mask_rrect((0, 0, 16, 32))), WHITE, 30)
    return c.result()


def photo_stack(c):
    """Two stacked picture frames, shared by the slide show buttons."""
    back = c.mask_rrect((8, 2, 29, 18), 1.5)
    c.shadow(back, 0, 0.5, 0.5, 50)
    c.fill(back, BLUE_DARK)
    c.fill(c.mask_rrect((9.5, 3.5, 27.5, 16.5), 0.5), GREY_LIGHT)
    front = c.mask_rrect((3, 6, 24, 23), 1.5)
    c.shadow(front, 0, 0.5, 0.5, 60)
    c.fill(front, BLUE)
    landscape(c, (4.5, 7.5, 22.5, 21.5))


def round_button(c):
    cx, cy, r = 21.5, 21.5, 9
    disc = c.mask_ellipse(cx, cy, r)
    c.fill(c.mask_ellipse(cx, cy, r + 1.2), WHITE)  # separation ring
    c.shadow(disc, 0, 0.5, 0.5, 70)
    c.fill_vgradient(disc, TEAL_LIGHT, TEAL_DARK)
    return cx, cy


def draw_slideshow_run():
    c = Canvas(32, 32, 8)
    photo_stack(c)
    cx, cy = round_button(c)
    c.fill(c.mask_poly([(cx - 2.8, cy - 4.6), (cx + 4.6, cy), (cx - 2.8, cy + 4.6)]), WHITE)
    return c.result()


def draw_slideshow_pause():
    c = Canvas(32, 32, 8)
    photo_stack(c)
    cx, cy = round_button(c)
    c.fill(c.mask_rrect((cx - 4, cy - 4.5, cx - 1, cy + 4.5), 0.6), WHITE)
    c.fill(c.mask_rrect((cx + 1, cy - 4.5, cx + 4, cy + 4.5), 0.6), WHITE)
    return c.result()


# ---------------------------------------------------------------------------
# Logos (150x30)
# ---------------------------------------------------------------------------


def logo_mark(c, x, y, tile_top, tile_bottom, card, sky, hill, sun):
    """A 22x22 version of the program icon's idea, at (x, y)."""
    tile = c.mask_rrect((x, y, x + 22, y + 22), 5)
    c.fill_vgradient(tile, tile_top, tile_bottom)
    c.fill(c.mask_rrect((x + 3, y + 4, x + 19, y + 18), 1.2), card)
    area = c.mask_rrect((x + 4.5, y + 5.5, x + 17.5, y + 16.5))
    c.fill_vgradient(area, sky[0], sky[1])
    c.fill(intersect(c.mask_ellipse(x + 13.5, y + 8.6, 1.8), area), sun)
    hills = c.mask_poly(
        [
            (x + 4.5, y + 16.5),
            (x + 4.5, y + 14),
            (x + 8.5, y + 9.5),
            (x + 12, y + 13),
            (x + 14, y + 11.5),
            (x + 17.5, y + 15),
            (x + 17.5, y + 16.5),
        ]
    )
    c.fill(intersect(hills, area), hill)


def draw_logo(variant):
    W, H = 150, 30
    S = 4
    c = Canvas(W, H, S)
    plate = c.mask_rrect((0, 0, W, H), 7)
    if variant == 1:
        c.fill_vgradient(plate, (0xFF, 0xFF, 0xFF), (0xE4, 0xEE, 0xF9))
        c.fill(subtract(plate, c.mask_rrect((1, 1, W - 1, H - 1), 6)), (0xB5, 0xCB, 0xE6))
        logo_mark(c, 4, 4, BLUE_LIGHT, BLUE_DARK, WHITE, (SKY_DEEP, SKY), TEAL, SUN)
        first, second = BLUE, TEAL
    else:
        c.fill_vgradient(plate, (0x24, 0x2F, 0x45), (0x12, 0x19, 0x28))
        c.fill(subtract(plate, c.mask_rrect((1, 1, W - 1, H - 1), 6)), (0x3C, 0x4A, 0x66))
        logo_mark(c, 4, 4, SUN_LIGHT, ORANGE, WHITE, ((0xFF, 0xE3, 0xB0), (0xFF, 0xF4, 0xDE)), ORANGE_DARK, ORANGE)
        first, second = WHITE, SUN_LIGHT
    img = c.result()

    # Text is rendered at the final size so that FreeType hinting keeps the
    # glyph stems sharp.
    font = ImageFont.truetype(find_font(FONT_BOLD), 15)
    d = ImageDraw.Draw(img)
    w1 = d.textlength("Vedra ", font=font)
    w2 = d.textlength("Viewer", font=font)
    left = 30
    x = left + (W - 4 - left - (w1 + w2)) / 2.0
    x = round(x)
    # Centre the cap height on the plate.
    bbox = font.getbbox("V")
    cap_top, cap_bottom = bbox[1], bbox[3]
    y = round((H - (cap_bottom - cap_top)) / 2.0 - cap_top)
    if variant == 1:
        d.text((x, y + 1), "Vedra ", font=font, fill=(255, 255, 255, 255))
        d.text((x + w1, y + 1), "Viewer", font=font, fill=(255, 255, 255, 255))
    else:
        d.text((x, y + 1), "Vedra ", font=font, fill=(0, 0, 0, 160))
        d.text((x + w1, y + 1), "Viewer", font=font, fill=(0, 0, 0, 160))
    d.text((x, y), "Vedra ", font=font, fill=rgba(first))
    d.text((x + w1, y), "Viewer", font=font, fill=rgba(second))
    return img



# ---------------------------------------------------------------------------
# Note window: one sample picture under three size modes
# ---------------------------------------------------------------------------


def draw_sample_photo(w, h):
    """The sample picture of the Note window's examples: a landscape photo
    with a little house, drawn at w x h."""
    c = Canvas(w, h, 4)
    landscape(c, (0, 0, w, h))
    # A house on the front hill, so the stretched example shows its distortion.
    hx, hy, hw, hh = w * 0.18, h * 0.62, w * 0.20, h * 0.22
    c.fill(c.mask_rrect((hx, hy, hx + hw, hy + hh)), WHITE)
    c.fill(c.mask_poly([(hx - w * 0.02, hy), (hx + hw / 2, hy - h * 0.16),
                        (hx + hw + w * 0.02, hy)]), ORANGE_DARK)
    c.fill(c.mask_rrect((hx + hw * 0.38, hy + hh * 0.45, hx + hw * 0.62, hy + hh)), BLUE_DARK)
    return c.result()


def note_example(size, mode):
    """The viewing area (white, sunken border) of size with the sample photo
    placed as the size mode places it."""
    w, h = size
    frame = Image.new("RGBA", (w, h), (255, 255, 255, 255))
    d = ImageDraw.Draw(frame)
    d.rectangle((0, 0, w - 1, h - 1), outline=(0x80, 0x80, 0x80, 255))
    d.line((1, h - 2, w - 2, h - 2), fill=(0xE0, 0xE0, 0xE0, 255))
    d.line((w - 2, 1, w - 2, h - 2), fill=(0xE0, 0xE0, 0xE0, 255))
    inner_w, inner_h = w - 4, h - 4
    photo_w, photo_h = 80, 50
    if mode == "normal":
        pw, ph = photo_w, photo_h
    elif mode == "aspect":
        scale = min(inner_w / photo_w, inner_h / photo_h)
        pw, ph = round(photo_w * scale), round(photo_h * scale)
    else:
        pw, ph = inner_w, inner_h
    photo = draw_sample_photo(pw, ph)
    frame.alpha_composite(photo, (2 + (inner_w - pw) // 2, 2 + (inner_h - ph) // 2))
    return frame.convert("RGB")


# ---------------------------------------------------------------------------
# Credits window: the credit lines, white and black versions, 16 colours
# ---------------------------------------------------------------------------

CREDIT_LINES = [
    ("Vedra Viewer", 17),
    ("V1.0.1", 12),
    ("", 8),
    ("Picture Viewer for Linux", 12),
    ("", 8),
    ("Written by", 11),
    ("The Vedra Viewer", 13),
    ("developers", 13),
    ("", 8),
    ("Pictures drawn by", 11),
    ("the project's own tools", 12),
    ("", 8),
    ("Thank you for watching!", 12),
]


def draw_credits(size, background, text, accent):
    w, h = size
    img = Image.new("RGB", (w, h), background)
    d = ImageDraw.Draw(img)
    regular = find_font("DejaVuSans.ttf")
    y = 8
    for i, (line, points) in enumerate(CREDIT_LINES):
        if y + points > h - 4:
            break
        if line:
            font = ImageFont.truetype(find_font(FONT_BOLD) if points >= 13 else regular, points)
            lw = d.textlength(line, font=font)
            d.text((round((w - lw) / 2), y), line, font=font,
                   fill=accent if i == 0 else text)
        y += points + 5
    # 16 colours, as the window stores its pictures.
    return img.quantize(colors=16, dither=Image.Dither.NONE)


# ---------------------------------------------------------------------------
# Desktop icons (hicolor theme): the program icon at the usual sizes plus a
# scalable SVG drawn with the same shapes as draw_app_icon_large
# ---------------------------------------------------------------------------

ICON_SIZES = (16, 22, 24, 32, 48, 64, 128, 256, 512)


def application_id(repo_root):
    """The reverse-DNS application id, read from the one place that defines it."""
    header = os.path.join(repo_root, "src", "core", "ProjectIdentity.h")
    with open(header, encoding="utf-8") as f:
        m = re.search(r'kApplicationId\[\]\s*=\s*"([^"]+)"', f.read())
    if not m:
        sys.exit("error: no kApplicationId in %s" % header)
    return m.group(1)


def draw_theme_icon(size):
    if size <= 24:
        return draw_app_icon_16(size)
    if size == 32:
        return draw_app_icon_32()
    return draw_app_icon_large(size)


def hexcolour(color):
    return "#%02x%02x%02x" % tuple(color[:3])


def svg_app_icon():
    """The large program icon as SVG on its 32-unit grid (1 unit = 8 px at 256)."""
    def num(v):
        return ("%.3f" % v).rstrip("0").rstrip(".")

    def pts(points):
        return " ".join("%s,%s" % (num(x), num(y)) for x, y in points)

    def opacity(alpha):
        return num(alpha / 255.0)

    # photo area inside the card, as in draw_app_icon_large / landscape()
    x0, y0, x1, y1 = 7, 8.5, 25, 23.5
    w, h = x1 - x0, y1 - y0
    sun_r = max(1.3, h * 0.16)
    back = [(x0, y1), (x0, y0 + h * 0.78), (x0 + w * 0.30, y0 + h * 0.42),
            (x0 + w * 0.55, y0 + h * 0.72), (x0 + w * 0.72, y0 + h * 0.55),
            (x1, y0 + h * 0.85), (x1, y1)]
    front = [(x0, y1), (x0 + w * 0.20, y0 + h * 0.80), (x0 + w * 0.52, y0 + h * 0.58),
             (x0 + w * 0.85, y0 + h * 0.86), (x1, y0 + h * 0.80), (x1, y1)]
    cx, cy, r = 22.5, 22.5, 5.2
    gr = r - 1.3
    lines = [
        '<?xml version="1.0" encoding="UTF-8"?>',
        '<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 32 32">',
        "  <title>Vedra Viewer</title>",
        "  <defs>",
        '    <linearGradient id="tile" gradientUnits="userSpaceOnUse" x1="0" y1="1" x2="0" y2="31">',
        '      <stop offset="0" stop-color="%s"/>' % hexcolour(BLUE_LIGHT),
        '      <stop offset="1" stop-color="%s"/>' % hexcolour(BLUE_DARK),
        "    </linearGradient>",
        '    <linearGradient id="sky" gradientUnits="userSpaceOnUse" x1="0" y1="%s" x2="0" y2="%s">'
        % (num(y0), num(y1)),
        '      <stop offset="0" stop-color="%s"/>' % hexcolour(SKY_DEEP),
        '      <stop offset="1" stop-color="%s"/>' % hexcolour(SKY),
        "    </linearGradient>",
        '    <linearGradient id="glass" gradientUnits="userSpaceOnUse" x1="0" y1="%s" x2="0" y2="%s">'
        % (num(cy - gr), num(cy + gr)),
        '      <stop offset="0" stop-color="%s"/>' % hexcolour(TEAL_LIGHT),
        '      <stop offset="1" stop-color="%s"/>' % hexcolour(TEAL_DARK),
        "    </linearGradient>",
        '    <clipPath id="tile-area"><rect x="1" y="1" width="30" height="30" rx="6.5"/></clipPath>',
        '    <clipPath id="photo-area"><rect x="%s" y="%s" width="%s" height="%s"/></clipPath>'
        % (num(x0), num(y0), num(w), num(h)),
        '    <clipPath id="glass-area"><circle cx="%s" cy="%s" r="%s"/></clipPath>'
        % (num(cx), num(cy), num(gr)),
        '    <filter id="soft" x="-25%" y="-25%" width="150%" height="150%">',
        '      <feGaussianBlur stdDeviation="0.5"/>',
        "    </filter>",
        '    <filter id="softer" x="-25%" y="-25%" width="150%" height="150%">',
        '      <feGaussianBlur stdDeviation="0.6"/>',
        "    </filter>",
        "  </defs>",
        "  <!-- tile -->",
        '  <rect x="1" y="1.45" width="30" height="30" rx="6.5" fill="#000000" '
        'fill-opacity="%s" filter="url(#soft)"/>' % opacity(80),
        '  <rect x="1" y="1" width="30" height="30" rx="6.5" fill="url(#tile)"/>',
        '  <ellipse cx="16" cy="-6" rx="24" ry="16" fill="#ffffff" fill-opacity="%s" '
        'clip-path="url(#tile-area)"/>' % opacity(28),
        "  <!-- photo card -->",
        '  <rect x="5" y="7" width="22" height="19" rx="1.6" fill="%s" fill-opacity="%s" '
        'filter="url(#softer)"/>' % (hexcolour(BLUE_DEEP), opacity(90)),
        '  <rect x="5" y="6.5" width="22" height="19" rx="1.6" fill="#ffffff"/>',
        '  <g clip-path="url(#photo-area)">',
        '    <rect x="%s" y="%s" width="%s" height="%s" fill="url(#sky)"/>'
        % (num(x0), num(y0), num(w), num(h)),
        '    <circle cx="%s" cy="%s" r="%s" fill="%s"/>'
        % (num(x0 + w * 0.72), num(y0 + h * 0.30), num(sun_r), hexcolour(SUN)),
        '    <polygon points="%s" fill="%s"/>' % (pts(back), hexcolour(TEAL_LIGHT)),
        '    <polygon points="%s" fill="%s"/>' % (pts(front), hexcolour(TEAL)),
        "  </g>",
        "  <!-- viewing lens -->",
        '  <circle cx="%s" cy="%s" r="%s" fill="%s" fill-opacity="%s" filter="url(#soft)"/>'
        % (num(cx), num(cy + 0.4), num(r), hexcolour(BLUE_DEEP), opacity(90)),
        '  <circle cx="%s" cy="%s" r="%s" fill="#ffffff"/>' % (num(cx), num(cy), num(r)),
        '  <circle cx="%s" cy="%s" r="%s" fill="url(#glass)"/>' % (num(cx), num(cy), num(gr)),
        '  <ellipse cx="%s" cy="%s" rx="2.2" ry="1.4" fill="#ffffff" fill-opacity="%s" '
        'clip-path="url(#glass-area)"/>' % (num(cx - 1.2), num(cy - 1.6), opacity(150)),
        '  <circle cx="%s" cy="%s" r="1.3" fill="%s" fill-opacity="%s"/>'
        % (num(cx + 0.4), num(cy + 0.5), hexcolour(BLUE_DEEP), opacity(200)),
        "</svg>",
        "",
    ]
    return "\n".join(lines)


def write_theme_icons(icon_dir, app_id):
    """Write hicolor/<N>x<N>/apps/<id>.png and hicolor/scalable/apps/<id>.svg."""
    written = 0
    for size in ICON_SIZES:
        folder = os.path.join(icon_dir, "hicolor", "%dx%d" % (size, size), "apps")
        os.makedirs(folder, exist_ok=True)
        save_png(draw_theme_icon(size), os.path.join(folder, app_id + ".png"))
        written += 1
    folder = os.path.join(icon_dir, "hicolor", "scalable", "apps")
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, app_id + ".svg"), "w", encoding="utf-8", newline="\n") as f:
        f.write(svg_app_icon())
    return written + 1


# ---------------------------------------------------------------------------
# Output
# ---------------------------------------------------------------------------


def save_png(img, path):
    # Pillow writes no time stamps by default; pnginfo=None keeps it that way.
    img.save(path, "PNG", optimize=True)


def build_all():
    pics = {}
    pics["app-icon.png"] = draw_app_icon_large(256)
    pics["app-icon-32.png"] = draw_app_icon_32()
    pics["app-icon-16.png"] = draw_app_icon_16()
    pics["app-icon-32-16colors.png"] = quantise_16(pics["app-icon-32.png"])
    pics["systray.png"] = draw_systray()
    pics["copy.png"] = draw_copy()
    pics["paste.png"] = draw_paste()
    pics["browse.png"] = draw_browse()
    pics["arrow-down.png"] = draw_arrow(up=False)
    pics["arrow-up.png"] = draw_arrow(up=True)
    pics["slideshow-run.png"] = draw_slideshow_run()
    pics["slideshow-pause.png"] = draw_slideshow_pause()
    pics["logo1.png"] = draw_logo(1)
    pics["logo2.png"] = draw_logo(2)
    pics["about-icon.png"] = pics["app-icon-32.png"].copy()
    pics["note-normal-size.png"] = note_example((130, 125), "normal")
    pics["note-maintain-aspect.png"] = note_example((130, 124), "aspect")
    pics["note-resize-to-window.png"] = note_example((130, 124), "stretch")
    pics["credits-white.png"] = draw_credits((200, 250), (255, 255, 255), (0, 0, 0), BLUE)
    pics["credits-black.png"] = draw_credits((200, 200), (0, 0, 0), (255, 255, 255), SUN)
    return pics


def write_qrc(path, names):
    lines = ['<!DOCTYPE RCC>', '<RCC version="1.0">', '  <qresource prefix="/">']
    for n in names:
        lines.append("    <file>pictures/%s</file>" % n)
    lines += ["  </qresource>", "</RCC>", ""]
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write("\n".join(lines))


def contact_sheet(pics, scale=4):
    """Every picture at real size and scaled up, on light and dark grounds."""
    pad = 10
    rows = []
    for name, img in pics.items():
        im = img.convert("RGBA")
        big = im.resize((im.width * scale, im.height * scale), Image.NEAREST)
        if big.width > 600:
            big = im.resize((im.width * 2, im.height * 2), Image.NEAREST)
            if big.width > 600:
                big = im
        rows.append((name, im, big))
    width = max(pad * 6 + r[1].width * 2 + r[2].width * 2 for r in rows)
    height = sum(max(r[2].height, 14) + pad * 2 + 12 for r in rows)
    sheet = Image.new("RGBA", (width, height), (255, 255, 255, 255))
    d = ImageDraw.Draw(sheet)
    font = ImageFont.truetype(find_font("DejaVuSans.ttf"), 11)
    y = pad
    for name, im, big in rows:
        d.text((pad, y), name, font=font, fill=(0, 0, 0, 255))
        y += 14
        x = pad
        for ground in ((255, 255, 255, 255), (0x3B, 0x3F, 0x46, 255)):
            for pic in (im, big):
                bg = Image.new("RGBA", pic.size, ground)
                sheet.paste(Image.alpha_composite(bg, pic), (x, y))
                x += pic.width + pad
        y += big.height + pad
    return sheet


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    repo_root = os.path.normpath(os.path.join(here, "..", ".."))
    default_res = os.path.join(repo_root, "resources")
    default_icons = os.path.join(repo_root, "data", "icons")
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--out", default=default_res, help="resources folder (default: %(default)s)")
    ap.add_argument("--sheet", help="also write a contact sheet PNG here")
    ap.add_argument("--icons", default=default_icons,
                    help="desktop icon theme folder (default: %(default)s)")
    args = ap.parse_args()

    pic_dir = os.path.join(args.out, "pictures")
    os.makedirs(pic_dir, exist_ok=True)
    pics = build_all()
    for name, img in pics.items():
        save_png(img, os.path.join(pic_dir, name))
    write_qrc(os.path.join(args.out, "resources.qrc"), sorted(pics))
    if args.sheet:
        contact_sheet(pics).save(args.sheet)
    print("wrote %d pictures to %s" % (len(pics), pic_dir))
    count = write_theme_icons(args.icons, application_id(repo_root))
    print("wrote %d desktop icons to %s" % (count, args.icons))


if __name__ == "__main__":
    main()
