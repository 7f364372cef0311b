#pragma once

#include "alphabet/OutputFile.h"

#include <QFile>
#include <QPainter>
#include <QSize>
#include <memory>
#include <string>

class QPdfWriter;
class QSvgGenerator;
class SvgSizeDevice;

// An SVG picture or a PDF document, written through an OutputFile, so the
// rules of every output hold. Its pixels are logical pixels at 96 per inch,
// as on an ordinary screen: a PDF page is 0.75 points to the pixel.
class VectorDocument {
public:
    enum class Kind { Svg, Pdf };
    static constexpr int pixelsPerInch = 96;
    // A PDF point is 1/72 inch.
    static constexpr double pointsPerPixel = 72.0 / pixelsPerInch;

    VectorDocument();
    ~VectorDocument();
    VectorDocument(const VectorDocument&) = delete;
    VectorDocument& operator=(const VectorDocument&) = delete;

    // Opens `path` with a first page of `size` pixels, white, and a painter on it.
    // An SVG is exactly `size` pixels; both kinds carry `title` as the document's.
    OutputStatus open(const std::string& path, const OutputRules& rules, Kind kind, QSize size,
                      const QString& title, std::string& error);
    QPainter& painter() { return paint; }
    // Starts another page of `size` pixels (PDF only).
    void newPage(QSize size);
    // Ends the drawing and moves the file into place.
    bool finish(std::string& error);

private:
    OutputFile file;
    std::string path;
    QFile device;
    std::unique_ptr<SvgSizeDevice> sized;
    std::unique_ptr<QSvgGenerator> svg;
    std::unique_ptr<QPdfWriter> pdf;
    QPainter paint;
};
