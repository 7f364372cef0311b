#include "import/pen/svg/SvgPathData.h"
#include "import/pen/svg/SvgStrokes.h"
#include "import/pen/svg/SvgTransform.h"

#include <QFile>
#include <QtTest>
#include <cmath>
#include <vector>

namespace {

using Strokes = std::vector<std::vector<double>>; // x, y pairs of each stroke

SvgOutline outlineOf(std::u16string_view d, std::size_t budget = 1000) {
    SvgOutline outline;
    std::string problem;
    if (!parsePathData(d, outline, budget, problem))
        qWarning("%s", problem.c_str());
    return outline;
}

std::vector<PenStroke> flattened(std::u16string_view d, double tolerance = 1e-4) {
    std::vector<PenStroke> strokes;
    std::size_t budget = 1000000;
    flattenOutline(outlineOf(d), tolerance, strokes, budget);
    return strokes;
}

Strokes pairs(const std::vector<PenStroke>& strokes) {
    Strokes out;
    for (const PenStroke& stroke : strokes) {
        out.emplace_back();
        for (const PenPoint& p : stroke) {
            out.back().push_back(p.x);
            out.back().push_back(p.y);
        }
    }
    return out;
}

double lengthOf(const PenStroke& stroke) {
    double length = 0;
    for (std::size_t k = 1; k < stroke.size(); ++k)
        length += std::hypot(stroke[k].x - stroke[k - 1].x, stroke[k].y - stroke[k - 1].y);
    return length;
}

PenFont readFile(const QString& name, SvgKind& kind) {
    QFile file(QStringLiteral(PEN_DATA_DIR "/") + name);
    file.open(QIODevice::ReadOnly);
    const QByteArray bytes = file.readAll();
    PenFont font;
    PenError error;
    if (!readSvg({bytes.constData(), std::size_t(bytes.size())}, kind, font, error))
        qWarning("%d: %s", error.line, error.message.c_str());
    return font;
}

} // namespace

class SvgPathsTest : public QObject {
    Q_OBJECT

private slots:
    void straightCommandsGiveHandComputedPoints() {
        const struct {
            const char16_t* d;
            Strokes strokes;
        } cases[] = {
            {u"M 1 2 L 3 4 5 6", {{1, 2, 3, 4, 5, 6}}}, // further pairs repeat L
            {u"m 1 2 3 4 5 6", {{1, 2, 4, 6, 9, 12}}},  // and after m, l
            {u"M0 0H5V3h-2v-1", {{0, 0, 5, 0, 5, 3, 3, 3, 3, 2}}},
            {u"M0,0L1,0 1,1Z l 2 2", {{0, 0, 1, 0, 1, 1, 0, 0}, {0, 0, 2, 2}}},
            {u"M1-2-3.5.5 1e1,0", {{1, -2, -3.5, 0.5, 10, 0}}},
            {u"M0 0 L1 1 M 4 4 l 1 0 m 1 1 l 0 1", {{0, 0, 1, 1}, {4, 4, 5, 4}, {6, 5, 6, 6}}},
            {u"M 5 5", {}},                            // a lone moveto draws nothing
            {u"M0 0 A 0 1 0 0 1 2 0", {{0, 0, 2, 0}}}, // a zero radius draws a line
            {u"M0 0 A 1 1 0 0 1 0 0", {}},             // an arc to its start is left out
            {u"", {}},
        };
        for (const auto& c : cases)
            QCOMPARE(pairs(flattened(c.d)), c.strokes);
    }

