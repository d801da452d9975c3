#!/usr/bin/env python3
"""Draws the editor's bitmaps, icons and cursors as pixel art and writes them next to this
script:

    toolbar.bmp    bitmap 300, the standard toolbar's images (16 x 16 cells, magenta transparent)
    shared.bmp     bitmap 301, the shared 16 x 16 image list
    docstate.bmp   bitmap 302, the document and output window images
    *_24.bmp       the same lists in 24 x 24 cells (150 %): bitmaps 303, 305, 307
    *_32.bmp       the same lists in 32 x 32 cells (200 %): bitmaps 304, 306, 308
    Quorvane.ico   icon 100, the main window
    document.ico   icon 101, the document frames
    split_h.cur    cursor 310, dragging a splitter left and right
    split_v.cur    cursor 311, dragging a splitter up and down

The build uses the written files; run this again (plain Python 3, no other modules) after
changing a picture. The output depends on nothing but this script.
"""

import math
import os
import struct

OUT_DIR = os.path.dirname(os.path.abspath(__file__))

MAGENTA = (255, 0, 255)

# The palette of the 16 x 16 images. '.' in a picture leaves the pixel as it is, '_' makes it
# transparent again.
PAL = {
    'K': (64, 64, 64),     # outline
    'W': (255, 255, 255),  # white
    'l': (236, 236, 236),  # lightest grey
    'L': (212, 212, 212),  # light grey
    'M': (160, 160, 160),  # mid grey
    'D': (112, 112, 112),  # dark grey
    'S': (36, 40, 48),     # dark screen
    'B': (0, 84, 166),     # blue
    'b': (110, 160, 220),  # light blue
    'c': (196, 220, 246),  # glass blue
    'Y': (255, 200, 60),   # yellow
    'y': (255, 228, 150),  # light yellow
    'O': (214, 150, 36),   # dark yellow
    'N': (168, 112, 56),   # brown
    'R': (200, 30, 30),    # red
    'r': (240, 130, 120),  # light red
    'G': (40, 140, 40),    # green
    'g': (140, 205, 120),  # light green
    'H': (20, 90, 20),     # dark green
    'q': (46, 130, 214),   # the letter of the program's icon, top
    'E': (0, 44, 96),      # its edge
}


def colour(c):
    if c is None or isinstance(c, tuple):
        return c
    return PAL[c]


# Pixels per pixel of the 16-pixel design grid of the picture being drawn: 1 for the 16 x 16
# images, 1.5 for 24 x 24, 2 for 32 x 32. Pictures are written on the 16-pixel grid; each size
# is drawn anew at its own resolution: shapes are evaluated per pixel of the size, lines keep a
# whole number of pixels, and fills cover the cells of the grid.
SCALE = [1.0]


class Img:
    """A paletted picture: every pixel an RGB tuple or None (transparent). Coordinates of the
    drawing calls are on the 16-pixel design grid; w, h and p are the real pixels."""

    def __init__(self, w=16, h=16, real=False):
        self.s = 1.0 if real else SCALE[0]
        self.w, self.h = (w, h) if real else (self.at(w), self.at(h))
        # Lines one design pixel wide: one pixel up to 150 %, two at 200 %.
        self.t = max(1, int(self.s))
        self.p = [[None] * self.w for _ in range(self.h)]

    def at(self, v):
        """The first real pixel of design coordinate v."""
        return int(math.floor(v * self.s + 0.5))

    def span(self, a, b):
        """The real pixels covering design pixels a..b (inclusive)."""
        return range(self.at(min(a, b)), self.at(max(a, b) + 1))

    def put(self, x, y, c):
        """Sets one real pixel."""
        if 0 <= x < self.w and 0 <= y < self.h:
            self.p[y][x] = c

    def px(self, x, y, c):
        c = colour(c)
        for yy in self.span(y, y):
            for xx in self.span(x, x):
                self.put(xx, yy, c)

    def get(self, x, y):
        xx, yy = self.at(x), self.at(y)
        if 0 <= xx < self.w and 0 <= yy < self.h:
            return self.p[yy][xx]
        return None

    def rect(self, x0, y0, x1, y1, c):
        """Fills x0..x1, y0..y1 (inclusive)."""
        c = colour(c)
        for y in self.span(y0, y1):
            for x in self.span(x0, x1):
                self.put(x, y, c)

    def frame(self, x0, y0, x1, y1, c='K'):
        """An outline on the outer pixels of x0..x1, y0..y1."""
        c = colour(c)
        xs, ys = self.span(x0, x1), self.span(y0, y1)
        for k in range(self.t):
            for x in xs:
                self.put(x, ys[0] + k, c)
                self.put(x, ys[-1] - k, c)
            for y in ys:
                self.put(xs[0] + k, y, c)
                self.put(xs[-1] - k, y, c)

    def box(self, x0, y0, x1, y1, fill, edge='K'):
        self.rect(x0, y0, x1, y1, fill)
        self.frame(x0, y0, x1, y1, edge)

    def hline(self, x0, x1, y, c):
        c = colour(c)
        y0 = self.at(y)
        for x in self.span(x0, x1):
            for k in range(self.t):
                self.put(x, y0 + k, c)

    def vline(self, x, y0, y1, c):
        c = colour(c)
        x0 = self.at(x)
        for y in self.span(y0, y1):
            for k in range(self.t):
                self.put(x0 + k, y, c)

    def line(self, x0, y0, x1, y1, c):
        """A line between the design pixels' first real pixels, drawn at the real size."""
        c = colour(c)
        ax, ay, bx, by = self.at(x0), self.at(y0), self.at(x1), self.at(y1)
        # The end pixel's cell is covered to its far side, as the design pixel was.
        n = self.at(1) - 1
        bx += n if bx > ax else -n if bx < ax else 0
        by += n if by > ay else -n if by < ay else 0
        dx, dy = abs(bx - ax), -abs(by - ay)
        sx, sy = (1 if ax < bx else -1), (1 if ay < by else -1)
        err = dx + dy
        while True:
            for k in range(self.t):
                if dx >= -dy:
                    self.put(ax, ay + k, c)
                else:
                    self.put(ax + k, ay, c)
            if ax == bx and ay == by:
                break
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                ax += sx
            if e2 <= dx:
                err += dx
                ay += sy

    def art(self, x, y, rows):
        """Draws a picture given as strings of palette letters."""
        for j, row in enumerate(rows):
            for i, ch in enumerate(row):
                if ch == '.':
                    continue
                self.px(x + i, y + j, None if ch == '_' else ch)

    def shape(self, inside, fill, edge='K'):
        """Fills the pixels for which inside(x, y) holds, tested at the centre of every real
        pixel (in design coordinates); those within a line's width of a pixel outside get the
        edge colour. fill may be a function of (x, y)."""
        s = self.s

        def design(v):
            return (v + 0.5) / s - 0.5

        pts = {(x, y) for y in range(self.h) for x in range(self.w)
               if inside(design(x), design(y))}
        t = self.t
        near = [(dx, dy) for dy in range(-t, t + 1) for dx in range(-t, t + 1)
                if abs(dx) + abs(dy) <= t and (dx or dy)]
        for (x, y) in pts:
            border = any((x + dx, y + dy) not in pts for dx, dy in near)
            if border and edge is not None:
                self.put(x, y, colour(edge))
            else:
                self.put(x, y, colour(fill(design(x), design(y)) if callable(fill) else fill))

    def blit(self, other, ox, oy):
        bx, by = self.at(ox), self.at(oy)
        for y in range(other.h):
            for x in range(other.w):
                if other.p[y][x] is not None:
                    self.put(bx + x, by + y, other.p[y][x])

    def blank(self, w, h):
        out = Img(w, h, real=True)
        out.s, out.t = self.s, self.t
        return out

    def flipped(self):
        out = self.blank(self.w, self.h)
        for y in range(self.h):
            out.p[y] = list(reversed(self.p[y]))
        return out

    def flipped_v(self):
        out = self.blank(self.w, self.h)
        out.p = [list(r) for r in reversed(self.p)]
        return out

    def transposed(self):
        out = self.blank(self.h, self.w)
        for y in range(self.h):
            for x in range(self.w):
                out.p[x][y] = self.p[y][x]
        return out


