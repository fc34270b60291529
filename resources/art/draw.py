#!/usr/bin/env python3
"""Draws the uninstaller's pictures: the program icon, the wizard's side
panel and the frames of the "file into the bin" animation.

The art lives here as code rather than as binary files so that it can be
tweaked and regenerated without any image editor.  Only the standard library
is used, so any Python 3 can rebuild it:

    python3 resources/art/draw.py

writes resources/uninstal.ico, resources/panel.bmp and
resources/anim/frame01.ico .. frame24.ico.  The output is deterministic.

Everything is drawn as filled polygons (circles and strokes are turned into
polygons first) by a small scanline rasteriser.  Each pixel row is sampled
on several sub-rows, and every sub-row span contributes its exact horizontal
overlap with a pixel, which gives smooth edges at a fraction of the cost of
full supersampling.
"""

import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
RES = os.path.dirname(HERE)

# ---------------------------------------------------------------------------
# Rasteriser
# ---------------------------------------------------------------------------


class Canvas:
    """Straight (non-premultiplied) RGBA image, channels as floats 0..1."""

    def __init__(self, w, h, bg=(0, 0, 0, 0)):
        self.w = w
        self.h = h
        self.px = [list(_norm(bg)) for _ in range(w * h)]

    def blend(self, x, y, rgba):
        sr, sg, sb, sa = rgba
        if sa <= 0.0:
            return
        p = self.px[y * self.w + x]
        da = p[3]
        oa = sa + da * (1.0 - sa)
        if oa <= 0.0:
            return
        k = da * (1.0 - sa)
        p[0] = (sr * sa + p[0] * k) / oa
        p[1] = (sg * sa + p[1] * k) / oa
        p[2] = (sb * sa + p[2] * k) / oa
        p[3] = oa

    def fill(self, contours, paint, alpha=1.0, sub=8, rule="nonzero"):
        """Fill one shape made of closed contours.

        paint is an (r, g, b[, a]) colour with 0..255 channels (alpha 0..1),
        or a function of the pixel centre returning one.
        """
        if contours and isinstance(contours[0][0], (int, float)):
            contours = [contours]
        edges = []
        ymin, ymax = 1e9, -1e9
        for c in contours:
            n = len(c)
            for i in range(n):
                x0, y0 = c[i]
                x1, y1 = c[(i + 1) % n]
                if y0 == y1:
                    continue
                edges.append((x0, y0, x1, y1))
                ymin = min(ymin, y0, y1)
                ymax = max(ymax, y0, y1)
        if not edges:
            return
        row0 = max(0, int(math.floor(ymin)))
        row1 = min(self.h - 1, int(math.ceil(ymax)))
        w = self.w
        inv = 1.0 / sub
        static = None if callable(paint) else _norm(paint)
        for py in range(row0, row1 + 1):
            cov = {}
            for s in range(sub):
                sy = py + (s + 0.5) * inv
                xs = []
                for x0, y0, x1, y1 in edges:
                    if y0 < y1:
                        if y0 <= sy < y1:
                            xs.append((x0 + (sy - y0) * (x1 - x0) / (y1 - y0), 1))
                    elif y1 <= sy < y0:
                        xs.append((x0 + (sy - y0) * (x1 - x0) / (y1 - y0), -1))
                if not xs:
                    continue
                xs.sort()
                wind = 0
                start = None
                for x, d in xs:
                    before = _inside(wind, rule)
                    wind += d
                    after = _inside(wind, rule)
                    if not before and after:
                        start = x
                    elif before and not after:
                        _span(cov, start, x, inv, w)
            for px, c in cov.items():
                if c <= 0.0:
                    continue
                col = static if static is not None else _norm(paint(px + 0.5, py + 0.5))
                a = min(c, 1.0) * alpha * col[3]
                self.blend(px, py, (col[0], col[1], col[2], a))

    def rgba_bytes(self, x, y):
        p = self.px[y * self.w + x]
        return tuple(_byte(v) for v in p)


def _inside(wind, rule):
    return (wind & 1) == 1 if rule == "evenodd" else wind != 0


