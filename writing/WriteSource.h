#pragma once

// What text is written with: the glyphs of a glyph file, a Hershey font or an
// SVG font, each as a route in the source's units with its left and advance.

#include "alphabet/Point3.h"
#include "import/pen/PenGlyph.h"

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

enum class SourceKind { GlyphFile, Hershey, SvgFont };

// One glyph as text is set with it, in the source's units.
struct SourceGlyph {
    std::vector<Point3> points; // its route; a font's strokes joined at the lift height
    double left = 0;
    double advance = 0;
    float highest = 0; // the highest z of its points
};

enum class SourceStatus { Ready, Refused, Failed };

class WriteSource {
public:
    // Reads the source `name` from its `bytes` as `kind`, as the caller told it
    // (SvgFont for any SVG); a glyph file is opened at `name`, which must then be
    // a file. Refused: an SVG drawing, text that is not a glyph file, a glyph
    // file on standard input. Failed: a malformed font or glyph file. `error` says why.
    SourceStatus load(const std::string& name, const std::string& bytes, SourceKind kind,
                      std::string& error);

    SourceKind kind() const { return sourceKind; }
    bool isFont() const { return sourceKind != SourceKind::GlyphFile; }
    // The height that --size makes of a capital H, and the y put on the baseline.
    double capHeight() const { return cap; }
    double baseline() const { return base; }
    // Pen data: every point on the paper or on a lift (always so for fonts).
    // penHeight() is then the glyphs' lift height, 0 for flat glyphs and fonts.
    bool isPenData() const { return penData; }
    float penHeight() const { return liftHeight; }
    // What the summary and messages call the source: "Hershey font" etc.
    const char* kindName() const;
    // Notes the reader made on passing over parts of the source.
    const std::vector<std::string>& notes() const { return font.notes; }

    // The lift a font's strokes are joined at, in its units; set before glyph().
    void setFontLift(float lift) { fontLift = lift; }
    // The glyph of character `c`, or null where the source lacks it (or it has no finite point).
    const SourceGlyph* glyph(char32_t c);
    // A space's advance where the source gives one: a font's space glyph. False for glyph files.
    bool spaceAdvance(double& advance) const;

private:
    SourceStatus loadGlyphFile(const std::string& name, const std::string& bytes,
                               std::string& error);
    void measureFont();

    SourceKind sourceKind = SourceKind::GlyphFile;
    double cap = 0;
    double base = 0;
    bool penData = true;
    float liftHeight = 0;
    float fontLift = 0;
    PenFont font;
    std::unordered_map<char32_t, std::size_t> firstOf; // a font's first glyph of each character
    std::vector<std::unique_ptr<SourceGlyph>> glyphs;  // by glyph file index or font index
};
