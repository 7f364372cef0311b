#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;

// What a text asks for: a glyph index (digits) or a label character (any one
// other character, which stands for the first glyph under that label).
struct GlyphChoice {
    int index = -1;
    QString problem; // why there is no such glyph in `file`; empty when there is
};

GlyphChoice chooseGlyph(const QString& text, int glyphCount, const QString& file);

// Asks for a glyph to go to, without blocking the window: emits glyphChosen
// and closes on a glyph of the file, says in the dialog what is wrong otherwise.
class GoToGlyphDialog : public QDialog {
    Q_OBJECT

public:
    GoToGlyphDialog(QWidget* parent, int glyphCount, const QString& file);

    void accept() override;

signals:
    void glyphChosen(int index);

private:
    int glyphCount;
    QString file;
    QLineEdit* entry;
    QLabel* problem;
};
