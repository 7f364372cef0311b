#!/usr/bin/python3
"""The SVG font import done in Python with svgelements, to time ours against:
parses every glyph of an SVG font, flattens its curves to 1/500 of the glyph's
size, joins its strokes with pen lifts of a quarter of the cap height and
resamples each glyph evenly by arc length to N points (without keeping corners,
which is less work than ours), then writes a glyph file.

usage: svg_font_import.py FONT.svg N OUT.alphabet"""
import math
import struct
import sys
import xml.etree.ElementTree as ElementTree

from svgelements import Close, CubicBezier, Line, Move, Path, QuadraticBezier

SVG = "{http://www.w3.org/2000/svg}"


def pieces(seg, tolerance):
    """How many lines a curve is flattened into, by its largest second difference."""
    if isinstance(seg, QuadraticBezier):
        p = (seg.start, seg.control, seg.end)
        bend = abs(complex(p[0].x - 2 * p[1].x + p[2].x, p[0].y - 2 * p[1].y + p[2].y)) * 2 / 3
    else:
        p = (seg.start, seg.control1, seg.control2, seg.end)
        bend = max(abs(complex(p[i].x - 2 * p[i + 1].x + p[i + 2].x,
                               p[i].y - 2 * p[i + 1].y + p[i + 2].y)) for i in (0, 1))
    n = math.ceil(math.sqrt(0.75 * bend / tolerance)) if tolerance > 0 else 1
    return min(max(n, 1), 256)


def strokes_of(d):
    path = Path(d)
    box = path.bbox()
    tolerance = max(box[2] - box[0], box[3] - box[1]) / 500 if box else 0
    out = []
    for seg in path:
        if isinstance(seg, Move):
            out.append([(seg.end.x, seg.end.y)])
        elif isinstance(seg, (Line, Close)):
            out[-1].append((seg.end.x, seg.end.y))
        elif isinstance(seg, (QuadraticBezier, CubicBezier)):
            n = pieces(seg, tolerance)
            for i in range(1, n + 1):
                q = seg.point(i / n)
                out[-1].append((q.x, q.y))
        else:  # arcs, through their own point function
            for i in range(1, 33):
                q = seg.point(i / 32)
                out[-1].append((q.x, q.y))
    return [s for s in out if len(s) > 1]


def route(strokes, lift):
    points = []
    for s in strokes:
        if points:
            end = points[-1]
            points += [(end[0], end[1], lift), (s[0][0], s[0][1], lift)]
        points += [(x, y, 0.0) for x, y in s]
    return points


def resample(points, n):
    if len(points) < 2:
        return [points[0] if points else (0.0, 0.0, 0.0)] * n
    along = [0.0]
    for a, b in zip(points, points[1:]):
        along.append(along[-1] + math.dist(a, b))
    total, out, k = along[-1], [], 0
    for i in range(n):
        target = total * i / (n - 1)
        while k + 2 < len(points) and along[k + 1] < target:
            k += 1
        length = along[k + 1] - along[k]
        f = min(max((target - along[k]) / length if length > 0 else 0.0, 0.0), 1.0)
        a, b = points[k], points[k + 1]
        out.append(tuple(a[j] + (b[j] - a[j]) * f for j in range(3)))
    return out


def main():
    font, n, output = sys.argv[1], int(sys.argv[2]), sys.argv[3]
    root = ElementTree.parse(font).getroot()
    face = root.find(".//" + SVG + "font-face")
    lift = float(face.get("cap-height", "0")) / 4 if face is not None else 0.0
    glyphs = []
    for glyph in root.iter(SVG + "glyph"):
        d = glyph.get("d")
        glyphs.append(resample(route(strokes_of(d) if d else [], lift), n))
    with open(output, "wb") as out:
        out.write(struct.pack("<ii", n, len(glyphs)))
        for points in glyphs:
            out.write(b"".join(struct.pack("<fff", *p) for p in points))


main()
