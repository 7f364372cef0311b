#include "tools/render/RenderSetup.h"

#include "alphabet/AlphabetFile.h"
#include "tools/render/VirtualDisplay.h"

#include <QGuiApplication>
#include <cstdlib>
#include <cstring>
#include <malloc.h>
#include <xcb/xcb.h>

namespace {

QtMessageHandler previousHandler = nullptr;

// Qt's "XDG_RUNTIME_DIR not set" notice asks nothing of the user: Qt falls back to
// a folder of its own, which serves. Every other message goes where it went.
void withoutRuntimeDirNotice(QtMsgType type, const QMessageLogContext& context,
                             const QString& message) {
    if (type == QtWarningMsg && message.startsWith("QStandardPaths: XDG_RUNTIME_DIR not set"))
        return;
    previousHandler(type, context, message);
}

} // namespace

void clearScaleFactors() {
    for (const char* name :
         {"QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS", "QT_AUTO_SCREEN_SCALE_FACTOR",
          "QT_ENABLE_HIGHDPI_SCALING", "QT_SCALE_FACTOR_ROUNDING_POLICY", "QT_DEVICE_PIXEL_RATIO",
          "QT_USE_PHYSICAL_DPI"})
        unsetenv(name);
}

bool checkDisplay(std::string& error) {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    const char* display = std::getenv("DISPLAY");
    if ((platform && *platform && std::strncmp(platform, "xcb", 3) != 0) || !display || !*display)
        return true;
    xcb_connection_t* connection = xcb_connect(display, nullptr);
    const bool opened = !xcb_connection_has_error(connection);
    xcb_disconnect(connection);
    if (!opened)
        error = std::string("can't open the display '") + display +
                "' (unset DISPLAY to let render start its own virtual display)";
    return opened;
}

RenderResult setUpRender(SheetFormat format, VirtualDisplay& display) {
    // Freed large blocks are kept for the next use rather than handed back to the
    // kernel and faulted in again: software GL allocates and frees its scene memory
    // at every flush, and Qt's SVG generator builds each page in a string of
    // megabytes; either costs as much again in page faults otherwise.
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    if (format != SheetFormat::Png) {
        mallopt(M_TOP_PAD, 64 << 20);
        // Qt's own platform for pictures that are never shown: no display server, no GL.
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        return {};
    }
    // GL needs an X display for its context, though nothing is shown on it.
    clearScaleFactors();
    std::string error;
    const char* current = std::getenv("DISPLAY");
    if (!current || !*current) {
        // A virtual display that can't be started is a display that can't be opened.
        if (!display.start(error))
            return RenderResult::refusal(error);
        setenv("QT_QPA_PLATFORM", "xcb", 1);
    } else if (!checkDisplay(error)) {
        return RenderResult::refusal(error);
    }
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
    QGuiApplication::setAttribute(Qt::AA_DisableHighDpiScaling);
#endif
    return {};
}

RenderResult drawGlyphsOf(const char* input,
                          const std::function<RenderResult(const AlphabetFile&)>& draw) {
    int qtArgc = 1;
    char program[] = "alphabet-tool";
    char* qtArgv[] = {program, nullptr};
    previousHandler = qInstallMessageHandler(withoutRuntimeDirNotice);
    QGuiApplication application(qtArgc, qtArgv);
    // The loader reports a bad header or a short file on standard error itself.
    AlphabetFile glyphs;
    glyphs.open(input);
    if (glyphs.glyphCount() == 0)
        return RenderResult::failure(std::string(input) + ": no glyphs to render");
    return draw(glyphs);
}
