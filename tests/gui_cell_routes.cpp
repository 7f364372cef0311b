// The GL cell painter (the view and PNG pictures) against the vector one (SVG
// and PDF): the same cell drawn by both must put its label's ink and its
// direction marks in the same place, within what antialiasing moves.
#include "alphabet/GlyphLabel.h"
#include "alphabet/SampleAlphabet.h"
#include "cells/gl/CellPainter.h"
#include "cells/vector/VectorCellPainter.h"
#include "geometry/DirectionMarks.h"
#include "geometry/GlyphCamera.h"
#include "geometry/GlyphTurns.h"

#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QOpenGLPaintDevice>
#include <QPainter>
#include <QtTest>
#include <memory>

namespace {

constexpr int side = 400;
// The cell's lower-left corner in GL window coordinates, and its top-left in the picture's.
constexpr float cellX = 100, cellY = 200;
constexpr int cellTop = side - int(cellY) - 100;

// Where pixels of one kind lie in the cell: how many, their bounds and centre,
// and how many in each 10-pixel block.
struct Ink {
    int count = 0;
    QRect bounds;
    QPointF centre;
    int blocks[10][10] = {};
};

template <typename IsInk> Ink inkOf(const QImage& picture, IsInk isInk) {
    Ink ink;
    double sumX = 0, sumY = 0;
    for (int y = cellTop; y < cellTop + 100; ++y)
        for (int x = int(cellX); x < int(cellX) + 100; ++x)
            if (isInk(picture.pixel(x, y))) {
                ++ink.count;
                ++ink.blocks[(y - cellTop) / 10][(x - int(cellX)) / 10];
                ink.bounds |= QRect(x, y, 1, 1);
                sumX += x;
                sumY += y;
            }
    if (ink.count > 0)
        ink.centre = {sumX / ink.count, sumY / ink.count};
    return ink;
}

// The label's black: dark and grey, unlike the blue frame.
bool labelInk(QRgb p) {
    const int high = std::max({qRed(p), qGreen(p), qBlue(p)});
    const int low = std::min({qRed(p), qGreen(p), qBlue(p)});
    return high < 140 && high - low < 30;
}

// The direction marks' green.
bool markInk(QRgb p) {
    return qGreen(p) > qRed(p) + 50 && qGreen(p) > qBlue(p) + 50;
}

double distanceToSegment(QPointF p, QPointF a, QPointF b) {
    const QPointF ab = b - a;
    const double length2 = QPointF::dotProduct(ab, ab);
    const double t =
        length2 > 0 ? std::clamp(QPointF::dotProduct(p - a, ab) / length2, 0.0, 1.0) : 0.0;
    const QPointF d = p - (a + t * ab);
    return std::hypot(d.x(), d.y());
}

// Pixel centres of the cell inside two arrowheads or more and a pixel or more
// from every arrowhead's edge, clear of antialiasing.
std::vector<QPoint> overlapsOf(const DirectionMarks& marks) {
    std::vector<QPoint> found;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x) {
            const QPointF p(x + 0.5, y + 0.5);
            int inside = 0;
            bool nearEdge = false;
            for (const DirectionArrow& arrow : marks.arrows) {
                const QPointF corners[3] = {{arrow.tip.x, arrow.tip.y},
                                            {arrow.left.x, arrow.left.y},
                                            {arrow.right.x, arrow.right.y}};
                inside += QPolygonF({corners[0], corners[1], corners[2]})
                              .containsPoint(p, Qt::OddEvenFill);
                for (int k = 0; k < 3; ++k)
                    nearEdge =
                        nearEdge || distanceToSegment(p, corners[k], corners[(k + 1) % 3]) < 1;
            }
            const double fromStart = std::hypot(p.x() - marks.start.x, p.y() - marks.start.y);
            if (inside >= 2 && !nearEdge && fromStart > marks.ringRadius + 3)
                found.push_back(QPoint(x, y));
        }
    return found;
}

} // namespace

class CellRoutesTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        const QSurfaceFormat format = CellPainter::surfaceFormat();
        surface.setFormat(format);
        surface.create();
        context.setFormat(format);
        QVERIFY(context.create());
        QVERIFY(context.makeCurrent(&surface));
        QOpenGLFramebufferObjectFormat drawn;
        drawn.setAttachment(QOpenGLFramebufferObject::CombinedDepthStencil);
        drawn.setSamples(format.samples());
        multisampled = std::make_unique<QOpenGLFramebufferObject>(side, side, drawn);
        resolved = std::make_unique<QOpenGLFramebufferObject>(side, side);
        labels = std::make_unique<QOpenGLPaintDevice>(QSize(side, side));
        glyphs = sampleAlphabet(48);
    }

    void cleanupTestCase() {
        labels.reset();
        resolved.reset();
        multisampled.reset();
        context.doneCurrent();
    }

    void labelsAndMarksMatch_data() {
        QTest::addColumn<int>("glyph");
        QTest::addColumn<int>("labelIndex");
        QTest::addColumn<float>("degrees"); // the turn about the vertical axis
        QTest::newRow("A") << 0 << 0 << 0.0f;
        QTest::newRow("S turned") << 18 << 18 << 60.0f;
        QTest::newRow("W turned round, label w") << 22 << 54 << 170.0f;
        QTest::newRow("C, label of glyph 300") << 2 << 300 << -35.0f;
    }

    void labelsAndMarksMatch() {
        QFETCH(int, glyph);
        QFETCH(int, labelIndex);
        QFETCH(float, degrees);
        const float axis[3] = {0, 1, 0};
        Quaternion turn;
        orientationTurnedBy(axis, double(degrees), turn);
        CellContent cell;
        cell.points = glyphs.data() + glyph * 48;
        cell.pointCount = 48;
        cell.orientation = turn;
        cell.labelIndex = labelIndex;
        cell.direction = true;

        // The marks with the glyph; the label alone, as the glyph's black line
        // would pass for its ink.
        const Ink glMarks = inkOf(paintGl(cell), markInk);
        const Ink vectorMarks = inkOf(paintVector(cell), markInk);
        CellContent labelOnly = cell;
        labelOnly.pointCount = 0;
        const Ink glLabel = inkOf(paintGl(labelOnly), labelInk);
        const Ink vectorLabel = inkOf(paintVector(labelOnly), labelInk);

        QVERIFY(glMarks.count > 20 && vectorMarks.count > 20);
        QVERIFY(glLabel.count > 10 && vectorLabel.count > 10);
        // The two antialiasers weigh the marks' edges differently, which moves
        // their centre of ink by pixels: every arrow and the ring must fall in
        // the same blocks instead.
        compare(glMarks, vectorMarks, 100, "direction marks");
        for (int row = 0; row < 10; ++row)
            for (int column = 0; column < 10; ++column) {
                const int gl = glMarks.blocks[row][column];
                const int vector = vectorMarks.blocks[row][column];
                QVERIFY2((gl < 4 || vector > 0) && (vector < 4 || gl > 0),
                         qPrintable(QString("marks in block %1,%2: GL %3 pixels, vector %4")
                                        .arg(column)
                                        .arg(row)
                                        .arg(gl)
                                        .arg(vector)));
            }
        compare(glLabel, vectorLabel, 1.0, "label");
    }

    // A control character's label is none on both routes; a drawn one inks both.
    void controlCharacterLabelsAreNone_data() {
        QTest::addColumn<int>("labelIndex");
        QTest::newRow("code 0") << firstGlyphLabelled(0);
        QTest::newRow("code 31") << firstGlyphLabelled(31);
        QTest::newRow("code 127") << firstGlyphLabelled(127);
        QTest::newRow("code 128") << firstGlyphLabelled(128);
        QTest::newRow("code 159") << firstGlyphLabelled(159);
        QTest::newRow("code 0, next round") << firstGlyphLabelled(0) + 256;
        QTest::newRow("F") << 5;
        QTest::newRow("e acute") << firstGlyphLabelled(233);
    }

    void controlCharacterLabelsAreNone() {
        QFETCH(int, labelIndex);
        CellContent cell;
        cell.labelIndex = labelIndex;
        const bool drawn = labelIsDrawn(glyphLabelCode(labelIndex));
        const Ink gl = inkOf(paintGl(cell), labelInk);
        const Ink vector = inkOf(paintVector(cell), labelInk);
        QCOMPARE(gl.count > 10, drawn);
        QCOMPARE(vector.count > 10, drawn);
        if (!drawn)
            QVERIFY2(
                gl.count == 0 && vector.count == 0,
                qPrintable(QString("GL %1, vector %2 pixels").arg(gl.count).arg(vector.count)));
    }

    // Where arrowheads overlap, both routes fill solid: an even-odd path would
    // punch a hole there in SVG and PDF.
    void overlappingArrowheadsAreSolid() {
        // From a far corner, where the start's ring is, to a short line walked to
        // and fro: arrowheads pointing both ways pile up on the line. Its length
        // is varied until two of them overlap well.
        std::vector<Point3> points;
        DirectionMarks marks;
        std::vector<QPoint> overlaps;
        for (int step = 0; step < 40 && overlaps.size() < 6; ++step) {
            const float length = 0.1f + 0.01f * float(step);
            points.assign(1, {-1, -1, 0});
            for (int k = 0; k < 24; ++k)
                points.push_back({k % 2 ? length : 0.0f, 0.0f, 0.0f});
            const GlyphCamera camera = placeGlyphCamera(points.data(), int(points.size()));
            marks = directionMarks(points.data(), int(points.size()),
                                   GlyphProjection(camera, identityRotation), 100);
            overlaps = overlapsOf(marks);
        }
        QVERIFY2(overlaps.size() >= 6, "no glyph tried has overlapping arrowheads");
        CellContent cell;
        cell.points = points.data();
        cell.pointCount = int(points.size());
        cell.labelIndex = firstGlyphLabelled(' ');
        cell.direction = true;
        const QImage pictures[2] = {paintGl(cell), paintVector(cell)};

        for (const QImage& picture : pictures)
            for (const QPoint& at : overlaps) {
                const QRgb p = picture.pixel(int(cellX) + at.x(), cellTop + at.y());
                // The arrowheads' green, darker than the ring's.
                QVERIFY2(qGreen(p) > 90 && qGreen(p) < 140 && qRed(p) < 60 && qBlue(p) < 60,
                         qPrintable(QString("%1 at %2,%3 in the cell")
                                        .arg(&picture == pictures ? "GL" : "vector")
                                        .arg(at.x())
                                        .arg(at.y())));
            }
    }

