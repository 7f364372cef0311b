#pragma once

#include "import/pen/PenGlyph.h"

#include <string_view>

// Reads a Hershey font in the .jhf form: one record per glyph, each a 5-column
// glyph number, a 3-column count of coordinate pairs, the pair of left and
// right margins and then the strokes' points as pairs of characters, each
// coordinate its character's code less that of 'R'; " R" lifts the pen. A
// record longer than a 72-column line goes on at the start of the next line.
// Records run from the space character on, so record k is character 32 + k.
// y points down in the font and is turned up here. The margins give each glyph's
// left and advance. The font's height for the
// default lift is the height of its H, or of all its glyphs where H is empty.
// On failure returns false with the line and what is wrong in `error`.
bool readHersheyFont(std::string_view text, PenFont& font, PenError& error);

// True where `text` starts with what reads as a Hershey record.
bool looksLikeHershey(std::string_view text);
