// Resampled pen routes against their true curves, sampled densely here from
// the curves' own formulas, and the import's choice of points.

#include "import/pen/HersheyFont.h"
#include "import/pen/PenPath.h"
#include "import/pen/RouteFit.h"
#include "import/pen/svg/SvgStrokes.h"

#include <QFile>
#include <QtTest>
#include <algorithm>
#include <cmath>
#include <functional>
#include <string_view>
#include <vector>

namespace {

using Curve = std::function<Point3(double t)>; // t from 0 to 1

double toPolyline(const Point3& p, const std::vector<Point3>& line) {
    double best = INFINITY;
    for (std::size_t k = 0; k + 1 < line.size(); ++k)
        best = std::min(best, segmentDistance(p, line[k], line[k + 1]));
    return best;
}

// The Hausdorff distance between two polylines, each sampled 32 times a segment.
double hausdorff(const std::vector<Point3>& a, const std::vector<Point3>& b) {
    double worst = 0;
    for (const auto& [from, to] : {std::pair{&a, &b}, std::pair{&b, &a}})
        for (std::size_t k = 0; k + 1 < from->size(); ++k)
            for (int i = 0; i <= 32; ++i) {
                const Point3 &p = (*from)[k], &q = (*from)[k + 1];
                const double f = i / 32.0;
                worst = std::max(
                    worst, toPolyline({float(p.x + (q.x - p.x) * f), float(p.y + (q.y - p.y) * f),
                                       float(p.z + (q.z - p.z) * f)},
                                      *to));
            }
    return worst;
}

double largestExtent(const std::vector<Point3>& points) {
    float low[2] = {INFINITY, INFINITY}, high[2] = {-INFINITY, -INFINITY};
    for (const Point3& p : points) {
        low[0] = std::min(low[0], p.x), high[0] = std::max(high[0], p.x);
        low[1] = std::min(low[1], p.y), high[1] = std::max(high[1], p.y);
    }
    return std::max(high[0] - low[0], high[1] - low[1]);
}

PenGlyph drawing(const QByteArray& body) {
    const QByteArray text =
        "<svg xmlns='http://www.w3.org/2000/svg' viewBox='0 0 200 200'>" + body + "</svg>";
    PenFont font;
    PenError error;
    SvgKind kind;
    if (!readSvg(std::string_view(text.constData(), std::size_t(text.size())), kind, font, error))
        qWarning("%s", error.message.c_str());
    return font.glyphs.empty() ? PenGlyph() : font.glyphs[0];
}

// A cubic in the drawing's coordinates, turned y up as the reader turns them.
Curve cubic(double x0, double y0, double x1, double y1, double x2, double y2, double x3,
            double y3) {
    return [=](double t) {
        const double u = 1 - t, a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
        return Point3{float(a * x0 + b * x1 + c * x2 + d * x3),
                      float(200 - (a * y0 + b * y1 + c * y2 + d * y3)), 0};
    };
}

} // namespace

Q_DECLARE_METATYPE(Curve)
Q_DECLARE_METATYPE(Point3)