def _span(cov, x0, x1, weight, w):
    if x1 <= 0 or x0 >= w:
        return
    x0 = max(x0, 0.0)
    x1 = min(x1, float(w))
    a = int(math.floor(x0))
    b = int(math.floor(x1))
    if a == b:
        cov[a] = cov.get(a, 0.0) + (x1 - x0) * weight
        return
    cov[a] = cov.get(a, 0.0) + (a + 1 - x0) * weight
    for px in range(a + 1, b):
        cov[px] = cov.get(px, 0.0) + weight
    if b < w:
        cov[b] = cov.get(b, 0.0) + (x1 - b) * weight


def _norm(c):
    if len(c) == 3:
        return (c[0] / 255.0, c[1] / 255.0, c[2] / 255.0, 1.0)
    return (c[0] / 255.0, c[1] / 255.0, c[2] / 255.0, float(c[3]))


def _byte(v):
    return max(0, min(255, int(math.floor(v * 255.0 + 0.5))))


# ---------------------------------------------------------------------------
# Geometry.  Every helper returns a counter-clockwise (on screen) contour so
# that shapes can be merged in one nonzero fill; hole() flips one.
# ---------------------------------------------------------------------------


def area(c):
    s = 0.0
    n = len(c)
    for i in range(n):
        x0, y0 = c[i]
        x1, y1 = c[(i + 1) % n]
        s += x0 * y1 - x1 * y0
    return s / 2.0


def oriented(c):
    c = [(float(x), float(y)) for x, y in c]
    return c if area(c) >= 0 else c[::-1]


def hole(c):
    return oriented(c)[::-1]


def rect(x0, y0, x1, y1):
    return oriented([(x0, y0), (x1, y0), (x1, y1), (x0, y1)])


def ellipse(cx, cy, rx, ry, n=48):
    return oriented([(cx + rx * math.cos(2 * math.pi * i / n),
                      cy + ry * math.sin(2 * math.pi * i / n)) for i in range(n)])


def circle(cx, cy, r, n=None):
    if n is None:
        n = max(12, min(96, int(r * 8)))
    return ellipse(cx, cy, r, r, n)


def arc_points(cx, cy, rx, ry, a0, a1, n):
    return [(cx + rx * math.cos(a0 + (a1 - a0) * i / n),
             cy + ry * math.sin(a0 + (a1 - a0) * i / n)) for i in range(n + 1)]


def round_rect(x0, y0, x1, y1, r, n=6):
    pts = []
    for cx, cy, a in ((x1 - r, y0 + r, -90), (x1 - r, y1 - r, 0),
                      (x0 + r, y1 - r, 90), (x0 + r, y0 + r, 180)):
        for i in range(n + 1):
            t = math.radians(a + 90.0 * i / n)
            pts.append((cx + r * math.cos(t), cy + r * math.sin(t)))
    return oriented(pts)


def stroke(points, width, caps=True):
    """A polyline as a list of contours (segment quads plus round joints)."""
    h = width / 2.0
    out = []
    for (x0, y0), (x1, y1) in zip(points, points[1:]):
        dx, dy = x1 - x0, y1 - y0
        L = math.hypot(dx, dy)
        if L == 0:
            continue
        nx, ny = -dy / L * h, dx / L * h
        out.append(oriented([(x0 + nx, y0 + ny), (x1 + nx, y1 + ny),
                             (x1 - nx, y1 - ny), (x0 - nx, y0 - ny)]))
    joints = points[1:-1] if not caps else points
    for x, y in joints:
        out.append(circle(x, y, h, 12))
    return out


def inset(poly, d):
    """Shrinks a convex polygon by moving every edge inwards by d."""
    poly = oriented(poly)
    n = len(poly)
    lines = []
    for i in range(n):
        x0, y0 = poly[i]
        x1, y1 = poly[(i + 1) % n]
        L = math.hypot(x1 - x0, y1 - y0)
        # Contours run counter-clockwise in math terms, so the inside is on
        # the left of each edge.
        nx, ny = -(y1 - y0) / L, (x1 - x0) / L
        lines.append(((x0 + nx * d, y0 + ny * d), (x1 - x0, y1 - y0)))
    out = []
    for i in range(n):
        (p, r), (q, s) = lines[i - 1], lines[i]
        den = r[0] * s[1] - r[1] * s[0]
        if abs(den) < 1e-12:
            out.append(q)
            continue
        t = ((q[0] - p[0]) * s[1] - (q[1] - p[1]) * s[0]) / den
        out.append((p[0] + r[0] * t, p[1] + r[1] * t))
    return out


