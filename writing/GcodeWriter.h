#pragma once

// The route as G-code: millimetres, absolute, the X-Y plane; G0 for travel at
// the travel height and for retracts up to it, G1 for every other move (plunges
// included), the feed rate on the first G1 after a G0.

#include "writing/OutputBuffer.h"
#include "writing/RouteSink.h"

#include <cstdint>
#include <string>

class GcodeWriter : public RouteSink {
public:
    // `comment` is written as a comment line after the header's first line.
    GcodeWriter(std::FILE* out, double travel, double feed, const std::string& comment);
    void point(const RoutePoint& p) override;
    // Returns to the travel height and ends the program; false where a write failed.
    bool finish();

private:
    void move(bool rapid, const RoutePoint& p);

    OutputBuffer out;
    double travel;
    double feed;
    RoutePoint last{};
    std::int64_t units[3] = {}; // the last position written, in thousandths
    bool started = false;
    bool lastRapid = true;
};
