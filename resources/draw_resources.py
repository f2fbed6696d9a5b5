#!/usr/bin/env python3
"""Draws Velmora's icons and bitmaps into resources/art/.

The pictures live as code so they can be changed and reviewed like any other
source; the output is the same bytes on every run. Standard library only.

    python3 resources/draw_resources.py                 # write resources/art/
    python3 resources/draw_resources.py --preview x.png # also write a 4x sheet

Every picture comes at each scale the program runs at (100 to 200 %): icons
at each size in one .ico, bitmaps as one file per scale. Each size is drawn
from the picture's design, never enlarged from another size.
"""

import math
import os
import struct
import sys
import zlib

ART_DIR = os.path.join(os.path.dirname(os.path.abspath(__file__)), "art")

# ---------------------------------------------------------------------------
# Colours (r, g, b). Outlines use a dark shade of the fill, as the classic
# toolbar pictures do, rather than plain black.

WHITE = (255, 255, 255)
NAVY = (10, 36, 106)
BLUE = (38, 94, 206)
BLUE_LIGHT = (120, 170, 240)
SKY = (166, 202, 240)
RED_DARK = (128, 0, 0)
RED = (214, 28, 28)
RED_LIGHT = (250, 96, 80)
GREEN_DARK = (22, 92, 14)
GREEN = (52, 168, 36)
GREEN_LIGHT = (140, 224, 100)
ORANGE_DARK = (150, 70, 0)
ORANGE = (244, 146, 24)
ORANGE_LIGHT = (255, 206, 110)
PAGE_EDGE = (96, 96, 96)
PAGE_FOLD = (212, 212, 212)
FACE = (212, 208, 200)  # the Windows 2000 button face
GREY_TEXT = (168, 168, 168)


def mix(a, b, t):
    t = min(1.0, max(0.0, t))
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def grey(c):
    # Same weights the program uses when it greys a picture at run time.
    v = int(0.587 * c[1] + 0.114 * c[2] + 0.299 * c[0])
    return (v, v, v)


# ---------------------------------------------------------------------------
# Shapes are predicates over a point; they are sampled at pixel centres, so
# coordinates are in pixel-boundary units (a 16 pixel icon spans 0..16).


def rect_at(x0, y0, x1, y1):
    return lambda x, y: x0 <= x < x1 and y0 <= y < y1


