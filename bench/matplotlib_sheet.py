#!/usr/bin/python3
"""The cheapest matplotlib route to the sheet `alphabet-tool render` draws:
the glyphs projected with numpy through the same camera and perspective, one
2-D figure of framed cells, polylines, square dots and labels, saved with
savefig. For the render benchmark: python3 matplotlib_sheet.py FILE OUT.svg|OUT.pdf [COLUMNS]
"""
import sys
import time

started = time.perf_counter()
import matplotlib

matplotlib.use("Agg")
# Labels as real text, as render writes them: cheaper than glyph outlines.
matplotlib.rcParams["svg.fonttype"] = "none"
import matplotlib.pyplot as plt
import numpy as np
from matplotlib.collections import LineCollection

CELL = 100


def read_glyphs(path):
    header = np.fromfile(path, dtype="<i4", count=2)
    per_glyph, count = int(header[0]), int(header[1])
    points = np.fromfile(path, dtype="<f4", offset=8, count=per_glyph * count * 3)
    return points.reshape(count, per_glyph, 3).astype(np.float64)


def cameras(glyphs):
    """Centroid, eye and up of each glyph's face-on camera (no degenerate glyphs)."""
    centroid = glyphs.mean(axis=1)
    middle = glyphs[:, glyphs.shape[1] // 2]
    reference = centroid - middle
    reference /= np.linalg.norm(reference, axis=1, keepdims=True)
    towards = centroid[:, None, :] - glyphs
    distance = np.linalg.norm(towards, axis=2)
    unit = towards / np.where(distance > 0, distance, 1)[:, :, None]
    cosine = np.abs(np.einsum("gpk,gk->gp", unit, reference))
    cosine[distance == 0] = 10
    across = unit[np.arange(len(glyphs)), cosine.argmin(axis=1)]
    axis = np.cross(reference, across)
    axis /= np.linalg.norm(axis, axis=1, keepdims=True)
    eye = axis * (2.1 * distance.max(axis=1))[:, None]
    return centroid, eye


def project(glyphs):
    """Cell positions (x right, y down, 0 to CELL) as gluPerspective and gluLookAt place them."""
    centroid, eye = cameras(glyphs)
    forward = -eye / np.linalg.norm(eye, axis=1, keepdims=True)
    side = np.cross(forward, np.array([0.0, 1.0, 0.0]))
    side /= np.linalg.norm(side, axis=1, keepdims=True)
    up = np.cross(side, forward)
    relative = glyphs - centroid[:, None, :] - eye[:, None, :]
    x = np.einsum("gpk,gk->gp", relative, side)
    y = np.einsum("gpk,gk->gp", relative, up)
    depth = -np.einsum("gpk,gk->gp", relative, forward)
    f = 1 / np.tan(np.radians(30))
    return (f * x / -depth + 1) * CELL / 2, (1 - f * y / -depth) * CELL / 2


def main():
    path, output = sys.argv[1], sys.argv[2]
    columns = int(sys.argv[3]) if len(sys.argv) > 3 else 4
    glyphs = read_glyphs(path)
    count = len(glyphs)
    rows = (count + columns - 1) // columns
    x, y = project(glyphs)
    index = np.arange(count)
    left = (index % columns) * CELL
    top = (index // columns) * CELL
    x += left[:, None]
    y += top[:, None]

    width, height = columns * CELL, rows * CELL
    figure = plt.figure(figsize=(width / 72, height / 72), dpi=72)
    axes = figure.add_axes([0, 0, 1, 1])
    axes.set_xlim(0, width)
    axes.set_ylim(height, 0)
    axes.axis("off")
    low, high = 2.5, 97.5
    corners = np.array([[low, low], [high, low], [high, high], [low, high], [low, low]])
    frames = corners[None, :, :] + np.stack([left, top], axis=1)[:, None, :]
    # Line widths in points at 72 dpi: one point is one pixel.
    axes.add_collection(LineCollection(frames, colors="blue", linewidths=2))
    axes.add_collection(
        LineCollection(np.stack([x, y], axis=2), colors="black", linewidths=2, joinstyle="round")
    )
    # Markers of one line: the cheapest of matplotlib's ways to draw many points.
    axes.plot(x.ravel(), y.ravel(), ls="none", marker="s", ms=5, mew=0, color="red")
    for i in range(count):
        label = chr((65 + i) % 256)
        if label.isprintable():
            axes.text(left[i] + 76, top[i] + 90, label, fontsize=16 * 96 / 72,
                      family="monospace")
    figure.savefig(output)
    print(f"{time.perf_counter() - started:.2f} s in all", file=sys.stderr)


main()
