#include "geometry/GlyphTurns.h"

#include <algorithm>
#include <cmath>

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

void GlyphTurns::resetOrientations() {
    std::copy(identityRotation, identityRotation + 4, shared);
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

void orientationTurnedBy(const float axis[3], double degrees, Quaternion orientation) {
    const double pi = std::acos(-1.0);
    float unit[3] = {axis[0], axis[1], axis[2]};
    Quaternion step;
    rotationFromAxisAngle(unit, static_cast<float>(-degrees * pi / 180), step);
    composeRotations(step, identityRotation, orientation);
}
