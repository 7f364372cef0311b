#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QLineF>
#include <QRegularExpression>
#include <QStack>
#include <QVector>
#include <QXmlStreamReader>
#include <algorithm>
#include <cmath>

// Where a vector picture puts its marks, read back from Qt's SVG, and where a
// raster picture shows them, to hold the one against the other.

struct SvgMarks {
    QVector<QPointF> dots;      // centres of the red squares
    QVector<QLineF> frameSides; // the blue frame's sides
};

// The red dots (one stroked piece "M x-2.5,y L x+2.5,y" each) and blue frame
// sides of an SVG written by Qt, whose groups carry the stroke colour.
inline SvgMarks readSvgMarks(const QByteArray& svg) {
    SvgMarks marks;
    QXmlStreamReader xml(svg);
    QStack<QString> strokes;
    const QRegularExpression piece("M(-?[0-9.e+-]+),(-?[0-9.e+-]+) L(-?[0-9.e+-]+),(-?[0-9.e+-]+)");
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isEndElement() && xml.name() == QLatin1String("g"))
            strokes.pop();
        if (!xml.isStartElement())
            continue;
        const QString stroke = xml.attributes().value("stroke").toString();
        if (xml.name() == QLatin1String("g"))
            strokes.push(stroke.isEmpty() && !strokes.isEmpty() ? strokes.top() : stroke);
        if (xml.name() != QLatin1String("path") || strokes.isEmpty())
            continue;
        auto found = piece.globalMatch(xml.attributes().value("d").toString());
        while (found.hasNext()) {
            const auto m = found.next();
            const QLineF line(m.captured(1).toDouble(), m.captured(2).toDouble(),
                              m.captured(3).toDouble(), m.captured(4).toDouble());
            if (strokes.top() == "#ff0000")
                marks.dots.append(line.center());
            else if (strokes.top() == "#0000ff")
                marks.frameSides.append(line);
        }
    }
    return marks;
}

// How much of a pixel is covered by pure `hue` (red or blue) over white or black.
inline double tint(QRgb pixel, int hue) {
    const int strongest = hue == 0 ? qRed(pixel) : qBlue(pixel);
    const int others =
        hue == 0 ? std::max(qGreen(pixel), qBlue(pixel)) : std::max(qRed(pixel), qGreen(pixel));
    return std::max(0, strongest - others) / 255.0;
}

// The centre of the red square near `guess` (logical pixels) in `image`, which
// has `scale` pixels to the logical pixel: halfway between its outermost
// red-tinted columns and rows, each edge placed by how much of its pixel is red.
// The glyph's line can cover the square's middle, never a whole edge.
inline QPointF measuredDot(const QImage& image, QPointF guess, double scale) {
    const double half = 2.5 * scale + 2;
    const int left = int(std::floor(guess.x() * scale - half));
    const int top = int(std::floor(guess.y() * scale - half));
    const int sides[2] = {int(std::floor(guess.x() * scale + half)) - left + 1,
                          int(std::floor(guess.y() * scale + half)) - top + 1};
    double edges[2][2] = {{0, 0}, {0, 0}};
    for (int axis = 0; axis < 2; ++axis) {
        const int side = sides[axis];
        QVector<double> reds(side, 0);
        for (int a = 0; a < side; ++a)
            for (int b = 0; b < sides[1 - axis]; ++b) {
                const int x = left + (axis == 0 ? a : b), y = top + (axis == 0 ? b : a);
                if (image.valid(x, y))
                    reds[a] = std::max(reds[a], tint(image.pixel(x, y), 0));
            }
        const int first =
            int(std::find_if(reds.begin(), reds.end(), [](double r) { return r > 0.1; }) -
                reds.begin());
        int last = side - 1;
        while (last > first && reds[last] <= 0.1)
            --last;
        const int origin = axis == 0 ? left : top;
        edges[axis][0] = origin + first + 1 - reds[first];
        edges[axis][1] = origin + last + reds[last];
    }
    return QPointF((edges[0][0] + edges[0][1]) / 2 / scale,
                   (edges[1][0] + edges[1][1]) / 2 / scale);
}

// The largest distance, in logical pixels, between a dot and the square the
// raster shows there, over the dots no other dot or frame comes near enough to
// confuse; `measured` counts those. Cells are 100 logical pixels.
inline double worstDotOffset(const QImage& image, const QVector<QPointF>& dots, double scale,
                             int& measured) {
    const double apart = 5 + 2 / scale + 1; // no other square within the measured window
    double worst = 0;
    measured = 0;
    for (const QPointF& dot : dots) {
        const bool crowded = std::any_of(dots.begin(), dots.end(), [&](const QPointF& other) {
            return &other != &dot && std::fabs(other.x() - dot.x()) < apart &&
                   std::fabs(other.y() - dot.y()) < apart;
        });
        // GL's depth test lets a frame hide a dot that reaches it.
        const double inCellX = std::fmod(dot.x(), 100), inCellY = std::fmod(dot.y(), 100);
        const bool byFrame = std::min({inCellX, inCellY, 100 - inCellX, 100 - inCellY}) < 7.5;
        if (crowded || byFrame)
            continue;
        const QPointF seen = measuredDot(image, dot, scale);
        worst = std::max({worst, std::fabs(seen.x() - dot.x()), std::fabs(seen.y() - dot.y())});
        ++measured;
    }
    return worst;
}

// The largest distance between a frame side of `marks` and the middle of the blue
// line the raster shows across it, halfway along the side.
inline double worstFrameOffset(const QImage& image, const QVector<QLineF>& sides) {
    double worst = 0;
    for (const QLineF& side : sides) {
        const bool vertical = side.x1() == side.x2();
        const QPointF middle = side.center();
        double weight = 0, sum = 0;
        for (int d = -3; d <= 3; ++d) {
            const int x = int(std::floor(middle.x())) + (vertical ? d : 0);
            const int y = int(std::floor(middle.y())) + (vertical ? 0 : d);
            if (!image.valid(x, y))
                continue;
            const double blue = tint(image.pixel(x, y), 2);
            weight += blue;
            sum += blue * ((vertical ? x : y) + 0.5);
        }
        const double at = weight > 0 ? sum / weight : 1e9;
        worst = std::max(worst, std::fabs(at - (vertical ? middle.x() : middle.y())));
    }
    return worst;
}
