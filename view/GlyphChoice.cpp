#include "view/GlyphChoice.h"

#include "alphabet/GlyphLabel.h"

#include <QFileInfo>

GlyphChoice chooseGlyph(const QString& text, int glyphCount, const QString& file) {
    const QString name = QFileInfo(file).fileName();
    const QString asked = text.trimmed();
    const QString range = glyphCount > 0 ? QString("its glyphs are 0 to %1").arg(glyphCount - 1)
                                         : QStringLiteral("it holds no glyphs");
    GlyphChoice choice;
    bool number = false;
    const qlonglong index = asked.toLongLong(&number);
    if (number && !asked.startsWith('+') && !asked.startsWith('-')) {
        if (index < glyphCount)
            choice.index = static_cast<int>(index);
        else
            choice.problem = QString("No glyph %1 in %2: %3.").arg(asked, name, range);
    } else if (asked.size() == 1 && asked[0].unicode() < 256) {
        const int first = firstGlyphLabelled(asked[0].unicode());
        if (first < glyphCount)
            choice.index = first;
        else
            choice.problem = QString("No glyph labelled \"%1\" in %2: %3.").arg(asked, name, range);
    } else {
        choice.problem = QString("\"%1\" is neither a glyph index nor a label character (for %2).")
                             .arg(asked, name);
    }
    return choice;
}
