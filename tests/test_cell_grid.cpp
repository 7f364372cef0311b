#include "geometry/CellGrid.h"
#include "geometry/GridScroll.h"

#include <QtTest>
#include <vector>

Q_DECLARE_METATYPE(std::vector<int>)

namespace {

constexpr int cell = 100;
constexpr int columns = 4;
constexpr int height = 400;

int at(float x, float y, double scroll, int glyphs = 26) {
    return cellIndexAt(x, y, scroll, cell, columns, glyphs);
}

float scroll(float offset, int delta, int glyphs = 26) {
    return scrollAfterSteps(offset, wheelSteps(delta), cell, columns, height, glyphs);
}

double byRows(double offset, int rows, int glyphs) {
    return offsetByRows(offset, rows, cell, columns, height, glyphs);
}

double end(int glyphs) {
    return endOffset(cell, columns, height, glyphs);
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

    void smallWheelDeltasAddUpToRowsInOneDirection_data() {
        QTest::addColumn<std::vector<int>>("deltas");
        QTest::addColumn<std::vector<int>>("rows"); // rows after each delta
        const auto row = [](const char* name, std::vector<int> deltas, std::vector<int> rows) {
            QTest::newRow(name) << deltas << rows;
        };
        row("eight of 15 make a row", {15, 15, 15, 15, 15, 15, 15, 15}, {0, 0, 0, 0, 0, 0, 0, 1});
        row("downward too", {-60, -59, -1, -99}, {0, 0, -1, 0});
        row("what is left over carries on", {90, 90, 60}, {0, 1, 1});
        row("turning back drops the rest", {90, -15, 90, 15, 15}, {0, 0, 0, 0, 1});
        row("a notch drops the rest", {90, 120, 90, 29, 1}, {0, 1, 0, 0, 1});
        row("notches are whole rows, truncated", {240, -120, 199, -100, 99}, {2, -1, 1, -1, 0});
        row("a notch back drops the rest too", {-99, 100, -99}, {0, 1, 0});
        row("zero adds nothing", {60, 0, 60}, {0, 0, 1});
    }
    void smallWheelDeltasAddUpToRowsInOneDirection() {
        QFETCH(std::vector<int>, deltas);
        QFETCH(std::vector<int>, rows);
        WheelAccumulator wheel;
        std::vector<int> got;
        for (int delta : deltas)
            got.push_back(wheel.steps(delta));
        QCOMPARE(got, rows);
    }

    void homeAndEndShowTheFirstAndLastRows() {
        QCOMPARE(homeOffset(), 0.0);
        QCOMPARE(end(1000), 24600.0); // row 249 from 24900 to 25000: the view's bottom
        QCOMPARE(end(997), 24600.0);  // a partial last row counts whole
        QCOMPARE(end(17), 100.0);
        QCOMPARE(end(16), 0.0); // every row fits: the first at the top
        QCOMPARE(end(3), 0.0);
        QCOMPARE(end(0), 0.0);
        QCOMPARE(end(5000000), 124999600.0);
        QCOMPARE(end(2147483647), 53687091200.0 - height);
    }

    void pagesMoveFourRowsNeverPastHomeOrEnd_data() {
        QTest::addColumn<double>("from");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("glyphs");
        QTest::addColumn<double>("to");
        const auto row = [](const char* name, double from, int rows, int glyphs, double to) {
            QTest::newRow(name) << from << rows << glyphs << to;
        };
        row("down from home", 0, 4, 1000, 400);
        row("down again", 400, 4, 1000, 800);
        row("down to the end", 24400, 4, 1000, 24600);
        row("down at the end", 24600, 4, 1000, 24600);
        row("up from the end", 24600, -4, 1000, 24200);
        row("up to home", 200, -4, 1000, 0);
        row("up at home", 0, -4, 1000, 0);
        row("down when all fit", 0, 4, 10, 0);
        row("up from before home: stays", -300, -4, 1000, -300);
        row("down from before home", -300, 4, 1000, 100);
        row("down from before home, all fit", -200, 4, 10, 0);
        row("down from past the end: stays", 24900, 4, 1000, 24900);
        row("up from past the end", 24900, -4, 1000, 24500);
        row("up among millions", 124999600, -4, 5000000, 124999200);
        row("down to the end of millions", 124999200, 4, 5000000, 124999600);
    }
    void pagesMoveFourRowsNeverPastHomeOrEnd() {
        QFETCH(double, from);
        QFETCH(int, rows);
        QFETCH(int, glyphs);
        QFETCH(double, to);
        QCOMPARE(byRows(from, rows, glyphs), to);
    }

    // The first row drawn is the one whose lower edge is not above the view.
    void firstRowInViewHoldsForMillionsOfGlyphs() {
        QCOMPARE(firstRowInView(0, cell), 0);
        QCOMPARE(firstRowInView(-300, cell), 0);
        QCOMPARE(firstRowInView(99, cell), 0);
        QCOMPARE(firstRowInView(100, cell), 0); // row 0's lower edge on the top edge
        QCOMPARE(firstRowInView(101, cell), 1);
        QCOMPARE(firstRowInView(250, cell), 2);
        QCOMPARE(firstRowInView(1e13, cell), 2147483647);
        // At the end of five million glyphs: rows 1249996 to 1249999 show.
        const double last = end(5000000);
        QCOMPARE(firstRowInView(last, cell), 1249995);
        QCOMPARE(firstRowInView(last + 1, cell), 1249996);
        QCOMPARE(at(50, 0, last, 5000000), 4999984);
        QCOMPARE(at(350, 399, last, 5000000), 4999999);
        CellWalk walk(last, cell, columns, height, firstRowInView(last, cell));
        for (int i = 4999980; i < 5000000; ++i, walk.next()) {
            const GridPoint corner = cellCornerOf(i, last, cell, columns, height);
            QCOMPARE(walk.cornerX(), corner.x);
            QCOMPARE(walk.cornerY(), corner.y);
        }
        QCOMPARE(cellCornerOf(4999984, last, cell, columns, height).y, 300.0f);
    }
};

QTEST_APPLESS_MAIN(CellGridTest)
#include "test_cell_grid.moc"
