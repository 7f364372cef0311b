#pragma once

// The import of pen data: Hershey fonts and SVG fonts and drawings become one
// glyph file of pen routes.

#include "tools/import/PenInputs.h"

#include <string>
#include <vector>

struct PenImport {
    std::vector<std::string> inputs; // names as given
    std::vector<std::string> data;   // their bytes
    std::vector<InputKind> kinds;
    bool pickChars = false;
    std::u32string chars;
    bool strict = false;
    bool liftGiven = false;
    double lift = 0;
    int points = 0; // 0: the fewest that keep every corner and stroke end
    std::string output;
    bool replaceExisting = false;
};

// Reads every input, joins and resamples its glyphs and writes the glyph file;
// says what it wrote or why not on standard error. Returns the exit status.
int importPenData(PenImport& job);
