#include "view/GlyphTurns.h"

#include <algorithm>

const float* GlyphTurns::orientation(int index) const {
    const auto found = glyphs.find(index);
    return found == glyphs.end() || !found->second.own ? shared : found->second.orientation;
}

float* GlyphTurns::turn(int index) {
    Turn& glyph = glyphs[index];
    if (!glyph.own) {
        std::copy(shared, shared + 4, glyph.orientation);
        glyph.own = true;
    }
    return glyph.orientation;
}

void GlyphTurns::turnAll(const Quaternion step) {
    composeRotations(step, shared, shared);
    for (auto& [index, glyph] : glyphs)
        if (glyph.own)
            composeRotations(step, glyph.orientation, glyph.orientation);
}

unsigned char GlyphTurns::flags(int index) const {
    const auto found = glyphs.find(index);
    return found == glyphs.end() ? 0 : found->second.flags;
}

void GlyphTurns::setFlags(int index, unsigned char flags) {
    glyphs[index].flags = flags;
}

void GlyphTurns::resetOrientations(const Quaternion identity) {
    std::copy(identity, identity + 4, shared);
    for (auto it = glyphs.begin(); it != glyphs.end();) {
        it->second.own = false;
        // A glyph left with nothing of its own needs no entry.
        it = it->second.flags == 0 ? glyphs.erase(it) : std::next(it);
    }
}

void GlyphTurns::clear() {
    glyphs.clear();
    std::copy(identityRotation, identityRotation + 4, shared);
}