    void curvesBecomeHandComputedCubics() {
        const struct {
            const char16_t* d;
            std::size_t segment;
            SvgSegment cubic;
        } cases[] = {
            {u"M0 0 Q 3 3 6 0", 0, {true, 2, 2, 4, 2, 6, 0}},
            {u"M0 0 Q 3 3 6 0 T 12 0", 1, {true, 8, -2, 10, -2, 12, 0}}, // control reflected
            {u"M0 0 t 6 0", 0, {true, 0, 0, 2, 0, 6, 0}},                // no quad before
            {u"M0 0 C 0 3 3 3 3 0 S 6 -3 6 0", 1, {true, 3, -3, 6, -3, 6, 0}},
            {u"M0 0 c 0 3 3 3 3 0 s 3 -3 3 0", 1, {true, 3, -3, 6, -3, 6, 0}},
            {u"M0 0 L 3 0 S 6 3 6 0", 1, {true, 3, 0, 6, 3, 6, 0}}, // no cubic before
        };
        for (const auto& c : cases) {
            const SvgOutline outline = outlineOf(c.d);
            QVERIFY(outline.size() == 1 && outline[0].segments.size() > c.segment);
            const SvgSegment& s = outline[0].segments[c.segment];
            const double got[] = {s.x1, s.y1, s.x2, s.y2, s.x, s.y};
            const double want[] = {c.cubic.x1, c.cubic.y1, c.cubic.x2,
                                   c.cubic.y2, c.cubic.x,  c.cubic.y};
            QVERIFY(s.cubic);
            for (int i = 0; i < 6; ++i)
                QVERIFY2(std::fabs(got[i] - want[i]) < 1e-12,
                         qPrintable(QString::fromStdU16String(c.d)));
        }
    }

    void arcsFollowTheirEllipse() {
        const struct {
            const char16_t* d;
            double cx, cy, rx, ry, degrees, length;
        } cases[] = {
            {u"M0 0 A1 1 0 0 1 2 0", 1, 0, 1, 1, 0, M_PI},
            {u"M0 0 A .5 .5 0 0 1 2 0", 1, 0, 1, 1, 0, M_PI}, // radii too small: scaled up
            {u"M1 0 A1 1 0 1 1 0 1", 1, 1, 1, 1, 0, 1.5 * M_PI},
            {u"M1 0 A1 1 0 0 1 0 1", 0, 0, 1, 1, 0, 0.5 * M_PI},
            {u"M1 0 a-1 1 0 1 0 -1 1", 0, 0, 1, 1, 0, 1.5 * M_PI}, // negative radius taken as is
            {u"M0 0 A2 1 90 0 1 0 4", 0, 2, 2, 1, 90, 4.84422},    // half a turned ellipse
        };
        for (const auto& c : cases) {
            const std::vector<PenStroke> strokes = flattened(c.d);
            QCOMPARE(strokes.size(), std::size_t(1));
            const double phi = c.degrees * M_PI / 180;
            for (const PenPoint& p : strokes[0]) {
                const double u = std::cos(phi) * (p.x - c.cx) + std::sin(phi) * (p.y - c.cy);
                const double v = -std::sin(phi) * (p.x - c.cx) + std::cos(phi) * (p.y - c.cy);
                QVERIFY2(std::fabs(std::hypot(u / c.rx, v / c.ry) - 1) < 1e-3,
                         qPrintable(QString::fromStdU16String(c.d)));
            }
            QVERIFY2(std::fabs(lengthOf(strokes[0]) - c.length) < 1e-3 * c.length,
                     qPrintable(QString::number(lengthOf(strokes[0]))));
        }
        // Sweep 1 runs the positive way round: through y = -1 on SVG's downward y.
        QVERIFY(flattened(u"M0 0 A1 1 0 0 1 2 0")[0][5].y < -0.1);
        QVERIFY(flattened(u"M0 0 A1 1 0 0 0 2 0")[0][5].y > 0.1);
    }

