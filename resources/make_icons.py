#!/usr/bin/env python3
"""Draw Lintervale's icons and write them as RGBA PNG files.

The program icon is a red horseshoe magnet with silver poles whose field
reaches a blue quaver (eighth note); the button picture is the quaver, large,
with a small magnet at its foot.  Every shape is a polygon, and each pixel's
coverage comes from its signed distance to the shape's edge, which gives
anti-aliased edges.  The output is the same on every run.

Usage:  python3 make_icons.py        (run from any directory)
"""

import math
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
ICON_DIR = os.path.join(HERE, "icons")

# Flat colours as (red, green, blue), each 0..255.
MAGNET_RED = (214, 54, 48)
MAGNET_EDGE = (118, 24, 22)
POLE_SILVER = (222, 226, 232)
POLE_EDGE = (84, 92, 104)
POLE_GREY = (150, 158, 170)
NOTE_BLUE = (46, 98, 196)
NOTE_EDGE = (18, 34, 78)
WAVE_GOLD = (246, 184, 40)
WAVE_EDGE = (150, 96, 10)


# ---------------------------------------------------------------- geometry
# Shapes are lists of (x, y) points in a unit square: (0, 0) is the top-left
# corner of the picture and (1, 1) the bottom-right one.

def ellipse(cx, cy, rx, ry, angle_deg, steps=64):
    """Return a polygon that follows an ellipse turned by angle_deg."""
    circle = [(math.cos(2 * math.pi * i / steps), math.sin(2 * math.pi * i / steps))
              for i in range(steps)]
    return transform([(rx * x, ry * y) for x, y in circle], angle_deg, 1.0, cx, cy)


def rect(x0, y0, x1, y1):
    """Return an axis-aligned rectangle as a four-point polygon."""
    return [(x0, y0), (x1, y0), (x1, y1), (x0, y1)]


def bezier(p0, p1, p2, p3, steps=24):
    """Return points along a cubic Bezier curve, both ends included."""
    def at(t, k):
        u = 1 - t
        return u * u * u * p0[k] + 3 * u * u * t * p1[k] + 3 * u * t * t * p2[k] + t * t * t * p3[k]
    return [(at(i / steps, 0), at(i / steps, 1)) for i in range(steps + 1)]


def transform(pts, angle_deg, scale, dx, dy):
    """Turn the points about the origin, scale them, then move them."""
    a = math.radians(angle_deg)
    ca, sa = math.cos(a), math.sin(a)
    return [((x * ca - y * sa) * scale + dx, (x * sa + y * ca) * scale + dy)
            for x, y in pts]


def magnet_shapes(angle_deg, scale, dx, dy):
    """Return the magnet's body and its two poles as polygons.

    The magnet is built opening upwards around the origin: a half ring below
    the centre and two straight legs above it, whose top ends are the poles.
    """
    outer, inner, leg, pole = 0.25, 0.10, 0.20, 0.085
    # The outline runs along the outer half ring from left to right, up the
    # right leg, back along the inner half ring and up the left leg.
    half = [(math.cos(math.pi * i / 32), math.sin(math.pi * i / 32)) for i in range(33)]
    body = [(outer * x, outer * y) for x, y in reversed(half)]
    body += [(outer, -leg), (inner, -leg)] + [(inner * x, inner * y) for x, y in half]
    body += [(-inner, -leg), (-outer, -leg)]
    left = rect(-outer, -leg - pole, -inner, -leg)
    right = rect(inner, -leg - pole, outer, -leg)
    return [transform(s, angle_deg, scale, dx, dy) for s in (body, left, right)]


def quaver_shapes(x, y, s, stem_width):
    """Return the quaver's head, stem and flag, head centred on (x, y).

    s scales the whole note; at s = 1 the note is about 0.5 units tall.
    stem_width is given apart from s so that small pictures can use a stem
    at least a pixel wide.
    """
    head = ellipse(x, y, 0.105 * s, 0.075 * s, -24)
    stem_x = x + 0.114 * s - stem_width
    stem = rect(stem_x, y - 0.44 * s, stem_x + stem_width, y - 0.02 * s)
    top = (stem_x + stem_width * 0.6, y - 0.44 * s)
    # The flag is the area between two curves that leave the top of the stem
    # and sweep down and to the right, ending in a narrow tip.
    outer = bezier(top, (top[0] + 0.02 * s, top[1] + 0.10 * s),
                   (top[0] + 0.19 * s, top[1] + 0.12 * s),
                   (top[0] + 0.13 * s, top[1] + 0.31 * s))
    inner = bezier((top[0] + 0.13 * s, top[1] + 0.31 * s),
                   (top[0] + 0.15 * s, top[1] + 0.20 * s),
                   (top[0] + 0.05 * s, top[1] + 0.17 * s),
                   (top[0] - 0.012 * s, top[1] + 0.17 * s))
    flag = outer + inner[1:]
    return [head, stem, flag]


