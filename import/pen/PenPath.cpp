#include "import/pen/PenPath.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <queue>

namespace {

// Cosine of the smallest turn that makes a corner: 30 degrees.
const double cornerCosine = std::cos(30.0 * M_PI / 180.0);

bool same(const Point3& a, const Point3& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

// True where the path turns by more than 30 degrees at b on its way from a to c.
bool turnsAt(const Point3& a, const Point3& b, const Point3& c) {
    const double ux = double(b.x) - a.x, uy = double(b.y) - a.y, uz = double(b.z) - a.z;
    const double vx = double(c.x) - b.x, vy = double(c.y) - b.y, vz = double(c.z) - b.z;
    const double lengths =
        std::sqrt(ux * ux + uy * uy + uz * uz) * std::sqrt(vx * vx + vy * vy + vz * vz);
    return lengths > 0 && (ux * vx + uy * vy + uz * vz) < cornerCosine * lengths;
}

class RouteBuilder {
public:
    explicit RouteBuilder(PenRoute& route) : route(route) {}

    // Adds `p`; a repeat of the last point only raises that point's rank.
    void add(const Point3& p, unsigned char rank) {
        if (!route.points.empty() && same(route.points.back(), p)) {
            route.rank.back() = std::max(route.rank.back(), rank);
            return;
        }
        route.points.push_back(p);
        route.rank.push_back(rank);
    }

    // Adds a stroke whose first point the route already ends on; marks its corners.
    void addStroke(const PenStroke& stroke) {
        bool lastSmooth = stroke.front().smooth; // of the route's last point
        for (std::size_t k = 1; k < stroke.size(); ++k) {
            const std::size_t before = route.points.size();
            add(flat(stroke[k]), k + 1 == stroke.size() ? strokeEndRank : freeRank);
            if (route.points.size() == before) {
                lastSmooth = lastSmooth && stroke[k].smooth;
                continue;
            }
            if (before >= 2 && !lastSmooth &&
                turnsAt(route.points[before - 2], route.points[before - 1], route.points[before]))
                route.rank[before - 1] =
                    std::max<unsigned char>(route.rank[before - 1], cornerRank);
            lastSmooth = stroke[k].smooth;
        }
    }

    static Point3 flat(const PenPoint& p) {
        return {static_cast<float>(p.x), static_cast<float>(p.y), 0.0f};
    }

private:
    PenRoute& route;
};

// `m` of the indices in `from`, spread evenly over it.
void spread(const std::vector<std::size_t>& from, std::size_t m, std::vector<std::size_t>& to) {
    if (m >= from.size()) {
        to.insert(to.end(), from.begin(), from.end());
        return;
    }
    for (std::size_t i = 0; i < m; ++i)
        to.push_back(m == 1 ? from.front() : from[i * (from.size() - 1) / (m - 1)]);
}

// The indices of the points kept: every ranked one where they fit, else the highest ranks.
std::vector<std::size_t> keptPoints(const PenRoute& route, std::size_t count) {
    std::vector<std::size_t> kept;
    for (int rank = pathEndRank; rank > freeRank && kept.size() < count; --rank) {
        std::vector<std::size_t> ofRank;
        for (std::size_t k = 0; k < route.rank.size(); ++k)
            if (route.rank[k] == rank)
                ofRank.push_back(k);
        spread(ofRank, count - kept.size(), kept);
    }
    std::sort(kept.begin(), kept.end());
    return kept;
}

// How many free points each section between kept points gets, so that the
// spacing is as even as it can be: each point goes where the spacing is widest.
std::vector<int> shareOut(const std::vector<double>& lengths, int free) {
    std::vector<int> share(lengths.size(), 0);
    double total = 0;
    for (double length : lengths)
        total += length;
    if (!(total > 0))
        return share;
    for (std::size_t j = 0; j < lengths.size(); ++j) {
        share[j] = static_cast<int>(std::floor(free * (lengths[j] / total)));
        free -= share[j];
    }
    using Gap = std::pair<double, std::size_t>; // spacing with one more point, section
    std::priority_queue<Gap> widest;
    for (std::size_t j = 0; j < lengths.size(); ++j)
        widest.push({lengths[j] / (share[j] + 2), j});
    for (; free > 0; --free) {
        const std::size_t j = widest.top().second;
        widest.pop();
        ++share[j];
        widest.push({lengths[j] / (share[j] + 2), j});
    }
    return share;
}

// Adds the places of `count` points spaced evenly by arc length strictly between
// route points `from` and `to`; by index where the length is not finite.
void evenPlaces(const std::vector<Point3>& points, std::size_t from, std::size_t to, int count,
                std::vector<RoutePlace>& places) {
    if (count <= 0)
        return;
    const std::size_t n = to - from + 1;
    std::vector<double> along(n, 0.0);
    for (std::size_t k = 1; k < n; ++k)
        along[k] = along[k - 1] + distance(points[from + k - 1], points[from + k]);
    double total = along[n - 1];
    if (!std::isfinite(total)) {
        for (std::size_t k = 0; k < n; ++k)
            along[k] = double(k);
        total = double(n - 1);
    }
    std::size_t segment = 0;
    for (int i = 1; i <= count; ++i) {
        const double target = total * i / (count + 1);
        while (segment + 2 < n && along[segment + 1] < target)
            ++segment;
        const double length = along[segment + 1] - along[segment];
        const double f = length > 0 ? std::clamp((target - along[segment]) / length, 0.0, 1.0) : 0;
        places.push_back({from + segment, f});
    }
}

} // namespace

PenRoute penRoute(const PenGlyph& glyph, float lift) {
    PenRoute route;
    RouteBuilder builder(route);
    for (const PenStroke& stroke : glyph.strokes) {
        if (stroke.empty())
            continue;
        const Point3 start = RouteBuilder::flat(stroke.front());
        if (!route.points.empty() && lift != 0) {
            const Point3 end = route.points.back();
            builder.add({end.x, end.y, lift}, liftRank);
            builder.add({start.x, start.y, lift}, liftRank);
        }
        builder.add(start, strokeEndRank);
        builder.addStroke(stroke);
    }
    if (!route.points.empty()) {
        route.rank.front() = pathEndRank;
        route.rank.back() = pathEndRank;
    }
    route.fixedCount = static_cast<int>(
        std::count_if(route.rank.begin(), route.rank.end(), [](unsigned char r) { return r; }));
    return route;
}

std::vector<RoutePlace> resamplePlaces(const PenRoute& route, int count) {
    const std::vector<Point3>& points = route.points;
    if (count < 1 || points.size() < 2)
        return {};
    const auto placeOf = [&](std::size_t k) {
        return k + 1 < points.size() ? RoutePlace{k, 0.0} : RoutePlace{k - 1, 1.0};
    };
    const std::vector<std::size_t> kept = keptPoints(route, std::size_t(count));
    if (kept.size() < 2)
        return std::vector<RoutePlace>(std::size_t(count), placeOf(kept.front()));

    std::vector<double> lengths(kept.size() - 1, 0.0);
    for (std::size_t j = 0; j + 1 < kept.size(); ++j)
        for (std::size_t k = kept[j]; k < kept[j + 1]; ++k)
            lengths[j] += distance(points[k], points[k + 1]);
    const std::vector<int> share = shareOut(lengths, count - static_cast<int>(kept.size()));

    std::vector<RoutePlace> places;
    places.reserve(std::size_t(count));
    for (std::size_t j = 0; j + 1 < kept.size(); ++j) {
        places.push_back(placeOf(kept[j]));
        evenPlaces(points, kept[j], kept[j + 1], share[j], places);
    }
    places.push_back(placeOf(kept.back()));
    places.resize(std::size_t(count), places.back()); // a route without length shares out none
    return places;
}

Point3 pointAt(const PenRoute& route, const RoutePlace& place) {
    const Point3& a = route.points[place.segment];
    if (place.fraction <= 0)
        return a;
    const Point3& b = route.points[place.segment + 1];
    if (place.fraction >= 1)
        return b;
    return {static_cast<float>(a.x + (double(b.x) - a.x) * place.fraction),
            static_cast<float>(a.y + (double(b.y) - a.y) * place.fraction),
            static_cast<float>(a.z + (double(b.z) - a.z) * place.fraction)};
}

std::vector<Point3> resampleRoute(const PenRoute& route, int count) {
    if (count < 1)
        return {};
    const std::vector<Point3>& points = route.points;
    if (points.size() < 2)
        return std::vector<Point3>(std::size_t(count),
                                   points.empty() ? Point3{0, 0, 0} : points[0]);
    std::vector<Point3> result;
    result.reserve(std::size_t(count));
    for (const RoutePlace& place : resamplePlaces(route, count))
        result.push_back(pointAt(route, place));
    return result;
}
