// Checks a desktop screenshot for the viewer's complete glyph grid.
// Exit status: 0 every cell whole, 1 something missing, 2 unreadable image or usage.

#include "wayland/GridShot.h"

#include <QImage>
#include <QTextStream>

int main(int argc, char* argv[]) {
    QTextStream err(stderr);
    if (argc != 2) {
        err << "usage: check_grid_shot SCREENSHOT.png\n";
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[1]);
    const QImage shot(path);
    if (shot.isNull()) {
        err << path << ": can't read the screenshot as an image\n";
        return 2;
    }
    const GridShot grid = checkGridShot(shot);
    if (grid.found)
        err << path << ": glyph grid found with its top-left corner at (" << grid.origin.x() << ", "
            << grid.origin.y() << ")\n";
    for (const QString& problem : grid.problems)
        err << path << ": " << problem << "\n";
    return grid.problems.isEmpty() ? 0 : 1;
}