private:
    static void compare(const Ink& gl, const Ink& vector, double within, const char* what) {
        const QString where = QString("%1: GL %2,%3 %4x%5 at (%6, %7), vector %8,%9 %10x%11 at "
                                      "(%12, %13)")
                                  .arg(what)
                                  .arg(gl.bounds.x())
                                  .arg(gl.bounds.y())
                                  .arg(gl.bounds.width())
                                  .arg(gl.bounds.height())
                                  .arg(gl.centre.x())
                                  .arg(gl.centre.y())
                                  .arg(vector.bounds.x())
                                  .arg(vector.bounds.y())
                                  .arg(vector.bounds.width())
                                  .arg(vector.bounds.height())
                                  .arg(vector.centre.x())
                                  .arg(vector.centre.y());
        const QPointF shift = gl.centre - vector.centre;
        QVERIFY2(std::abs(shift.x()) <= within && std::abs(shift.y()) <= within, qPrintable(where));
        const int edges[4][2] = {{gl.bounds.left(), vector.bounds.left()},
                                 {gl.bounds.right(), vector.bounds.right()},
                                 {gl.bounds.top(), vector.bounds.top()},
                                 {gl.bounds.bottom(), vector.bounds.bottom()}};
        for (const auto& edge : edges)
            QVERIFY2(std::abs(edge[0] - edge[1]) <= 2, qPrintable(where));
    }

    QImage paintGl(const CellContent& cell) {
        multisampled->bind();
        glViewport(0, 0, side, side);
        CellPainter::prepareContext();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        CellPainter(*labels).paintCell(cell, cellX, cellY);
        QOpenGLFramebufferObject::blitFramebuffer(resolved.get(), multisampled.get());
        return resolved->toImage().convertToFormat(QImage::Format_RGB32);
    }

    static QImage paintVector(const CellContent& cell) {
        QImage picture(side, side, QImage::Format_RGB32);
        picture.fill(Qt::white);
        QPainter painter(&picture);
        VectorCellPainter(painter).paint({{cell, QPointF(cellX, cellTop)}});
        return picture;
    }

    QOffscreenSurface surface;
    QOpenGLContext context;
    std::unique_ptr<QOpenGLFramebufferObject> multisampled;
    std::unique_ptr<QOpenGLFramebufferObject> resolved;
    std::unique_ptr<QOpenGLPaintDevice> labels;
    std::vector<Point3> glyphs;
};

QTEST_MAIN(CellRoutesTest)
#include "gui_cell_routes.moc"
