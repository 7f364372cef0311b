#include "wayland/GridShot.h"

#include <QPainter>
#include <QtTest>
#include <map>

namespace {

// What a cell shows; the default is what the viewer draws.
struct Cell {
    bool frame = true;
    bool glyph = true;
    bool label = true;
    bool strokeOverLabel = false; // a glyph stroke across the label corner, as E's and M's run
};

// The viewer's cell less one `part`, e.g. &Cell::label.
Cell without(bool Cell::*part) {
    Cell cell;
    cell.*part = false;
    return cell;
}

// A black line from `from` to `to` under `dots` red dots spread evenly along it.
void dottedStroke(QPainter& painter, QPointF from, QPointF to, int dots) {
    painter.setPen(QPen(Qt::black, 2));
    painter.drawLine(from, to);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::red);
    for (int k = 0; k < dots; ++k)
        painter.drawEllipse(from + (to - from) * k / (dots - 1), 2.5, 2.5);
}

// A grey 800 x 600 desktop with the viewer's white grid at `origin`, each cell
// (index: row * 4 + column) drawn as `cells` says.
QImage desktop(QPoint origin, const std::map<int, Cell>& cells = {}) {
    QImage shot(800, 600, QImage::Format_RGB32);
    shot.fill(QColor(128, 128, 128));
    QPainter painter(&shot);
    painter.fillRect(QRect(5, 5, 20, 20), Qt::blue); // a panel icon: blue, but no grid
    painter.fillRect(QRect(origin, QSize(400, 400)), Qt::white);
    for (int index = 0; index < 16; ++index) {
        const auto found = cells.find(index);
        const Cell cell = found == cells.end() ? Cell() : found->second;
        painter.save();
        painter.translate(origin + QPoint(index % 4, index / 4) * 100);
        for (QRect bar : {QRect(2, 97, 97, 2), QRect(97, 2, 2, 97)})
            painter.fillRect(bar, Qt::blue);
        if (cell.frame) {
            for (QRect bar : {QRect(2, 2, 97, 2), QRect(2, 2, 2, 97)})
                painter.fillRect(bar, Qt::blue);
        }
        if (cell.glyph) {
            dottedStroke(painter, {15, 75}, {30, 20}, 6);
            dottedStroke(painter, {30, 20}, {45, 70}, 6);
            dottedStroke(painter, {45, 70}, {60, 15}, 6);
        }
        if (cell.strokeOverLabel)
            dottedStroke(painter, {60, 94}, {94, 70}, 13);
        if (cell.label) {
            painter.fillRect(QRect(77, 76, 2, 14), Qt::black); // an "L"
            painter.fillRect(QRect(77, 88, 9, 2), Qt::black);
        }
        painter.restore();
    }
    return shot;
}

// The problems holding `text`, in the order reported.
QStringList problemsAbout(const GridShot& grid, const QString& text) {
    return grid.problems.filter(text);
}

} // namespace

class GridShotTest : public QObject {
    Q_OBJECT

private slots:
    void wholeGridIsFoundWhereverTheWindowIs() {
        for (QPoint origin : {QPoint(0, 0), QPoint(137, 91), QPoint(400, 200)}) {
            const GridShot grid = checkGridShot(desktop(origin));
            QVERIFY(grid.found);
            QCOMPARE(grid.origin, origin);
            QVERIFY2(grid.problems.isEmpty(), qPrintable(grid.problems.join('\n')));
        }
    }

    void emptyOrTooSmallScreenshotHasNoGrid() {
        QImage shot(800, 600, QImage::Format_RGB32);
        shot.fill(Qt::white);
        const GridShot grid = checkGridShot(shot);
        QVERIFY(!grid.found);
        QCOMPARE(grid.problems.size(), 1);
        QVERIFY(grid.problems[0].contains("no blue cell frames"));

        const GridShot small = checkGridShot(desktop({0, 0}).copy(0, 0, 399, 600));
        QVERIFY(!small.found);
        QVERIFY(small.problems.value(0).contains("399 x 600"));
    }

    void eachMissingPartIsNamedWithItsCell() {
        const GridShot grid = checkGridShot(desktop({210, 120}, {{5, without(&Cell::frame)},
                                                                 {10, without(&Cell::glyph)},
                                                                 {15, without(&Cell::label)},
                                                                 {3, without(&Cell::label)}}));
        QVERIFY(grid.found);
        QCOMPARE(grid.origin, QPoint(210, 120));
        QCOMPARE(
            problemsAbout(grid, "frame incomplete"),
            QStringList("cell at row 2, column 2: frame incomplete (50% of its outline blue)"));
        const QStringList glyphs = problemsAbout(grid, ": no glyph");
        QCOMPARE(glyphs.size(), 1);
        QVERIFY(glyphs[0].startsWith("cell at row 3, column 3: no glyph"));
        const QStringList labels = problemsAbout(grid, ": no label");
        QCOMPARE(labels.size(), 2);
        QVERIFY(labels[0].startsWith("cell at row 1, column 4: no label"));
        QVERIFY(labels[1].startsWith("cell at row 4, column 4: no label"));
        QCOMPARE(grid.problems.size(), 4);
    }

    void strokeThroughTheLabelCornerIsNoLabel() {
        Cell crossed;
        crossed.strokeOverLabel = true;
        const GridShot labelled = checkGridShot(desktop({50, 50}, {{6, crossed}}));
        QVERIFY2(labelled.problems.isEmpty(), qPrintable(labelled.problems.join('\n')));

        crossed.label = false;
        const GridShot stroke = checkGridShot(desktop({50, 50}, {{6, crossed}}));
        QCOMPARE(stroke.problems.size(), 1);
        QVERIFY(stroke.problems[0].startsWith("cell at row 2, column 3: no label"));
    }
};

QTEST_GUILESS_MAIN(GridShotTest)
#include "test_grid_shot.moc"
