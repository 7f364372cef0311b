#pragma once

// What render is asked to draw, and in which format.

#include "alphabet/OutputFile.h"
#include "geometry/GridGeometry.h"
#include "pictures/PictureFormat.h"
#include "tools/render/SheetLayout.h"
#include "trackball/Trackball.h"

#include <string>

using SheetFormat = PictureFormat;

struct SheetRequest {
    int columns = gridColumns;
    GlyphRange range;
    std::string output;
    OutputRules rules;
    SheetFormat format = SheetFormat::Png;
    bool formatGiven = false; // by --format; else the output's extension decides (pictureFormatOf)
    Quaternion turn = {0, 0, 0, 1};
    bool direction = false; // each glyph's start and direction marked, as the viewer's key D does
};

// "png", "svg" or "pdf"; false for anything else.
bool parseSheetFormat(const char* text, SheetFormat& format);

// Parses "AXIS_X,AXIS_Y,AXIS_Z,DEGREES" into the orientation that turns every
// glyph so; false where it is anything else or the axis is zero.
bool parseTurn(const char* text, Quaternion turn);
