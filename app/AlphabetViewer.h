#pragma once

#include "app/AlphabetViewerForm.h"

#include <QMainWindow>

class CharGLWidget;

// The fixed 430 x 430 main window holding the 400 x 400 glyph view.
class AlphabetViewer : public QMainWindow {
    Q_OBJECT

public:
    explicit AlphabetViewer(QWidget* parent = nullptr, Qt::WindowFlags flags = Qt::WindowFlags());
    ~AlphabetViewer() override;

    AlphabetViewer(const AlphabetViewer&) = delete;
    AlphabetViewer& operator=(const AlphabetViewer&) = delete;

private:
    AlphabetViewerForm form;
    CharGLWidget* glyphView = nullptr;
};
