#include "alphabet/Resample.h"

#include <cmath>
#include <cstddef>

namespace {

Point3 between(const Point3& a, const Point3& b, double f) {
    return {static_cast<float>(a.x + (double(b.x) - a.x) * f),
            static_cast<float>(a.y + (double(b.y) - a.y) * f),
            static_cast<float>(a.z + (double(b.z) - a.z) * f)};
}

} // namespace

std::vector<Point3> resampleByArcLength(const std::vector<Point3>& stroke, int count) {
    if (count < 1 || stroke.empty())
        return {};
    if (count == 1)
        return {stroke.front()};

    // Distance from the first point to each point along the stroke.
    const std::size_t n = stroke.size();
    std::vector<double> along(n, 0.0);
    for (std::size_t k = 1; k < n; ++k)
        along[k] = along[k - 1] + distance(stroke[k - 1], stroke[k]);
    double total = along[n - 1];
    if (!std::isfinite(total)) {
        // Non-finite coordinates leave no usable lengths: give every segment the same weight.
        for (std::size_t k = 0; k < n; ++k)
            along[k] = double(k);
        total = double(n - 1);
    }
    if (!(total > 0))
        return std::vector<Point3>(static_cast<std::size_t>(count), stroke.front());

    std::vector<Point3> result;
    result.reserve(static_cast<std::size_t>(count));
    result.push_back(stroke.front());
    std::size_t segment = 0; // the stroke runs from point `segment` to `segment + 1` here
    for (int i = 1; i < count - 1; ++i) {
        const double target = total * i / (count - 1);
        // Move on past segments that end before the target; zero-length ones are passed as well.
        while (segment + 2 < n && along[segment + 1] < target)
            ++segment;
        const double length = along[segment + 1] - along[segment];
        double f = length > 0 ? (target - along[segment]) / length : 0.0;
        f = f < 0 ? 0 : (f > 1 ? 1 : f);
        result.push_back(between(stroke[segment], stroke[segment + 1], f));
    }
    result.push_back(stroke.back());
    return result;
}
