#!/usr/bin/python3
"""Writes one single-line SVG font made from Hershey fonts (.jhf), for the
import benchmark: every record of every font given becomes a <glyph> whose
strokes run as smooth quadratic curves through the midpoints of the record's
segments, so the font has curves to flatten. y is turned up, as SVG fonts have it.

usage: hershey_svg_font.py OUT.svg FONT.jhf..."""
import sys


def strokes(record):
    """The strokes of one record, each a list of (x, y) with y up."""
    pairs = record[10:]
    out, stroke = [], []
    for i in range(0, len(pairs) - 1, 2):
        if pairs[i:i + 2] == " R":
            if stroke:
                out.append(stroke)
            stroke = []
        else:
            stroke.append((ord(pairs[i]) - 82, 82 - ord(pairs[i + 1])))
    if stroke:
        out.append(stroke)
    return out


def path(stroke_list):
    parts = []
    for s in stroke_list:
        parts.append("M%d %d" % s[0])
        for k in range(1, len(s) - 1):
            mid = ((s[k][0] + s[k + 1][0]) / 2, (s[k][1] + s[k + 1][1]) / 2)
            parts.append("Q%d %d %g %g" % (s[k][0], s[k][1], mid[0], mid[1]))
        if len(s) > 1:
            parts.append("L%d %d" % s[-1])
    return " ".join(parts)


def main():
    out = open(sys.argv[1], "w")
    out.write('<?xml version="1.0" encoding="UTF-8"?>\n'
              '<svg xmlns="http://www.w3.org/2000/svg"><defs><font id="hershey">\n'
              '<font-face units-per-em="32" cap-height="21"/>\n')
    for name in sys.argv[2:]:
        records = [line.rstrip("\r\n") for line in open(name) if line.strip()]
        for k, record in enumerate(records):
            code = 32 + k
            d = path(strokes(record))
            out.write('<glyph unicode="&#%d;" glyph-name="%s-%d"%s/>\n'
                      % (code, name.rsplit("/", 1)[-1], k, ' d="%s"' % d if d else ""))
    out.write("</font></defs></svg>\n")


main()
