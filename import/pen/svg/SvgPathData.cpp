#include "import/pen/svg/SvgPathData.h"

#include "import/pen/svg/SvgNumbers.h"
#include "import/text/TextEncoding.h"

#include <algorithm>
#include <array>
#include <cfloat>
#include <cmath>

namespace {

// Most lines one curve is flattened into.
constexpr int mostPieces = 256;

// An ellipse arc by its centre, as SVG's implementation notes turn an endpoint arc.
struct CentreArc {
    double rx, ry;       // the radii, scaled up where too small to reach
    double cosine, sine; // of the x axis' rotation
    double centreX, centreY;
    double start, turn; // angles, the turn signed by the sweep

    // The point at `angle` and the arc's tangent there, by angle.
    void pointAt(double angle, double& px, double& py, double& tx, double& ty) const {
        const double ex = rx * std::cos(angle), ey = ry * std::sin(angle);
        px = centreX + cosine * ex - sine * ey;
        py = centreY + sine * ex + cosine * ey;
        const double fx = -rx * std::sin(angle), fy = ry * std::cos(angle);
        tx = cosine * fx - sine * fy;
        ty = sine * fx + cosine * fy;
    }
};

// Builds the outline command by command, keeping the pen's place.
class PathBuilder {
public:
    PathBuilder(SvgOutline& outline, std::size_t& budget) : outline(outline), budget(budget) {}

    // Each subpath, as each segment, takes one from the budget.
    bool moveTo(double x, double y) {
        if (budget == 0)
            return false;
        --budget;
        outline.push_back({x, y, {}});
        x0 = cx = x;
        y0 = cy = y;
        open = true;
        return true;
    }
    bool lineTo(double x, double y) { return add({false, 0, 0, 0, 0, x, y}); }
    bool cubicTo(double x1, double y1, double x2, double y2, double x, double y) {
        return add({true, x1, y1, x2, y2, x, y});
    }
    bool quadTo(double qx, double qy, double x, double y) {
        return cubicTo(cx + 2.0 / 3 * (qx - cx), cy + 2.0 / 3 * (qy - cy), x + 2.0 / 3 * (qx - x),
                       y + 2.0 / 3 * (qy - y), x, y);
    }
    // The endpoint arc of SVG's implementation notes, as cubics.
    bool arcTo(double rx, double ry, double degrees, bool large, bool sweep, double x, double y);
    bool close() {
        const bool fits = (cx == x0 && cy == y0) || lineTo(x0, y0);
        open = false;
        return fits;
    }

    double cx = 0, cy = 0; // the pen
    double x0 = 0, y0 = 0; // where the subpath started

private:
    bool arcCubics(const CentreArc& arc, double x, double y);
    bool add(const SvgSegment& segment) {
        if (!open && !moveTo(cx, cy)) // a command after Z starts a new subpath where the pen is
            return false;
        if (budget == 0)
            return false;
        --budget;
        outline.back().segments.push_back(segment);
        cx = segment.x;
        cy = segment.y;
        return true;
    }

