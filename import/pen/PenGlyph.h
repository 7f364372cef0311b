#pragma once

// Pen data read from a font or drawing: strokes on the paper, before they
// become one 3-D path.

#include <string>
#include <vector>

// A point of a stroke, in the input's units with y up.
struct PenPoint {
    double x;
    double y;
    bool smooth = false; // inside a flattened curve: never taken for a corner
};

using PenStroke = std::vector<PenPoint>;

// One character of a font or one drawing: its strokes in drawing order.
struct PenGlyph {
    char32_t character = 0; // 0 where the input names none
    std::vector<PenStroke> strokes;
    // Where the glyph starts and how far it moves the pen when text is set with
    // it, in the input's units: a Hershey record's margins, an SVG glyph's
    // horiz-adv-x. `hasAdvance` is false where the input gives none.
    double left = 0;
    double advance = 0;
    bool hasAdvance = false;
};

// What a font or drawing file gives.
struct PenFont {
    std::vector<PenGlyph> glyphs;
    // The height a default pen lift is a quarter of, and what that height is,
    // as the summary names it ("the cap height of H").
    double height = 0;
    std::string heightName;
    // An SVG font's own measures, 0 where it gives none: font-face cap-height
    // and ascent, and the font's horiz-adv-x for glyphs without their own.
    double capHeight = 0;
    double ascent = 0;
    double advance = 0;
    // What was passed over that the user should hear of, each with its line.
    std::vector<std::string> notes;
};

// Where reading stopped and why. `line` counts from 1; 0 means the input as a whole.
struct PenError {
    int line = 0;
    std::string message;
};
