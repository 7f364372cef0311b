#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QString>

// What the viewer's command line asks for: `alphabet-viewer [--direction] [--glyph N] [FILE]`, or
// --help or --version.
// Arguments stay the bytes they came as: a file name need not be text.
struct ViewerArguments {
    QByteArray file; // empty: the default file in the working directory
    bool help = false;
    bool version = false;
    bool direction = false; // start with the direction marks shown
    int glyph = -1;         // the glyph to show alone at the start, or -1 for the grid
    QString error;          // why the command line can't be followed, if it can't
};

// Reads the arguments after the program's name, with Qt's own options
// (-platform and the like) already taken out.
ViewerArguments parseViewerArguments(const QByteArrayList& arguments);

// The arguments after the program's name without the options QApplication
// takes for itself, read from the raw command line: a usage error is then
// told before any window system is needed.
QByteArrayList argumentsBesidesQt(int argc, char** argv);

// Why no window system can be reached, or an empty string: Qt would otherwise
// abort. Only where nothing names one: no -platform option, no
// QT_QPA_PLATFORM, and neither DISPLAY nor WAYLAND_DISPLAY set.
QString missingDisplay(int argc, char** argv);

// Usage, the controls and what the window shows, for --help.
const char* viewerHelp();

// The "plastique" style where Qt has it (Qt 5 with its style plugins), else "Fusion".
void applyViewerStyle();

// Keeps Qt's "XDG_RUNTIME_DIR not set" notice from the user: Qt falls back to a
// folder of its own, which serves, and the notice asks nothing of them. Every
// other message goes where it went.
void quietRuntimeDirNotice();