def overlay(c, img, x, y, rim='W'):
    """Draws img at (x, y) with a rim of one line's width where it covers the picture below,
    so that a small sign stays apart from what it is drawn on."""
    bx, by = c.at(x), c.at(y)
    if rim is not None:
        rim = colour(rim)
        t = c.t
        for j in range(-t, img.h + t):
            for i in range(-t, img.w + t):
                inside = 0 <= i < img.w and 0 <= j < img.h
                if inside and img.p[j][i] is not None:
                    continue
                X, Y = bx + i, by + j
                if not (0 <= X < c.w and 0 <= Y < c.h) or c.p[Y][X] is None:
                    continue
                near = any(0 <= i + dx < img.w and 0 <= j + dy < img.h and
                           img.p[j + dy][i + dx] is not None
                           for dy in range(-t, t + 1) for dx in range(-t, t + 1))
                if near:
                    c.put(X, Y, rim)
    c.blit(img, x, y)


def sprite(rows):
    img = Img(max(len(r) for r in rows), len(rows))
    img.art(0, 0, rows)
    return img


def drawn(fn, *args):
    img = Img()
    fn(img, *args)
    return img


# ---------------------------------------------------------------------------------------------
# Pieces the pictures share.

def page(c, x0, y0, x1, y1, f=3, fill='W'):
    """A sheet of paper with its top right corner folded over by f pixels."""
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            d = x1 - f + (y - y0)  # the fold's diagonal on this row
            if y < y0 + f and x > d:
                continue
            if y < y0 + f and x == d:
                c.px(x, y, 'K')
            elif y == y0 + f and x >= x1 - f:
                c.px(x, y, 'K')
            elif y < y0 + f and x >= x1 - f:
                c.px(x, y, 'K' if x == x1 - f else 'L')
            elif x in (x0, x1) or y in (y0, y1):
                c.px(x, y, 'K')
            else:
                c.px(x, y, fill)


def text_lines(c, x0, rows, col='M'):
    """Grey lines of text: rows is a list of (y, length)."""
    for y, n in rows:
        c.hline(x0, x0 + n - 1, y, col)


def text_page(c):
    page(c, 2, 0, 13, 15, 4)
    text_lines(c, 4, [(3, 4), (6, 8), (8, 7), (10, 8), (12, 5)])


def small_page(c, x, y, w=9, h=12, lines=True):
    page(c, x, y, x + w - 1, y + h - 1, 3)
    if lines:
        for yy in range(y + 5, y + h - 2, 2):
            c.hline(x + 2, x + w - 3, yy, 'M')
        c.hline(x + 2, x + w - 6, y + 3, 'M')


