#!/usr/bin/env python3
"""Draws Velmora's icons and bitmaps into resources/art/.

The pictures live as code so they can be changed and reviewed like any other
source; the output is the same bytes on every run. Standard library only.

    python3 resources/draw_resources.py                 # write resources/art/
    python3 resources/draw_resources.py --preview x.png # also write a 4x sheet
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


def scale_bits(bits, k):
    """Enlarges a 0/1 bitmap k times. Where two pixels touch only at a corner
    the two empty blocks beside them get a triangle filled in, so diagonal
    strokes come out as smooth bars while square corners stay square (the
    usual Scale2x/3x rules round every corner and turn D into O)."""
    h, w = len(bits), len(bits[0])

    def at(x, y):
        return bits[y][x] if 0 <= x < w and 0 <= y < h else 0

    out = [[bits[y // k][x // k] for x in range(w * k)] for y in range(h * k)]
    for y in range(h):
        for x in range(w):
            if not at(x, y):
                continue
            for dx in (-1, 1):
                if not at(x + dx, y + 1) or at(x + dx, y) or at(x, y + 1):
                    continue
                # The two empty blocks share the pixel corner at (cx, cy).
                cx, cy = (x + (dx > 0)) * k, (y + 1) * k
                for bx, by in ((x + dx, y), (x, y + 1)):
                    for j in range(by * k, by * k + k):
                        for i in range(bx * k, bx * k + k):
                            if abs(i + 0.5 - cx) + abs(j + 0.5 - cy) < k:
                                out[j][i] = 1
    return out


def text_size(text, factor):
    bits = text_bitmap(text)
    return len(bits[0]) * factor, FONT_ROWS * factor


def draw_text(canvas, x, y, text, factor, colour, shadow=None, offset=1):
    """y is the top of the capitals; returns the drawn width."""
    bits = scale_bits(text_bitmap(text), factor)
    for layer, (dx, dy) in ((shadow, (offset, offset)), (colour, (0, 0))):
        if layer is None:
            continue
        for by, row in enumerate(bits):
            for bx, on in enumerate(row):
                if on:
                    canvas.put(x + bx + dx, y + by + dy, layer)
    return len(bits[0])


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


def draw_mark(c, x0, y0, w, h, halo=None):
    """Draws the shield into the box; halo gives a light rim for dark backgrounds."""
    shield = shield_shape(x0, y0, w, h)
    if halo is not None:
        grown = lambda x, y: any(shield(x + dx, y + dy) for dx, dy in
                                 ((-1.5, 0), (1.5, 0), (0, -1.5), (0, 1.5), (-1, -1), (1, 1), (-1, 1), (1, -1)))
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
# Parts shared by several icons.


def page(c, x0, y0, x1, y1, fold=3):
    """A white sheet (pixels x0..x1, y0..y1) with its top right corner folded."""
    body = polygon_mask([(x0, y0), (x1 + 1 - fold, y0), (x1 + 1, y0 + fold), (x1 + 1, y1 + 1), (x0, y1 + 1)],
                        c.w, c.h)
    c.shape(body, WHITE, PAGE_EDGE, shade=(236, 236, 236))
    fx = x1 - fold
    for i in range(fold):
        for j in range(i):  # stop short of the diagonal, which is the page's edge
            c.put(fx + j, y0 + i, PAGE_FOLD)
    c.line(fx, y0, fx, y0 + fold, PAGE_EDGE)
    c.line(fx, y0 + fold, x1, y0 + fold, PAGE_EDGE)


def text_lines(c, x0, x1, ys, colour=GREY_TEXT):
    for k, y in enumerate(ys):
        c.line(x0, y, x1 - (k % 2) * 2, y, colour)


def window(c, x0, y0, x1, y1, title_h):
    """A window frame with a gradient title bar over a white client area."""
    c.rect(x0, y0, x1, y1, WHITE)
    c.rect(x0 + 1, y0 + 1, x1 - 1, y0 + title_h, hgrad(x0, x1, NAVY, BLUE_LIGHT))
    c.frame(x0, y0, x1, y1, (64, 64, 64))


def cross_mark(c, x0, y0, x1, y1, r):
    arms = stroke_at([(x0, y0), (x1, y1)], r)
    arms2 = stroke_at([(x1, y0), (x0, y1)], r)
    c.shape(union(arms, arms2), lambda x, y: mix(RED_LIGHT, RED, (y - y0) / float(y1 - y0)), RED_DARK)


# ---------------------------------------------------------------------------
# The pictures.


def icon_program(size):
    c = Canvas(size, size)
    if size == 32:
        window(c, 0, 2, 25, 24, 4)
        c.rect(1, 7, 24, 9, FACE)  # address bar strip
        c.frame(3, 7, 22, 9, (128, 128, 128))
        c.rect(4, 8, 21, 8, WHITE)
        c.line(1, 10, 24, 10, (128, 128, 128))
        c.frame(19, 3, 21, 5, WHITE)  # close box
        text_lines(c, 3, 12, [13, 16, 19, 22])
        draw_mark(c, 13, 9, 19, 23)
    else:
        window(c, 0, 0, 11, 10, 2)
        text_lines(c, 2, 5, [5, 7, 9])
        draw_mark(c, 4, 3, 12, 13)
    return c


def icon_started():
    c = Canvas(16, 16)
    draw_mark(c, 1, 0, 14, 16)
    return c


def icon_hide():
    c = Canvas(16, 16)
    arrow = polygon_mask([(5, 1), (11, 1), (11, 7), (15, 7), (8, 15), (1, 7), (5, 7)], 16, 16)
    c.shape(arrow, hgrad(1, 15, BLUE_LIGHT, BLUE), NAVY, light=SKY)
    return c


def icon_add():
    c = Canvas(16, 16)
    page(c, 0, 0, 10, 14)
    text_lines(c, 2, 6, [4, 6, 8])
    # A bent arrow coming up from below and turning right, out of the page.
    bend = lambda x, y: x < 10 and y < 11 and ring_at(10, 11, 1, 5)(x, y)
    shaft = union(bend, rect_at(5, 11, 9, 16), rect_at(10, 6, 12, 10))
    head = polygon_mask([(11, 3.5), (16, 8), (11, 12.5)], 16, 16)
    c.shape(c.mask(shaft) | head, vgrad(4, 15, GREEN_LIGHT, GREEN), GREEN_DARK)
    return c


def icon_remove():
    c = Canvas(16, 16)
    page(c, 0, 0, 10, 14)
    text_lines(c, 2, 6, [4, 6, 8])
    cross_mark(c, 8.5, 8.5, 14.5, 14.5, 1.6)
    return c


def icon_save():
    c = Canvas(16, 16)
    body = polygon_mask([(1, 1), (14, 1), (15, 2), (15, 15), (1, 15)], 16, 16)
    c.shape(body, BLUE, NAVY, light=BLUE_LIGHT)
    c.rect(4, 1, 11, 7, WHITE)  # label
    c.frame(3, 1, 12, 8, NAVY)
    c.line(5, 3, 10, 3, GREY_TEXT)
    c.line(5, 5, 10, 5, GREY_TEXT)
    c.rect(5, 10, 11, 14, (200, 204, 212))  # metal shutter
    c.frame(4, 10, 11, 15, NAVY)
    c.rect(6, 11, 7, 13, (64, 72, 96))
    return c


def icon_load():
    c = Canvas(16, 16)
    right = polygon_mask([(3, 2), (10, 2), (10, 0), (15, 4), (10, 8), (10, 6), (3, 6)], 16, 16)
    left = polygon_mask([(13, 10), (6, 10), (6, 8), (1, 12), (6, 16), (6, 14), (13, 14)], 16, 16)
    c.shape(right, vgrad(0, 8, ORANGE_LIGHT, ORANGE), ORANGE_DARK)
    c.shape(left, vgrad(8, 16, BLUE_LIGHT, BLUE), NAVY)
    return c


def icon_append():
    c = Canvas(16, 16)
    page(c, 5, 0, 14, 10, fold=0)
    page(c, 3, 2, 12, 12, fold=0)
    page(c, 1, 4, 10, 15, fold=3)
    text_lines(c, 3, 7, [9, 11, 13])
    return c


def icon_new():
    c = Canvas(16, 16)
    page(c, 2, 0, 13, 15, fold=4)
    return c


def icon_update():
    c = Canvas(16, 16)
    window(c, 0, 1, 13, 12, 2)
    text_lines(c, 2, 7, [5, 7, 9])
    plus = union(rect_at(9, 6, 13, 16), rect_at(6, 9, 16, 13))
    c.shape(plus, vgrad(6, 15, GREEN_LIGHT, GREEN), GREEN_DARK)
    return c


def icon_tick():
    c = Canvas(16, 16)
    tick = stroke_at([(2.5, 8.5), (6.0, 12.0), (13.5, 3.5)], 1.9)
    c.shape(tick, vgrad(3, 14, GREEN_LIGHT, GREEN), GREEN_DARK)
    return c


def icon_cross():
    c = Canvas(16, 16)
    cross_mark(c, 3.5, 3.5, 12.5, 12.5, 1.9)
    return c


def banner():
    w, h = 364, 94
    c = Canvas(w, h)
    top, bottom = (14, 44, 120), (4, 20, 70)
    for y in range(h):
        for x in range(w):
            base = mix(top, bottom, y / float(h - 1))
            # A soft glow behind the shield keeps the left side from looking flat.
            d = math.hypot((x - 46) / 1.3, y - 47)
            c.px[y][x] = mix(base, (56, 110, 200), max(0.0, 1 - d / 120.0) * 0.8)
    c.rect(0, h - 3, w - 1, h - 3, (90, 140, 220))
    c.rect(0, h - 2, w - 1, h - 1, (6, 24, 80))
    draw_mark(c, 18, 12, 56, 68, halo=(200, 220, 250))

    title = "Draxtel Velmora"
    tw, _ = text_size(title, 3)
    tx = 88 + (w - 88 - tw) // 2
    draw_text(c, tx, 18, title, 3, vgrad(18, 39, WHITE, (190, 214, 255)), shadow=(0, 10, 40), offset=2)
    c.rect(tx, 52, tx + tw - 1, 52, (90, 140, 220))
    strap = "pop-up window blocker"
    sw, _ = text_size(strap, 2)
    draw_text(c, tx + (tw - sw) // 2, 60, strap, 2, (255, 214, 120), shadow=(0, 10, 40))
    return c


def about_banner():
    w, h = 230, 81
    c = Canvas(w, h, WHITE)
    draw_mark(c, 10, 9, 48, 62)
    word = "Velmora"
    ww, _ = text_size(word, 4)
    tx = 66 + (w - 66 - ww) // 2
    draw_text(c, tx, 14, word, 4, NAVY, shadow=(170, 190, 225), offset=2)
    strap = "pop-up window blocker"
    sw, _ = text_size(strap, 1)
    draw_text(c, tx + (ww - sw) // 2, 52, strap, 1, (90, 90, 90))
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


def pictures():
    started = icon_started()
    icons = {
        "program.ico": [icon_program(32), icon_program(16)],
        "started.ico": [started],
        "stopped.ico": [started.map(grey)],
        "hide.ico": [icon_hide()],
        "add.ico": [icon_add()],
        "remove.ico": [icon_remove()],
        "save.ico": [icon_save()],
        "load.ico": [icon_load()],
        "append.ico": [icon_append()],
        "new.ico": [icon_new()],
        "update.ico": [icon_update()],
        "tick.ico": [icon_tick()],
        "cross.ico": [icon_cross()],
    }
    bitmaps = {"banner.bmp": banner(), "about_banner.bmp": about_banner()}
    return icons, bitmaps


def enlarge(img, k):
    out = Canvas(img.w * k, img.h * k)
    out.px = [[img.px[y // k][x // k] for x in range(img.w * k)] for y in range(img.h * k)]
    return out


def preview_sheet(icons, bitmaps):
    """Every icon at 4x and 1x, then both bitmaps at 1x and 2x, on a grey
    chequerboard so transparent pixels show."""
    w = 760
    c = Canvas(w, 860)
    x, y = 8, 8
    for name, imgs in icons.items():
        for img in imgs:
            big = enlarge(img, 4)
            if x + big.w + 8 > w:
                x, y = 8, y + 140
            c.blit(big, x, y)
            c.blit(img, x, y + big.h + 4)
            x += big.w + 12
    y += 150
    for img in bitmaps.values():
        c.blit(img, 8, y)
        y += img.h + 8
    for img in bitmaps.values():
        if y + img.h * 2 <= c.h:
            c.blit(enlarge(img, 2), 8, y)
            y += img.h * 2 + 8
    for yy in range(c.h):
        for xx in range(c.w):
            if c.px[yy][xx] is None:
                c.px[yy][xx] = (200, 200, 200) if (xx // 4 + yy // 4) % 2 else (230, 230, 230)
    return c


# What the resource script and the dialogs expect; checked against the files
# as written, not against the canvases, so a drawing mistake cannot hide.
ICON_SIZES = {name: [16] for name in (
    "started.ico", "stopped.ico", "hide.ico", "add.ico", "remove.ico", "save.ico", "load.ico",
    "append.ico", "new.ico", "update.ico", "tick.ico", "cross.ico")}
ICON_SIZES["program.ico"] = [32, 16]
BITMAP_SIZES = {"banner.bmp": (364, 94), "about_banner.bmp": (230, 81)}


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
