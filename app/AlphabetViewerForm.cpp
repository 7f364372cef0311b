#include "app/AlphabetViewerForm.h"

#include <QCoreApplication>
#include <QMainWindow>
#include <QMetaObject>

void AlphabetViewerForm::setupForm(QMainWindow* window) {
    if (window->objectName().isEmpty())
        window->setObjectName(QStringLiteral("AlphabetViewerClass"));
    window->resize(1065, 886); // held to the window's fixed size
    centralWidget = new QWidget(window);
    centralWidget->setObjectName(QStringLiteral("AlphabetWidget"));
    window->setCentralWidget(centralWidget);
    retranslateForm(window);
    QMetaObject::connectSlotsByName(window);
}

void AlphabetViewerForm::retranslateForm(QMainWindow* window) {
    window->setWindowTitle(
        QCoreApplication::translate("AlphabetViewerClass", "Veltrane Alphabet Viewer", nullptr));
}