    SvgOutline& outline;
    std::size_t& budget;
    bool open = false;
};

// The centre form of the arc from (fromX, fromY) to (x, y); false where it is
// none (a zero radius, or ends too close to tell), and a line stands for it.
bool centreArc(double fromX, double fromY, double rx, double ry, double degrees, bool large,
               bool sweep, double x, double y, CentreArc& arc) {
    rx = std::fabs(rx);
    ry = std::fabs(ry);
    if (rx == 0 || ry == 0)
        return false;
    const double phi = degrees * M_PI / 180.0;
    const double cosine = std::cos(phi), sine = std::sin(phi);
    const double dx = (fromX - x) / 2, dy = (fromY - y) / 2;
    const double x1 = cosine * dx + sine * dy, y1 = -sine * dx + cosine * dy;
    // Radii too small to reach are scaled up until they just do.
    double lambda = (x1 / rx) * (x1 / rx) + (y1 / ry) * (y1 / ry);
    if (!(lambda > 0) || !std::isfinite(lambda))
        return false;
    if (lambda > 1) {
        rx *= std::sqrt(lambda);
        ry *= std::sqrt(lambda);
        lambda = 1;
    }
    double coefficient = std::sqrt(std::max(0.0, (1 - lambda) / lambda));
    if (large == sweep)
        coefficient = -coefficient;
    const double centreX1 = coefficient * rx * y1 / ry, centreY1 = -coefficient * ry * x1 / rx;
    const double start = std::atan2((y1 - centreY1) / ry, (x1 - centreX1) / rx);
    double turn = std::atan2((-y1 - centreY1) / ry, (-x1 - centreX1) / rx) - start;
    if (sweep && turn < 0)
        turn += 2 * M_PI;
    else if (!sweep && turn > 0)
        turn -= 2 * M_PI;
    arc = {rx,
           ry,
           cosine,
           sine,
           cosine * centreX1 - sine * centreY1 + (fromX + x) / 2,
           sine * centreX1 + cosine * centreY1 + (fromY + y) / 2,
           start,
           turn};
    return true;
}

bool PathBuilder::arcTo(double rx, double ry, double degrees, bool large, bool sweep, double x,
                        double y) {
    if (x == cx && y == cy)
        return true; // an arc to where it starts is left out
    CentreArc arc;
    if (!centreArc(cx, cy, rx, ry, degrees, large, sweep, x, y, arc))
        return lineTo(x, y);
    return arcCubics(arc, x, y);
}

// The arc as cubics of at most 90 degrees each, the last ending at (x, y).
bool PathBuilder::arcCubics(const CentreArc& arc, double x, double y) {
    const int pieces =
        std::max(1, static_cast<int>(std::ceil(std::fabs(arc.turn) / (M_PI / 2) - 1e-9)));
    const double step = arc.turn / pieces;
    const double handle = 4.0 / 3.0 * std::tan(step / 4);
    double ax, ay, atx, aty;
    arc.pointAt(arc.start, ax, ay, atx, aty);
    for (int i = 1; i <= pieces; ++i) {
        double bx, by, btx, bty;
        arc.pointAt(arc.start + step * i, bx, by, btx, bty);
        if (i == pieces) { // end exactly where the arc was asked to
            bx = x;
            by = y;
        }
        if (!cubicTo(ax + handle * atx, ay + handle * aty, bx - handle * btx, by - handle * bty, bx,
                     by))
            return false;
        ax = bx;
        ay = by;
        atx = btx;
        aty = bty;
    }
    return true;
}

// How many numbers each command takes.
int argumentCount(char16_t command) {
    switch (command | 0x20) {
    case u'm':
    case u'l':
    case u't':
        return 2;
    case u'h':
    case u'v':
        return 1;
    case u'c':
        return 6;
    case u's':
    case u'q':
        return 4;
    case u'a':
        return 7;
    case u'z':
        return 0;
    }
    return -1;
}

std::string at(std::size_t position, const std::string& problem) {
    return "path data at character " + std::to_string(position + 1) + ": " + problem;
}

// The numbers of one command as read: arcs take their flags apart.
struct Arguments {
    double v[7] = {};
    bool flags[2] = {};
};

// Reads path data command by command onto a PathBuilder.
class PathDataReader {
public:
    PathDataReader(std::u16string_view d, SvgOutline& outline, std::size_t& budget)
        : in(d), path(outline, budget) {}

    bool read(std::string& problem);

private:
    bool readCommand(std::size_t place, std::string& problem);
    bool readArguments(Arguments& a, std::string& problem);
    bool draw(const Arguments& a);