    void malformedPathDataIsNamedWithItsPlace() {
        const struct {
            const char16_t* d;
            const char* problem;
        } cases[] = {
            {u"L 1 1", "character 1: path data must start with M or m"},
            {u"M 1", "character 4: in 'M', a number is missing at the end"},
            {u"M 1 1 Z 2", "character 9: expected a command letter, found '2'"},
            {u"M0 0 A 1 1 0 2 0 1 1", "in 'A', expected an arc flag 0 or 1, found '2'"},
            {u"M0 0 L 1e999 0", "the number 1e999 is beyond the range of a double"},
            {u"M0 0 L 1 x", "in 'L', expected a number, found 'x'"},
            {u"M0 0 L nan 0", "expected a number, found 'n'"},
            {u"M0 0 L1 1 2 2 3 3", "more than the most segments"}, // with a budget of 3
        };
        for (const auto& c : cases) {
            SvgOutline outline;
            std::size_t budget = 3;
            std::string problem;
            QVERIFY(!parsePathData(c.d, outline, budget, problem));
            QVERIFY2(problem.find(c.problem) != std::string::npos, problem.c_str());
        }
    }

    void transformsMapAsSvgSays() {
        const struct {
            const char16_t* transform;
            double x, y; // where (1, 2) goes
        } cases[] = {
            {u"translate(3)", 4, 2},
            {u"translate(3 4)", 4, 6},
            {u"scale(2)", 2, 4},
            {u"scale(2,3)", 2, 6},
            {u"rotate(90)", -2, 1},
            {u"rotate(90 1 1)", 0, 1},
            {u"skewX(45)", 3, 2},
            {u"skewY(45)", 1, 3},
            {u"matrix(1 2 3 4 5 6)", 12, 16},
            {u" translate(1) , scale(2) ", 3, 4},
            {u"", 1, 2},
        };
        for (const auto& c : cases) {
            Affine map;
            std::string problem;
            QVERIFY2(parseTransform(c.transform, map, problem), problem.c_str());
            QVERIFY(std::fabs(map.mapX(1, 2) - c.x) < 1e-12 &&
                    std::fabs(map.mapY(1, 2) - c.y) < 1e-12);
        }
        for (const char16_t* bad : {u"rotate(1 2)", u"scale()", u"spin(1)", u"translate(1",
                                    u"matrix(1 2 3 4 5 6 7)", u"scale(1)x"}) {
            Affine map;
            std::string problem;
            QVERIFY2(!parseTransform(bad, map, problem) && !problem.empty(),
                     qPrintable(QString::fromStdU16String(bad)));
        }
    }

    void drawingsGiveTheirShownShapesUpright() {
        SvgKind kind = SvgKind::Font;
        const PenFont drawing = readFile("pen-drawing.svg", kind);
        QVERIFY(kind == SvgKind::Drawing && drawing.glyphs.size() == 1);
        // Group transforms applied, y turned up within the viewBox, the hidden sun left out.
        const Strokes expected = {{10, 10, 90, 10, 90, 60, 10, 60, 10, 10},
                                  {5, 55, 50, 90, 95, 55},
                                  {40, 10, 40, 35, 60, 35, 60, 10},
                                  {20, 45, 40, 45}};
        const Strokes got = pairs(drawing.glyphs[0].strokes);
        QCOMPARE(got.size(), expected.size());
        for (std::size_t i = 0; i < got.size(); ++i)
            for (std::size_t k = 0; k < got[i].size(); ++k)
                QVERIFY(std::fabs(got[i][k] - expected[i][k]) < 1e-9);
        QCOMPARE(drawing.height, 100.0);
    }

    void fontsGiveAGlyphPerCharacterInTheirOwnUnits() {
        SvgKind kind = SvgKind::Drawing;
        const PenFont font = readFile("pen-font.svg", kind);
        QVERIFY(kind == SvgKind::Font);
        QCOMPARE(font.glyphs.size(), std::size_t(13));
        QVERIFY(font.glyphs[0].character == U' ' && font.glyphs[0].strokes.empty());
        const PenGlyph& h = font.glyphs[6];
        QVERIFY(h.character == U'H');
        QCOMPARE(pairs(h.strokes),
                 (Strokes{{0, 0, 0, 700}, {450, 0, 450, 700}, {0, 360, 450, 360}}));
        QCOMPARE(font.height, 700.0); // font-face's cap-height
        QCOMPARE(font.heightName, std::string("the cap-height of font-face"));
    }
};

QTEST_APPLESS_MAIN(SvgPathsTest)
#include "test_svg_paths.moc"
