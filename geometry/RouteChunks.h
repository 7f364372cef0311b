#pragma once

#include "alphabet/Point3.h"
#include "geometry/GlyphProjection.h"
#include "geometry/PointRun.h"

#include <cstddef>
#include <vector>

// A long route cut into chunks of consecutive points, each with a sphere
// round the box of its points (and the first point of the next chunk, so that every
// segment lies in some chunk's sphere). The spheres are worked out once from
// the points; a picture through any camera, turn or zoom then skips the
// chunks wholly outside its view without reading their points.
class RouteChunks {
public:
    static constexpr int chunkPoints = 256;

    // The spheres of the `count` points at `points`.
    void build(const Point3* points, int count);
    void clear();
    // Whether the spheres were built for these points.
    bool holds(const Point3* points, int count) const {
        return points == source && count == pointCount;
    }
    std::size_t chunkCount() const { return chunks.size(); }

    // The runs of points whose lines or dots may show through `projection`,
    // with neighbouring chunks joined into one run: a chunk is left out when
    // its sphere lies wholly outside the depth range or wholly beyond an edge
    // of the picture widened by `margin` (normalised units: the picture spans
    // -1 to 1), which keeps a wide line or dot that only reaches in.
    std::vector<PointRun> runsInView(const GlyphProjection& projection, double margin) const;

    // As nearestPoint() in DirectionMarks.h over the whole route, for a picture
    // `side` pixels square, reading only the chunks that reach within `within` of `at`.
    int nearestPoint(const GlyphProjection& projection, double side, CellPosition at,
                     double within) const;

private:
    struct Sphere {
        double x, y, z, radius;
    };

    std::vector<Sphere> chunks;
    const Point3* source = nullptr;
    int pointCount = 0;
};
