#pragma once

#include <QByteArray>
#include <QImage>
#include <QLineF>
#include <QRegularExpression>
#include <QStack>
#include <QVector>
#include <QXmlStreamReader>
#include <algorithm>
#include <cmath>

// Where a vector picture puts its marks, read back from Qt's SVG, and where a
// raster picture shows them. Cells are 100 logical pixels.

struct SvgMarks {
    QVector<QPointF> dots;      // centres of the red squares
    QVector<QLineF> frameSides; // the blue frame's sides
};

// The red dots (each a stroked piece "M x-2.5,y L x+2.5,y") and blue frame sides
// of an SVG written by Qt, whose groups carry the stroke colour.
inline SvgMarks readSvgMarks(const QByteArray& svg) {
    SvgMarks marks;
    QXmlStreamReader xml(svg);
    QStack<QString> strokes;
    const QRegularExpression piece("M([-0-9.e]+),([-0-9.e]+) L([-0-9.e]+),([-0-9.e]+)");
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
        for (auto found = piece.globalMatch(xml.attributes().value("d").toString());
             found.hasNext();) {
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

// How much of a pixel pure red (hue 0) or blue (hue 2) covers, over white or black.
inline double tint(QRgb pixel, int hue) {
    const int channels[3] = {qRed(pixel), qGreen(pixel), qBlue(pixel)};
    const int others = std::max(channels[(hue + 1) % 3], channels[(hue + 2) % 3]);
    return std::max(0, channels[hue] - others) / 255.0;
}

// The centre of the red square near `guess` (logical pixels) in `image` of `scale`
// pixels to the logical pixel: halfway between its outermost red-tinted columns,
// and rows, each edge placed by how much of its pixel is red. The glyph's line can
// cover a square's middle, never a whole edge.
inline QPointF measuredDot(const QImage& image, QPointF guess, double scale) {
    const double half = 2.5 * scale + 2;
    const double centre[2] = {guess.x() * scale, guess.y() * scale};
    double middle[2];
    for (int axis = 0; axis < 2; ++axis) {
        const int low = int(std::floor(centre[axis] - half)), high = int(centre[axis] + half);
        const int across = int(std::floor(centre[1 - axis] - half));
        QVector<double> reds(high - low + 1, 0);
        for (int a = low; a <= high; ++a)
            for (int b = across; b <= int(centre[1 - axis] + half); ++b) {
                const QPoint at = axis == 0 ? QPoint(a, b) : QPoint(b, a);
                if (image.valid(at))
                    reds[a - low] = std::max(reds[a - low], tint(image.pixel(at), 0));
            }
        int first = 0, last = reds.size() - 1;
        while (first < last && reds[first] <= 0.1)
            ++first;
        while (last > first && reds[last] <= 0.1)
            --last;
        middle[axis] = (low + first + 1 - reds[first] + low + last + reds[last]) / 2 / scale;
    }
    return {middle[0], middle[1]};
}

// The largest distance, in logical pixels, between a dot and the square the
// raster shows there, over the dots no other dot and no frame comes near enough
// to confuse (GL's depth test lets a frame hide a dot that reaches it); `measured`
// counts those.
inline double worstDotOffset(const QImage& image, const QVector<QPointF>& dots, double scale,
                             int& measured) {
    const double apart = 5 + 2 / scale + 1;
    double worst = 0;
    measured = 0;
    for (const QPointF& dot : dots) {
        const bool crowded = std::any_of(dots.begin(), dots.end(), [&](const QPointF& other) {
            return &other != &dot && std::fabs(other.x() - dot.x()) < apart &&
                   std::fabs(other.y() - dot.y()) < apart;
        });
        const double x = std::fmod(dot.x(), 100), y = std::fmod(dot.y(), 100);
        if (crowded || std::min({x, y, 100 - x, 100 - y}) < 7.5)
            continue;
        const QPointF seen = measuredDot(image, dot, scale);
        worst = std::max({worst, std::fabs(seen.x() - dot.x()), std::fabs(seen.y() - dot.y())});
        ++measured;
    }
    return worst;
}

// The largest distance between a frame side and the middle of the blue line the
// raster shows across it, halfway along the side.
inline double worstFrameOffset(const QImage& image, const QVector<QLineF>& sides) {
    double worst = 0;
    for (const QLineF& side : sides) {
        const bool vertical = side.x1() == side.x2();
        const QPointF middle = side.center();
        double weight = 0, sum = 0;
        for (int d = -3; d <= 3; ++d) {
            const QPoint at =
                QPoint(int(middle.x()), int(middle.y())) + (vertical ? QPoint(d, 0) : QPoint(0, d));
            const double blue = image.valid(at) ? tint(image.pixel(at), 2) : 0;
            weight += blue;
            sum += blue * ((vertical ? at.x() : at.y()) + 0.5);
        }
        const double at = vertical ? middle.x() : middle.y();
        worst = std::max(worst, weight > 0 ? std::fabs(sum / weight - at) : 1e9);
    }
    return worst;
}