class RouteShapeTest : public QObject {
    Q_OBJECT

private slots:
    void defaultPointsFollowTheTrueCurve_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<Curve>("curve");
        QTest::addColumn<Point3>("kept"); // a point that must be among those written
        const Curve circle = [](double t) {
            return Point3{float(100 + 50 * std::cos(2 * M_PI * t)),
                          float(200 - (100 + 50 * std::sin(2 * M_PI * t))), 0};
        };
        QTest::newRow("circle of four arcs")
            << QByteArray("<path d='M 150 100 A 50 50 0 0 1 100 150 A 50 50 0 0 1 50 100 "
                          "A 50 50 0 0 1 100 50 A 50 50 0 0 1 150 100'/>")
            << circle << Point3{150, 100, 0};
        QTest::newRow("circle element")
            << QByteArray("<circle cx='100' cy='100' r='50'/>") << circle << Point3{100, 50, 0};
        QTest::newRow("cusp") << QByteArray("<path d='M 0 100 C 100 0 0 0 100 100'/>")
                              << cubic(0, 100, 100, 0, 0, 0, 100, 100) << Point3{50, 175, 0};
        // Q 0 0, 200 0, 100 0 as a cubic; it turns back at x = 400/3.
        QTest::newRow("overshooting quadratic")
            << QByteArray("<path d='M 0 100 Q 200 100 100 100'/>")
            << cubic(0, 100, 400.0 / 3, 100, 500.0 / 3, 100, 100, 100)
            << Point3{float(400.0 / 3), 100, 0};
        QTest::newRow("U") << QByteArray("<path d='M 0 0 C 0 266.67 100 266.67 100 0'/>")
                           << cubic(0, 0, 0, 266.67, 100, 266.67, 100, 0) << Point3{100, 200, 0};
    }

    void defaultPointsFollowTheTrueCurve() {
        QFETCH(QByteArray, body);
        QFETCH(Curve, curve);
        QFETCH(Point3, kept);
        const PenRoute route = penRoute(drawing(body), 0);
        const PointChoice choice = choosePoints({route}, route.fixedCount, 4096);
        QVERIFY(choice.shapeKept);
        const std::vector<Point3> written = resampleRoute(route, choice.points);
        std::vector<Point3> truth;
        for (int i = 0; i <= 4000; ++i)
            truth.push_back(curve(i / 4000.0));
        // Within 1/200 of the size, give or take the flattening's 1/500 and float rounding.
        const double size = largestExtent(truth);
        QVERIFY2(hausdorff(truth, written) <= size * (1.0 / 200 + 1.0 / 500) + 1e-3,
                 qPrintable(QString::number(hausdorff(truth, written))));
        QVERIFY(std::any_of(written.begin(), written.end(), [&](const Point3& p) {
            return std::hypot(p.x - kept.x, p.y - kept.y) < 1e-3;
        }));
        // The count is the fewest: one fewer leaves the route too far out.
        QVERIFY(choice.points == route.fixedCount || !keepsShape(route, choice.points - 1));
    }

    void liftCornersGiveWayBeforeStrokeEnds() {
        // Two strokes and a lift: path ends, two stroke ends on the paper, two lift corners.
        PenGlyph glyph;
        glyph.strokes = {{{0, 0}, {10, 0}}, {{0, 10}, {10, 10}}};
        const PenRoute route = penRoute(glyph, 5);
        QCOMPARE(route.fixedCount, 6);
        const std::vector<Point3> four = resampleRoute(route, 4);
        const std::vector<Point3> paper = {{0, 0, 0}, {10, 0, 0}, {0, 10, 0}, {10, 10, 0}};
        for (std::size_t k = 0; k < 4; ++k)
            QVERIFY(four[k].x == paper[k].x && four[k].y == paper[k].y && four[k].z == 0);
    }

    void hersheyRoundsKeepTheirShape() {
        const QString path = QStringLiteral("/usr/share/hershey-fonts/futural.jhf");
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            QSKIP("Debian's hershey-fonts package is not installed");
        const QByteArray data = file.readAll();
        PenFont font;
        PenError error;
        QVERIFY(readHersheyFont(std::string_view(data.constData(), std::size_t(data.size())), font,
                                error));
        std::vector<PenRoute> routes;
        int needed = 2;
        for (const PenGlyph& glyph : font.glyphs) {
            routes.push_back(penRoute(glyph, float(font.height / 4)));
            needed = std::max(needed, routes.back().fixedCount);
        }
        const PointChoice choice = choosePoints(routes, needed, 4096);
        QVERIFY(choice.shapeKept && choice.shapeAsked);
        for (const char32_t c : std::u32string_view(U"0OQCGSos@&")) {
            const PenRoute& route = routes[std::size_t(c - 32)];
            const std::vector<Point3> written = resampleRoute(route, choice.points);
            QVERIFY2(hausdorff(route.points, written) <= routeSize(route) / 200,
                     qPrintable(QString(QChar(c))));
        }
    }
};

QTEST_GUILESS_MAIN(RouteShapeTest)
#include "test_route_shape.moc"
