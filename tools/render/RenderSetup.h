#pragma once

// What render settles before Qt starts, and Qt's start with the glyphs loaded.

#include "tools/render/RenderResult.h"
#include "tools/render/SheetRequest.h"

#include <functional>

class AlphabetFile;
class VirtualDisplay;

// Clears every variable through which Qt would scale the view, so that the
// sheet's cells are the viewer's 100 pixels whatever the environment says.
void clearScaleFactors();

// Where Qt is about to open the X display that DISPLAY names, tries it first:
// a display that can't be opened makes Qt abort. False with the reason where
// it can't.
bool checkDisplay(std::string& error);

// Readies the process for drawing a sheet in `format`: the heap's habits and
// Qt's platform (for PNG an X display, started in `display` where none is set).
RenderResult setUpRender(SheetFormat format, VirtualDisplay& display);

// Starts Qt's GUI application on the platform chosen beforehand, loads the glyphs of
// `input` and runs `draw` on them; a file without glyphs is a failure.
RenderResult drawGlyphsOf(const char* input,
                          const std::function<RenderResult(const AlphabetFile&)>& draw);
