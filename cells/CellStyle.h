#pragma once

// How a glyph cell looks, the same in the GL view, its PNG pictures and the
// SVG and PDF ones. Lengths are pixels of the 100-pixel cell (logical pixels;
// on a high-density screen GL multiplies them by the device pixel ratio).

// Side of the square the look is drawn in.
constexpr int cellStyleSide = 100;

// The blue frame: a square this far in from each edge, and the dotted inner
// one that marks a glyph being turned.
constexpr float frameInsetLow = 2.5f;
constexpr float frameInsetHigh = 97.5f;
constexpr float turningFrameLow = 4.5f;
constexpr float turningFrameHigh = 95.5f;
constexpr float frameLineWidth = 2.0f;

// The glyph: a black polyline through its points, a red square dot on each.
constexpr float glyphLineWidth = 2.0f;
constexpr float glyphPointSize = 5.0f;

// Colours as red, green, blue from 0 to 1; the label is written in black.
constexpr float frameColour[3] = {0, 0, 1};
constexpr float glyphLineColour[3] = {0, 0, 0};
constexpr float glyphPointColour[3] = {1, 0, 0};
constexpr float labelColour[3] = {0, 0, 0};

// The label font asks for this family by name; the font system substitutes
// where it is missing.
constexpr const char* labelFontFamily = "Lucida Console";
constexpr int labelFontPointSize = 16;
// The label's width is estimated from its length: this many pixels per point
// of font size per character. Its right end and its baseline are this far in
// from the cell's right and lower edges.
constexpr float labelWidthPerPoint = 0.83f;
constexpr int labelInset = 10;

// Where a label starts its baseline.
struct LabelBaseline {
    double x;
    double y;
};

// Where the label of `length` characters of the cell whose top-left corner is
// (left, top) starts its baseline, in the same coordinates (y downward),
// unrounded. The GL painter rounds it through floats to whole pixels as it
// always has, the vector painter cuts its fraction off (see each painter).
constexpr LabelBaseline labelBaseline(double left, double top, int length) {
    const double half = cellStyleSide * 0.5;
    const double width = labelFontPointSize * double(labelWidthPerPoint) * length;
    return {left + half + (half - labelInset) - width, top + half + (half - labelInset)};
}
