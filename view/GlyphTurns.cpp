#include "view/GlyphTurns.h"

#include <algorithm>

const float* GlyphTurns::orientation(int index) const {
    const auto found = glyphs.find(index);
    return found == glyphs.end() ? identityRotation : found->second.orientation;
}

float* GlyphTurns::turn(int index) {
    return glyphs[index].orientation;
}

unsigned char GlyphTurns::flags(int index) const {
    const auto found = glyphs.find(index);
    return found == glyphs.end() ? 0 : found->second.flags;
}

void GlyphTurns::setFlags(int index, unsigned char flags) {
    glyphs[index].flags = flags;
}

void GlyphTurns::resetOrientations(const Quaternion identity) {
    for (auto it = glyphs.begin(); it != glyphs.end();) {
        std::copy(identity, identity + 4, it->second.orientation);
        // A glyph left with nothing of its own needs no entry.
        it = it->second.flags == 0 ? glyphs.erase(it) : std::next(it);
    }
}