class Xf:
    """Rotate by angle (degrees), scale, then move to (tx, ty)."""

    def __init__(self, tx=0.0, ty=0.0, angle=0.0, scale=1.0):
        a = math.radians(angle)
        self.c = math.cos(a) * scale
        self.s = math.sin(a) * scale
        self.tx, self.ty = tx, ty

    def pt(self, x, y):
        return (self.tx + x * self.c - y * self.s, self.ty + x * self.s + y * self.c)

    def __call__(self, contour):
        return [self.pt(x, y) for x, y in contour]


def lerp(a, b, t):
    return a + (b - a) * t


def mix(c0, c1, t):
    t = max(0.0, min(1.0, t))
    return tuple(lerp(a, b, t) for a, b in zip(c0, c1))


def linear(p0, p1, c0, c1):
    """Paint that blends c0 at p0 to c1 at p1 (projected along p0->p1)."""
    dx, dy = p1[0] - p0[0], p1[1] - p0[1]
    L2 = dx * dx + dy * dy

    def paint(x, y):
        return mix(c0, c1, ((x - p0[0]) * dx + (y - p0[1]) * dy) / L2)
    return paint


# ---------------------------------------------------------------------------
# Palette
# ---------------------------------------------------------------------------

INK = (38, 46, 62)            # outlines
PAPER = (255, 255, 255)
PAPER_SHADE = (218, 224, 234)
FOLD = (196, 204, 218)
TEXT = (84, 118, 196)
HEADER = (46, 96, 200)

BIN_LIGHT = (206, 218, 232)
BIN_MID = (150, 168, 192)
BIN_DARK = (96, 114, 140)
BIN_RIB = (92, 108, 134)
BIN_INSIDE_TOP = (28, 36, 50)
BIN_INSIDE_BOT = (70, 84, 104)
BIN_LIP = (236, 242, 250)

# ---------------------------------------------------------------------------
# Motifs
# ---------------------------------------------------------------------------


def draw_document(cv, cx, cy, w, h, angle=0.0, line=1.0, text_rows=3, sub=8,
                  alpha=1.0):
    """A sheet of paper with a dog-ear, centred on (cx, cy).

    line is the outline width in pixels, kept constant whatever the size so
    that small copies stay crisp.
    """
    xf = Xf(cx, cy, angle)
    fold = min(w, h) * 0.34
    x0, y0, x1, y1 = -w / 2, -h / 2, w / 2, h / 2
    page = [(x0, y0), (x1 - fold, y0), (x1, y0 + fold), (x1, y1), (x0, y1)]
    cv.fill(xf(oriented(page)), INK, alpha, sub)
    inner = inset(page, line)
    p0 = xf.pt(x0, y0)
    p1 = xf.pt(x1, y1)
    cv.fill(xf(inner), linear(p0, p1, PAPER, PAPER_SHADE), alpha, sub)
    # Text rows: a bold title bar followed by lighter lines, shortened at the
    # dog-ear and at paragraph ends so it reads as writing, not as stripes.
    if text_rows:
        m = line + max(0.6, w * 0.12)
        top = y0 + fold + line * 0.6
        bottom = y1 - line - max(0.6, h * 0.1)
        step = (bottom - top) / text_rows
        th = max(1.0, step * 0.5)
        for i in range(text_rows):
            ty = top + step * i + (step - th) / 2
            right = x1 - m
            if i == text_rows - 1 and text_rows > 1:
                right = x0 + m + (x1 - x0 - 2 * m) * 0.6
            col = HEADER if i == 0 else TEXT
            cv.fill(xf(rect(x0 + m, ty, right, ty + th)), col, alpha, sub)
        # A short first line beside the dog-ear.
        if h >= 10:
            ty = y0 + line + (fold - line - th) / 2 + 0.3
            cv.fill(xf(rect(x0 + m, ty, x1 - fold - line * 0.5, ty + th)),
                    TEXT, alpha * 0.9, sub)
    # The dog-ear itself.
    ear = [(x1 - fold, y0), (x1, y0 + fold), (x1 - fold, y0 + fold)]
    cv.fill(xf(oriented(ear)), INK, alpha, sub)
    e = inset(ear, line * 0.75)
    cv.fill(xf(e), FOLD, alpha, sub)


