#pragma once

// The height a font's default pen lift is a quarter of.

#include "import/pen/PenGlyph.h"

#include <vector>

// The height of the box around every point of `strokes`; 0 where there is none.
double strokesHeight(const std::vector<PenStroke>& strokes);

// Sets the height and its name of `font`, its glyphs read, by the first rule
// that gives one: the cap height the font declares (above 0), the height of its
// H where that draws something, the ascent it declares (above 0), the height
// of all its glyphs.
void setFontHeight(PenFont& font, double capHeight = 0, double ascent = 0);
