#pragma once

#include "import/pen/PenGlyph.h"

#include <string_view>

enum class SvgKind { Font, Drawing };

// Curves are flattened to within 1/500 of their glyph's size.
constexpr int svgFlatnessDivisor = 500;

// Reads an SVG file with an XML reader. Where it holds a <font>, each <glyph>
// is one glyph (its path data in the font's own y-up units, its character from
// its unicode attribute where that is one character, its advance from
// horiz-adv-x; the font's cap-height, ascent and horiz-adv-x are kept too); else the whole drawing
// is one glyph: every shown <path>, <polyline>, <polygon> and <line> with the transforms of its
// groups, its y axis turned up, the bottom left of the viewBox at the origin. Hidden elements
// (display none) and what is never drawn by itself (defs, symbols, masks, text) are passed over;
// links (<use>, <image>) are never followed, so no other file is read. A document type may declare
// only short internal entities that refer to no other entity. Curves are
// flattened to within 1/500 of the glyph's size. Input is bounded: at most a
// million segments, four million flattened points and nesting 100,000 deep. On failure returns
// false with the element, its line and the problem in `error`.
bool readSvg(std::string_view data, SvgKind& kind, PenFont& font, PenError& error);

// True where `text` starts, after blanks, with what can only be XML.
bool looksLikeXml(std::string_view text);
