#pragma once

#include <QFont>
#include <QString>

// The font of the cell labels, at `pointSize` and `weight` (Qt's scale, whose
// QFont::Normal differs between Qt 5 and Qt 6), antialiased where it can be.
QFont labelFont(int pointSize, int weight);

// The label font as the view uses it.
QFont labelFont();

// The one-character label of glyph `index`.
QString glyphLabel(int index);