# ------------------------------------------------------------- rasterising

def signed_distance(px, py, poly):
    """Distance from (px, py) to the polygon's edge; negative inside."""
    best = float("inf")
    inside = False
    for i in range(len(poly)):
        ax, ay = poly[i - 1]
        bx, by = poly[i]
        ex, ey = bx - ax, by - ay
        wx, wy = px - ax, py - ay
        length2 = ex * ex + ey * ey
        t = 0.0 if length2 == 0 else max(0.0, min(1.0, (wx * ex + wy * ey) / length2))
        best = min(best, (wx - ex * t) ** 2 + (wy - ey * t) ** 2)
        # Even-odd rule: count the edges that a ray to the right crosses.
        if (ay > py) != (by > py) and px < ax + (py - ay) * ex / ey:
            inside = not inside
    return -math.sqrt(best) if inside else math.sqrt(best)


def paint(canvas, size, poly, fill, edge, edge_px):
    """Blend one polygon onto the canvas: an edge band, then the fill.

    canvas holds premultiplied (r, g, b, a) floats in 0..1 per pixel.  The
    polygon is scaled to the canvas size; edge_px is the outline width in
    pixels (0 for no outline).  Coverage is 0.5 minus the distance in
    pixels, clamped to 0..1, which is a one-pixel anti-aliasing ramp.
    """
    pts = [(x * size, y * size) for x, y in poly]
    # Only pixels near the polygon's bounding box can be touched.
    xs, ys = [p[0] for p in pts], [p[1] for p in pts]
    for y in range(max(0, int(min(ys) - 2)), min(size, int(max(ys) + 2))):
        row = canvas[y]
        for x in range(max(0, int(min(xs) - 2)), min(size, int(max(xs) + 2))):
            d = signed_distance(x + 0.5, y + 0.5, pts)
            cover = min(1.0, max(0.0, 0.5 - d))
            if cover <= 0.0:
                continue
            # Inside the outline band the colour slides from the edge colour
            # to the fill colour over one pixel, just as coverage does.
            mix = min(1.0, max(0.0, 0.5 - (d + edge_px))) if edge_px else 1.0
            r, g, b = ((f * mix + e * (1 - mix)) / 255.0 for f, e in zip(fill, edge))
            k = 1 - cover
            row[x] = tuple(c * cover + old * k for c, old in zip((r, g, b, 1.0), row[x]))


def fit(layers, margin):
    """Scale and move the layers so their bounding box sits centred in the
    unit square with the given margin on its longer side."""
    xs = [x for poly, _, _, _ in layers for x, _ in poly]
    ys = [y for poly, _, _, _ in layers for _, y in poly]
    scale = (1 - 2 * margin) / max(max(xs) - min(xs), max(ys) - min(ys))
    dx = 0.5 - (min(xs) + max(xs)) / 2 * scale
    dy = 0.5 - (min(ys) + max(ys)) / 2 * scale
    return [([(x * scale + dx, y * scale + dy) for x, y in poly], fill, edge, least)
            for poly, fill, edge, least in layers]


def render(size, layers):
    """Draw the layers, bottom first, on a clear canvas of size x size.

    Each layer is (polygon, fill, edge, least): least is the smallest
    picture size that still shows the layer, so tiny icons drop details
    that would only blur.  Below 48 pixels an outline would swallow the
    thin parts of the note, so small pictures are drawn without outlines.
    """
    canvas = [[(0.0, 0.0, 0.0, 0.0)] * size for _ in range(size)]
    edge_px = max(1.0, size / 64.0) if size >= 48 else 0.0
    shown = [layer for layer in layers if size >= layer[3]]
    for poly, fill, edge, _ in fit(shown, 0.035):
        paint(canvas, size, poly, fill, edge, edge_px)
    return canvas


# -------------------------------------------------------------- PNG writer

def write_png(path, canvas):
    """Write the canvas as an 8-bit RGBA PNG with straight (not premultiplied) alpha."""
    height, width = len(canvas), len(canvas[0])
    raw = bytearray()
    for row in canvas:
        raw.append(0)                          # filter type 0: bytes as they are
        for r, g, b, a in row:
            # Undo the premultiplying; fully transparent pixels stay black.
            rgb = (r / a, g / a, b / a) if a > 0.0 else (0.0, 0.0, 0.0)
            raw += bytes(min(255, round(c * 255)) for c in (*rgb, a))
    def chunk(kind, data):
        """Return one PNG chunk: length, type, data and CRC of type and data."""
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data)))

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    data = (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
            + chunk(b"IDAT", zlib.compress(bytes(raw), 9))
            + chunk(b"IEND", b""))
    with open(path, "wb") as f:
        f.write(data)


