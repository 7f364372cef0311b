#include "app/AlphabetViewer.h"

#include "view/CharGLWidget.h"

AlphabetViewer::AlphabetViewer(QWidget* parent, Qt::WindowFlags flags)
    : QMainWindow(parent, flags) {
    setMinimumSize(430, 430);
    setMaximumSize(430, 430);
    setGeometry(50, 50, 430, 430);
    form.setupForm(this);
    glyphView = new CharGLWidget(form.centralWidget);
    glyphView->setGeometry(15, 15, 400, 400);
}

AlphabetViewer::~AlphabetViewer() {
    delete glyphView;
}
