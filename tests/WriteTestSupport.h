#pragma once

// Our small fonts for the write tests and the route as CSV reads it.

#include "alphabet/AlphabetWriter.h"
#include "alphabet/Point3.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

// A Hershey font of our own: a space of advance 16; H (left -5, advance 10,
// stems at x = -3 and 3, cap height 10 on y = -5); I (left -2, advance 4, its
// stem at 0); '.' a short stroke; every other record up to I has no strokes.
inline QString writeFontJhf() {
    return QStringLiteral(WRITE_DATA_DIR "/write-font.jhf");
}

// An SVG font of our own: L with horiz-adv-x 400, strokes from x = 100; T with
// the font's advance 500; no space, no H. `faceAttributes` go on font-face.
inline QByteArray writeFontSvg(const QByteArray& faceAttributes) {
    return "<svg xmlns=\"http://www.w3.org/2000/svg\"><defs><font horiz-adv-x=\"500\">"
           "<font-face " +
           faceAttributes +
           "/>"
           "<glyph unicode=\"L\" horiz-adv-x=\"400\" d=\"M 100 1000 V 0 H 300\"/>"
           "<glyph unicode=\"T\" d=\"M 0 1000 H 400 M 200 1000 V 0\"/>"
           "</font></defs></svg>";
}

// A flat glyph file of our own, 8 glyphs of 3 points: A (index 0) from x = 1
// to 5 and y = 0 to 4; H (index 7) from x = 0 to 6, y = -1 to 9 (cap height
// 10, baseline -1); B to G (1 to 6) hold no finite point. `z` lifts A's middle point.
inline bool writeFlatGlyphFile(const std::string& path, float z = 0) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    std::vector<Point3> points = {{1, 0, 0}, {3, 4, z}, {5, 0, 0}};
    for (int i = 1; i < 7; ++i)
        points.insert(points.end(), 3, Point3{nan, nan, nan});
    points.insert(points.end(), {{0, -1, 0}, {0, 9, 0}, {6, 9, 0}});
    return writeGlyphFile(path, {}, 3, 8, points.data()).status == 0;
}

// The rows of a CSV route: x, y, z each.
inline std::vector<Point3> csvRoute(const QByteArray& csv) {
    std::vector<Point3> route;
    const QList<QByteArray> lines = csv.split('\n');
    for (int i = 1; i < lines.size(); ++i) {
        const QList<QByteArray> fields = lines[i].split(',');
        if (fields.size() == 3)
            route.push_back({fields[0].toFloat(), fields[1].toFloat(), fields[2].toFloat()});
    }
    return route;
}

// The maximal runs of route points on the paper (z = 0).
inline std::vector<std::vector<Point3>> penDownRuns(const std::vector<Point3>& route) {
    std::vector<std::vector<Point3>> runs;
    bool inRun = false;
    for (const Point3& p : route) {
        if (p.z != 0) {
            inRun = false;
            continue;
        }
        if (!inRun)
            runs.emplace_back();
        runs.back().push_back(p);
        inRun = true;
    }
    return runs;
}
