#pragma once

// What a pen import says: characters a font lacks, too few points, and the
// summary of what it wrote.

#include "import/pen/PenGlyph.h"
#include "import/pen/PenPath.h"

#include <string>
#include <vector>

// A glyph picked for the output, and where it came from.
struct PickedGlyph {
    const PenGlyph* glyph;
    const std::string* sourceName;
    std::size_t index; // in its source
    float lift;
};

// Says that `source` lacks the characters `missing`, and that they are skipped
// or, with `strict`, that nothing is written.
std::string missingMessage(const std::string& source, const std::u32string& missing, bool strict);

// Says that `points` per glyph are too few to keep every ranked point of some
// routes, how many glyphs that is and which needs most, how many more.
std::string tooFewMessage(const std::vector<PickedGlyph>& picked,
                          const std::vector<PenRoute>& routes, int points, bool asked);

struct SourceSummary {
    std::string kind; // "Hershey font", "SVG font" or "SVG drawing"
    float lift;
    double height;
    std::string heightName;
};

struct PenSummary {
    std::string output;
    std::vector<SourceSummary> sources;
    int glyphs;
    int points;
    bool pointsAsked;
    bool liftAsked;
    std::u32string skipped;
};

// The one line that says what an import wrote.
std::string summaryLine(const PenSummary& summary);
