#pragma once

#include "trackball/Trackball.h"

#include <unordered_map>

// Each glyph's orientation and flag bits, kept only for glyphs that have been
// turned or flagged: every other glyph has the identity orientation and no
// flags, so a file of millions of glyphs costs nothing here until they are turned.
class GlyphTurns {
public:
    // The orientation of glyph `index`: the identity until it is turned.
    const float* orientation(int index) const;
    // The orientation of glyph `index`, to be changed in place.
    float* turn(int index);

    unsigned char flags(int index) const;
    void setFlags(int index, unsigned char flags);

    // Every glyph back to `identity`; the flags stay.
    void resetOrientations(const Quaternion identity);
    // Every glyph, those held and those not, to `orientation`; the flags stay.
    void turnAll(const Quaternion orientation);
    // Forgets every glyph: all back to the identity without flags.
    void clear() { glyphs.clear(); }
    // Glyphs with an orientation or flags of their own.
    std::size_t held() const { return glyphs.size(); }

private:
    struct Turn {
        Quaternion orientation = {0, 0, 0, 1};
        unsigned char flags = 0;
    };

    std::unordered_map<int, Turn> glyphs;
    Quaternion unheld = {0, 0, 0, 1}; // the orientation of every glyph not held
};

// The orientation that shows a glyph turned by `degrees` about `axis` (in the
// glyph file's coordinates, through the centroid), counterclockwise as seen
// from the axis's tip towards the centroid. The view applies an orientation's
// conjugate, so this is the rotation by -degrees, as a drag would compose it
// onto the identity. A zero axis gives the identity.
void orientationTurnedBy(const float axis[3], double degrees, Quaternion orientation);