    SvgScanner in;
    PathBuilder path;
    char16_t command = 0, previous = 0;
    double lastX2 = 0, lastY2 = 0; // the last cubic's second control point, for S
    double lastQx = 0, lastQy = 0; // the last quadratic's control point, for T
};

bool PathDataReader::read(std::string& problem) {
    in.skipSpaces();
    while (!in.atEnd()) {
        const std::size_t place = in.position();
        Arguments a;
        if (!readCommand(place, problem) || !readArguments(a, problem))
            return false;
        const char16_t kind = command | 0x20;
        if (!draw(a)) {
            problem = at(place, "more than the most segments read from one input");
            return false;
        }
        // A moveto's repeats are lines, but S and T look back at the M itself.
        previous = kind == u'm' ? u'm' : command;
        in.skipSpaces();
    }
    return true;
}

// Takes a command letter, or, before a number, repeats the last command.
bool PathDataReader::readCommand(std::size_t place, std::string& problem) {
    if (argumentCount(in.peek()) >= 0) {
        command = in.peek();
        in.advance();
        in.skipSpaces();
    } else if (!in.atNumber() || command == 0 || (command | 0x20) == u'z') {
        problem = at(place, "expected a command letter, found " +
                                shownChar(in.peek(), Quoted::VisibleAscii));
        return false;
    }
    if (previous == 0 && (command | 0x20) != u'm') {
        problem = at(place, "path data must start with M or m");
        return false;
    }
    return true;
}

bool PathDataReader::readArguments(Arguments& a, std::string& problem) {
    const int count = argumentCount(command);
    for (int i = 0; i < count; ++i) {
        const bool isFlag = (command | 0x20) == u'a' && (i == 3 || i == 4);
        std::string why;
        if (isFlag ? !in.flag(a.flags[i - 3], why) : !in.number(a.v[i], why)) {
            problem =
                at(in.position(), "in " + shownChar(command, Quoted::VisibleAscii) + ", " + why);
            return false;
        }
    }
    return true;
}

// Draws the command read; false where the segment budget runs out.
bool PathDataReader::draw(const Arguments& a) {
    const double* v = a.v;
    const bool relative = command >= u'a';
    const double ox = relative ? path.cx : 0, oy = relative ? path.cy : 0;
    const bool smoothCubic = (previous | 0x20) == u'c' || (previous | 0x20) == u's';
    const bool smoothQuad = (previous | 0x20) == u'q' || (previous | 0x20) == u't';
    switch (command | 0x20) {
    case u'm':
        command = relative ? u'l' : u'L'; // further pairs draw lines
        return path.moveTo(ox + v[0], oy + v[1]);
    case u'l':
        return path.lineTo(ox + v[0], oy + v[1]);
    case u'h':
        return path.lineTo(ox + v[0], path.cy);
    case u'v':
        return path.lineTo(path.cx, oy + v[0]);
    case u'c':
        lastX2 = ox + v[2];
        lastY2 = oy + v[3];
        return path.cubicTo(ox + v[0], oy + v[1], lastX2, lastY2, ox + v[4], oy + v[5]);
    case u's': {
        const double x1 = smoothCubic ? 2 * path.cx - lastX2 : path.cx;
        const double y1 = smoothCubic ? 2 * path.cy - lastY2 : path.cy;
        lastX2 = ox + v[0];
        lastY2 = oy + v[1];
        return path.cubicTo(x1, y1, lastX2, lastY2, ox + v[2], oy + v[3]);
    }
    case u'q':
        lastQx = ox + v[0];
        lastQy = oy + v[1];
        return path.quadTo(lastQx, lastQy, ox + v[2], oy + v[3]);
    case u't':
        lastQx = smoothQuad ? 2 * path.cx - lastQx : path.cx;
        lastQy = smoothQuad ? 2 * path.cy - lastQy : path.cy;
        return path.quadTo(lastQx, lastQy, ox + v[0], oy + v[1]);
    case u'a':
        return path.arcTo(v[0], v[1], v[2], a.flags[0], a.flags[1], ox + v[5], oy + v[6]);
    case u'z':
        return path.close();
    }
    return true;
}

struct XY {
    double x, y;
};

// The parameters strictly inside (0, 1) where the cubic from p0 stops and turns
// back: where its derivative, a quadratic in t, vanishes in both coordinates.
void cuspsOf(XY p0, XY p1, XY p2, XY p3, std::vector<double>& cusps) {
    const XY d0{p1.x - p0.x, p1.y - p0.y}, d1{p2.x - p1.x, p2.y - p1.y},
        d2{p3.x - p2.x, p3.y - p2.y};
    // D(t) = c + b t + a t²
    const XY a{d0.x - 2 * d1.x + d2.x, d0.y - 2 * d1.y + d2.y};
    const XY b{2 * (d1.x - d0.x), 2 * (d1.y - d0.y)};
    const double scale = std::hypot(d0.x, d0.y) + std::hypot(d1.x, d1.y) + std::hypot(d2.x, d2.y);
    std::vector<double> tried;
    for (const auto& [qa, qb, qc] :
         {std::array<double, 3>{a.x, b.x, d0.x}, std::array<double, 3>{a.y, b.y, d0.y}}) {
        if (qa != 0) {
            tried.push_back(-qb / (2 * qa)); // a double root lies at the vertex
            const double discriminant = qb * qb - 4 * qa * qc;
            if (discriminant > 0) {
                const double root = std::sqrt(discriminant);
                tried.push_back((-qb + root) / (2 * qa));
                tried.push_back((-qb - root) / (2 * qa));
            }
        } else if (qb != 0) {
            tried.push_back(-qc / qb);
        }
    }
    for (double t : tried) {
        const double dx = d0.x + b.x * t + a.x * t * t, dy = d0.y + b.y * t + a.y * t * t;
        if (t > 1e-9 && t < 1 - 1e-9 && std::hypot(dx, dy) <= 1e-9 * scale &&
            std::none_of(cusps.begin(), cusps.end(),
                         [t](double c) { return std::fabs(c - t) <= 1e-9; }))
            cusps.push_back(t);
    }
    std::sort(cusps.begin(), cusps.end());
}

PenPoint cubicPoint(double x, double y, const SvgSegment& s, double t, bool smooth) {
    const double u = 1 - t;
    const double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
    return {a * x + b * s.x1 + c * s.x2 + d * s.x, a * y + b * s.y1 + c * s.y2 + d * s.y, smooth};
}

} // namespace

