#include "tools/Commands.h"
#include "tools/Files.h"
#include "tools/Options.h"
#include "tools/PngWriter.h"
#include "tools/SheetPager.h"
#include "tools/VirtualDisplay.h"
#include "view/CharGLWidget.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QWindow>
#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char* const renderHelp =
    "usage: alphabet-tool render FILE -o OUT.png [--columns N]\n"
    "Draws every glyph of a glyph file with the viewer's own drawing, each cell as\n"
    "the viewer shows it before any glyph is turned, and writes them as one PNG\n"
    "sheet of N cells to a row (default 4, as in the viewer).\n"
    "Needs an X display; where DISPLAY is not set it starts Xvfb for itself.\n"
    "Exit status: 0 written, 1 no glyphs or drawing/write failure, 2 usage or\n"
    "unreadable FILE.\n";

constexpr int viewSize = 400;
// Generous: a loaded machine or a sanitizer build can take seconds to map a window.
constexpr int exposeMilliseconds = 60000;

int fail(const std::string& message) {
    std::fprintf(stderr, "alphabet-tool render: %s\n", message.c_str());
    return 1;
}

bool waitUntilShown(QWidget& widget) {
    QElapsedTimer timer;
    timer.start();
    while (!(widget.windowHandle() && widget.windowHandle()->isExposed())) {
        if (timer.elapsed() > exposeMilliseconds)
            return false;
        QApplication::processEvents();
        QThread::msleep(5);
    }
    QApplication::processEvents();
    return true;
}

// Lays the cells out `columns` to a row and streams the sheet into `output`.
int writeSheet(SheetPager& pager, int columns, const std::string& output) {
    const int count = pager.glyphCount();
    const int cell = pager.cellSize();
    const int rows = static_cast<int>((std::int64_t(count) + columns - 1) / columns);
    if (rows > INT_MAX / cell)
        return fail("too many rows for one image; use more --columns");
    const std::size_t stride = std::size_t(columns) * std::size_t(cell) * 3;
    std::vector<unsigned char> band(stride * std::size_t(cell));
    PngWriter png;
    std::string error;
    if (!png.open(output, columns * cell, rows * cell, error))
        return fail(error);
    for (int row = 0; row < rows; ++row) {
        std::fill(band.begin(), band.end(), 0xff); // cells past the last glyph stay white
        for (int column = 0; column < columns && row * columns + column < count; ++column) {
            unsigned char* corner = band.data() + std::size_t(column) * std::size_t(cell) * 3;
            if (!pager.copyCell(row * columns + column, corner, stride, error))
                return fail(error);
        }
        for (int y = 0; y < cell; ++y)
            if (!png.writeRow(band.data() + std::size_t(y) * stride))
                return fail(output + ": can't write");
    }
    return png.finish(error) ? 0 : fail(error);
}

} // namespace

int runRender(int argc, char** argv) {
    const char* input = nullptr;
    std::string output;
    int columns = 4;
    for (int i = 0; i < argc; ++i) {
        if (isHelpOption(argv[i])) {
            std::fputs(renderHelp, stdout);
            return 0;
        }
        if (!std::strcmp(argv[i], "--columns") && i + 1 < argc) {
            if (!parseNumberOption("render", "--columns", argv[++i], 1, 1000, columns))
                return 2;
        } else if (!std::strcmp(argv[i], "-o") && i + 1 < argc) {
            output = argv[++i];
        } else if (!input && argv[i][0] != '-') {
            input = argv[i];
        } else {
            std::fprintf(stderr, "alphabet-tool render: unexpected argument '%s'\n%s", argv[i],
                         renderHelp);
            return 2;
        }
    }
    if (!input || output.empty()) {
        std::fprintf(stderr, "alphabet-tool render: %s\n%s",
                     input ? "no output given (-o OUT.png)" : "no glyph file given", renderHelp);
        return 2;
    }
    std::string error;
    if (!canRead(input, error)) {
        std::fprintf(stderr, "alphabet-tool render: %s\n", error.c_str());
        return 2;
    }

    VirtualDisplay display;
    const char* current = std::getenv("DISPLAY");
    if (!current || !*current) {
        if (!display.start(error))
            return fail(error);
        setenv("QT_QPA_PLATFORM", "xcb", 1);
    }
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
    QApplication::setAttribute(Qt::AA_DisableHighDpiScaling);
#endif
    int qtArgc = 1;
    char program[] = "alphabet-tool";
    char* qtArgv[] = {program, nullptr};
    QApplication application(qtArgc, qtArgv);

    // The loader reports a bad header or a short file on standard error itself.
    CharGLWidget view(nullptr, input);
    view.setWindowTitle("alphabet-tool render");
    view.setAttribute(Qt::WA_ShowWithoutActivating);
    view.setFixedSize(viewSize, viewSize);
    view.show();
    if (!waitUntilShown(view))
        return fail("the view's window was never shown");
    if (!view.isValid())
        return fail("no OpenGL context for the view");
    SheetPager pager(view);
    if (pager.glyphCount() == 0)
        return fail(std::string(input) + ": no glyphs to render");
    return writeSheet(pager, columns, output);
}