class Bin:
    """An open, slightly tapered recycle bin seen from a little above.

    It is drawn in two passes, back() then front(), so that anything drawn
    in between appears to be inside it.
    """

    def __init__(self, cx, top, rx, ry, bottom, brx, line=1.0, ribs=3):
        self.cx, self.top, self.rx, self.ry = cx, top, rx, ry
        self.bottom, self.brx, self.line, self.ribs = bottom, brx, line, ribs

    def back(self, cv, sub=8):
        cx, top, rx, ry, l = self.cx, self.top, self.rx, self.ry, self.line
        cv.fill(ellipse(cx, top, rx, ry, 64), INK, 1.0, sub)
        cv.fill(ellipse(cx, top, rx - l, ry - l * 0.7, 64),
                linear((cx, top - ry), (cx, top + ry), BIN_INSIDE_TOP,
                       BIN_INSIDE_BOT), 1.0, sub)

    def front(self, cv, sub=8):
        cx, top, rx, ry, l = self.cx, self.top, self.rx, self.ry, self.line
        bottom, brx = self.bottom, self.brx
        outer = self._shape(0.0)
        cv.fill(outer, INK, 1.0, sub)
        inner = self._shape(l)
        # Brushed-metal look: light band left of centre, darker at the edges.
        def metal(x, y):
            u = (x - (cx - rx)) / (2 * rx)
            k = 1.0 - abs(u - 0.38) / 0.62
            base = mix(BIN_DARK, BIN_MID, min(1.0, k * 1.6))
            hi = max(0.0, 1.0 - abs(u - 0.3) / 0.14)
            c = mix(base, BIN_LIGHT, hi * 0.8)
            v = (y - top) / max(1.0, bottom - top)
            return mix(c, BIN_DARK, max(0.0, v - 0.6) * 0.6)
        cv.fill(inner, metal, 1.0, sub)
        # Ribs follow the taper so the bin reads as round.
        for i in range(self.ribs):
            f = (i + 1) / (self.ribs + 1) * 2 - 1          # -1 .. 1
            ang = math.acos(max(-1.0, min(1.0, f)))
            xt = cx - rx * 0.8 * math.cos(ang)
            yt = top + ry * math.sin(ang) + l * 1.8 + ry * 0.3
            xb = cx - brx * 0.8 * math.cos(ang)
            yb = bottom - ry * 0.35 + ry * 0.35 * math.sin(ang) - l * 2.0
            cv.fill(stroke([(xt, yt), (xb, yb)], l, caps=True), BIN_RIB, 0.9, sub)
        # The rolled lip along the near rim.
        lip = arc_points(cx, top + l * 0.5, rx - l * 0.5, ry, 0.1, math.pi - 0.1, 32)
        cv.fill(stroke(lip, l * 0.9, caps=True), BIN_LIP, 0.9, sub)

    def _shape(self, d):
        # Front wall shrunk by d: the near half of the rim on top, straight
        # tapering sides and a foot that bulges down like a real can.
        cx, top, rx, ry = self.cx, self.top, self.rx - d, self.ry
        bottom, brx = self.bottom - d, self.brx - d
        rim = arc_points(cx, top + d * 0.6, rx, ry, 0.0, math.pi, 32)
        fy = bottom - ry * 0.35
        foot = arc_points(cx, fy, brx, ry * 0.35, math.pi, 0.0, 24)
        return oriented(rim + foot)


# ---------------------------------------------------------------------------
# File writers
# ---------------------------------------------------------------------------


def write_bmp24(path, cv):
    w, h = cv.w, cv.h
    stride = (w * 3 + 3) & ~3
    rows = []
    for y in range(h - 1, -1, -1):
        row = bytearray()
        for x in range(w):
            r, g, b, _ = cv.rgba_bytes(x, y)
            row += bytes((b, g, r))
        row += b"\0" * (stride - w * 3)
        rows.append(bytes(row))
    pixels = b"".join(rows)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(pixels),
                       2835, 2835, 0, 0)
    head = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0,
                       14 + len(info))
    _write(path, head + info + pixels)