bool parsePathData(std::u16string_view d, SvgOutline& outline, std::size_t& budget,
                   std::string& problem) {
    return PathDataReader(d, outline, budget).read(problem);
}

bool parsePoints(std::u16string_view points, bool closed, SvgOutline& outline, std::size_t& budget,
                 std::string& problem) {
    SvgScanner in(points);
    PathBuilder path(outline, budget);
    in.skipSpaces();
    for (bool first = true; !in.atEnd(); first = false) {
        double x, y;
        if (!in.number(x, problem) || !in.number(y, problem)) {
            problem = "points at character " + std::to_string(in.position() + 1) + ": " +
                      (in.atEnd() ? "an odd number of coordinates" : problem);
            return false;
        }
        if (!(first ? path.moveTo(x, y) : path.lineTo(x, y))) {
            problem = "points: more than the most segments read from one input";
            return false;
        }
    }
    if (closed && !outline.empty() && !path.close()) {
        problem = "points: more than the most segments read from one input";
        return false;
    }
    return true;
}

bool transformOutline(SvgOutline& outline, std::size_t first, const Affine& map) {
    bool fits = true;
    const auto mapped = [&](double& x, double& y) {
        const double mx = map.mapX(x, y), my = map.mapY(x, y);
        x = mx;
        y = my;
        fits = fits && std::fabs(x) <= FLT_MAX && std::fabs(y) <= FLT_MAX;
    };
    for (std::size_t i = first; i < outline.size(); ++i) {
        mapped(outline[i].x0, outline[i].y0);
        for (SvgSegment& s : outline[i].segments) {
            if (s.cubic) {
                mapped(s.x1, s.y1);
                mapped(s.x2, s.y2);
            }
            mapped(s.x, s.y);
        }
    }
    return fits;
}

double outlineSize(const SvgOutline& outline) {
    double low[2] = {INFINITY, INFINITY}, high[2] = {-INFINITY, -INFINITY};
    const auto take = [&](double x, double y) {
        low[0] = std::min(low[0], x);
        low[1] = std::min(low[1], y);
        high[0] = std::max(high[0], x);
        high[1] = std::max(high[1], y);
    };
    for (const SvgSubpath& subpath : outline) {
        if (subpath.segments.empty())
            continue;
        take(subpath.x0, subpath.y0);
        for (const SvgSegment& s : subpath.segments) {
            if (s.cubic) {
                take(s.x1, s.y1);
                take(s.x2, s.y2);
            }
            take(s.x, s.y);
        }
    }
    return high[0] < low[0] ? 0.0 : std::max(high[0] - low[0], high[1] - low[1]);
}

bool flattenOutline(const SvgOutline& outline, double tolerance, std::vector<PenStroke>& strokes,
                    std::size_t& budget) {
    for (const SvgSubpath& subpath : outline) {
        if (subpath.segments.empty())
            continue;
        PenStroke stroke{{subpath.x0, subpath.y0, false}};
        double x = subpath.x0, y = subpath.y0;
        for (const SvgSegment& s : subpath.segments) {
            int pieces = 1;
            if (s.cubic) {
                // The error of n equal steps is at most 3/4 of the largest second difference / n².
                const double bend =
                    std::max(std::hypot(x - 2 * s.x1 + s.x2, y - 2 * s.y1 + s.y2),
                             std::hypot(s.x1 - 2 * s.x2 + s.x, s.y1 - 2 * s.y2 + s.y));
                const double n = tolerance > 0 ? std::ceil(std::sqrt(0.75 * bend / tolerance)) : 1;
                pieces = static_cast<int>(std::clamp(n, 1.0, double(mostPieces)));
            }
            std::vector<double> cusps;
            if (s.cubic)
                cuspsOf({x, y}, {s.x1, s.y1}, {s.x2, s.y2}, {s.x, s.y}, cusps);
            if (budget < std::size_t(pieces) + cusps.size())
                return false;
            budget -= std::size_t(pieces) + cusps.size();
            // A cusp is a point of its own, never smooth, so that it is kept as a corner.
            std::vector<std::pair<double, bool>> steps; // parameter, smooth
            for (int i = 1; i < pieces; ++i)
                if (std::none_of(cusps.begin(), cusps.end(), [&](double c) {
                        return std::fabs(c - double(i) / pieces) <= 1e-9;
                    }))
                    steps.push_back({double(i) / pieces, true});
            for (double c : cusps)
                steps.push_back({c, false});
            std::sort(steps.begin(), steps.end());
            for (const auto& [t, smooth] : steps)
                stroke.push_back(cubicPoint(x, y, s, t, smooth));
            stroke.push_back({s.x, s.y, false});
            x = s.x;
            y = s.y;
        }
        strokes.push_back(std::move(stroke));
    }
    return true;
}
