#include "cells/LabelFont.h"

#include "geometry/GridGeometry.h"

QFont labelFont(int pointSize, int weight) {
    QFont font(labelFontFamily, pointSize, weight, false);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

QFont labelFont() {
    return labelFont(labelFontPointSize, QFont::Normal);
}

QString glyphLabel(int index) {
    return QString(QChar::fromLatin1(static_cast<char>(glyphLabelCode(index))));
}
