#pragma once

// The import of pen data: Hershey fonts and SVG fonts and drawings become one
// glyph file of pen routes.

#include "tools/import/PenInputs.h"

#include <string>
#include <vector>

// The most points per glyph chosen without --points.
constexpr int mostChosenPoints = 4096;

struct PenImport {
    std::vector<std::string> inputs; // names as given
    std::vector<std::string> data;   // their bytes
    std::vector<InputKind> kinds;
    bool pickChars = false;
    std::u32string chars;
    bool strict = false;
    bool liftGiven = false;
    double lift = 0;
    int points = 0;   // 0: the fewest that keep every glyph's shape, corners and stroke ends
    double scale = 1; // multiplies every coordinate written
    std::string output;
    bool replaceExisting = false;
};

// What an import has to say, in order, and how it ended.
struct PenImportResult {
    std::vector<std::string> messages; // lines for standard error, without the command's name
    int status = 0;                    // the exit status
};

// Reads every input, joins and resamples its glyphs and writes the glyph file;
// the messages say what it wrote or why not.
PenImportResult importPenData(PenImport& job);
