#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;

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