# -------------------------------------------------------------- SVG writer

def write_svg(path, layers, size=256):
    """Write the layers as a scalable picture drawn like a size x size one.

    Each polygon is a path filled with its colour; its outline is a stroke of
    twice the raster's edge width clipped to the polygon itself, so that, as
    in the PNG files, the outline lies inside the shape.
    """
    edge_px = max(1.0, size / 64.0)
    def colour(rgb):
        return "#%02x%02x%02x" % rgb
    lines = ['<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" '
             'viewBox="0 0 %d %d">' % (size, size, size, size), "<defs>"]
    shapes = fit(layers, 0.035)
    paths = ["M" + " L".join("%.2f %.2f" % (x * size, y * size) for x, y in poly) + " Z"
             for poly, _, _, _ in shapes]
    for i, d in enumerate(paths):
        lines.append('<clipPath id="c%d"><path d="%s"/></clipPath>' % (i, d))
    lines.append("</defs>")
    for i, ((_, fill, edge, _), d) in enumerate(zip(shapes, paths)):
        lines.append('<path d="%s" fill="%s" stroke="%s" stroke-width="%.2f" '
                     'stroke-linejoin="round" clip-path="url(#c%d)"/>'
                     % (d, colour(fill), colour(edge), 2 * edge_px, i))
    lines.append("</svg>")
    with open(path, "w") as f:
        f.write("\n".join(lines) + "\n")


# ----------------------------------------------------------------- designs

def waves(cx, cy, angle_deg, radii, width, spread_deg=34):
    """Return arcs around (cx, cy) facing angle_deg, like rings of sound.

    Each arc is a band of the given width centred on one of the radii and
    reaching spread_deg to either side of the facing direction.
    """
    turns = [math.radians(angle_deg - spread_deg + 2 * spread_deg * i / 16) for i in range(17)]
    unit = [(math.cos(t), math.sin(t)) for t in turns]
    return [[(cx + (r + width / 2) * x, cy + (r + width / 2) * y) for x, y in unit]
            + [(cx + (r - width / 2) * x, cy + (r - width / 2) * y) for x, y in reversed(unit)]
            for r in radii]


def magnet_layers(size, angle_deg, scale, dx, dy):
    """Return the magnet as layers: red body, then its two poles.

    Without an outline a light silver pole would vanish on a light
    background, so small pictures paint the poles a darker grey.
    """
    body, left, right = magnet_shapes(angle_deg, scale, dx, dy)
    pole = POLE_SILVER if size >= 48 else POLE_GREY
    return [(body, MAGNET_RED, MAGNET_EDGE, 0),
            (left, pole, POLE_EDGE, 0), (right, pole, POLE_EDGE, 0)]


def app_icon_layers(size):
    """The program icon: a tilted magnet at the bottom left whose field,
    drawn as two rings, reaches a note at the top right."""
    layers = magnet_layers(size, 45, 0.86, 0.31, 0.69)
    layers += [(p, WAVE_GOLD, WAVE_EDGE, 48)
               for p in waves(0.46, 0.54, -45, (0.09, 0.15), 0.035)]
    stem = max(0.028, 1.15 / size)
    layers += [(p, NOTE_BLUE, NOTE_EDGE, 0) for p in quaver_shapes(0.70, 0.42, 0.86, stem)]
    return layers


def button_layers(size):
    """The button picture: a large note with a small magnet reaching for its foot."""
    stem = max(0.05, 1.2 / size)
    layers = [(p, NOTE_BLUE, NOTE_EDGE, 0) for p in quaver_shapes(0.44, 0.72, 1.6, stem)]
    return layers + magnet_layers(size, -90, 0.62, 0.84, 0.80)


def main():
    """Render every size of both pictures, and the program icon as SVG, into the icons directory."""
    os.makedirs(ICON_DIR, exist_ok=True)
    jobs = [("lintervale", app_icon_layers, (16, 24, 32, 48, 64, 128, 256)),
            ("quaverize", button_layers, (32, 64))]
    for name, layers, sizes in jobs:
        for size in sizes:
            path = os.path.join(ICON_DIR, "%s-%d.png" % (name, size))
            write_png(path, render(size, layers(size)))
            print("wrote", os.path.relpath(path, HERE))
    path = os.path.join(ICON_DIR, "lintervale.svg")
    write_svg(path, app_icon_layers(256))
    print("wrote", os.path.relpath(path, HERE))


if __name__ == "__main__":
    main()
