#pragma once

// The pen-down runs as an SVG page for plotters: one unfilled black path per
// run, in millimetres, y turned down, the runs' box inside a margin.

#include "writing/OutputBuffer.h"
#include "writing/RouteStats.h"

#include <string>

class SvgPlotWriter : public RouteSink {
public:
    // `drawn` is the box of the drawn points, from a pass before this one.
    SvgPlotWriter(std::FILE* out, const Box& drawn, double margin, double penWidth);
    void point(const RoutePoint& p) override;
    bool finish();

private:
    void endRun();

    OutputBuffer out;
    Box drawn;
    double margin;
    std::string pathStart;
    int runPoints = 0;
};
