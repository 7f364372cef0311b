#pragma once

#include "alphabet/Point3.h"

// The glyph camera's perspective: vertical field of view in degrees and the
// depth range, for the GL drawing and the vector drawing alike.
constexpr double glyphFieldOfView = 60;
constexpr double glyphNearPlane = 0.1;
constexpr double glyphFarPlane = 5000;
// The eye stands this many times the largest point distance from the centroid.
constexpr float glyphEyeDistanceFactor = 2.1f;

// What keeps a glyph's automatic camera from being placed the usual way.
enum class GlyphProblem {
    None,
    NoPoints,          // nothing to draw
    NonFinite,         // NaN or infinite coordinates, or a size beyond float range
    SinglePoint,       // fewer than two points
    AllPointsEqual,    // every point at the centroid
    MiddleAtCentroid,  // no reference direction from the middle point
    AllOnOneLine,      // no plane through the points
    VerticalViewAxis,  // the view axis is parallel to the up vector
    OutsideDepthRange, // every point nearer than the near plane or beyond the far plane
};

// The camera of one glyph: the glyph is moved so that `centroid` lies at the
// origin and seen from `eye` towards the origin with `up` as up.
struct GlyphCamera {
    Point3 centroid;
    Point3 eye;
    Point3 up;
    bool visible; // false: draw no point of the glyph
    GlyphProblem problem;
};

// Places the camera that shows a glyph face-on, at 2.1 times the largest
// point distance from the centroid. Every value is worked out afresh from the
// points in 32-bit floats with double intermediates. Degenerate glyphs get a
// fallback camera or none; no NaN or infinity ever leaves this function.
GlyphCamera placeGlyphCamera(const Point3* points, int pointCount);

const char* glyphProblemText(GlyphProblem problem);
