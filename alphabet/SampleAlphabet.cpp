#include "alphabet/SampleAlphabet.h"

#include "alphabet/Resample.h"

#include <cmath>
#include <cstddef>

namespace {

constexpr double pi = 3.14159265358979323846;

// A letter's outline: the pen path in the x-y plane, in a box of about
// x 0..1, y 0..1.4 with y up.
class Outline {
public:
    Outline(double x, double y) { points_.push_back({x, y}); }

    Outline& to(double x, double y) {
        points_.push_back({x, y});
        return *this;
    }

    // An elliptic arc round (cx, cy) from angle `from` to angle `to` in degrees,
    // counter-clockwise when `to` > `from`, in steps of at most 5 degrees. The
    // pen is expected to be at the arc's first point already.
    Outline& arc(double cx, double cy, double rx, double ry, double from, double to) {
        const int steps = static_cast<int>(std::ceil(std::fabs(to - from) / 5.0));
        for (int i = 1; i <= steps; ++i) {
            const double a = (from + (to - from) * i / steps) * pi / 180.0;
            points_.push_back({cx + rx * std::cos(a), cy + ry * std::sin(a)});
        }
        return *this;
    }

    struct Point2 {
        double x;
        double y;
    };
    const std::vector<Point2>& points() const { return points_; }

private:
    std::vector<Point2> points_;
};

// How a letter is drawn: its outline, the pen's walk along it and its depth.
//
// Walk: the positions along the outline (fractions of its length) the pen
// passes through in order, from the first to the last. Where the walk turns
// back, the pen goes over part of the outline again; those parts lie exactly on
// top of each other, so the letter looks the same, but they move the stroke's
// centroid and middle point, from which the viewer's automatic camera chooses
// the side it looks from. Walks and depths are tuned so that every letter is
// seen from the front (+z) with y up for every point count from 16 up (checked
// to 8000). For the same reason the round letters B, D, O, P and Q are not
// quite closed: a loop all round the centroid would let the camera pick either
// side, so each leaves a small gap.
//
// Depth: z = bulge sin(pi t) + wave sin(2 pi t) + slope (t - 0.5), where t is
// the arc fraction along the outline.
struct Depth {
    double bulge;
    double wave;
    double slope;
};

struct Letter {
    Outline outline;
    std::vector<double> walk;
    Depth depth;
};

Letter letter(int index) {
    switch (index) {
    case 0: // A: both legs, back up the right leg and across the bar
        return {Outline(0, 0).to(0.5, 1.4).to(1, 0).to(0.757, 0.68).to(0.243, 0.68),
                {0, 0.900, 0.879, 1},
                {-0.126, 0.249, 0.115}};
    case 1: // B: from a small gap in the lower bowl round to the stem, both bowls
        return {Outline(0.55 + 0.385 * std::cos(-53 * pi / 180),
                        0.385 + 0.385 * std::sin(-53 * pi / 180))
                    .arc(0.55, 0.385, 0.385, 0.385, -53, -90)
                    .to(0, 0)
                    .to(0, 1.4)
                    .to(0.5, 1.4)
                    .arc(0.5, 1.085, 0.315, 0.315, 90, -90)
                    .to(0, 0.77)
                    .to(0.55, 0.77)
                    .arc(0.55, 0.385, 0.385, 0.385, 90, -31),
                {0.037, 0, 1, 0.765},
                {0.141, 0.031, 0.194}};
    case 2: // C
        return {Outline(0.5 + 0.5 * std::cos(45 * pi / 180), 0.7 + 0.7 * std::sin(45 * pi / 180))
                    .arc(0.5, 0.7, 0.5, 0.7, 45, 315),
                {0, 0.513, 0.305, 1},
                {-0.114, 0.100, -0.224}};
    case 3: // D: from a small gap in the stem up, round the bow and back up the stem
        return {Outline(0, 0.54)
                    .to(0, 1.4)
                    .to(0.3, 1.4)
                    .arc(0.3, 0.7, 0.7, 0.7, 90, -90)
                    .to(0, 0)
                    .to(0, 0.39),
                {0, 0.887, 0.611, 1},
                {-0.053, -0.093, 0.441}};
    case 4: // E: top bar, stem down with the middle bar out and back, bottom bar
        return {Outline(1, 1.4).to(0, 1.4).to(0, 0.65).to(0.75, 0.65).to(0, 0.65).to(0, 0).to(1, 0),
                {0, 0.524, 0.196, 1},
                {-0.186, -0.013, 0.063}};
    case 5: // F: stem up with the middle bar out and back, top bar
        return {Outline(0, 0).to(0, 0.65).to(0.7, 0.65).to(0, 0.65).to(0, 1.4).to(1, 1.4),
                {0, 0.901, 0.611, 1},
                {-0.245, -0.065, 0.062}};
    case 6: // G: round from the top right, up into the spur and in along the bar
        return {Outline(0.5 + 0.5 * std::cos(45 * pi / 180), 0.7 + 0.7 * std::sin(45 * pi / 180))
                    .arc(0.5, 0.7, 0.5, 0.7, 45, 345)
                    .to(1, 0.6)
                    .to(0.55, 0.6),
                {0, 0.421, 0.096, 1},
                {-0.065, 0.032, -0.490}};
    case 7: // H: left stem up, back down to the bar, across, right stem up and down
        return {Outline(0, 0).to(0, 1.4).to(0, 0.72).to(1, 0.72).to(1, 1.4).to(1, 0),
                {0, 0.258, 0.221, 0.214, 0.115, 1},
                {0.028, 0.122, 0.210}};
    case 8: // I: top serif, stem, bottom serif
        return {Outline(0.2, 1.4).to(0.8, 1.4).to(0.5, 1.4).to(0.5, 0).to(0.2, 0).to(0.8, 0),
                {0, 0.967, 0.727, 1},
                {0.034, 0.070, 0.261}};
    case 9: // J: top bar, stem down into the hook
        return {Outline(0.35, 1.4).to(1, 1.4).to(0.75, 1.4).to(0.75, 0.4).arc(0.4, 0.4, 0.35, 0.4,
                                                                              0, -180),
                {0, 0.772, 0.530, 1},
                {0.040, 0.108, -0.087}};
    case 10: // K: stem down, back up, upper arm out and back, lower leg
        return {Outline(0, 1.4).to(0, 0).to(0, 0.5).to(1, 1.4).to(0.35, 0.8).to(1, 0),
                {0, 0.658, 0.641, 1},
                {0.138, -0.131, -0.356}};
    case 11: // L
        return {Outline(0, 1.4).to(0, 0).to(0.9, 0), {0, 0.513, 0.394, 1}, {-0.002, 0.013, -0.375}};
    case 12: // M
        return {Outline(0, 0).to(0, 1.4).to(0.5, 0.5).to(1, 1.4).to(1, 0),
                {0, 0.505, 0.189, 1},
                {-0.035, 0.106, 0.471}};
    case 13: // N
        return {Outline(0, 0).to(0, 1.4).to(1, 0).to(1, 1.4),
                {0, 0.026, 0, 0.789, 0.508, 1},
                {0, 0.026, -0.297}};
    case 14: // O: counter-clockwise from one side of a small gap on the left to the other
        return {Outline(0.5 + 0.5 * std::cos(182 * pi / 180), 0.7 + 0.7 * std::sin(182 * pi / 180))
                    .arc(0.5, 0.7, 0.5, 0.7, 182, 528),
                {0, 0.374, 0, 0.172, 0.144, 1},
                {0.119, -0.100, 0.394}};
    case 15: // P: from a small gap in the bowl's lower bar to the stem, down and up the stem, bowl
        return {Outline(0.225, 0.74)
                    .to(0, 0.74)
                    .to(0, 0)
                    .to(0, 1.4)
                    .to(0.5, 1.4)
                    .arc(0.5, 1.07, 0.33, 0.33, 90, -90)
                    .to(0.275, 0.74),
                {0, 0.548, 0.261, 0.814, 0.251, 1},
                {-0.024, 0.106, -0.350}};
    case 16: // Q: the ring from a small gap at the lower left, with the tail out and back
        return {Outline(0.5 + 0.5 * std::cos(245 * pi / 180), 0.7 + 0.7 * std::sin(245 * pi / 180))
                    .arc(0.5, 0.7, 0.5, 0.7, 245, 320)
                    .to(1.08, -0.08)
                    .to(0.5 + 0.5 * std::cos(320 * pi / 180), 0.7 + 0.7 * std::sin(320 * pi / 180))
                    .arc(0.5, 0.7, 0.5, 0.7, 320, 591),
                {0, 0.039, 0, 0.447, 0.179, 1},
                {-0.202, 0.097, -0.199}};
    case 17: // R: stem up, bowl back to the stem, leg
        return {Outline(0, 0)
                    .to(0, 1.4)
                    .to(0.5, 1.4)
                    .arc(0.5, 1.07, 0.33, 0.33, 90, -90)
                    .to(0, 0.74)
                    .to(1, 0),
                {0, 0.163, 0.065, 1},
                {-0.217, -0.172, -0.474}};
    case 18: // S: upper curve counter-clockwise, lower curve clockwise
        return {Outline(0.5 + 0.45 * std::cos(30 * pi / 180), 1.06 + 0.34 * std::sin(30 * pi / 180))
                    .arc(0.5, 1.06, 0.45, 0.34, 30, 270)
                    .arc(0.5, 0.36, 0.5, 0.36, 90, -150),
                {0, 0.875, 0.596, 1},
                {0.209, -0.038, -0.492}};
    case 19: // T: bar, back to the middle, stem
        return {Outline(0, 1.4).to(1, 1.4).to(0.5, 1.4).to(0.5, 0),
                {0, 0.035, 0.013, 1},
                {-0.157, -0.071, 0.141}};
    case 20: // U
        return {Outline(0, 1.4).to(0, 0.5).arc(0.5, 0.5, 0.5, 0.5, 180, 360).to(1, 1.4),
                {0, 0.519, 0.259, 1},
                {0.122, 0.029, -0.477}};
    case 21: // V
        return {
            Outline(0, 1.4).to(0.5, 0).to(1, 1.4), {0, 0.408, 0.109, 1}, {-0.105, 0.059, 0.397}};
    case 22: // W
        return {Outline(0, 1.4).to(0.24, 0).to(0.5, 0.62).to(0.76, 0).to(1, 1.4),
                {0, 0.525, 0.188, 1},
                {-0.083, 0.074, -0.091}};
    case 23: // X: one diagonal, back to the crossing, the other diagonal
        return {Outline(0, 1.4).to(1, 0).to(0.5, 0.7).to(1, 1.4).to(0, 0),
                {0, 0.564, 0.553, 1},
                {-0.007, -0.196, -0.261}};
    case 24: // Y: left arm in, right arm out and back, stem
        return {Outline(0, 1.4).to(0.5, 0.7).to(1, 1.4).to(0.5, 0.7).to(0.5, 0),
                {0, 0.494, 0.156, 1},
                {-0.045, 0.093, 0.364}};
    default: // Z
        return {Outline(0, 1.4).to(1, 1.4).to(0, 0).to(1, 0),
                {0, 0.034, 0.029, 0.745, 0.683, 1},
                {0.012, 0.085, -0.202}};
    }
}

// The letter's pen stroke in 3-D: its outline lifted to the depth profile and
// followed along the walk.
std::vector<Point3> penStroke(const Letter& letter) {
    const std::vector<Outline::Point2>& q = letter.outline.points();
    const std::size_t n = q.size();
    std::vector<double> along(n, 0.0);
    for (std::size_t k = 1; k < n; ++k)
        along[k] = along[k - 1] + std::hypot(q[k].x - q[k - 1].x, q[k].y - q[k - 1].y);
    const double total = along[n - 1];

    auto depth = [&](double distance) {
        const double t = distance / total;
        const Depth& d = letter.depth;
        return d.bulge * std::sin(pi * t) + d.wave * std::sin(2 * pi * t) + d.slope * (t - 0.5);
    };
    auto vertex = [&](std::size_t k) {
        return Point3{static_cast<float>(q[k].x), static_cast<float>(q[k].y),
                      static_cast<float>(depth(along[k]))};
    };
    // The outline point at a given distance along it; its ends exactly.
    auto pointAt = [&](double distance) {
        if (distance <= 0)
            return vertex(0);
        if (distance >= total)
            return vertex(n - 1);
        std::size_t k = 0;
        while (k + 2 < n && along[k + 1] < distance)
            ++k;
        const double f = (distance - along[k]) / (along[k + 1] - along[k]);
        return Point3{static_cast<float>(q[k].x + (q[k + 1].x - q[k].x) * f),
                      static_cast<float>(q[k].y + (q[k + 1].y - q[k].y) * f),
                      static_cast<float>(depth(distance))};
    };

    std::vector<Point3> stroke{pointAt(letter.walk.front() * total)};
    for (std::size_t w = 1; w < letter.walk.size(); ++w) {
        const double from = letter.walk[w - 1] * total, to = letter.walk[w] * total;
        // The outline's corners between the two positions, in the pen's direction.
        if (to > from) {
            for (std::size_t k = 0; k < n; ++k)
                if (along[k] > from && along[k] < to)
                    stroke.push_back(vertex(k));
        } else {
            for (std::size_t k = n; k-- > 0;)
                if (along[k] < from && along[k] > to)
                    stroke.push_back(vertex(k));
        }
        stroke.push_back(pointAt(to));
    }
    return stroke;
}

} // namespace

std::vector<Point3> sampleAlphabet(int pointsPerGlyph) {
    std::vector<Point3> result;
    if (pointsPerGlyph < 1)
        return result;
    result.reserve(static_cast<std::size_t>(pointsPerGlyph) * sampleGlyphCount);
    for (int index = 0; index < sampleGlyphCount; ++index) {
        const std::vector<Point3> glyph =
            resampleByArcLength(penStroke(letter(index)), pointsPerGlyph);
        result.insert(result.end(), glyph.begin(), glyph.end());
    }
    return result;
}
