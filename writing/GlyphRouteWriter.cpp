#include "writing/GlyphRouteWriter.h"

#include "alphabet/AlphabetWriter.h"

bool GlyphRouteWriter::finish(std::FILE* out) const {
    return writeAlphabet(out, int(points.size()), 1, points.data());
}
