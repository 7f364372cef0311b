#include "app/PictureSaver.h"

#include "alphabet/OutputFile.h"
#include "cells/vector/CloseLookVectorPainter.h"
#include "cells/vector/VectorCellPainter.h"
#include "geometry/GridGeometry.h"
#include "pictures/PictureFormat.h"
#include "pictures/VectorDocument.h"
#include "view/CharGLWidget.h"

#include <QFile>
#include <QImage>
#include <QImageWriter>

namespace {

bool savePng(CharGLWidget& view, const std::string& path, const OutputRules& rules,
             std::string& error) {
    const QImage frame = view.grabFramebuffer();
    OutputFile file;
    if (file.open(path, rules, error) != OutputStatus::Ready)
        return false;
    QFile device;
    bool written = device.open(file.stream(), QIODevice::WriteOnly);
    if (written) {
        QImageWriter writer(&device, "png");
        written = writer.write(frame);
        device.close();
    }
    if (!written) {
        error = OutputFile::shownName(path) + ": can't write the picture";
        return false;
    }
    return file.commit(error);
}

bool saveVectors(CharGLWidget& view, const std::string& path, const OutputRules& rules,
                 VectorDocument::Kind kind, std::string& error) {
    VectorDocument document;
    const QByteArray shown = view.alphabetPath();
    const QString title = QFile::decodeName(shown.mid(shown.lastIndexOf('/') + 1));
    if (document.open(path, rules, kind, view.size(), title, error) != OutputStatus::Ready)
        return false;
    document.painter().setClipRect(view.rect()); // cells cut by the view's edges, as shown
    if (view.glyphShownAlone() >= 0)
        CloseLookVectorPainter(document.painter()).paint(view.closeLookShown());
    else
        VectorCellPainter(document.painter()).paint(view.cellsShown());
    return document.finish(error);
}

} // namespace

bool savePicture(CharGLWidget& view, const QString& path, QString& why) {
    OutputRules rules;
    rules.input = view.alphabetPath().toStdString();
    const std::string name = QFile::encodeName(path).toStdString();
    PictureFormat format = PictureFormat::Png;
    std::string error;
    bool saved = false;
    if (!pictureFormatOf(name, format, error))
        saved = false;
    else if (format == PictureFormat::Svg)
        saved = saveVectors(view, name, rules, VectorDocument::Kind::Svg, error);
    else if (format == PictureFormat::Pdf)
        saved = saveVectors(view, name, rules, VectorDocument::Kind::Pdf, error);
    else
        saved = savePng(view, name, rules, error);
    why = QString::fromStdString(error);
    return saved;
}
