#include "app/AlphabetViewer.h"

#include "app/PictureSaver.h"
#include "geometry/GridGeometry.h"
#include "view/CharGLWidget.h"

#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

namespace {

// The one local file a drag carries, or an empty name. The name is taken from
// the URL's own bytes: toLocalFile() would lose those that are not UTF-8.
QByteArray droppedFile(const QMimeData* data) {
    const QList<QUrl> urls = data->urls();
    if (urls.size() != 1 || !urls.front().isLocalFile())
        return QByteArray();
    return QByteArray::fromPercentEncoding(urls.front().path(QUrl::FullyEncoded).toLatin1());
}

// The last part of `path`, as text for the title and messages.
QString shownName(const QByteArray& path) {
    return QFile::decodeName(path.mid(path.lastIndexOf('/') + 1));
}

} // namespace

AlphabetViewer::AlphabetViewer(QWidget* parent, Qt::WindowFlags flags,
                               const QByteArray& alphabetPath)
    : QMainWindow(parent, flags), defaultFile(alphabetPath.isEmpty()) {
    setMinimumSize(430, 430);
    setMaximumSize(430, 430);
    setGeometry(50, 50, 430, 430);
    form.setupForm(this);
    glyphView = new CharGLWidget(form.centralWidget, defaultFile ? CharGLWidget::defaultAlphabetPath
                                                                 : alphabetPath.constData());
    glyphView->setGeometry(15, 15, gridViewSize, gridViewSize);
    showTitle();
    connect(glyphView, &CharGLWidget::shownGlyphChanged, this, &AlphabetViewer::showTitle);

    setAcceptDrops(true);
    auto* open = new QAction(this);
    open->setShortcut(QKeySequence::Open);
    connect(open, &QAction::triggered, this, &AlphabetViewer::chooseFile);
    addAction(open);
    auto* save = new QAction(tr("Save picture…"), this);
    save->setShortcut(QKeySequence::Save);
    connect(save, &QAction::triggered, this, &AlphabetViewer::choosePictureFile);
    addAction(save);

    // A file named on the command line that can't be shown is said once the window is up.
    if (!defaultFile && !glyphView->showsGlyphFile())
        QTimer::singleShot(0, this, [this, alphabetPath, problem = glyphView->alphabetProblem()] {
            reportOpenFailure(alphabetPath, problem);
        });
}

AlphabetViewer::~AlphabetViewer() {
    delete glyphView;
}

bool AlphabetViewer::openFile(const QByteArray& path) {
    QString why;
    if (!glyphView->openAlphabet(path, &why)) {
        reportOpenFailure(path, why);
        return false;
    }
    defaultFile = false;
    showTitle();
    return true;
}

void AlphabetViewer::chooseFile() {
    auto* dialog =
        new QFileDialog(this, tr("Open a glyph file"),
                        QFileInfo(QFile::decodeName(glyphView->alphabetPath())).absolutePath(),
                        tr("Glyph files (*.alphabet);;All files (*)"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setFileMode(QFileDialog::ExistingFile);
    // The dialog names files as text: one whose name is not text is opened as far as it shows it.
    connect(dialog, &QFileDialog::fileSelected, this,
            [this](const QString& file) { openFile(QFile::encodeName(file)); });
    dialog->open();
}

bool AlphabetViewer::showGlyphAlone(int index, QString& why) {
    if (glyphView->showGlyphAlone(index))
        return true;
    const int count = glyphView->glyphCount();
    why = tr("%1 holds no glyph %2 (%3 glyph%4, from 0)")
              .arg(shownName(glyphView->alphabetPath()))
              .arg(index)
              .arg(count)
              .arg(count == 1 ? "" : "s");
    return false;
}

void AlphabetViewer::setDirectionShown(bool shown) {
    glyphView->setDirectionShown(shown);
}

bool AlphabetViewer::savePictureAs(const QString& path) {
    QString why;
    if (savePicture(*glyphView, path, why))
        return true;
    auto* box = new QMessageBox(QMessageBox::Warning, windowTitle(),
                                tr("Can't save the picture %1.").arg(path), QMessageBox::Ok, this);
    box->setInformativeText(why + ".");
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
    return false;
}

void AlphabetViewer::choosePictureFile() {
    auto* dialog =
        new QFileDialog(this, tr("Save picture"),
                        QFileInfo(QFile::decodeName(glyphView->alphabetPath())).absolutePath(),
                        tr("PNG pictures (*.png);;SVG pictures (*.svg);;PDF documents "
                           "(*.pdf)"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setDefaultSuffix("png");
    // A name typed without an extension takes the one of the kind chosen.
    connect(dialog, &QFileDialog::filterSelected, dialog, [dialog](const QString& filter) {
        dialog->setDefaultSuffix(filter.section("(*.", 1).left(3));
    });
    connect(dialog, &QFileDialog::fileSelected, this, &AlphabetViewer::savePictureAs);
    dialog->open();
}

void AlphabetViewer::dragEnterEvent(QDragEnterEvent* event) {
    if (!droppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void AlphabetViewer::dropEvent(QDropEvent* event) {
    const QByteArray path = droppedFile(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    openFile(path);
}

// The form's title, with the file's name before it for any file but the default,
// and after it the glyph shown alone, if any.
void AlphabetViewer::showTitle() {
    form.retranslateForm(this);
    if (!defaultFile)
        setWindowTitle(shownName(glyphView->alphabetPath()) + " - " + windowTitle());
    const QString glyph = glyphView->shownGlyphTitle();
    if (!glyph.isEmpty())
        setWindowTitle(windowTitle() + " - " + glyph);
}

void AlphabetViewer::reportOpenFailure(const QByteArray& path, const QString& why) {
    auto* box = new QMessageBox(QMessageBox::Warning, windowTitle(),
                                tr("Can't show the glyph file %1.").arg(QFile::decodeName(path)),
                                QMessageBox::Ok, this);
    box->setInformativeText(why.isEmpty() ? tr("It holds no glyphs.") : why + ".");
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}
