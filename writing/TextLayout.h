#pragma once

// Text set with a source's glyphs: which glyph each character takes, where
// lines break and where each glyph is placed, in output units.

#include "writing/WriteSource.h"

#include <functional>
#include <string>
#include <vector>

enum class Align { Left, Center, Right };

struct LayoutOptions {
    double size = 10;       // the height of a capital H
    double spacing = 0;     // added after every character's advance
    double lineHeight = 16; // from one baseline to the next
    double width = 0;       // lines break at spaces to stay this narrow; 0: no breaking
    Align align = Align::Left;
};

// One glyph in its place: a source point (x, y, z) lands on
// (x0 + x * scale, y0 + y * scale) in output units.
struct PlacedGlyph {
    const SourceGlyph* glyph;
    char32_t character;
    double x0;
    double y0;
};

class TextLayout {
public:
    // Sets `lines` with `source`; the font lift must be set on `source` first.
    TextLayout(const std::vector<std::u32string>& lines, WriteSource& source,
               const LayoutOptions& options);

    // Output units per source unit.
    double scale() const { return s; }
    // The characters the source lacks, each once, in the order first met.
    const std::u32string& missing() const { return lacking; }
    std::size_t placedCount() const { return placed; }
    std::size_t characterCount() const { return characters; }
    std::size_t skippedCount() const { return skipped; }
    int lineCount() const { return int(rows.size()); }
    // Calls `visit` for every placed glyph in reading order.
    void forEach(const std::function<void(const PlacedGlyph&)>& visit) const;

private:
    struct Row {
        std::size_t line;
        std::size_t begin;
        std::size_t end;
        double width;
    };
    // How far character `c` moves the pen, spacing included; its glyph in `glyph`
    // (null for a space without one). Negative for a character that is skipped.
    double advanceOf(char32_t c, const SourceGlyph*& glyph) const;
    void breakLine(std::size_t line);
    double widthOf(std::size_t line, std::size_t begin, std::size_t end) const;

    const std::vector<std::u32string>& text;
    LayoutOptions options;
    double s = 1;
    double base = 0; // the baseline's source y, scaled
    double space = 0;
    // Each character's glyph, looked up once: the source keeps them.
    std::vector<std::vector<const SourceGlyph*>> glyphOf;
    std::vector<Row> rows;
    std::u32string lacking;
    std::size_t placed = 0;
    std::size_t characters = 0;
    std::size_t skipped = 0;
};
