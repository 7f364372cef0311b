#include "tools/render/SheetRequest.h"

#include "geometry/GlyphTurns.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

bool parseSheetFormat(const char* text, SheetFormat& format) {
    const struct {
        const char* name;
        SheetFormat format;
    } names[] = {{"png", SheetFormat::Png}, {"svg", SheetFormat::Svg}, {"pdf", SheetFormat::Pdf}};
    for (const auto& known : names)
        if (!std::strcmp(text, known.name)) {
            format = known.format;
            return true;
        }
    return false;
}

bool parseTurn(const char* text, Quaternion turn) {
    double values[4];
    const char* next = text;
    for (int k = 0; k < 4; ++k) {
        char* end = nullptr;
        values[k] = std::strtod(next, &end);
        if (end == next || !std::isfinite(values[k]) || *end != (k < 3 ? ',' : '\0'))
            return false;
        next = end + 1;
    }
    const float axis[3] = {static_cast<float>(values[0]), static_cast<float>(values[1]),
                           static_cast<float>(values[2])};
    if (!std::isfinite(std::hypot(axis[0], axis[1], axis[2])) ||
        (axis[0] == 0 && axis[1] == 0 && axis[2] == 0))
        return false;
    orientationTurnedBy(axis, values[3], turn);
    return true;
}
