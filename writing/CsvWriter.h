#pragma once

// The route as CSV: a heading x,y,z and one row per point, each number in the
// fewest digits that read back to the same float.

#include "writing/OutputBuffer.h"
#include "writing/RouteSink.h"

#include <cstdint>

class CsvWriter : public RouteSink {
public:
    explicit CsvWriter(std::FILE* out);
    void point(const RoutePoint& p) override;
    bool finish() { return out.flush(); }

private:
    // A column's last number and its text: routes repeat a coordinate often
    // (z on the paper, x up a stroke), and the text is then copied.
    struct Column {
        float value = 0;
        bool known = false;
        char text[48];
        std::size_t length = 0;
    };
    char* put(Column& column, float value, char* out);

    OutputBuffer out;
    Column columns[3];
};