def folder(c, x0, y0, x1, y1):
    """A closed folder with its tab at the top left."""
    tab = max(3, (x1 - x0) // 3)
    c.hline(x0 + 1, x0 + tab, y0, 'K')
    c.px(x0, y0 + 1, 'K')
    c.hline(x0 + 1, x0 + tab, y0 + 1, 'Y')
    c.hline(x0 + tab + 1, x1 - 1, y0 + 1, 'K')
    c.rect(x0, y0 + 2, x1, y1, 'Y')
    c.hline(x0 + 1, x1 - 1, y0 + 2, 'y')
    c.hline(x0 + 1, x1 - 1, y1 - 1, 'O')
    c.vline(x0, y0 + 1, y1, 'K')
    c.vline(x1, y0 + 2, y1, 'K')
    c.hline(x0, x1, y1, 'K')


OPEN_FOLDER = [
    "................",
    "................",
    ".KKKK...........",
    "KOOOOKKKKKKKKK..",
    "KOOOOOOOOOOOOK..",
    "KOOOOOOOOOOOOK..",
    "KOOOOOOOOOOOOK..",
    "KOOOKKKKKKKKKKKK",
    "KOOKyyyyyyyyyyyK",
    "KOOKYYYYYYYYYYK.",
    "KOKYYYYYYYYYYYK.",
    "KOKYYYYYYYYYYK..",
    "KKYYYYYYYYYYYK..",
    "KKKKKKKKKKKKKK..",
    "................",
    "................",
]


def window(c, x0, y0, x1, y1, title='B', body='W'):
    c.box(x0, y0, x1, y1, body)
    c.hline(x0 + 1, x1 - 1, y0 + 1, title)
    if y1 - y0 >= 8:
        c.hline(x0 + 1, x1 - 1, y0 + 2, title)


def disc(cx, cy, r):
    return lambda x, y: (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= r * r


def magnifier(c, cx, cy, r, handle):
    """A magnifying glass: lens centre (cx, cy) and radius r, the handle going to the bottom
    right for handle pixels."""
    k = math.sqrt(0.5)

    def in_handle(x, y):
        dx, dy = x + 0.5 - cx, y + 0.5 - cy
        u, v = (dx + dy) * k, (dx - dy) * k
        return r - 1.0 <= u <= r + handle and abs(v) <= 1.3

    c.shape(in_handle, 'D')

    def glass(x, y):
        dx, dy = x + 0.5 - cx, y + 0.5 - cy
        if dx + dy < -r * 0.75 and dx * dx + dy * dy > (r * 0.35) ** 2:
            return 'W'
        return 'c' if dx + dy < r * 0.55 else 'b'

    c.shape(disc(cx, cy, r), glass)


def big_magnifier(c):
    magnifier(c, 6.5, 6.5, 5.8, 6.2)


def small_magnifier(c, x, y):
    """A magnifier 10 pixels square at (x, y), with a white rim over the picture below."""
    img = Img(10, 10)
    magnifier(img, 4.0, 4.0, 3.9, 3.6)
    overlay(c, img, x, y)


ARROW_RIGHT = [
    "...G...",
    "...GG..",
    "GGGGGG.",
    "GGGGGGG",
    "GGGGGG.",
    "...GG..",
    "...G...",
]


def arrow(c, x, y, direction, col='G'):
    """A 7 x 7 arrow pointing 'left', 'right', 'up' or 'down'."""
    img = Img(7, 7)
    img.art(0, 0, [r.replace('G', col) for r in ARROW_RIGHT])
    if direction == 'left':
        img = img.flipped()
    elif direction == 'down':
        img = img.transposed()
    elif direction == 'up':
        img = img.transposed().flipped_v()
    c.blit(img, x, y)


FONT = {
    'A': [".KK.", "K..K", "KKKK", "K..K", "K..K"],
    'B': ["KKK.", "K..K", "KKK.", "K..K", "KKK."],
    '1': [".K.", "KK.", ".K.", ".K.", "KKK"],
    '2': ["KK.", "..K", ".K.", "K..", "KKK"],
}


def glyph(c, x, y, ch, col='K'):
    c.art(x, y, [r.replace('K', col) for r in FONT[ch]])


def a_to_b(c, x, y):
    """"A -> B" in 14 x 5 pixels."""
    glyph(c, x, y, 'A', 'B')
    c.art(x + 5, y, ["..D.", "...D", "DDDD", "...D", "..D."])
    glyph(c, x + 10, y, 'B', 'R')


def red_x(c, x, y):
    """A bold red cross, 8 pixels square."""
    c.art(x, y, [
        "RR....RR",
        "RRR..RRR",
        ".RRRRRR.",
        "..RRRR..",
        "..RRRR..",
        ".RRRRRR.",
        "RRR..RRR",
        "RR....RR",
    ])


MARKER = [
    ".KKKKKK.",
    "KbbbbbbK",
    "KbBBBBBK",
    "KbBBBBBK",
    "KBBBBBBK",
    ".KKKKKK.",
]


def marker(c, x, y):
    c.art(x, y, MARKER)


def gear(c, cx, cy, r_out, r_body, r_hole, teeth=8, width=1.6, fill='M'):
    """A cog wheel: a disc of radius r_body with teeth reaching r_out and a hole."""
    def inside(x, y):
        dx, dy = x + 0.5 - cx, y + 0.5 - cy
        d = math.hypot(dx, dy)
        if d <= r_hole:
            return False
        if d <= r_body:
            return True
        for t in range(teeth):
            a = 2 * math.pi * t / teeth
            u = dx * math.cos(a) + dy * math.sin(a)
            v = -dx * math.sin(a) + dy * math.cos(a)
            if 0 < u <= r_out and abs(v) <= width:
                return True
        return False

    def shade(x, y):
        return 'L' if (x + 0.5 - cx) + (y + 0.5 - cy) < -1.0 else fill

    c.shape(inside, shade)


PADLOCK = [
    "..KKK..",
    ".K...K.",
    ".K...K.",
    "KKKKKKK",
    "KYYYYYK",
    "KYYKYYK",
    "KOOOOOK",
    "KKKKKKK",
]

CLOCK = [
    "...BBB...",
    ".BBWWWBB.",
    ".BWWKWWB.",
    "BWWWKWWWB",
    "BWWWKKKWB",
    "BWWWWWWWB",
    ".BWWWWWB.",
    ".BBWWWBB.",
    "...BBB...",
]


# ---------------------------------------------------------------------------------------------
# The pictures.

def p_new(c):
    page(c, 2, 0, 13, 15, 4)
    c.art(0, 0, [
        "..O..",
        ".OYO.",
        "OYWYO",
        ".OYO.",
        "..O..",
    ])


def p_open(c):
    c.art(0, 0, OPEN_FOLDER)


def p_reload(c):
    page(c, 1, 0, 12, 15, 4)
    text_lines(c, 3, [(3, 4), (6, 7), (8, 4)])
    overlay(c, sprite([
        "...GGGGG...",
        "..GGGGGGG..",
        ".GGG...GGG.",
        ".GG.....GG.",
        "GG...GGGGGG",
        "GG....GGGG.",
        "GG.....GG..",
        ".GG........",
        ".GGG.......",
        "..GGGG.....",
        "...GGG.....",
    ]), 5, 5)


FLOPPY = [
    "KKKKKKKKKKKKKK",
    "KBBKLLLDDLLKBK",
    "KBBKLLLDDLLKBK",
    "KBBKLLLDDLLKBK",
    "KBBKKKKKKKKKBK",
    "KBBBBBBBBBBBBK",
    "KBBBBBBBBBBBBK",
    "KBKKKKKKKKKKBK",
    "KBKWWWWWWWWKBK",
    "KBKWMMMMMMWKBK",
    "KBKWWWWWWWWKBK",
    "KBKWMMMMMMWKBK",
    "KBKWWWWWWWWKBK",
    "KKKKKKKKKKKKKK",
]

SMALL_FLOPPY = [
    "KKKKKKKKKKK",
    "KBKLLDDLKBK",
    "KBKLLDDLKBK",
    "KBKKKKKKKBK",
    "KBBBBBBBBBK",
    "KBKKKKKKKBK",
    "KBKWWWWWKBK",
    "KBKWMMMWKBK",
    "KBKWWWWWKBK",
    "KBKWWWWWKBK",
    "KKKKKKKKKKK",
]


def p_save(c):
    c.art(1, 1, FLOPPY)


def p_save_all(c):
    c.art(0, 0, SMALL_FLOPPY)
    c.art(5, 5, SMALL_FLOPPY)


def p_print_preview(c):
    page(c, 1, 0, 12, 15, 4)
    text_lines(c, 3, [(3, 4), (6, 7), (8, 7), (10, 4), (12, 6)])
    small_magnifier(c, 6, 6)


PRINTER = [
    "................",
    "....KKKKKKKK....",
    "....KWWWWWWK....",
    "....KWMMMMWK....",
    "....KWWWWWWK....",
    "..KKKKKKKKKKKK..",
    ".KLLLLLLLLLLLLK.",
    "KLWWWWWWWWWWWWLK",
    "KLLLLLLLLLLLGGLK",
    "KLLLLLLLLLLLLLLK",
    "KMMMMMMMMMMMMMMK",
    "KMMKKKKKKKKKKMMK",
    "KKKKWWWWWWWWKKKK",
    "...KWMMMMMMWK...",
    "...KWWWWWWWWK...",
    "...KKKKKKKKKK...",
]


def p_print(c):
    c.art(0, 0, PRINTER)


def p_copy(c):
    small_page(c, 1, 0)
    small_page(c, 6, 4)


def p_cut(c):
    c.art(0, 0, [
        "....K......K....",
        "....KL....LK....",
        ".....KL..LK.....",
        ".....KL..LK.....",
        "......KLLK......",
        "......KLLK......",
        ".......KK.......",
        "......RKKR......",
        ".....RR..RR.....",
        "..RRRRR..RRRRR..",
        ".RRr.RR..RR.rRR.",
        ".RR...R..R...RR.",
        ".RR...R..R...RR.",
        ".RRR.RR..RR.RRR.",
        "..RRRR....RRRR..",
        "................",
    ])


def p_paste(c):
    c.art(0, 0, [
        "....KKKK........",
        ".KKKKMMKKKK.....",
        "KNNKMLLMKNNK....",
        "KNNKKKKKKNNK....",
        "KNNNNNNNNNNK....",
        "KNNNNNNNNNNK....",
        "KNNNNN..........",
        "KNNNNN..........",
        "KNNNNN..........",
        "KNNNNN..........",
        "KNNNNN..........",
        "KNNNNN..........",
        "KNNNNN..........",
        "KNNNNN..........",
        "KKKKKK..........",
        "................",
    ])
    page(c, 6, 5, 15, 15, 3)
    text_lines(c, 8, [(7, 3), (10, 6), (12, 6)])


def p_delete(c):
    # Bounds half a pixel out from the cells' centres, so that every size covers the cells.
    def inside(x, y):
        if not (1.5 <= x <= 13.5 and 1.5 <= y <= 13.5):
            return False
        return abs(x - y) <= 1.5 or abs(x + y - 15) <= 1.5

    c.shape(inside, 'R', edge=None)


UNDO = [
    "................",
    "................",
    "....B...........",
    "...BB...........",
    "..BbbbbbbbB.....",
    ".BbBBBBBBBBBB...",
    "..BBBBBBBBBBBB..",
    "...BB.....BBBBB.",
    "....B......BBBB.",
    "............BBB.",
    "............BBB.",
    "...........BBBB.",
    ".........BBBBB..",
    "......BBBBBB....",
    "......BBBB......",
    "................",
]


def p_undo(c):
    c.art(0, 0, UNDO)


def p_redo(c):
    img = Img()
    img.art(0, 0, UNDO)
    c.blit(img.flipped(), 0, 0)


def p_find(c):
    big_magnifier(c)


def p_find_prev(c):
    magnifier(c, 9.5, 5.5, 4.6, 3.6)
    arrow(c, 0, 9, 'left')


def p_find_next(c):
    magnifier(c, 5.5, 5.5, 4.6, 3.6)
    arrow(c, 9, 9, 'right')


def p_replace(c):
    magnifier(c, 5.0, 4.5, 4.0, 2.6)
    a_to_b(c, 2, 11)


def p_find_in_files(c):
    folder(c, 0, 1, 12, 12)
    small_magnifier(c, 6, 6)


def p_replace_in_files(c):
    folder(c, 1, 0, 14, 9)
    a_to_b(c, 2, 11)


def p_bookmark(c):
    c.hline(1, 14, 2, 'M')
    c.hline(10, 14, 8, 'D')
    c.hline(1, 14, 13, 'M')
    marker(c, 1, 5)


def p_next_bookmark(c):
    marker(c, 0, 1)
    c.hline(0, 7, 10, 'M')
    c.hline(0, 7, 13, 'M')
    arrow(c, 9, 6, 'down')


def p_prev_bookmark(c):
    c.hline(0, 7, 2, 'M')
    c.hline(0, 7, 5, 'M')
    marker(c, 0, 9)
    arrow(c, 9, 2, 'up')


def p_clear_bookmarks(c):
    marker(c, 0, 1)
    marker(c, 0, 9)
    red_x(c, 8, 4)


def p_cascade(c):
    window(c, 0, 0, 9, 7)
    window(c, 3, 4, 12, 11)
    window(c, 6, 8, 15, 15)


def p_tile_h(c):
    window(c, 0, 1, 15, 7)
    window(c, 0, 8, 15, 14)


def p_tile_v(c):
    window(c, 0, 1, 7, 14)
    window(c, 8, 1, 15, 14)


def p_split(c):
    window(c, 0, 1, 15, 14)
    c.hline(1, 14, 7, 'M')
    c.hline(1, 14, 8, 'K')
    text_lines(c, 2, [(5, 9), (11, 11)])


def p_line_numbers(c):
    c.rect(0, 0, 5, 15, 'l')
    c.vline(5, 0, 15, 'M')
    glyph(c, 1, 2, '1', 'B')
    glyph(c, 1, 9, '2', 'B')
    text_lines(c, 7, [(4, 8), (11, 6)], 'D')


def p_ruler(c):
    c.box(0, 1, 15, 7, 'y')
    for x in range(2, 15, 2):
        c.vline(x, 5 if x % 4 else 3, 6, 'K')
    text_lines(c, 1, [(10, 13), (13, 9)], 'D')


def p_line_breaks(c):
    c.art(3, 1, [
        "..BBBBBBBB",
        ".BBBBBB.BB",
        "BBBBBBB.BB",
        "BBBBBBB.BB",
        "BBBBBBB.BB",
        ".BBBBBB.BB",
        "..BBBBB.BB",
        ".....BB.BB",
        ".....BB.BB",
        ".....BB.BB",
        ".....BB.BB",
        ".....BB.BB",
        ".....BB.BB",
        ".....BB.BB",
    ])


def p_tabs_spaces(c):
    c.art(1, 4, [
        "BB.BB...",
        ".BB.BB..",
        "..BB.BB.",
        "...BB.BB",
        "...BB.BB",
        "..BB.BB.",
        ".BB.BB..",
        "BB.BB...",
    ])
    c.rect(10, 7, 11, 8, 'B')
    c.rect(13, 7, 14, 8, 'B')


def p_full_screen(c):
    c.box(0, 1, 15, 14, 'c')
    corner = ["BBBB", "BBB.", "BB.B", "B..."]
    img = Img(4, 4)
    img.art(0, 0, corner)
    c.blit(img, 2, 3)
    c.blit(img.flipped(), 10, 3)
    c.blit(img.flipped_v(), 2, 9)
    c.blit(img.flipped().flipped_v(), 10, 9)


def p_workspace(c):
    window(c, 0, 1, 15, 14)
    c.rect(1, 4, 5, 13, 'c')
    c.vline(6, 4, 13, 'K')
    for y in (6, 8, 10):
        c.hline(2, 4, y, 'B')
    text_lines(c, 8, [(6, 5), (8, 6), (10, 4)])


def p_output(c):
    window(c, 0, 1, 15, 14)
    text_lines(c, 2, [(5, 9), (7, 7)])
    c.hline(1, 14, 9, 'K')
    c.rect(1, 10, 14, 13, 'L')
    c.hline(2, 10, 11, 'D')


def p_word_wrap(c):
    c.art(0, 0, [
        "................",
        "................",
        ".DDDDDDDDDDDDD..",
        "................",
        "................",
        ".DDDDDDDBBBBBB..",
        "........BBBBBBB.",
        ".............BB.",
        ".............BB.",
        "......B.....BBB.",
        ".....BBBBBBBBBB.",
        "....BBBBBBBBBB..",
        ".....BB.........",
        "......B.........",
        ".DDD............",
        "................",
    ])


def p_settings(c):
    gear(c, 8, 8, 7.6, 5.3, 2.2)


def p_about(c):
    c.shape(disc(8, 8, 7.5), 'B', edge=(0, 52, 110))
    c.art(7, 3, ["WW", "WW", "..", "WW", "WW", "WW", "WW", "WW", "WW"])
    c.px(6, 6, 'W')
    c.hline(6, 9, 12, 'W')


def p_file_tree(c):
    small = ["KKK....", "KYYKKKK", "KYYYYYK", "KYYYYYK", "KKKKKKK"]
    c.art(0, 0, small)
    for y in range(5, 14, 2):
        c.px(2, y, 'D')
    for x in (4, 6):
        c.px(x, 7, 'D')
        c.px(x, 13, 'D')
    c.art(8, 5, small)
    c.art(8, 11, small)


def p_clip_text(c):
    c.art(0, 0, [
        "....KKKKKK......",
        ".KKKKMMMMKKKK...",
        "KNNKMLLLLMKNNK..",
        "KNNKKKKKKKKNNK..",
        "KNWWWWWWWWWWNK..",
        "KNWWWWWWWWWWNK..",
        "KNWWWWWWWWWWNK..",
        "KNWWWWWWWWWWNK..",
        "KNWWWWWWWWWWNK..",
        "KNWWWWWWWWWWNK..",
        "KNWWWWWWWWWWNK..",
        "KNWWWWWWWWWWNK..",
        "KNWWWWWWWWWWNK..",
        "KNNNNNNNNNNNNK..",
        "KKKKKKKKKKKKKK..",
        "................",
    ])
    text_lines(c, 3, [(5, 8), (7, 6), (9, 8), (11, 5)], 'D')


def p_text_doc(c):
    text_page(c)


def p_general(c):
    window(c, 0, 1, 15, 14)
    c.art(3, 5, [
        "........G",
        ".......GG",
        "G.....GG.",
        "GG...GG..",
        ".GG.GG...",
        "..GGG....",
        "...G.....",
    ])


def p_fonts(c):
    c.art(0, 3, [
        "....KK....",
        "...KKKK...",
        "...KKKK...",
        "..KK..KK..",
        "..KK..KK..",
        ".KKKKKKKK.",
        ".KKKKKKKK.",
        ".KK....KK.",
        "KK......KK",
        "KK......KK",
    ])
    c.art(11, 7, [
        ".BBB.",
        "....B",
        ".BBBB",
        "B...B",
        "B..BB",
        ".BB.B",
    ])


def p_printing(c):
    p_print(c)


def p_files(c):
    folder(c, 0, 3, 12, 14)
    small_page(c, 7, 4, 9, 12)


def p_editor(c):
    page(c, 2, 0, 13, 15, 4)
    c.hline(4, 7, 3, 'B')
    c.hline(4, 10, 6, 'B')
    c.hline(6, 11, 8, 'G')
    c.hline(6, 9, 10, 'R')
    c.hline(6, 11, 12, 'D')
    c.hline(4, 5, 12, 'B')


def p_backup(c):
    page(c, 1, 0, 11, 14, 3)
    text_lines(c, 3, [(3, 3), (5, 7), (7, 6), (9, 4), (11, 3)])
    overlay(c, sprite(CLOCK), 7, 7)


def p_toolbar_page(c):
    c.box(0, 3, 15, 12, 'L')
    c.hline(1, 14, 4, 'W')
    for i, col in enumerate(('B', 'G', 'R')):
        x = 2 + i * 4
        c.box(x, 5, x + 3, 10, 'W', 'D')
        c.rect(x + 1, 7, x + 2, 8, col)


def p_keyboard(c):
    c.box(0, 4, 15, 12, 'L')
    c.hline(1, 14, 5, 'W')
    for x in range(2, 14, 2):
        c.px(x, 7, 'K')
    for x in range(3, 14, 2):
        c.px(x, 9, 'K')
    c.hline(4, 11, 11, 'K')
    c.px(2, 11, 'K')
    c.px(13, 11, 'K')


def p_tools(c):
    k = math.sqrt(0.5)

    def axes(x, y):
        dx, dy = x + 0.5 - 8, y + 0.5 - 8
        return (dx - dy) * k, (dx + dy) * k

    def handle(x, y):
        u, v = axes(x, y)
        return -9.5 <= u <= 3 and abs(v) <= 1.5

    def head(x, y):
        u, v = axes(x, y)
        return 2.2 <= u <= 6.6 and -5.2 <= v <= 3.4

    c.shape(lambda x, y: handle(x, y) and not head(x, y), 'N')
    c.shape(head, lambda x, y: 'L' if axes(x, y)[0] < 4.0 else 'M')


def p_open_folder(c):
    p_open(c)


def p_modified(c):
    text_page(c)
    c.shape(disc(11.5, 11.5, 3.6), 'R', edge=(140, 20, 20))
    c.px(10, 10, 'r')


def p_read_only(c):
    page(c, 1, 0, 12, 15, 4)
    text_lines(c, 3, [(3, 4), (6, 7), (8, 6), (10, 3)])
    overlay(c, sprite(PADLOCK), 8, 8)


def p_console(c):
    c.box(0, 1, 15, 14, 'S')
    c.hline(1, 14, 2, 'M')
    c.hline(1, 14, 3, 'K')
    c.art(2, 5, ["W..", ".W.", "..W", ".W.", "W.."])
    c.hline(6, 9, 9, 'W')
    c.hline(2, 11, 12, 'D')


def p_search_results(c):
    for i, y in enumerate((1, 5, 9, 13)):
        c.rect(0, y, 1, y + 1, 'B')
        c.hline(3, 12 if i < 2 else 6, y, 'D')
    small_magnifier(c, 6, 6)


def p_tool_run(c):
    gear(c, 6.5, 6.5, 6.6, 4.6, 1.7, width=1.5)
    overlay(c, sprite([
        "H....",
        "HH...",
        "HgH..",
        "HggH.",
        "HgggH",
        "HggH.",
        "HgH..",
        "HH...",
        "H....",
    ]), 10, 7)


TOOLBAR = [
    p_new, p_open, p_reload, p_save, p_save_all, p_print_preview, p_print, p_copy, p_cut,
    p_paste, p_delete, p_undo, p_redo, p_find, p_find_prev, p_find_next, p_replace,
    p_find_in_files, p_replace_in_files, p_bookmark, p_next_bookmark, p_prev_bookmark,
    p_clear_bookmarks, p_cascade, p_tile_h, p_tile_v, p_split, p_line_numbers, p_ruler,
    p_line_breaks, p_tabs_spaces, p_full_screen, p_workspace, p_output, p_word_wrap,
    p_settings, p_about,
]

SHARED = TOOLBAR[:28] + [p_file_tree, p_clip_text] + TOOLBAR[30:37] + [
    p_text_doc, p_general, p_fonts, p_printing, p_files, p_editor, p_backup, p_toolbar_page,
    p_keyboard, p_tools, p_open_folder,
]

DOCSTATE = [p_text_doc, p_modified, p_read_only, p_console, p_search_results, p_tool_run]


def strip(fns):
    out = Img(16 * len(fns), 16)
    for i, fn in enumerate(fns):
        out.blit(drawn(fn), 16 * i, 0)
    return out


# ---------------------------------------------------------------------------------------------
# Icons: drawn with soft edges on a transparent canvas.

class Canvas:
    """RGBA floats, straight alpha."""

    def __init__(self, n):
        self.n = n
        self.p = [[(0.0, 0.0, 0.0, 0.0)] * n for _ in range(n)]

    def over(self, x, y, rgb, a):
        if a <= 0 or not (0 <= x < self.n and 0 <= y < self.n):
            return
        r0, g0, b0, a0 = self.p[y][x]
        ao = a + a0 * (1 - a)
        mix = lambda s, d: (s * a + d * a0 * (1 - a)) / ao
        self.p[y][x] = (mix(rgb[0], r0), mix(rgb[1], g0), mix(rgb[2], b0), ao)

    def fill(self, inside, col, ss=4):
        """Covers the area where inside(x, y) holds (continuous coordinates, pixel (i, j) is
        the square i..i+1, j..j+1); col is an RGB tuple or a function of (x, y)."""
        for j in range(self.n):
            for i in range(self.n):
                hits = 0
                for sj in range(ss):
                    for si in range(ss):
                        if inside(i + (si + 0.5) / ss, j + (sj + 0.5) / ss):
                            hits += 1
                if hits:
                    c = col(i + 0.5, j + 0.5) if callable(col) else col
                    self.over(i, j, c, hits / (ss * ss))


def lerp(a, b, t):
    t = max(0.0, min(1.0, t))
    return tuple(a[k] + (b[k] - a[k]) * t for k in range(3))


OUTLINE = (64, 64, 64)
PAPER_TOP = (255, 255, 255)
PAPER_BOTTOM = (226, 232, 240)
FOLD = (206, 212, 222)
LINE = (150, 160, 176)


def icon_page(cv, x0, y0, x1, y1, f, lines):
    """A page between x0..x1, y0..y1 (pixel edges) with a folded corner of f pixels."""

    def sheet(inset):
        return lambda x, y: (x0 + inset <= x <= x1 - inset and y0 + inset <= y <= y1 - inset
                             and (x - (x1 - f)) - (y - y0) <= -inset * 0.41)

    cv.fill(sheet(0), OUTLINE)
    cv.fill(sheet(1), lambda x, y: lerp(PAPER_TOP, PAPER_BOTTOM, (y - y0) / (y1 - y0)))
    # the fold
    cv.fill(lambda x, y: x1 - f <= x <= x1 and y0 <= y <= y0 + f and (x - (x1 - f)) <= (y - y0),
            OUTLINE)
    cv.fill(lambda x, y: x1 - f + 1 <= x <= x1 - 1.4 and y0 + 1.4 <= y <= y0 + f - 1
            and (x - (x1 - f)) <= (y - y0) - 1.4, FOLD)
    for (y, xa, xb, col) in lines:
        cv.fill(lambda x, yy, xa=xa, xb=xb, y=y: xa <= x <= xb and y <= yy <= y + 1, col)


def capsule(ax, ay, bx, by, r):
    def inside(x, y):
        vx, vy = bx - ax, by - ay
        t = max(0.0, min(1.0, ((x - ax) * vx + (y - ay) * vy) / (vx * vx + vy * vy)))
        return math.hypot(x - ax - t * vx, y - ay - t * vy) <= r
    return inside


def ring(cx, cy, r_out, r_in):
    return lambda x, y: r_in <= math.hypot(x - cx, y - cy) <= r_out


Q_LIGHT = (46, 130, 214)
Q_DARK = (0, 70, 146)
Q_EDGE = (0, 44, 96)
NIB = (255, 200, 60)
NIB_EDGE = (150, 96, 10)


Q_SMALL = [
    "....EEE....",
    "..EEqqqEE..",
    ".EqqqqqqqE.",
    ".EqqEEEqqE.",
    "EqqEWWWEqqE",
    "EBBEWWWEBBE",
    "EBBEWWWEBBE",
    ".EBBEEEBBE.",
    ".EBBBBBBBE.",
    "..EEBBBEE..",
    "....EEE....",
]

Q_TAIL_SMALL = [
    "KKK..",
    "KYYK.",
    "KOYYK",
    ".KOYY",
    "..KOY",
]


def to_canvas(img):
    cv = Canvas(img.w)
    for y in range(img.h):
        for x in range(img.w):
            if img.p[y][x] is not None:
                cv.p[y][x] = tuple(float(v) for v in img.p[y][x]) + (1.0,)
    return cv


def main_icon(n):
    if n == 16:
        # drawn pixel by pixel: soft edges would blur at this size
        img = Img()
        page(img, 0, 0, 10, 15, 3)
        text_lines(img, 2, [(3, 4), (5, 6), (7, 3), (9, 2), (11, 2), (13, 2)])
        overlay(img, sprite(Q_SMALL), 4, 3)
        img.art(11, 11, Q_TAIL_SMALL)
        return to_canvas(img)
    cv = Canvas(n)
    rows = [(7, 12), (10, 14), (13, 14), (16, 7), (19, 5), (22, 5), (25, 5), (28, 5)]
    icon_page(cv, 2, 1, 22, 31, 7, [(y, 6, 6 + w, LINE) for (y, w) in rows])
    cx, cy, ro, ri, edge, halo = 19.5, 19.5, 9.0, 4.6, 1.2, 1.3
    ax, ay, bx, by, tr = 25.0, 25.0, 28.9, 28.9, 1.9
    # a light rim keeps the letter apart from the page
    cv.fill(ring(cx, cy, ro + edge + halo, ri - edge - halo), (255, 255, 255))
    cv.fill(lambda x, y: math.hypot(x - cx, y - cy) < ri, (255, 255, 255))
    cv.fill(capsule(ax, ay, bx, by, tr + edge + halo), (255, 255, 255))
    cv.fill(ring(cx, cy, ro + edge, ri - edge), Q_EDGE)
    cv.fill(ring(cx, cy, ro, ri), lambda x, y: lerp(Q_LIGHT, Q_DARK, (y - (cy - ro)) / (2 * ro)))
    cv.fill(capsule(ax, ay, bx, by, tr + edge), NIB_EDGE)
    cv.fill(capsule(ax, ay, bx, by, tr), NIB)
    return cv


def document_icon(n):
    cv = Canvas(n)
    if n == 16:
        icon_page(cv, 2, 0, 14, 16, 4, [(4, 4, 7, Q_DARK), (7, 4, 11, LINE), (9, 4, 11, LINE),
                                        (11, 4, 11, LINE), (13, 4, 9, LINE)])
    else:
        rows = [(12, 18), (15, 18), (18, 18), (21, 18), (24, 12)]
        icon_page(cv, 5, 1, 27, 31, 7, [(7, 9, 16, Q_DARK)] +
                  [(y, 9, 9 + w, LINE) for (y, w) in rows])
    return cv


# ---------------------------------------------------------------------------------------------
# Cursors: 32 x 32, black with a white rim.

def splitter_cursor():
    """Black pixels of the left-right splitter cursor, centred on (16, 16)."""
    black = set()
    for y in range(8, 25):
        black.add((14, y))
        black.add((18, y))
    for x in range(3, 14):
        black.add((x, 16))
    for x in range(19, 30):
        black.add((x, 16))
    for k in range(5):
        for y in range(16 - k, 16 + k + 1):
            black.add((3 + k, y))
            black.add((29 - k, y))
    white = set()
    for (x, y) in black:
        for dy in (-1, 0, 1):
            for dx in (-1, 0, 1):
                white.add((x + dx, y + dy))
    for y in range(8, 25):
        white.add((16, y))  # between the bars
    return black, white - black


# ---------------------------------------------------------------------------------------------
# File formats.

def bmp24(img):
    row = img.w * 3
    pad = (4 - row % 4) % 4
    data = bytearray()
    for y in range(img.h - 1, -1, -1):
        for x in range(img.w):
            r, g, b = img.p[y][x] or MAGENTA
            data += bytes((b, g, r))
        data += b'\0' * pad
    header = struct.pack('<2sIHHI', b'BM', 14 + 40 + len(data), 0, 0, 14 + 40)
    info = struct.pack('<IiiHHIIiiII', 40, img.w, img.h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return header + info + bytes(data)


def and_mask(n, transparent):
    stride = ((n + 31) // 32) * 4
    data = bytearray()
    for y in range(n - 1, -1, -1):
        row = bytearray(stride)
        for x in range(n):
            if transparent(x, y):
                row[x // 8] |= 0x80 >> (x % 8)
        data += row
    return bytes(data)


def ico_image(cv):
    n = cv.n
    xor = bytearray()
    alpha = [[0] * n for _ in range(n)]
    for y in range(n - 1, -1, -1):
        for x in range(n):
            r, g, b, a = cv.p[y][x]
            a8 = int(round(a * 255))
            alpha[y][x] = a8
            if a8 == 0:
                xor += b'\0\0\0\0'
            else:
                xor += bytes((int(round(b)), int(round(g)), int(round(r)), a8))
    mask = and_mask(n, lambda x, y: alpha[y][x] == 0)
    info = struct.pack('<IiiHHIIiiII', 40, n, 2 * n, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return info + bytes(xor) + mask


def ico(canvases):
    images = [ico_image(cv) for cv in canvases]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for cv, data in zip(canvases, images):
        out += struct.pack('<BBBBHHII', cv.n, cv.n, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b''.join(images)


def cur(black, white, hotspot, n=32):
    stride = ((n + 31) // 32) * 4
    xor = bytearray()
    for y in range(n - 1, -1, -1):
        row = bytearray(stride)
        for x in range(n):
            if (x, y) in white:
                row[x // 8] |= 0x80 >> (x % 8)
        xor += row
    mask = and_mask(n, lambda x, y: (x, y) not in black and (x, y) not in white)
    info = struct.pack('<IiiHHIIiiII', 40, n, 2 * n, 1, 1, 0, len(xor) + len(mask), 0, 0, 2, 0)
    palette = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    data = info + palette + bytes(xor) + mask
    head = struct.pack('<HHH', 0, 2, 1)
    entry = struct.pack('<BBBBHHII', n, n, 2, 0, hotspot[0], hotspot[1], len(data), 6 + 16)
    return head + entry + data


def write(name, data):
    with open(os.path.join(OUT_DIR, name), 'wb') as f:
        f.write(data)


# The sizes every image list is drawn at: cell size, its scale and the files' suffix.
SIZES = [(16, 1.0, ''), (24, 1.5, '_24'), (32, 2.0, '_32')]


def main():
    for size, scale, suffix in SIZES:
        SCALE[0] = scale
        write('toolbar%s.bmp' % suffix, bmp24(strip(TOOLBAR)))
        write('shared%s.bmp' % suffix, bmp24(strip(SHARED)))
        write('docstate%s.bmp' % suffix, bmp24(strip(DOCSTATE)))
    SCALE[0] = 1.0
    write('Quorvane.ico', ico([main_icon(16), main_icon(32)]))
    write('document.ico', ico([document_icon(16), document_icon(32)]))
    black, white = splitter_cursor()
    write('split_h.cur', cur(black, white, (16, 16)))
    flip = lambda pts: {(y, x) for (x, y) in pts}
    write('split_v.cur', cur(flip(black), flip(white), (16, 16)))


if __name__ == '__main__':
    main()
