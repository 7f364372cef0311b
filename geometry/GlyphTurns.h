#pragma once

#include "trackball/Trackball.h"

#include <unordered_map>

// Each glyph's orientation and flag bits, kept only for glyphs that have been
// turned on their own or flagged: every other glyph has the orientation they
// all share (the identity until every glyph is turned together) and no flags,
// so a file of millions of glyphs costs nothing here until they are turned.
class GlyphTurns {
public:
    // The orientation of glyph `index`: the shared one until it is turned on its own.
    const float* orientation(int index) const;
    // The orientation of glyph `index`, to be changed in place: from now on
    // its own, starting from the shared one.
    float* turn(int index);

    // Composes `step` onto every glyph's orientation, as a drag step composes
    // it onto one glyph's (orientation ⊗ step): one composition for the
    // orientation the glyphs without one of their own share, then one for
    // each glyph with its own. Costs the glyphs turned on their own, not all.
    void turnAll(const Quaternion step);

    unsigned char flags(int index) const;
    void setFlags(int index, unsigned char flags);

    // Every glyph back to the identity; the flags stay.
    void resetOrientations();
    // Forgets every glyph: all back to the identity without flags.
    void clear();
    // Glyphs with an orientation or flags of their own.
    std::size_t held() const { return glyphs.size(); }

private:
    struct Turn {
        Quaternion orientation = {0, 0, 0, 1};
        bool own = false; // false: the glyph has the shared orientation
        unsigned char flags = 0;
    };

    std::unordered_map<int, Turn> glyphs;
    Quaternion shared = {0, 0, 0, 1};
};

// The orientation that shows a glyph turned by `degrees` about `axis` (in the
// glyph file's coordinates, through the centroid), counterclockwise as seen
// from the axis's tip towards the centroid. The view applies an orientation's
// conjugate, so this is the rotation by -degrees, as a drag would compose it
// onto the identity. A zero axis gives the identity.
void orientationTurnedBy(const float axis[3], double degrees, Quaternion orientation);
