#include "app/AlphabetViewer.h"
#include "app/ViewerStartup.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char* argv[]) {
    // Help, version and usage errors need no display, so they are given before Qt looks
    // for one: QApplication would first stop for want of a display.
    const ViewerArguments arguments = parseViewerArguments(argumentsBesidesQt(argc, argv));
    if (arguments.help) {
        std::fputs(viewerHelp(), stdout);
        return 0;
    }
    if (arguments.version) {
        std::printf("alphabet-viewer %s\n", ALPHABET_VERSION);
        return 0;
    }
    if (!arguments.error.isEmpty()) {
        std::fprintf(stderr,
                     "alphabet-viewer: %s\nTry 'alphabet-viewer --help' for more information.\n",
                     qPrintable(arguments.error));
        return 2;
    }
    const QString noDisplay = missingDisplay(argc, argv);
    if (!noDisplay.isEmpty()) {
        std::fprintf(stderr, "alphabet-viewer: %s\n", qPrintable(noDisplay));
        return 1;
    }
    quietRuntimeDirNotice();
    QApplication application(argc, argv);
    applyViewerStyle();
    AlphabetViewer viewer(nullptr, Qt::WindowFlags(), arguments.file);
    viewer.setDirectionShown(arguments.direction);
    QString why;
    if (arguments.glyph >= 0 && !viewer.showGlyphAlone(arguments.glyph, why))
        std::fprintf(stderr, "alphabet-viewer: %s; showing the grid\n", qPrintable(why));
    viewer.show();
    return application.exec();
}
