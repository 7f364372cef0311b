#pragma once

// The pen-down runs as HPGL: pen up to each run's start, pen down through its
// points, in plotter units of 0.025 mm from the runs' lowest x and y.

#include "writing/OutputBuffer.h"
#include "writing/RouteStats.h"

class HpglWriter : public RouteSink {
public:
    // `drawn` is the box of the drawn points, from a pass before this one.
    HpglWriter(std::FILE* out, const Box& drawn);
    void point(const RoutePoint& p) override;
    bool finish();

private:
    void endRun();

    OutputBuffer out;
    double minX;
    double minY;
    int runPoints = 0;
    char start[48]; // a run's first point, "x,y"
    std::size_t startLength = 0;
};
