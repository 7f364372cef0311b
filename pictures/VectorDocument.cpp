#include "pictures/VectorDocument.h"

#include "pictures/SvgSizeDevice.h"

#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <cstdio>

namespace {

QPageSize pdfPageSize(QSize pixels) {
    const double points = VectorDocument::pointsPerPixel;
    return QPageSize(QSizeF(pixels.width() * points, pixels.height() * points), QPageSize::Point,
                     QString(), QPageSize::ExactMatch);
}

// `title` as an SVG's <title> holds it: Qt's generator writes it as it is given,
// so markup is escaped here, and characters XML can't hold become U+FFFD.
QString svgTitle(const QString& title) {
    QString text = title.toHtmlEscaped();
    for (QChar& c : text)
        if (c.unicode() < 0x20 && c != '\t' && c != '\n' && c != '\r')
            c = QChar(QChar::ReplacementCharacter);
    return text;
}

} // namespace

VectorDocument::VectorDocument() = default;

VectorDocument::~VectorDocument() {
    if (paint.isActive())
        paint.end();
}

OutputStatus VectorDocument::open(const std::string& path_, const OutputRules& rules, Kind kind,
                                  QSize size, const QString& title, std::string& error) {
    path = path_;
    const OutputStatus status = file.open(path, rules, error);
    if (status != OutputStatus::Ready)
        return status;
    // Megabytes go out in large writes rather than the stream's default 4 KiB ones.
    std::setvbuf(file.stream(), nullptr, _IOFBF, 1 << 20);
    if (!device.open(file.stream(), QIODevice::WriteOnly)) {
        error = OutputFile::shownName(path) + ": can't write";
        return OutputStatus::Failed;
    }
    bool started = false;
    if (kind == Kind::Svg) {
        sized = std::make_unique<SvgSizeDevice>(device, size);
        svg = std::make_unique<QSvgGenerator>();
        svg->setOutputDevice(sized.get());
        svg->setTitle(svgTitle(title));
        svg->setResolution(pixelsPerInch);
        svg->setSize(size);
        svg->setViewBox(QRect(QPoint(0, 0), size));
        started = paint.begin(svg.get());
    } else {
        pdf = std::make_unique<QPdfWriter>(&device);
        pdf->setTitle(title);
        pdf->setResolution(pixelsPerInch);
        pdf->setPageLayout(QPageLayout(pdfPageSize(size), QPageLayout::Portrait, QMarginsF()));
        started = paint.begin(pdf.get());
    }
    if (!started) {
        error = OutputFile::shownName(path) + ": can't start drawing";
        return OutputStatus::Failed;
    }
    paint.fillRect(QRect(QPoint(0, 0), size), Qt::white); // the view's background
    return OutputStatus::Ready;
}

void VectorDocument::newPage(QSize size) {
    pdf->setPageLayout(QPageLayout(pdfPageSize(size), QPageLayout::Portrait, QMarginsF()));
    pdf->newPage();
    paint.fillRect(QRect(QPoint(0, 0), size), Qt::white);
}

bool VectorDocument::finish(std::string& error) {
    const bool ended = paint.end();
    const bool passed = !sized || sized->finish();
    device.close(); // flushes what Qt still holds into the stream
    if (!ended || !passed || device.error() != QFileDevice::NoError) {
        error = OutputFile::shownName(path) + ": can't write";
        return false;
    }
    return file.commit(error);
}
