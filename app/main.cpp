#include "app/AlphabetViewer.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setStyle("plastique");
    AlphabetViewer viewer(nullptr, Qt::WindowFlags());
    viewer.show();
    return application.exec();
}
