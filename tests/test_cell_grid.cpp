#include "view/CellGrid.h"
#include "view/GridScroll.h"

#include <QtTest>

namespace {

constexpr int cell = 100;
constexpr int columns = 4;
constexpr int height = 400;

int at(float x, float y, float scroll, int glyphs = 26) {
    return cellIndexAt(x, y, scroll, cell, columns, glyphs);
}

float scroll(float offset, int delta, int glyphs = 26) {
    return scrollAfterSteps(offset, wheelSteps(delta), cell, columns, height, glyphs);
}

} // namespace

class CellGridTest : public QObject {
    Q_OBJECT

private slots:
    void positionsMapToGlyphsRowByRow() {
        QCOMPARE(at(120, 230, 0), 9);
        QCOMPARE(at(0, 0, 0), 0);
        QCOMPARE(at(399, 399, 0), 15);
        QCOMPARE(at(150, 250, 100), 13);
        // Above the first row, and past the last glyph of row 6.
        QCOMPARE(at(50, 0, -100), -1);
        QCOMPARE(at(50, 99, -100), -1);
        QCOMPARE(at(50, 100, -100), 0);
        QCOMPARE(at(250, 50, 600), -1);
        QCOMPARE(at(150, 50, 600), 25);
        QCOMPARE(at(50, 50, 0, 0), -1);
        // Beside the grid nothing wraps into the neighbouring row.
        QCOMPARE(at(400, 50, 0), -1);
        QCOMPARE(at(-150, 150, 0), -1);
    }

    void centresAreInWindowCoordinates() {
        GridPoint five = cellCentreOf(5, 0, cell, columns, height);
        QCOMPARE(five.x, 150.0f);
        QCOMPARE(five.y, 250.0f);
        GridPoint nine = cellCentreOf(9, 0, cell, columns, height);
        QCOMPARE(nine.x, 150.0f);
        QCOMPARE(nine.y, 150.0f);
        GridPoint scrolled = cellCentreOf(0, 200, cell, columns, height);
        QCOMPARE(scrolled.y, 550.0f);
        GridPoint corner = cellCornerOf(17, -100, cell, columns, 400);
        QCOMPARE(corner.x, 100.0f);
        QCOMPARE(corner.y, -200.0f);
    }

    void wheelStepsAreWholeRowsTruncated() {
        QCOMPARE(wheelSteps(120), 1);
        QCOMPARE(wheelSteps(240), 2);
        QCOMPARE(wheelSteps(-120), -1);
        QCOMPARE(wheelSteps(99), 0);
        QCOMPARE(wheelSteps(-199), -1);
    }

    void scrollingStopsAtBothEndsOfTheGrid() {
        // Towards the user (negative delta) the cells move up, to the last row at 600.
        float offset = 0;
        for (int i = 0; i < 10; ++i)
            offset = scroll(offset, -120);
        QCOMPARE(offset, 600.0f);
        QCOMPARE(scroll(500, -120), 600.0f);
        QCOMPARE(scroll(600, -120), 600.0f);
        offset = 0;
        for (int i = 0; i < 10; ++i)
            offset = scroll(offset, 120);
        QCOMPARE(offset, -300.0f);
        QCOMPARE(scroll(-300, 120), -300.0f);
        QCOMPARE(scroll(0, 50), 0.0f);
    }

    void aStepPastABoundIsDroppedWhole() {
        QCOMPARE(scroll(-200, 240), -200.0f);
        QCOMPARE(scroll(-200, 120), -300.0f);
        QCOMPARE(scroll(500, -240), 500.0f);
        // An empty grid still scrolls its first row down, but never up.
        QCOMPARE(scroll(0, -120, 0), 0.0f);
        QCOMPARE(scroll(0, 120, 0), -100.0f);
        // A huge delta neither overflows nor moves.
        QCOMPARE(scroll(0, -2147483647), 0.0f);
    }
};

QTEST_APPLESS_MAIN(CellGridTest)
#include "test_cell_grid.moc"
