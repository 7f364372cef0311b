#pragma once

#include "app/AlphabetViewerForm.h"

#include <QByteArray>
#include <QMainWindow>
#include <QString>

class CharGLWidget;
class QDragEnterEvent;
class QDropEvent;

// The fixed 430 x 430 main window holding the 400 x 400 glyph view. It opens
// the glyph file named on the command line, one dropped on it, or one chosen
// with Ctrl+O, and saves a picture of the view with Ctrl+S.
class AlphabetViewer : public QMainWindow {
    Q_OBJECT

public:
    // Shows `alphabetPath`, or the view's default file where it is empty. Paths
    // are the file system's bytes, which need not be text.
    explicit AlphabetViewer(QWidget* parent = nullptr, Qt::WindowFlags flags = Qt::WindowFlags(),
                            const QByteArray& alphabetPath = QByteArray());
    ~AlphabetViewer() override;

    AlphabetViewer(const AlphabetViewer&) = delete;
    AlphabetViewer& operator=(const AlphabetViewer&) = delete;

    // Shows the glyphs of `path` from the first row, none turned. A file that
    // can't be shown leaves the glyphs as they are and says why in a message box.
    bool openFile(const QByteArray& path);
    // Asks for a glyph file to open (Ctrl+O).
    void chooseFile();
    // Shows glyph `index` alone in the closer look; false, with the grid kept
    // and `why` saying so, where the file shown holds no such glyph.
    bool showGlyphAlone(int index, QString& why);
    // Marks each path's start and direction, as the key D does.
    void setDirectionShown(bool shown);
    // Saves the view as shown to `path` (PNG, SVG or PDF by the extension); a
    // picture that can't be saved is said in a message box.
    bool savePictureAs(const QString& path);
    // Asks where to save the picture of the view (Ctrl+S), without blocking the window.
    void choosePictureFile();

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void showTitle();
    void reportOpenFailure(const QByteArray& path, const QString& why);

    AlphabetViewerForm form;
    CharGLWidget* glyphView = nullptr;
    bool defaultFile = true; // the view shows the default file, as started without one
};
