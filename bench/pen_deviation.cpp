// Measures how far the glyphs of a glyph file made by `alphabet-tool import`
// stray from the pen routes of the fonts it was made from, both ways, each as a
// share of its route's largest extent. The fonts are read again and joined with
// the default lift; the distance is taken by brute force between densely
// sampled polylines, apart from the import's own measure.
//
//   pen_deviation GLYPHFILE INPUT...

#include "alphabet/AlphabetFile.h"
#include "import/pen/HersheyFont.h"
#include "import/pen/PenPath.h"
#include "import/pen/svg/SvgStrokes.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

double polylineDistance(const Point3& p, const std::vector<Point3>& line) {
    if (line.size() == 1)
        return segmentDistance(p, line[0], line[0]);
    double best = INFINITY;
    for (std::size_t k = 0; k + 1 < line.size(); ++k)
        best = std::min(best, segmentDistance(p, line[k], line[k + 1]));
    return best;
}

// The farthest any point of `from`, sampled 16 times a segment, lies from `to`.
double directed(const std::vector<Point3>& from, const std::vector<Point3>& to) {
    double worst = polylineDistance(from.back(), to);
    for (std::size_t k = 0; k + 1 < from.size(); ++k)
        for (int i = 0; i < 16; ++i) {
            const double f = i / 16.0;
            const Point3 p{float(from[k].x + (from[k + 1].x - from[k].x) * f),
                           float(from[k].y + (from[k + 1].y - from[k].y) * f),
                           float(from[k].z + (from[k + 1].z - from[k].z) * f)};
            worst = std::max(worst, polylineDistance(p, to));
        }
    return worst;
}

double extent(const std::vector<Point3>& points) {
    double low[3] = {INFINITY, INFINITY, INFINITY}, high[3] = {-INFINITY, -INFINITY, -INFINITY};
    for (const Point3& p : points) {
        const double c[3] = {p.x, p.y, p.z};
        for (int i = 0; i < 3; ++i) {
            low[i] = std::min(low[i], c[i]);
            high[i] = std::max(high[i], c[i]);
        }
    }
    return std::max({high[0] - low[0], high[1] - low[1], high[2] - low[2]});
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: pen_deviation GLYPHFILE INPUT...\n");
        return 2;
    }
    AlphabetFile file;
    if (!file.open(argv[1]))
        return 1;
    int glyph = 0;
    double worst = 0;
    std::string worstName;
    for (int i = 2; i < argc; ++i) {
        std::ifstream in(argv[i], std::ios::binary);
        const std::string data{std::istreambuf_iterator<char>(in), {}};
        PenFont font;
        PenError error;
        SvgKind kind;
        if (!(looksLikeXml(data) ? readSvg(data, kind, font, error)
                                 : readHersheyFont(data, font, error))) {
            std::fprintf(stderr, "%s: %s\n", argv[i], error.message.c_str());
            return 1;
        }
        for (std::size_t g = 0; g < font.glyphs.size(); ++g, ++glyph) {
            const PenRoute route = penRoute(font.glyphs[g], float(font.height / 4));
            if (route.points.size() < 2 || glyph >= file.glyphCount())
                continue;
            const Point3* written = file.glyph(glyph);
            const std::vector<Point3> resampled(written, written + file.pointsPerGlyph());
            const double deviation =
                std::max(directed(route.points, resampled), directed(resampled, route.points)) /
                extent(route.points);
            if (deviation > worst) {
                worst = deviation;
                worstName = std::string(argv[i]) + " glyph " + std::to_string(g);
            }
        }
    }
    std::printf("%d glyphs of %d points; worst deviation %.4g of the glyph's size (1/%.0f), %s\n",
                glyph, file.pointsPerGlyph(), worst, worst > 0 ? 1 / worst : 0.0,
                worstName.c_str());
    return glyph == file.glyphCount() ? 0 : 1;
}
