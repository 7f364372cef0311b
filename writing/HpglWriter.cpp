#include "writing/HpglWriter.h"

#include "writing/FixedNumber.h"

#include <algorithm>

#include <cmath>

namespace {

// Plotter units per millimetre.
constexpr double unitsPerMm = 40;

} // namespace

HpglWriter::HpglWriter(std::FILE* file, const Box& drawn)
    : out(file), minX(drawn.minX), minY(drawn.minY) {
    out.append("IN;SP1;\n", 8);
}

void HpglWriter::point(const RoutePoint& p) {
    if (!p.drawn) {
        endRun();
        return;
    }
    char text[64];
    char* end = formatWhole(rounded((p.x - minX) * unitsPerMm), text);
    *end++ = ',';
    end = formatWhole(rounded((p.y - minY) * unitsPerMm), end);
    const std::size_t length = std::size_t(end - text);
    if (runPoints == 0) {
        out.append("PU", 2);
        out.append(text, length);
        out.append(";PD", 3);
        std::copy(text, end, start);
        startLength = length;
    } else {
        if (runPoints > 1)
            out.append(",", 1);
        out.append(text, length);
    }
    ++runPoints;
}

void HpglWriter::endRun() {
    if (runPoints == 0)
        return;
    // A run of one point is a dot: the pen goes down where it is.
    if (runPoints == 1)
        out.append(start, startLength);
    out.append(";\n", 2);
    runPoints = 0;
}

bool HpglWriter::finish() {
    endRun();
    out.append("PU;SP0;\n", 8);
    return out.flush();
}
