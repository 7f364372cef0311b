#include "cells/LabelFont.h"

#include "alphabet/GlyphLabel.h"
#include "cells/CellStyle.h"

QFont labelFont() {
    QFont font(labelFontFamily, labelFontPointSize, QFont::Normal, false);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

QString glyphLabel(int index) {
    return QString(QChar::fromLatin1(static_cast<char>(glyphLabelCode(index))));
}
