#pragma once

#include "bench/BenchRows.h"
#include "bench/BenchView.h"

#include <string>
#include <vector>

// A drag step (a mouse move on a pressed glyph, handled and its paint
// finished) against a full repaint of the same state, in the view as it is
// shown: process CPU, GUI-thread CPU and wall time, one row each.
// `cpuGoal`, where above 0, is the most the CPU ratios may be. Before timing,
// the frames are checked: a step must redraw its glyph's cell and nothing
// else, into the pixels a full repaint gives; a failed check adds to `failures`.
std::vector<BenchRow> dragStepRows(BenchView& view, const std::string& name, double seconds,
                                   double cpuGoal, int& failures);
