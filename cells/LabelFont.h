#pragma once

#include <QFont>
#include <QString>

// The font of the cell labels, antialiased where it can be.
QFont labelFont();

// The one-character label of glyph `index`.
QString glyphLabel(int index);
