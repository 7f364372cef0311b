#pragma once

#include <QDialog>
#include <QString>
#include <functional>

class QLabel;
class QLineEdit;

// Asks for a glyph to go to, without blocking the window: emits glyphChosen
// and closes on a glyph of the file, says in the dialog what is wrong otherwise.
class GoToGlyphDialog : public QDialog {
    Q_OBJECT

public:
    // `glyphCount` gives the file's glyphs as they are now: the file may be
    // read again while the dialog is open, and Enter checks against that.
    GoToGlyphDialog(QWidget* parent, std::function<int()> glyphCount, const QString& file);

    void accept() override;

signals:
    void glyphChosen(int index);

private:
    void showRange(int count);
    void fitText();

    std::function<int()> glyphCount;
    QString file;
    QLabel* asking;
    QLineEdit* entry;
    QLabel* problem;
};
