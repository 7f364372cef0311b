#include "wayland/GridShot.h"

#include "PixelClasses.h"

#include <vector>

namespace {

constexpr int cellSize = 100;
constexpr int gridCells = 4; // columns and rows
constexpr int gridSize = cellSize * gridCells;
// The 2-px frame lines cover offsets 2..3 and 97..98 of a cell.
constexpr int frameOffsets[] = {2, 3, 97, 98};
constexpr double frameCoverageNeeded = 0.9;
// A glyph of the sample alphabet paints hundreds of red pixels and dozens of
// dark ones; a label letter a few dozen dark ones. Well below, well above noise.
constexpr int redNeeded = 60;
constexpr int lineDarkNeeded = 8;
constexpr int labelInkNeeded = 15;
// Cell offsets inside the frame, and the label's box around its baseline at (76, 90).
const QRect interior(6, 6, 88, 88);
const QRect labelBox(QPoint(72, 68), QPoint(95, 94));

// Where along one axis the four cells' frame lines best meet `blue`, the blue pixels per line.
int bestStart(const std::vector<int>& blue) {
    int best = 0;
    int bestScore = -1;
    for (int start = 0; start + gridSize <= int(blue.size()); ++start) {
        int score = 0;
        for (int cell = 0; cell < gridCells; ++cell)
            for (int offset : frameOffsets)
                score += blue[std::size_t(start + cell * cellSize + offset)];
        if (score > bestScore) {
            best = start;
            bestScore = score;
        }
    }
    return best;
}

// Share of the positions 10..89 along the four sides of the frame of the cell
// at `corner` where a blue pixel lies within a pixel of the line.
double frameCoverage(const QImage& shot, QPoint corner) {
    int hits = 0;
    int positions = 0;
    for (int t = 10; t < 90; ++t) {
        for (int side : {1, 96}) {
            bool horizontal = false;
            bool vertical = false;
            for (int across = side; across <= side + 3; ++across) {
                horizontal |= isMostlyBlue(shot.pixel(corner + QPoint(t, across)));
                vertical |= isMostlyBlue(shot.pixel(corner + QPoint(across, t)));
            }
            hits += int(horizontal) + int(vertical);
            positions += 2;
        }
    }
    return double(hits) / positions;
}

// Whether a reddish pixel lies within 2 px of `at`: the glyph's line runs under its dots.
bool nearRed(const QImage& shot, QPoint at) {
    return countPixels(shot, QRect(at - QPoint(2, 2), QSize(5, 5)).intersected(shot.rect()),
                       isReddish) > 0;
}

// The problems of the cell at `corner`, named `name`.
QStringList cellProblems(const QImage& shot, QPoint corner, const QString& name) {
    QStringList problems;
    const double frame = frameCoverage(shot, corner);
    if (frame < frameCoverageNeeded)
        problems << QString("%1: frame incomplete (%2% of its outline blue)")
                        .arg(name)
                        .arg(int(frame * 100));
    const QRect inside = interior.translated(corner);
    const QRect label = labelBox.translated(corner);
    const int red = countPixels(shot, inside, isReddish);
    int lineDark = 0;
    int labelInk = 0;
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x) {
            if (!isDark(shot.pixel(x, y)))
                continue;
            if (!label.contains(x, y))
                ++lineDark;
            else if (!nearRed(shot, QPoint(x, y)))
                ++labelInk;
        }
    if (red < redNeeded || lineDark < lineDarkNeeded)
        problems << QString("%1: no glyph (%2 red pixels, need %3; %4 dark ones, need %5)")
                        .arg(name)
                        .arg(red)
                        .arg(redNeeded)
                        .arg(lineDark)
                        .arg(lineDarkNeeded);
    if (labelInk < labelInkNeeded)
        problems << QString("%1: no label (%2 dark pixels clear of the glyph in its lower right "
                            "corner, need %3)")
                        .arg(name)
                        .arg(labelInk)
                        .arg(labelInkNeeded);
    return problems;
}

} // namespace

GridShot checkGridShot(const QImage& shot) {
    GridShot result;
    if (shot.width() < gridSize || shot.height() < gridSize) {
        result.problems << QString("the screenshot is %1 x %2, too small for the %3 x %3 grid")
                               .arg(shot.width())
                               .arg(shot.height())
                               .arg(gridSize);
        return result;
    }
    std::vector<int> blueColumns(std::size_t(shot.width()));
    std::vector<int> blueRows(std::size_t(shot.height()));
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            if (isMostlyBlue(shot.pixel(x, y))) {
                ++blueColumns[std::size_t(x)];
                ++blueRows[std::size_t(y)];
            }
    result.origin = QPoint(bestStart(blueColumns), bestStart(blueRows));

    QStringList problems;
    for (int row = 0; row < gridCells; ++row)
        for (int column = 0; column < gridCells; ++column) {
            const QPoint corner = result.origin + QPoint(column, row) * cellSize;
            const QString name = QString("cell at row %1, column %2").arg(row + 1).arg(column + 1);
            problems += cellProblems(shot, corner, name);
            result.found |= frameCoverage(shot, corner) >= frameCoverageNeeded;
        }
    if (result.found)
        result.problems = problems;
    else
        result.problems << "no blue cell frames anywhere: the glyph view shows no grid";
    return result;
}
