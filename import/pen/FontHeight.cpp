#include "import/pen/FontHeight.h"

#include <algorithm>
#include <cmath>

double strokesHeight(const std::vector<PenStroke>& strokes) {
    double low = INFINITY, high = -INFINITY;
    for (const PenStroke& stroke : strokes)
        for (const PenPoint& p : stroke) {
            low = std::min(low, p.y);
            high = std::max(high, p.y);
        }
    return high >= low ? high - low : 0.0;
}

void setFontHeight(PenFont& font, double capHeight, double ascent) {
    const auto letterH =
        std::find_if(font.glyphs.begin(), font.glyphs.end(),
                     [](const PenGlyph& g) { return g.character == U'H' && !g.strokes.empty(); });
    if (capHeight > 0) {
        font.height = capHeight;
        font.heightName = "the cap-height of font-face";
    } else if (letterH != font.glyphs.end()) {
        font.height = strokesHeight(letterH->strokes);
        font.heightName = "the cap height of H";
    } else if (ascent > 0) {
        font.height = ascent;
        font.heightName = "the ascent of font-face";
    } else {
        std::vector<PenStroke> all;
        for (const PenGlyph& glyph : font.glyphs)
            all.insert(all.end(), glyph.strokes.begin(), glyph.strokes.end());
        font.height = strokesHeight(all);
        font.heightName = "the font's height";
    }
}
