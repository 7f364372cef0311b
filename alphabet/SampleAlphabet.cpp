#include "alphabet/SampleAlphabet.h"

#include "alphabet/Resample.h"

#include <cmath>
#include <cstddef>

namespace {

constexpr double pi = 3.14159265358979323846;

// How far a letter leaves the x-y plane along its stroke, by arc fraction t:
// z = bulge * sin(pi t) + slope * (t - 0.5).
struct Depth {
    double bulge;
    double slope;
};

// A letter outline drawn as one pen stroke in the x-y plane.
class Stroke {
public:
    explicit Stroke(double x, double y) { points_.push_back({x, y}); }

    Stroke& to(double x, double y) {
        points_.push_back({x, y});
        return *this;
    }

    // An elliptic arc around (cx, cy) from angle `from` to `to` in degrees,
    // counter-clockwise when `to` > `from`. It starts at the current pen point's
    // angle, so the first arc point is left out.
    Stroke& arc(double cx, double cy, double rx, double ry, double from, double to) {
        const int steps = static_cast<int>(std::ceil(std::fabs(to - from) / 5.0));
        for (int i = 1; i <= steps; ++i) {
            double a = (from + (to - from) * i / steps) * pi / 180.0;
            points_.push_back({cx + rx * std::cos(a), cy + ry * std::sin(a)});
        }
        return *this;
    }