def _icon_image(cv):
    w, h = cv.w, cv.h
    xor = bytearray()
    mask_stride = ((w + 31) // 32) * 4
    mask = bytearray()
    for y in range(h - 1, -1, -1):
        bits = bytearray(mask_stride)
        for x in range(w):
            r, g, b, a = cv.rgba_bytes(x, y)
            if a == 0:
                # Keep fully clear pixels black so the mask alone is exact
                # on systems that ignore the alpha channel.
                r = g = b = 0
            if a < 128:
                bits[x // 8] |= 0x80 >> (x % 8)
            xor += bytes((b, g, r, a))
        mask += bits
    info = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0,
                       len(xor) + len(mask), 0, 0, 0, 0)
    return info + bytes(xor) + bytes(mask)


def write_ico(path, canvases):
    images = [_icon_image(cv) for cv in canvases]
    head = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b""
    for cv, img in zip(canvases, images):
        entries += struct.pack("<BBBBHHII", cv.w & 0xFF, cv.h & 0xFF, 0, 0, 1,
                               32, len(img), offset)
        offset += len(img)
    _write(path, head + entries + b"".join(images))


def _write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


# ---------------------------------------------------------------------------
# The pictures
# ---------------------------------------------------------------------------


def program_icon_32():
    cv = Canvas(32, 32)
    b = Bin(cx=20.5, top=15.0, rx=10.5, ry=3.2, bottom=31.0, brx=8.0, line=1.0,
            ribs=3)
    b.back(cv)
    # Motion streaks down the left side: the sheet has just been tossed in.
    for r, a0, a1, alpha in ((11.0, 128, 172, 0.9), (7.5, 140, 170, 0.6)):
        pts = arc_points(12.5, 12.0, r, r, math.radians(a0), math.radians(a1), 10)
        cv.fill(stroke(pts, 1.3, caps=True), (86, 118, 186), alpha)
    draw_document(cv, 12.0, 10.5, 13.0, 17.0, angle=-28.0, line=1.0, text_rows=3)
    b.front(cv)
    return cv


def program_icon_16():
    cv = Canvas(16, 16)
    b = Bin(cx=10.5, top=8.5, rx=5.5, ry=2.0, bottom=16.0, brx=4.0, line=1.0,
            ribs=2)
    b.back(cv)
    # Upright and on whole pixels: at this size a tilted sheet turns to mush,
    # so the sheet is laid out by hand rather than with draw_document().
    page = [(1, 0), (5, 0), (8, 3), (8, 12), (1, 12)]
    cv.fill(oriented(page), INK)
    cv.fill(inset(page, 1.0), linear((2, 1), (7, 12), PAPER, PAPER_SHADE))
    for x0, y0, x1, col in ((3, 2, 4, TEXT), (3, 4, 7, HEADER),
                            (3, 6, 7, TEXT), (3, 8, 6, TEXT), (3, 10, 7, TEXT)):
        cv.fill(rect(x0, y0, x1, y0 + 1), col)
    cv.fill(oriented([(5, 0), (8, 3), (5, 3)]), INK)
    cv.fill(rect(6, 2, 7, 3), FOLD)
    b.front(cv)
    return cv


FRAMES = 24

# The program draws frame 1 still at the left of the progress panel and one
# other frame at a time on top, moved along an arc to the right, so frames
# 2..21 are the sheet in flight and frames 22..24 are its landing in the bin.
FLIGHT = range(1, 21)

FOLDER_LINE = (112, 74, 14)
FOLDER_BACK_TOP = (238, 184, 60)
FOLDER_BACK_BOT = (206, 146, 30)
FOLDER_FRONT_TOP = (255, 232, 130)
FOLDER_FRONT_BOT = (246, 190, 56)


def folder_frame():
    """An open yellow folder with a few sheets still inside."""
    cv = Canvas(32, 32)
    # Back panel with its tab.
    back = [(1.5, 27.5), (1.5, 5.5), (3.0, 4.0), (10.0, 4.0), (12.0, 6.5),
            (26.0, 6.5), (27.5, 8.0), (27.5, 27.5)]
    cv.fill(oriented(back), FOLDER_LINE)
    cv.fill(inset(back, 1.0),
            linear((0, 4), (0, 27), FOLDER_BACK_TOP, FOLDER_BACK_BOT))
    # Papers standing in it; only their tops show above the front flap.
    for x0, y0, x1 in ((7.0, 10.0, 25.0), (5.0, 8.5, 23.0)):
        page = rect(x0, y0, x1, 24.0)
        cv.fill(page, INK)
        cv.fill(inset(page, 1.0),
                linear((0, y0), (0, 18), PAPER, PAPER_SHADE))
    for k, right in enumerate((19.0, 20.0)):
        yy = 11.0 + k * 2.0
        cv.fill(rect(7.0, yy, right, yy + 1.0), HEADER if k == 0 else TEXT)
    # The front flap, opened towards the viewer: its top edge sits lower
    # and further right than the back, which is what makes it read as open.
    front = [(1.5, 28.0), (26.0, 28.0), (31.0, 14.5), (7.5, 14.5)]
    cv.fill(oriented(front), FOLDER_LINE)
    cv.fill(inset(front, 1.0),
            linear((0, 15), (0, 28), FOLDER_FRONT_TOP, FOLDER_FRONT_BOT))
    # A highlight along the flap's upper edge.
    cv.fill(stroke([(9.0, 16.2), (28.6, 16.2)], 0.8, caps=False),
            (255, 248, 210), 0.8)
    return cv


def flying_sheet(n):
    """Entry n of the flight: the sheet tumbles clockwise and shrinks a
    little as it travels away from the folder."""
    cv = Canvas(32, 32)
    t = (n - FLIGHT[0]) / (len(FLIGHT) - 1)
    scale = lerp(1.0, 0.86, t)
    # The first step is drawn right over the folder, so lift the sheet a
    # little there: it should look like it is leaving the folder, not
    # covering it.
    cy = 16.0 - max(0.0, 1.0 - t * 4.0) * 4.0
    draw_document(cv, 16.0, cy, 12.0 * scale, 16.0 * scale,
                  angle=lerp(0.0, 120.0, t), line=1.0, text_rows=3)
    return cv


def landing_frame(k):
    """k = 0, 1, 2: the sheet above the bin, half in it, just a corner left.

    These frames are drawn at the far end of the arc, the first one some
    way higher and to the left of the other two.  The bin is placed in each
    icon so that it keeps its place sideways, and it sits high in the last
    two so that its foot is not cut off by the bottom of the panel.
    """
    cv = Canvas(32, 32)
    if k == 0:
        cx, top = 22.0, 16.5
    else:
        cx, top = 13.0, 9.5
    b = Bin(cx=cx, top=top, rx=8.0, ry=2.5, bottom=top + 15.0, brx=6.0,
            line=1.0, ribs=2)
    b.back(cv)
    sx, sy, angle = ((cx - 3.0, top - 6.5, 130.0),
                     (cx - 0.5, top + 0.5, 150.0),
                     (cx + 0.5, top + 3.5, 165.0))[k]
    draw_document(cv, sx, sy, 10.3, 13.8, angle=angle, line=1.0, text_rows=3)
    b.front(cv)
    return cv


def anim_frame(i):
    if i == 0:
        return folder_frame()
    if i in FLIGHT:
        return flying_sheet(i)
    return landing_frame(i - FLIGHT[-1] - 1)


def panel():
    W, H = 122, 262
    cv = Canvas(W, H, (0, 0, 0, 1.0))
    top = (66, 122, 206)
    mid = (30, 66, 140)
    bot = (8, 18, 50)

    def sky(x, y):
        v = y / H
        c = mix(top, mid, v / 0.55) if v < 0.55 else mix(mid, bot, (v - 0.55) / 0.45)
        # A faint diagonal falloff keeps the flat gradient from looking banded.
        return mix(c, bot, (x / W) * 0.18)
    cv.fill(rect(0, 0, W, H), sky)
    # Soft light from the upper left.
    def glow(x, y):
        d = math.hypot(x - 10, y - 20) / 150.0
        return (255, 255, 255, max(0.0, 1.0 - d) ** 2 * 0.22)
    cv.fill(rect(0, 0, W, H), glow)
    # Quiet decorative rings, mostly off the edge.
    for cx, cy, r, a in ((118, 150, 70, 0.07), (118, 150, 52, 0.05),
                         (-10, 250, 60, 0.06)):
        cv.fill([circle(cx, cy, r + 1.5, 96), hole(circle(cx, cy, r - 1.5, 96))],
                (200, 220, 255), a)

    # The computer.
    cv.fill(ellipse(61, 112, 38, 4.5), (0, 0, 20, 0.35))
    cv.fill(round_rect(21, 30, 101, 94, 5), INK)
    cv.fill(round_rect(22.2, 31.2, 99.8, 92.8, 4),
            linear((22, 31), (22, 93), (230, 235, 243), (176, 186, 202)))
    cv.fill(rect(28, 37, 94, 82), INK)
    cv.fill(rect(29, 38, 93, 81),
            linear((29, 38), (93, 81), (110, 180, 240), (36, 86, 170)))
    # A little window on the screen, its file list with one sheet gone.
    cv.fill(rect(36, 44, 86, 76), (20, 40, 90, 0.35))
    cv.fill(rect(35, 43, 85, 75), (245, 248, 252))
    cv.fill(rect(35, 43, 85, 49), HEADER)
    cv.fill(rect(80, 44.5, 83.5, 47.5), (230, 236, 248))
    for k in range(4):
        yy = 53 + k * 5.5
        gone = k == 1
        cv.fill(rect(39, yy, 43, yy + 3.5), (190, 200, 215) if gone else TEXT)
        if not gone:
            cv.fill(rect(46, yy + 1, 46 + (30 - k * 5), yy + 2.6), (150, 165, 190))
    # Power light and stand.
    cv.fill(circle(92, 88, 1.3), (90, 220, 120))
    cv.fill([oriented([(53, 94), (69, 94), (72, 104), (50, 104)])], INK)
    cv.fill([oriented([(54.2, 94), (67.8, 94), (70.5, 103), (51.5, 103)])],
            linear((50, 0), (72, 0), (200, 208, 220), (150, 160, 178)))
    cv.fill(round_rect(38, 102, 84, 111, 3), INK)
    cv.fill(round_rect(39.2, 103.2, 82.8, 109.8, 2.2),
            linear((0, 103), (0, 110), (226, 232, 240), (160, 170, 188)))

    # The bin, standing on a soft shadow.
    cv.fill(ellipse(61, 240, 38, 6), (0, 0, 16, 0.45))
    b = Bin(cx=61, top=182, rx=27, ry=8, bottom=240, brx=21, line=1.6, ribs=5)
    b.back(cv)
    # A sheet already half way in.
    draw_document(cv, 70, 177, 20, 26, angle=14, line=1.5, text_rows=4)
    b.front(cv)

    # The sheet's flight path from the screen down to the bin: a dotted
    # trail that fades as it gets older.
    def path(t):
        p0, p1, p2 = (30, 100), (-6, 140), (40, 158)
        u = 1 - t
        return (u * u * p0[0] + 2 * u * t * p1[0] + t * t * p2[0],
                u * u * p0[1] + 2 * u * t * p1[1] + t * t * p2[1])
    n = 9
    for k in range(n):
        t = 0.08 + 0.62 * k / (n - 1)
        px, py = path(t)
        cv.fill(circle(px, py, 0.9 + 0.7 * k / n), (200, 222, 255),
                0.25 + 0.55 * k / n)
    draw_document(cv, 42, 150, 22, 28, angle=-22, line=1.5, text_rows=4)
    return cv


def main():
    write_ico(os.path.join(RES, "uninstal.ico"),
              [program_icon_32(), program_icon_16()])
    write_bmp24(os.path.join(RES, "panel.bmp"), panel())
    for i in range(FRAMES):
        write_ico(os.path.join(RES, "anim", "frame%02d.ico" % (i + 1)),
                  [anim_frame(i)])


if __name__ == "__main__":
    main()
