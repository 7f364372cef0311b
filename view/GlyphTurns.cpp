#include "view/GlyphTurns.h"

#include <algorithm>
#include <cmath>

const float* GlyphTurns::orientation(int index) const {
    const auto found = glyphs.find(index);
    return found == glyphs.end() ? unheld : found->second.orientation;
}

float* GlyphTurns::turn(int index) {
    const auto found = glyphs.find(index);
    if (found != glyphs.end())
        return found->second.orientation;
    Turn& added = glyphs[index];
    std::copy(unheld, unheld + 4, added.orientation);
    return added.orientation;
}

unsigned char GlyphTurns::flags(int index) const {
    const auto found = glyphs.find(index);
    return found == glyphs.end() ? 0 : found->second.flags;
}

void GlyphTurns::setFlags(int index, unsigned char flags) {
    turn(index); // a glyph taken in starts from the orientation it had
    glyphs[index].flags = flags;
}

void GlyphTurns::resetOrientations(const Quaternion identity) {
    std::copy(identity, identity + 4, unheld);
    for (auto it = glyphs.begin(); it != glyphs.end();) {
        std::copy(identity, identity + 4, it->second.orientation);
        // A glyph left with nothing of its own needs no entry.
        it = it->second.flags == 0 ? glyphs.erase(it) : std::next(it);
    }
}

void GlyphTurns::turnAll(const Quaternion orientation) {
    std::copy(orientation, orientation + 4, unheld);
    for (auto& glyph : glyphs)
        std::copy(orientation, orientation + 4, glyph.second.orientation);
}

void orientationTurnedBy(const float axis[3], double degrees, Quaternion orientation) {
    const double pi = std::acos(-1.0);
    float unit[3] = {axis[0], axis[1], axis[2]};
    Quaternion step;
    rotationFromAxisAngle(unit, static_cast<float>(-degrees * pi / 180), step);
    composeRotations(step, identityRotation, orientation);
}
