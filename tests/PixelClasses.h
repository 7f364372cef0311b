#pragma once

// Colour classes of the view's pixels, with tolerances for blended edges, and
// a counter over image rectangles: shared by the GL view tests and the
// Wayland screenshot checker.

#include <QImage>
#include <QRect>
#include <algorithm>

inline bool isWhite(QRgb c) {
    return qRed(c) > 245 && qGreen(c) > 245 && qBlue(c) > 245;
}

// Blue clearly above red and green: a frame pixel, possibly blended with white.
inline bool isMostlyBlue(QRgb c) {
    return qBlue(c) > 150 && qBlue(c) - std::max(qRed(c), qGreen(c)) > 80;
}

inline bool isReddish(QRgb c) {
    return qRed(c) > 150 && qRed(c) - std::max(qGreen(c), qBlue(c)) > 80;
}

inline bool isDark(QRgb c) {
    return qRed(c) < 110 && qGreen(c) < 110 && qBlue(c) < 110;
}

// Pixels of `rect` in `image` that satisfy `test`.
template <typename Test> int countPixels(const QImage& image, const QRect& rect, Test test) {
    int count = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            if (test(image.pixel(x, y)))
                ++count;
    return count;
}
