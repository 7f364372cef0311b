// Fuzz target of the Hershey font reader and the pen route. A failed read must
// say what and where (a line of the input); a sound one gives glyphs whose
// points are the font's small whole coordinates, and every glyph's route,
// resampled to as many points as it has ranked ones, keeps each of them.
#include "FuzzCheck.h"
#include "import/pen/HersheyFont.h"
#include "import/pen/PenPath.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string_view>

namespace {

// Every ranked point of `route` appears in `points`, in order.
bool keepsRanked(const PenRoute& route, const std::vector<Point3>& points) {
    std::size_t next = 0;
    for (std::size_t k = 0; k < route.points.size(); ++k) {
        if (!route.rank[k])
            continue;
        const Point3& p = route.points[k];
        while (next < points.size() &&
               !(points[next].x == p.x && points[next].y == p.y && points[next].z == p.z))
            ++next;
        if (next++ == points.size())
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    PenFont font;
    PenError error;
    if (!readHersheyFont(text, font, error)) {
        FUZZ_REQUIRE(!error.message.empty() && font.glyphs.empty());
        const long lines = static_cast<long>(std::count(text.begin(), text.end(), '\n')) + 1;
        FUZZ_REQUIRE(error.line >= 0 && error.line <= lines);
        return 0;
    }
    FUZZ_REQUIRE(!font.glyphs.empty() && font.height >= 0 && !font.heightName.empty());
    for (const PenGlyph& glyph : font.glyphs) {
        for (const PenStroke& stroke : glyph.strokes)
            for (const PenPoint& p : stroke)
                FUZZ_REQUIRE(std::fabs(p.x) <= 50 && std::fabs(p.y) <= 50 &&
                             p.x == std::floor(p.x) && p.y == std::floor(p.y));
        const PenRoute route = penRoute(glyph, 2.5f);
        const int count = std::max(route.fixedCount, 2);
        const std::vector<Point3> points = resampleRoute(route, count);
        FUZZ_REQUIRE(points.size() == std::size_t(count));
        FUZZ_REQUIRE(keepsRanked(route, points));
    }
    return 0;
}
