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

// Says that `points` leave `glyphs` glyphs beyond 1/200 of their size, and that
// `neediest` needs the most, `needed` (0: more than `most`, which was tried).
std::string shapeMessage(const PickedGlyph& neediest, int glyphs, int points, int needed, int most,
                         bool asked);

// Why the points per glyph are as many as they are, without --points: the
// shape of `decider`, or its corners and stroke ends (where `ranked`), or the
// least a route takes.
std::string pointsReason(const PickedGlyph& decider, bool shape, bool ranked);

// Names the glyphs that draw nothing (`empty`) and those whose points are all
// one (`single`), and what they are written as.
std::string collapsedMessage(const std::vector<PickedGlyph>& picked,
                             const std::vector<std::size_t>& empty,
                             const std::vector<std::size_t>& single, int points);

// Names the glyphs the viewer's camera clips and the --scale that fits every
// glyph (0: none does).
std::string depthMessage(const std::vector<PickedGlyph>& picked,
                         const std::vector<std::size_t>& tooSmall,
                         const std::vector<std::size_t>& tooLarge, double scale);

// A number as the messages show it: "0.1", "2.5e+06".
std::string shownNumber(double value);

// Says that --scale takes a point beyond a 32-bit float.
std::string scaleTooLargeMessage(double scale);

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
    std::string pointsReason; // empty: --points
    bool liftAsked;
    double scale;
    std::u32string skipped;
};

// The one line that says what an import wrote.
std::string summaryLine(const PenSummary& summary);
