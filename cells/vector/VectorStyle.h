#pragma once

#include <QColor>

// A colour of the cell style (red, green, blue from 0 to 1) for QPainter.
inline QColor colourOf(const float rgb[3]) {
    return QColor::fromRgbF(rgb[0], rgb[1], rgb[2]);
}