def disc_at(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ring_at(cx, cy, r0, r1):
    return lambda x, y: r0 * r0 <= (x - cx) ** 2 + (y - cy) ** 2 <= r1 * r1


def stroke_at(points, r):
    """A polyline 2r wide with round ends."""
    segs = list(zip(points, points[1:]))

    def inside(x, y):
        for (ax, ay), (bx, by) in segs:
            dx, dy = bx - ax, by - ay
            t = ((x - ax) * dx + (y - ay) * dy) / float(dx * dx + dy * dy)
            t = min(1.0, max(0.0, t))
            if (ax + t * dx - x) ** 2 + (ay + t * dy - y) ** 2 <= r * r:
                return True
        return False

    return inside


def union(*shapes):
    return lambda x, y: any(s(x, y) for s in shapes)


def polygon_mask(points, w, h):
    """Scanline fill: pixels whose centre lies inside (even-odd rule)."""
    mask = set()
    n = len(points)
    for py in range(h):
        y = py + 0.5
        xs = []
        for i in range(n):
            (ax, ay), (bx, by) = points[i], points[(i + 1) % n]
            if (ay <= y < by) or (by <= y < ay):
                xs.append(ax + (y - ay) * (bx - ax) / float(by - ay))
        xs.sort()
        for left, right in zip(xs[0::2], xs[1::2]):
            for px in range(max(0, int(math.ceil(left - 0.5))), min(w, int(math.ceil(right - 0.5)))):
                mask.add((px, py))
    return mask


# ---------------------------------------------------------------------------
# Canvas: rows of (r, g, b) or None for a transparent pixel.


class Canvas:
    def __init__(self, w, h, fill=None):
        self.w, self.h = w, h
        self.px = [[fill] * w for _ in range(h)]

    def put(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c(x, y) if callable(c) else c

    def get(self, x, y):
        return self.px[y][x]

    def mask(self, shape):
        return {(x, y) for y in range(self.h) for x in range(self.w) if shape(x + 0.5, y + 0.5)}

    def rect(self, x0, y0, x1, y1, c):
        """Fills pixels x0..x1, y0..y1 inclusive."""
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.put(x, y, c)

    def frame(self, x0, y0, x1, y1, c):
        for x in range(x0, x1 + 1):
            self.put(x, y0, c)
            self.put(x, y1, c)
        for y in range(y0, y1 + 1):
            self.put(x0, y, c)
            self.put(x1, y, c)

    def line(self, x0, y0, x1, y1, c):
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx, sy = (1 if x0 < x1 else -1), (1 if y0 < y1 else -1)
        err = dx + dy
        while True:
            self.put(x0, y0, c)
            if (x0, y0) == (x1, y1):
                return
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                x0 += sx
            if e2 <= dx:
                err += dx
                y0 += sy

    def paint(self, mask, c):
        for x, y in mask:
            self.put(x, y, c)

    def shape(self, mask, fill, outline=None, light=None, shade=None):
        """Fills a mask with a 1-pixel outline on its own border pixels and an
        optional bevel: light just inside the top/left edge, shade inside the
        bottom/right edge, which is what makes 16x16 pictures read as solid."""
        if not isinstance(mask, set):
            mask = self.mask(mask)

        def edge(p):
            return p not in mask or (outline is not None and on_border(p))

        def on_border(p):
            x, y = p
            return any(q not in mask for q in ((x - 1, y), (x + 1, y), (x, y - 1), (x, y + 1)))

        for x, y in sorted(mask):
            if outline is not None and on_border((x, y)):
                self.put(x, y, outline)
            elif light is not None and (edge((x - 1, y)) or edge((x, y - 1))):
                self.put(x, y, light)
            elif shade is not None and (edge((x + 1, y)) or edge((x, y + 1))):
                self.put(x, y, shade)
            else:
                self.put(x, y, fill)
        return mask

    def blit(self, src, dx, dy):
        for y in range(src.h):
            for x in range(src.w):
                c = src.px[y][x]
                if c is not None:
                    self.put(x + dx, y + dy, c)

    def map(self, fn):
        out = Canvas(self.w, self.h)
        out.px = [[None if c is None else fn(c) for c in row] for row in self.px]
        return out


def vgrad(y0, y1, top, bottom):
    return lambda x, y: mix(top, bottom, (y - y0) / float(max(1, y1 - y0)))


def hgrad(x0, x1, left, right):
    return lambda x, y: mix(left, right, (x - x0) / float(max(1, x1 - x0)))


# ---------------------------------------------------------------------------
# A small proportional pixel font: 7 rows above the baseline, 2 below.

GLYPHS = {
    "A": ".###. #...# #...# ##### #...# #...# #...#",
    "B": "####. #...# #...# ####. #...# #...# ####.",
    "C": ".###. #...# #.... #.... #.... #...# .###.",
    "D": "####. #...# #...# #...# #...# #...# ####.",
    "E": "##### #.... #.... ####. #.... #.... #####",
    "F": "##### #.... #.... ####. #.... #.... #....",
    "G": ".###. #...# #.... #.### #...# #...# .####",
    "H": "#...# #...# #...# ##### #...# #...# #...#",
    "I": "### .#. .#. .#. .#. .#. ###",
    "J": "..### ...#. ...#. ...#. ...#. #..#. .##..",
    "K": "#...# #..#. #.#.. ##... #.#.. #..#. #...#",
    "L": "#.... #.... #.... #.... #.... #.... #####",
    "M": "#...# ##.## #.#.# #.#.# #...# #...# #...#",
    "N": "#...# #...# ##..# #.#.# #..## #...# #...#",
    "O": ".###. #...# #...# #...# #...# #...# .###.",
    "P": "####. #...# #...# ####. #.... #.... #....",
    "Q": ".###. #...# #...# #...# #.#.# #..#. .##.#",
    "R": "####. #...# #...# ####. #.#.. #..#. #...#",
    "S": ".#### #.... #.... .###. ....# ....# ####.",
    "T": "##### ..#.. ..#.. ..#.. ..#.. ..#.. ..#..",
    "U": "#...# #...# #...# #...# #...# #...# .###.",
    "V": "#...# #...# #...# #...# #...# .#.#. ..#..",
    "W": "#...# #...# #...# #.#.# #.#.# #.#.# .#.#.",
    "X": "#...# #...# .#.#. ..#.. .#.#. #...# #...#",
    "Y": "#...# #...# .#.#. ..#.. ..#.. ..#.. ..#..",
    "Z": "##### ....# ...#. ..#.. .#... #.... #####",
    "a": "..... ..... .###. ....# .#### #...# .####",
    "b": "#.... #.... #.##. ##..# #...# #...# ####.",
    "c": "..... ..... .###. #.... #.... #...# .###.",
    "d": "....# ....# .##.# #..## #...# #...# .####",
    "e": "..... ..... .###. #...# ##### #.... .###.",
    "f": "..## .#.. ###. .#.. .#.. .#.. .#..",
    "g": "..... ..... .#### #...# #...# #...# .#### ....# .###.",
    "h": "#.... #.... #.##. ##..# #...# #...# #...#",
    "i": ".#. ... ##. .#. .#. .#. ###",
    "j": "..# ... .## ..# ..# ..# ..# #.# .#.",
    "k": "#... #... #..# #.#. ##.. #.#. #..#",
    "l": "##. .#. .#. .#. .#. .#. ###",
    "m": "..... ..... ##.#. #.#.# #.#.# #...# #...#",
    "n": "..... ..... #.##. ##..# #...# #...# #...#",
    "o": "..... ..... .###. #...# #...# #...# .###.",
    "p": "..... ..... ####. #...# #...# #...# ####. #.... #....",
    "q": "..... ..... .#### #...# #...# #...# .#### ....# ....#",
    "r": "..... ..... #.##. ##..# #.... #.... #....",
    "s": "..... ..... .###. #.... .###. ....# ####.",
    "t": ".#.. .#.. ###. .#.. .#.. .#.# ..#.",
    "u": "..... ..... #...# #...# #...# #..## .##.#",
    "v": "..... ..... #...# #...# #...# .#.#. ..#..",
    "w": "..... ..... #...# #...# #.#.# #.#.# .#.#.",
    "x": "..... ..... #...# .#.#. ..#.. .#.#. #...#",
    "y": "..... ..... #...# #...# #...# #...# .#### ....# .###.",
    "z": "..... ..... ##### ...#. ..#.. .#... #####",
    "-": ".... .... .... #### .... .... ....",
    ".": ". . . . . . #",
    " ": "... ... ... ... ... ... ...",
}
FONT_ROWS = 9


def text_bitmap(text, spacing=1):
    """Returns the text as rows of 0/1, FONT_ROWS high."""
    cols = []
    for i, ch in enumerate(text):
        rows = GLYPHS[ch].split()
        rows += ["." * len(rows[0])] * (FONT_ROWS - len(rows))
        for x in range(len(rows[0])):
            cols.append([1 if r[x] == "#" else 0 for r in rows])
        if i + 1 < len(text):
            cols.extend([[0] * FONT_ROWS] * spacing)
    return [[col[y] for col in cols] for y in range(FONT_ROWS)]


def glyph_shape(bits):
    """The text bitmap as a shape in cell units (a cell is one pixel of the
    100 % font). Where two cells touch only at a corner the two empty cells
    beside them get a triangle filled in, so diagonal strokes come out as
    smooth bars while square corners stay square (the usual Scale2x/3x rules
    round every corner and turn D into O). Sampled at whole factors this is
    the plain k-times enlargement with those triangles; sampled at any other
    factor it is the same letters, drawn at that size."""
    h, w = len(bits), len(bits[0])

    def at(x, y):
        return bits[y][x] if 0 <= x < w and 0 <= y < h else 0

    corners = {}  # empty cell -> the cell corners its triangles grow from
    for y in range(h):
        for x in range(w):
            if not at(x, y):
                continue
            for dx in (-1, 1):
                if not at(x + dx, y + 1) or at(x + dx, y) or at(x, y + 1):
                    continue
                corner = (x + (dx > 0), y + 1)
                for cell in ((x + dx, y), (x, y + 1)):
                    corners.setdefault(cell, []).append(corner)

    def inside(u, v):
        cell = (int(math.floor(u)), int(math.floor(v)))
        if at(*cell):
            return True
        # Points on the triangle's edge stay out, whatever the rounding of u and v.
        return any(abs(u - cu) + abs(v - cv) < 1 - 1e-9 for cu, cv in corners.get(cell, ()))

    return inside


def text_size(text, factor):
    bits = text_bitmap(text)
    return len(bits[0]) * factor, FONT_ROWS * factor


def draw_text(canvas, x, y, text, factor, colour, shadow=None, offset=1):
    """(x, y) is the top left of the capitals in pixels, factor the size of
    one cell of the font; both may be fractions."""
    bits = text_bitmap(text)
    shape = glyph_shape(bits)
    for layer, (dx, dy) in ((shadow, (offset, offset)), (colour, (0, 0))):
        if layer is None:
            continue
        left, top = x + dx, y + dy
        for py in range(int(math.floor(top)), int(math.ceil(top + FONT_ROWS * factor))):
            for px in range(int(math.floor(left)), int(math.ceil(left + len(bits[0]) * factor))):
                if shape((px + 0.5 - left) / factor, (py + 0.5 - top) / factor):
                    canvas.put(px, py, layer)


# ---------------------------------------------------------------------------
# Drawing at a scale. Every picture is designed in the pixels of its 100 %
# size; Scaled draws those designs k times as large by sampling the shapes
# at each pixel of the larger canvas, never by enlarging a finished picture.
# Edges land on whole pixels, and at k = 1 the result is exactly the 100 %
# picture.


class Scaled:
    def __init__(self, canvas, k):
        self.c, self.k = canvas, k
        # A line one pixel wide in the design: one pixel until it would look
        # thin beside the rest, then two.
        self.thin = max(1, int(k + 0.25))

    def at(self, v):
        """A design coordinate (a pixel boundary) on this canvas."""
        return int(math.floor(v * self.k + 0.5))

    def colour(self, fn):
        return fn if self.k == 1 or not callable(fn) else (lambda x, y: fn(x / self.k, y / self.k))

    def rect(self, x0, y0, x1, y1, c):
        """Fills design pixels x0..x1, y0..y1 inclusive."""
        self.c.rect(self.at(x0), self.at(y0), self.at(x1 + 1) - 1, self.at(y1 + 1) - 1, self.colour(c))

    def hline(self, x0, x1, y, c, width=None):
        top, width = self.at(y), width or self.thin
        self.c.rect(self.at(x0), top, self.at(x1 + 1) - 1, top + width - 1, self.colour(c))

    def vline(self, x, y0, y1, c, width=None):
        left, width = self.at(x), width or self.thin
        self.c.rect(left, self.at(y0), left + width - 1, self.at(y1 + 1) - 1, self.colour(c))

    def frame(self, x0, y0, x1, y1, c):
        """A one-pixel edge around design pixels x0..x1, y0..y1, as the
        shapes' outlines are at every size."""
        self.c.frame(self.at(x0), self.at(y0), self.at(x1 + 1) - 1, self.at(y1 + 1) - 1, self.colour(c))

    def mask(self, shape):
        k = self.k
        return self.c.mask(shape if k == 1 else (lambda x, y: shape(x / k, y / k)))

    def polygon(self, points):
        return polygon_mask([(x * self.k, y * self.k) for x, y in points], self.c.w, self.c.h)

    def shape(self, mask, fill, outline=None, light=None, shade=None):
        return self.c.shape(mask, self.colour(fill), outline, light, shade)

    def mark(self, x0, y0, w, h, halo=None):
        k = self.k
        draw_mark(self.c, x0 * k, y0 * k, w * k, h * k, halo, halo_reach=k)


# ---------------------------------------------------------------------------
# The product mark: a blue shield carrying a red no-entry sign.


def shield_shape(x0, y0, w, h):
    """Straight sides for the top 45%, then a parabola down to the point."""

    def inside(x, y):
        u, v = (x - x0) / w, (y - y0) / h
        if not (0 <= u <= 1 and 0 <= v <= 1):
            return False
        half = 0.5 if v < 0.45 else 0.5 * (1 - ((v - 0.45) / 0.55) ** 2)
        return abs(u - 0.5) <= half

    return inside


def draw_mark(c, x0, y0, w, h, halo=None, halo_reach=1):
    """Draws the shield into the box (pixels); halo gives a light rim for dark
    backgrounds, halo_reach times as wide as at 100 %."""
    shield = shield_shape(x0, y0, w, h)
    if halo is not None:
        offsets = [(dx * halo_reach, dy * halo_reach) for dx, dy in
                   ((-1.5, 0), (1.5, 0), (0, -1.5), (0, 1.5), (-1, -1), (1, 1), (-1, 1), (1, -1))]
        grown = lambda x, y: any(shield(x + dx, y + dy) for dx, dy in offsets)
        c.paint(c.mask(grown), halo)
    mid = x0 + w / 2.0
    fill = lambda x, y: mix(BLUE_LIGHT, BLUE, (y - y0) / h) if x < mid else mix(BLUE, NAVY, (y - y0) / h * 0.7)
    big = w >= 24
    c.shape(c.mask(shield), fill, NAVY, light=SKY if big else None)

    # The no-entry sign sits a little above centre, where the shield is widest.
    cx, cy = x0 + w / 2.0, y0 + h * 0.43
    r = w * 0.36
    red = lambda x, y: mix(RED_LIGHT, RED, (y - (cy - r)) / (2 * r))
    c.shape(c.mask(disc_at(cx, cy, r)), red, RED_DARK)
    bar_w, bar_h = r * 0.7, max(2.0, r * 0.42)
    c.paint(c.mask(rect_at(cx - bar_w, cy - bar_h / 2, cx + bar_w, cy + bar_h / 2)), WHITE)


# ---------------------------------------------------------------------------
# Parts shared by several icons, in design pixels of a Scaled canvas.


def page(s, x0, y0, x1, y1, fold=3):
    """A white sheet (pixels x0..x1, y0..y1) with its top right corner folded."""
    body = s.polygon([(x0, y0), (x1 + 1 - fold, y0), (x1 + 1, y0 + fold), (x1 + 1, y1 + 1), (x0, y1 + 1)])
    s.shape(body, WHITE, PAGE_EDGE, shade=(236, 236, 236))
    fx = x1 - fold
    # The flap, up to the sheet's cut edge less its one-pixel outline.
    reach = 1 - 1.0 / s.k
    s.c.paint(s.mask(lambda u, v: fx <= u < fx + fold and y0 <= v < y0 + fold and u - fx < v - y0 + reach),
              PAGE_FOLD)
    s.vline(fx, y0, y0 + fold, PAGE_EDGE, width=1)
    s.hline(fx, x1, y0 + fold, PAGE_EDGE, width=1)


def text_lines(s, x0, x1, ys, colour=GREY_TEXT):
    for k, y in enumerate(ys):
        s.hline(x0, x1 - (k % 2) * 2, y, colour)


def window(s, x0, y0, x1, y1, title_h):
    """A window frame with a gradient title bar over a white client area."""
    s.rect(x0, y0, x1, y1, WHITE)
    s.rect(x0 + 1, y0 + 1, x1 - 1, y0 + title_h, hgrad(x0, x1, NAVY, BLUE_LIGHT))
    s.frame(x0, y0, x1, y1, (64, 64, 64))


def cross_mark(s, x0, y0, x1, y1, r):
    arms = stroke_at([(x0, y0), (x1, y1)], r)
    arms2 = stroke_at([(x1, y0), (x0, y1)], r)
    s.shape(s.mask(union(arms, arms2)), lambda x, y: mix(RED_LIGHT, RED, (y - y0) / float(y1 - y0)), RED_DARK)


# ---------------------------------------------------------------------------
# The pictures. Each icon function draws its 16 x 16 design at any size.


def icon_canvas(size, design=16):
    c = Canvas(size, size)
    return c, Scaled(c, size / float(design))


def icon_program(size):
    # Two designs: a small one up to 28 pixels, a detailed one from 32 on.
    if size >= 32:
        c, s = icon_canvas(size, 32)
        window(s, 0, 2, 25, 24, 4)
        s.rect(1, 7, 24, 9, FACE)  # address bar strip
        s.frame(3, 7, 22, 9, (128, 128, 128))
        s.rect(4, 8, 21, 8, WHITE)
        s.hline(1, 24, 10, (128, 128, 128))
        s.frame(19, 3, 21, 5, WHITE)  # close box
        text_lines(s, 3, 12, [13, 16, 19, 22])
        s.mark(13, 9, 19, 23)
    else:
        c, s = icon_canvas(size)
        window(s, 0, 0, 11, 10, 2)
        text_lines(s, 2, 5, [5, 7, 9])
        s.mark(4, 3, 12, 13)
    return c


def icon_started(size):
    c, s = icon_canvas(size)
    s.mark(1, 0, 14, 16)
    return c


def icon_hide(size):
    c, s = icon_canvas(size)
    arrow = s.polygon([(5, 1), (11, 1), (11, 7), (15, 7), (8, 15), (1, 7), (5, 7)])
    s.shape(arrow, hgrad(1, 15, BLUE_LIGHT, BLUE), NAVY, light=SKY)
    return c


def icon_add(size):
    c, s = icon_canvas(size)
    page(s, 0, 0, 10, 14)
    text_lines(s, 2, 6, [4, 6, 8])
    # A bent arrow coming up from below and turning right, out of the page.
    bend = lambda x, y: x < 10 and y < 11 and ring_at(10, 11, 1, 5)(x, y)
    shaft = union(bend, rect_at(5, 11, 9, 16), rect_at(10, 6, 12, 10))
    head = s.polygon([(11, 3.5), (16, 8), (11, 12.5)])
    s.shape(s.mask(shaft) | head, vgrad(4, 15, GREEN_LIGHT, GREEN), GREEN_DARK)
    return c


def icon_remove(size):
    c, s = icon_canvas(size)
    page(s, 0, 0, 10, 14)
    text_lines(s, 2, 6, [4, 6, 8])
    cross_mark(s, 8.5, 8.5, 14.5, 14.5, 1.6)
    return c


def icon_save(size):
    c, s = icon_canvas(size)
    body = s.polygon([(1, 1), (14, 1), (15, 2), (15, 15), (1, 15)])
    s.shape(body, BLUE, NAVY, light=BLUE_LIGHT)
    s.rect(4, 1, 11, 7, WHITE)  # label
    s.frame(3, 1, 12, 8, NAVY)
    s.hline(5, 10, 3, GREY_TEXT)
    s.hline(5, 10, 5, GREY_TEXT)
    s.rect(5, 10, 11, 14, (200, 204, 212))  # metal shutter
    s.frame(4, 10, 11, 15, NAVY)
    s.rect(6, 11, 7, 13, (64, 72, 96))
    return c


def icon_load(size):
    c, s = icon_canvas(size)
    right = s.polygon([(3, 2), (10, 2), (10, 0), (15, 4), (10, 8), (10, 6), (3, 6)])
    left = s.polygon([(13, 10), (6, 10), (6, 8), (1, 12), (6, 16), (6, 14), (13, 14)])
    s.shape(right, vgrad(0, 8, ORANGE_LIGHT, ORANGE), ORANGE_DARK)
    s.shape(left, vgrad(8, 16, BLUE_LIGHT, BLUE), NAVY)
    return c


def icon_append(size):
    c, s = icon_canvas(size)
    page(s, 5, 0, 14, 10, fold=0)
    page(s, 3, 2, 12, 12, fold=0)
    page(s, 1, 4, 10, 15, fold=3)
    text_lines(s, 3, 7, [9, 11, 13])
    return c


def icon_new(size):
    c, s = icon_canvas(size)
    page(s, 2, 0, 13, 15, fold=4)
    return c


def icon_update(size):
    c, s = icon_canvas(size)
    window(s, 0, 1, 13, 12, 2)
    text_lines(s, 2, 7, [5, 7, 9])
    plus = union(rect_at(9, 6, 13, 16), rect_at(6, 9, 16, 13))
    s.shape(s.mask(plus), vgrad(6, 15, GREEN_LIGHT, GREEN), GREEN_DARK)
    return c


def icon_tick(size):
    c, s = icon_canvas(size)
    tick = stroke_at([(2.5, 8.5), (6.0, 12.0), (13.5, 3.5)], 1.9)
    s.shape(s.mask(tick), vgrad(3, 14, GREEN_LIGHT, GREEN), GREEN_DARK)
    return c


def icon_cross(size):
    c, s = icon_canvas(size)
    cross_mark(s, 3.5, 3.5, 12.5, 12.5, 1.9)
    return c


def scaled_size(v, scale):
    return int(math.floor(v * scale + 0.5))


def draw_title(c, x, y, text, factor, scale, colour, shadow=None, offset=1):
    """Text whose cells are factor pixels at 100 %. Small text keeps whole
    pixels per cell (crisper than a fraction), centred where the exact size
    would have put it."""
    exact = factor * scale
    cell = exact if exact >= 2.5 else max(1, int(exact + 0.5))
    w, h = text_size(text, 1)
    x += (w * exact - w * cell) / 2.0
    y += (h * exact - h * cell) / 2.0
    draw_text(c, x, y, text, cell, colour, shadow, offset * scale if shadow else offset)


def banner(scale=1):
    W, H = 364, 94  # the 100 % design
    w, h = scaled_size(W, scale), scaled_size(H, scale)
    c = Canvas(w, h)
    s = Scaled(c, scale)
    top, bottom = (14, 44, 120), (4, 20, 70)
    for y in range(h):
        v = (y + 0.5) / scale - 0.5  # the design row this pixel shows
        for x in range(w):
            u = (x + 0.5) / scale - 0.5
            base = mix(top, bottom, v / float(H - 1))
            # A soft glow behind the shield keeps the left side from looking flat.
            d = math.hypot((u - 46) / 1.3, v - 47)
            c.px[y][x] = mix(base, (56, 110, 200), max(0.0, 1 - d / 120.0) * 0.8)
    c.rect(0, s.at(H - 3), w - 1, s.at(H - 2) - 1, (90, 140, 220))
    c.rect(0, s.at(H - 2), w - 1, h - 1, (6, 24, 80))
    s.mark(18, 12, 56, 68, halo=(200, 220, 250))

    title = "Draxtel Velmora"
    tw, _ = text_size(title, 3)
    tx = 88 + (W - 88 - tw) // 2
    draw_title(c, tx * scale, 18 * scale, title, 3, scale, s.colour(vgrad(18, 39, WHITE, (190, 214, 255))),
               shadow=(0, 10, 40), offset=2)
    s.rect(tx, 52, tx + tw - 1, 52, (90, 140, 220))
    strap = "pop-up window blocker"
    sw, _ = text_size(strap, 2)
    draw_title(c, (tx + (tw - sw) // 2) * scale, 60 * scale, strap, 2, scale, (255, 214, 120),
               shadow=(0, 10, 40))
    return c


def about_banner(scale=1):
    W, H = 230, 81
    c = Canvas(scaled_size(W, scale), scaled_size(H, scale), WHITE)
    s = Scaled(c, scale)
    s.mark(10, 9, 48, 62)
    word = "Velmora"
    ww, _ = text_size(word, 4)
    tx = 66 + (W - 66 - ww) // 2
    draw_title(c, tx * scale, 14 * scale, word, 4, scale, NAVY, shadow=(170, 190, 225), offset=2)
    strap = "pop-up window blocker"
    sw, _ = text_size(strap, 1)
    draw_title(c, (tx + (ww - sw) // 2) * scale, 52 * scale, strap, 1, scale, (90, 90, 90))
    return c


# ---------------------------------------------------------------------------
# File formats.


def ico_bytes(images):
    """images: canvases; each becomes a 32-bit BGRA DIB plus its AND mask."""
    blobs = []
    for img in images:
        w, h = img.w, img.h
        xor = bytearray()
        and_stride = ((w + 31) // 32) * 4
        andm = bytearray()
        for y in reversed(range(h)):
            row_bits = bytearray(and_stride)
            for x in range(w):
                c = img.px[y][x]
                if c is None:
                    xor += b"\0\0\0\0"
                    row_bits[x // 8] |= 0x80 >> (x % 8)
                else:
                    xor += bytes((c[2], c[1], c[0], 255))
            andm += row_bits
        header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, len(xor) + len(andm), 0, 0, 0, 0)
        blobs.append(header + bytes(xor) + bytes(andm))
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for img, blob in zip(images, blobs):
        out += struct.pack("<BBBBHHII", img.w % 256, img.h % 256, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    return out + b"".join(blobs)


def bmp_bytes(img):
    w, h = img.w, img.h
    stride = (w * 3 + 3) & ~3
    data = bytearray()
    for y in reversed(range(h)):
        row = bytearray()
        for x in range(w):
            r, g, b = img.px[y][x]
            row += bytes((b, g, r))
        data += row + b"\0" * (stride - len(row))
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return struct.pack("<2sIHHI", b"BM", 14 + 40 + len(data), 0, 0, 54) + info + bytes(data)


def png_bytes(img, background):
    raw = bytearray()
    for row in img.px:
        raw.append(0)
        for c in row:
            raw += bytes(background if c is None else c)

    def chunk(tag, body):
        return struct.pack(">I", len(body)) + tag + body + struct.pack(">I", zlib.crc32(tag + body) & 0xFFFFFFFF)

    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", img.w, img.h, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


# ---------------------------------------------------------------------------
# Reading the files back, so a broken writer is caught here rather than by
# the resource compiler or a blank button.


def check_ico(path, sizes):
    data = open(path, "rb").read()
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    assert (reserved, kind, count) == (0, 1, len(sizes)), path
    for i, size in enumerate(sizes):
        w, h, colours, _, planes, bits, length, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
        assert (w, h, colours, planes, bits) == (size, size, 0, 1, 32), path
        assert offset + length <= len(data), path
        hdr = struct.unpack_from("<IiiHHI", data, offset)
        assert hdr == (40, size, size * 2, 1, 32, 0), path
        xor_len = size * size * 4
        and_stride = ((size + 31) // 32) * 4
        assert length == 40 + xor_len + and_stride * size, path
        xor = data[offset + 40:offset + 40 + xor_len]
        andm = data[offset + 40 + xor_len:offset + length]
        opaque = 0
        for y in range(size):
            for x in range(size):
                b, g, r, a = xor[(y * size + x) * 4:(y * size + x) * 4 + 4]
                masked = andm[y * and_stride + x // 8] & (0x80 >> (x % 8))
                assert a in (0, 255), path
                assert (a == 0) == bool(masked), path
                assert a == 255 or (b, g, r) == (0, 0, 0), path
                opaque += a == 255
        assert opaque > 0, path
    assert offset + length == len(data), path


def check_bmp(path, w, h):
    data = open(path, "rb").read()
    magic, size, _, _, offset = struct.unpack_from("<2sIHHI", data, 0)
    hdr = struct.unpack_from("<IiiHHI", data, 14)
    assert (magic, size, offset) == (b"BM", len(data), 54), path
    assert hdr == (40, w, h, 1, 24, 0), path
    assert len(data) == 54 + ((w * 3 + 3) & ~3) * h, path


# ---------------------------------------------------------------------------


# The scales the program is drawn for (100, 125, 150, 175 and 200 %), as DPI.
PICTURE_DPIS = [96, 120, 144, 168, 192]
# Button, check-box and tray icons: 16 pixels at 100 %, the system's small
# icon size at each scale. The program icon also comes at the large icon
# size of each scale (32 at 100 %).
SMALL_SIZES = [16 * dpi // 96 for dpi in PICTURE_DPIS]
PROGRAM_SIZES = SMALL_SIZES + [32 * dpi // 96 for dpi in PICTURE_DPIS[1:]]


def bitmap_name(stem, dpi):
    """banner.bmp at 100 %, banner_125.bmp and so on."""
    return stem + ".bmp" if dpi == 96 else "%s_%d.bmp" % (stem, dpi * 100 // 96)


def pictures():
    started = [icon_started(size) for size in SMALL_SIZES]
    icons = {
        "program.ico": [icon_program(size) for size in PROGRAM_SIZES],
        "started.ico": started,
        "stopped.ico": [img.map(grey) for img in started],
    }
    for name, draw in (("hide", icon_hide), ("add", icon_add), ("remove", icon_remove),
                       ("save", icon_save), ("load", icon_load), ("append", icon_append),
                       ("new", icon_new), ("update", icon_update), ("tick", icon_tick),
                       ("cross", icon_cross)):
        icons[name + ".ico"] = [draw(size) for size in SMALL_SIZES]
    bitmaps = {}
    for dpi in PICTURE_DPIS:
        bitmaps[bitmap_name("banner", dpi)] = banner(dpi / 96.0)
        bitmaps[bitmap_name("about_banner", dpi)] = about_banner(dpi / 96.0)
    return icons, bitmaps


def enlarge(img, k):
    out = Canvas(img.w * k, img.h * k)
    out.px = [[img.px[y // k][x // k] for x in range(img.w * k)] for y in range(img.h * k)]
    return out


def preview_sheet(icons, bitmaps, zoom=4):
    """Each icon at every size, zoom times enlarged, one row per icon, then
    every bitmap at its own size, on a grey chequerboard so transparent pixels
    show."""
    gap = 8
    rows = [[enlarge(img, zoom) for img in imgs] for imgs in icons.values()]
    w = max([sum(img.w + gap for img in row) for row in rows] + [img.w for img in bitmaps.values()]) + gap
    h = sum(max(img.h for img in row) + gap for row in rows) + sum(img.h + gap for img in bitmaps.values()) + gap
    c = Canvas(w, h)
    y = gap
    for row in rows:
        x = gap
        for img in row:
            c.blit(img, x, y)
            x += img.w + gap
        y += max(img.h for img in row) + gap
    for img in bitmaps.values():
        c.blit(img, gap, y)
        y += img.h + gap
    for yy in range(c.h):
        for xx in range(c.w):
            if c.px[yy][xx] is None:
                c.px[yy][xx] = (200, 200, 200) if (xx // 4 + yy // 4) % 2 else (230, 230, 230)
    return c


# What the resource script and the dialogs expect; checked against the files
# as written, not against the canvases, so a drawing mistake cannot hide.
ICON_SIZES = {name: SMALL_SIZES for name in (
    "started.ico", "stopped.ico", "hide.ico", "add.ico", "remove.ico", "save.ico", "load.ico",
    "append.ico", "new.ico", "update.ico", "tick.ico", "cross.ico")}
ICON_SIZES["program.ico"] = PROGRAM_SIZES
# Each banner is its 100 % size times the scale, rounded to whole pixels.
BITMAP_SIZES = {}
for _dpi in PICTURE_DPIS:
    for _stem, (_w, _h) in (("banner", (364, 94)), ("about_banner", (230, 81))):
        BITMAP_SIZES[bitmap_name(_stem, _dpi)] = (_w * _dpi // 96 + (_w * _dpi % 96 >= 48),
                                                 _h * _dpi // 96 + (_h * _dpi % 96 >= 48))


def main(argv):
    if argv and not (len(argv) == 2 and argv[0] == "--preview"):
        sys.exit(__doc__)
    icons, bitmaps = pictures()
    assert sorted(icons) == sorted(ICON_SIZES) and sorted(bitmaps) == sorted(BITMAP_SIZES)
    os.makedirs(ART_DIR, exist_ok=True)
    for name, imgs in icons.items():
        with open(os.path.join(ART_DIR, name), "wb") as f:
            f.write(ico_bytes(imgs))
    for name, img in bitmaps.items():
        with open(os.path.join(ART_DIR, name), "wb") as f:
            f.write(bmp_bytes(img))
    for name, sizes in ICON_SIZES.items():
        check_ico(os.path.join(ART_DIR, name), sizes)
    for name, (w, h) in BITMAP_SIZES.items():
        check_bmp(os.path.join(ART_DIR, name), w, h)
    if argv:
        with open(argv[1], "wb") as f:
            f.write(png_bytes(preview_sheet(icons, bitmaps), (255, 0, 255)))


if __name__ == "__main__":
    main(sys.argv[1:])
