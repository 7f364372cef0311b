#include "app/ViewerStartup.h"

#include <QApplication>
#include <QFile>
#include <QStyle>
#include <algorithm>
#include <cstring>

namespace {

const char* const help =
    "usage: alphabet-viewer [--direction] [FILE]\n"
    "Shows every glyph of a glyph file in its own cell, four to a row, each seen\n"
    "face-on. FILE defaults to ./universal.alphabet in the working directory. The\n"
    "shown file is read again whenever it is replaced or rewritten.\n"
    "\n"
    "Controls:\n"
    "  drag in a cell           turn that glyph (a virtual trackball)\n"
    "  double-click a cell, or  show that glyph alone in the whole view (the\n"
    "  Enter over it            closer look); Escape, Enter or a double-click\n"
    "                           goes back to the grid\n"
    "  Ctrl+drag in a cell      turn every glyph together, by the same steps\n"
    "  R                        turn every glyph back\n"
    "  D                        show or hide each path's start (green ring)\n"
    "                           and direction (arrowheads)\n"
    "  mouse wheel, touchpad    scroll by rows\n"
    "  Up, Down                 one row\n"
    "  Page Up, Page Down       the four rows of the view\n"
    "  Home, End                the first row at the top, the last at the bottom\n"
    "  Ctrl+G                   go to a glyph, by index or label character\n"
    "  hover a cell             the glyph's index, label and point count, and\n"
    "                           the point under the pointer: index and x, y, z\n"
    "  Ctrl+O                   open another glyph file\n"
    "  Ctrl+S                   save the picture shown (PNG, SVG or PDF)\n"
    "  drop a file on the window  open it\n"
    "\n"
    "In the closer look:\n"
    "  drag                     turn the glyph; Ctrl+drag turns every glyph\n"
    "  mouse wheel, touchpad    zoom in (rolled away) and out about the pointer,\n"
    "                           1.25 a notch, up to 1000 times\n"
    "  Shift+drag, middle drag  pan; the arrow keys pan too, + and - zoom\n"
    "  R                        turn back, and show the whole glyph again\n"
    "  Home                     show the whole glyph again, turn kept\n"
    "  D, hover, Ctrl+G, Ctrl+S as in the grid; Ctrl+G shows the glyph chosen\n"
    "\n"
    "Options:\n"
    "  --direction              start with the direction marks shown (key D)\n"
    "  --glyph N                start with glyph N alone in the closer look\n"
    "  -h, --help               show this text\n"
    "  --version                print the program's version\n";

// Options that QApplication takes for itself, given with one dash or two:
// these take the next argument as their value,
const char* const qtOptionsWithValue[] = {"platform",
                                          "platformpluginpath",
                                          "platformtheme",
                                          "plugin",
                                          "qwindowgeometry",
                                          "geometry",
                                          "qwindowicon",
                                          "icon",
                                          "qwindowtitle",
                                          "title",
                                          "session",
                                          "style",
                                          "stylesheet",
                                          "display",
                                          "name",
                                          "visual",
                                          "qmljsdebugger"};
// these take none,
const char* const qtFlags[] = {"reverse", "testability", "widgetcount", "qdevel",
                               "nograb",  "dograb",      "sync"};
// and these carry theirs after an equals sign.
const char* const qtOptionsJoined[] = {"style=", "stylesheet=", "qmljsdebugger="};

QtMessageHandler previousHandler = nullptr;

void withoutRuntimeDirNotice(QtMsgType type, const QMessageLogContext& context,
                             const QString& message) {
    if (type == QtWarningMsg && message.startsWith("QStandardPaths: XDG_RUNTIME_DIR not set"))
        return;
    previousHandler(type, context, message);
}

template <std::size_t N> bool isOneOf(const char* const (&names)[N], const QByteArray& option) {
    return std::any_of(names, names + N, [&](const char* name) { return option == name; });
}

template <std::size_t N>
bool startsWithOneOf(const char* const (&names)[N], const QByteArray& option) {
    return std::any_of(names, names + N, [&](const char* name) { return option.startsWith(name); });
}

} // namespace

ViewerArguments parseViewerArguments(const QByteArrayList& arguments) {
    ViewerArguments parsed;
    bool options = true;
    for (int i = 0; i < arguments.size(); ++i) {
        const QByteArray& argument = arguments[i];
        if (options && argument == "--") {
            options = false;
        } else if (options && (argument == "--help" || argument == "-h")) {
            parsed.help = true;
        } else if (options && argument == "--version") {
            parsed.version = true;
        } else if (options && argument == "--direction") {
            parsed.direction = true;
        } else if (options && (argument == "--glyph" || argument.startsWith("--glyph="))) {
            const bool joined = argument != "--glyph";
            if (!joined && ++i == arguments.size()) {
                parsed.error = QStringLiteral("--glyph needs a glyph index");
                break;
            }
            const QByteArray value = joined ? argument.mid(8) : arguments[i];
            bool number = false;
            parsed.glyph = value.toInt(&number);
            if (!number || parsed.glyph < 0 || value.startsWith('+')) {
                parsed.glyph = -1;
                parsed.error = QString("--glyph takes a glyph index (0 or more), not '%1'")
                                   .arg(QFile::decodeName(value));
            }
        } else if (options && argument.startsWith('-') && argument != "-") {
            parsed.error = QString("unknown option '%1'").arg(QFile::decodeName(argument));
        } else if (!parsed.file.isEmpty()) {
            parsed.error = QString("one glyph file at a time, not '%1' as well")
                               .arg(QFile::decodeName(argument));
        } else {
            parsed.file = argument;
        }
    }
    return parsed;
}

QByteArrayList argumentsBesidesQt(int argc, char** argv) {
    QByteArrayList arguments;
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument = argv[i];
        const QByteArray option = argument.startsWith("--")  ? argument.mid(2)
                                  : argument.startsWith('-') ? argument.mid(1)
                                                             : QByteArray();
        if (argument == "--") {
            for (; i < argc; ++i)
                arguments << QByteArray(argv[i]);
        } else if (isOneOf(qtOptionsWithValue, option)) {
            ++i;
        } else if (!isOneOf(qtFlags, option) && !startsWithOneOf(qtOptionsJoined, option)) {
            arguments << argument;
        }
    }
    return arguments;
}

QString missingDisplay(int argc, char** argv) {
    for (int i = 1; i < argc && std::strcmp(argv[i], "--") != 0; ++i)
        if (!std::strcmp(argv[i], "-platform") || !std::strcmp(argv[i], "--platform"))
            return QString();
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        if (!qEnvironmentVariableIsEmpty(name))
            return QString();
    return QStringLiteral("no display to open the window on (neither DISPLAY nor "
                          "WAYLAND_DISPLAY is set)");
}

const char* viewerHelp() {
    return help;
}

void applyViewerStyle() {
    if (!QApplication::setStyle("plastique"))
        QApplication::setStyle("Fusion");
}

void quietRuntimeDirNotice() {
    previousHandler = qInstallMessageHandler(withoutRuntimeDirNotice);
}
