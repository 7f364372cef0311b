#pragma once

// The route as CSV: a heading x,y,z and one row per point, each number in the
// fewest digits that read back to the same float.

#include "writing/OutputBuffer.h"
#include "writing/RouteSink.h"

class CsvWriter : public RouteSink {
public:
    explicit CsvWriter(std::FILE* out);
    void point(const RoutePoint& p) override;
    bool finish() { return out.flush(); }

private:
    OutputBuffer out;
};
