// The GL cell painter (the view and PNG pictures) against the vector one (SVG
// and PDF): the same cell drawn by both must put its label's ink and its
// direction marks in the same place, within what antialiasing moves.
#include "alphabet/SampleAlphabet.h"
#include "cells/gl/CellPainter.h"
#include "cells/vector/VectorCellPainter.h"
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