    // The stroke in 3-D: z follows `depth` along the plane arc length.
    std::vector<Point3> lifted(const Depth& depth) const {
        std::vector<double> along(points_.size(), 0.0);
        for (std::size_t k = 1; k < points_.size(); ++k)
            along[k] = along[k - 1] + std::hypot(points_[k].x - points_[k - 1].x,
                                                 points_[k].y - points_[k - 1].y);
        const double total = along.back();
        std::vector<Point3> result;
        result.reserve(points_.size());
        for (std::size_t k = 0; k < points_.size(); ++k) {
            double t = total > 0 ? along[k] / total : 0.0;
            double z = depth.bulge * std::sin(pi * t) + depth.slope * (t - 0.5);
            result.push_back({static_cast<float>(points_[k].x), static_cast<float>(points_[k].y),
                              static_cast<float>(z)});
        }
        return result;
    }

private:
    struct Point2 {
        double x;
        double y;
    };
    std::vector<Point2> points_;
};

constexpr Depth usual{0.25, 0.0};

std::vector<Point3> letter(int index) {
    switch (index) {
    case 0: // A: left leg up, right leg down, back up the right leg and across the bar
        return Stroke(0, 0).to(0.5, 1.4).to(1, 0).to(0.82, 0.5).to(0.18, 0.5).lifted(usual);
    case 1: // B: stem up, then both bowls back down to the foot
        return Stroke(0, 0)
            .to(0, 1.4)
            .to(0.55, 1.4)
            .arc(0.55, 1.06, 0.34, 0.34, 90, -90)
            .to(0, 0.72)
            .to(0.6, 0.72)
            .arc(0.6, 0.36, 0.36, 0.36, 90, -90)
            .to(0, 0)
            .lifted(usual);
    case 2: // C
        return Stroke(0.5 + 0.5 * std::cos(40 * pi / 180), 0.7 + 0.7 * std::sin(40 * pi / 180))
            .arc(0.5, 0.7, 0.5, 0.7, 40, 320)
            .lifted(usual);
    case 3: // D: stem up, bow back down
        return Stroke(0, 0)
            .to(0, 1.4)
            .to(0.3, 1.4)
            .arc(0.3, 0.7, 0.7, 0.7, 90, -90)
            .to(0, 0)
            .lifted(usual);
    case 4: // E: top bar, stem down with the middle bar out and back, bottom bar
        return Stroke(1, 1.4)
            .to(0, 1.4)
            .to(0, 0.7)
            .to(0.75, 0.7)
            .to(0, 0.7)
            .to(0, 0)
            .to(1, 0)
            .lifted(usual);
    case 5: // F: stem up with the middle bar out and back, top bar
        return Stroke(0, 0)
            .to(0, 0.75)
            .to(0.7, 0.75)
            .to(0, 0.75)
            .to(0, 1.4)
            .to(1, 1.4)
            .lifted(usual);
    case 6: // G
        return Stroke(0.5 + 0.5 * std::cos(40 * pi / 180), 0.7 + 0.7 * std::sin(40 * pi / 180))
            .arc(0.5, 0.7, 0.5, 0.7, 40, 345)
            .to(1, 0.6)
            .to(0.55, 0.6)
            .lifted(usual);
    case 7: // H: left stem down, back up to the bar, across, right stem up and down
        return Stroke(0, 1.4)
            .to(0, 0)
            .to(0, 0.7)
            .to(1, 0.7)
            .to(1, 1.4)
            .to(1, 0)
            .lifted(usual);
    case 8: // I: top serif, stem, bottom serif
        return Stroke(0.2, 1.4)
            .to(0.8, 1.4)
            .to(0.5, 1.4)
            .to(0.5, 0)
            .to(0.2, 0)
            .to(0.8, 0)
            .lifted(usual);
    case 9: // J: top bar, stem down into the hook
        return Stroke(0.35, 1.4)
            .to(1, 1.4)
            .to(0.75, 1.4)
            .to(0.75, 0.4)
            .arc(0.4, 0.4, 0.35, 0.4, 0, -180)
            .lifted(usual);
    case 10: // K: stem down, back up, upper arm out and back, lower leg
        return Stroke(0, 1.4)
            .to(0, 0)
            .to(0, 0.5)
            .to(1, 1.4)
            .to(0.35, 0.8)
            .to(1, 0)
            .lifted(usual);
    case 11: // L
        return Stroke(0, 1.4).to(0, 0).to(0.9, 0).lifted(usual);
    case 12: // M
        return Stroke(0, 0).to(0, 1.4).to(0.5, 0.5).to(1, 1.4).to(1, 0).lifted(usual);
    case 13: // N
        return Stroke(0, 0).to(0, 1.4).to(1, 0).to(1, 1.4).lifted(usual);
    case 14: // O: counter-clockwise from the top
        return Stroke(0.5, 1.4).arc(0.5, 0.7, 0.5, 0.7, 90, 450).lifted(usual);
    case 15: // P: stem up, bowl back to the stem
        return Stroke(0, 0)
            .to(0, 1.4)
            .to(0.55, 1.4)
            .arc(0.55, 1.03, 0.37, 0.37, 90, -90)
            .to(0, 0.66)
            .lifted(usual);
    case 16: // Q: the ring, then out through the tail
        return Stroke(0.5 + 0.5 * std::cos(-45 * pi / 180), 0.7 + 0.7 * std::sin(-45 * pi / 180))
            .arc(0.5, 0.7, 0.5, 0.7, -45, 315)
            .to(1.05, -0.05)
            .lifted(usual);
    case 17: // R: as P, then the leg
        return Stroke(0, 0)
            .to(0, 1.4)
            .to(0.55, 1.4)
            .arc(0.55, 1.03, 0.37, 0.37, 90, -90)
            .to(0, 0.66)
            .to(1, 0)
            .lifted(usual);
    case 18: // S: upper curve counter-clockwise, lower curve clockwise
        return Stroke(0.5 + 0.45 * std::cos(30 * pi / 180), 1.06 + 0.34 * std::sin(30 * pi / 180))
            .arc(0.5, 1.06, 0.45, 0.34, 30, 270)
            .arc(0.5, 0.36, 0.5, 0.36, 90, -150)
            .lifted(usual);
    case 19: // T: bar, back to the middle, stem
        return Stroke(0, 1.4).to(1, 1.4).to(0.5, 1.4).to(0.5, 0).lifted(usual);
    case 20: // U
        return Stroke(0, 1.4).to(0, 0.5).arc(0.5, 0.5, 0.5, 0.5, 180, 360).to(1, 1.4).lifted(usual);
    case 21: // V
        return Stroke(0, 1.4).to(0.5, 0).to(1, 1.4).lifted(usual);
    case 22: // W
        return Stroke(0, 1.4).to(0.25, 0).to(0.5, 0.9).to(0.75, 0).to(1, 1.4).lifted(usual);
    case 23: // X: one diagonal, back to the crossing, the other diagonal
        return Stroke(0, 1.4).to(1, 0).to(0.5, 0.7).to(1, 1.4).to(0, 0).lifted(usual);
    case 24: // Y: left arm in, right arm out and back, stem
        return Stroke(0, 1.4).to(0.5, 0.7).to(1, 1.4).to(0.5, 0.7).to(0.5, 0).lifted(usual);
    default: // Z
        return Stroke(0, 1.4).to(1, 1.4).to(0, 0).to(1, 0).lifted(usual);
    }
}

} // namespace

std::vector<Point3> sampleAlphabet(int pointsPerGlyph) {
    std::vector<Point3> result;
    if (pointsPerGlyph < 1)
        return result;
    result.reserve(static_cast<std::size_t>(pointsPerGlyph) * sampleGlyphCount);
    for (int index = 0; index < sampleGlyphCount; ++index) {
        std::vector<Point3> glyph = resampleByArcLength(letter(index), pointsPerGlyph);
        result.insert(result.end(), glyph.begin(), glyph.end());
    }
    return result;
}
