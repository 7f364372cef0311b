#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QSize>

// Passes an SVG document through to `target`, giving its root element's width
// and height in pixels. Qt's SVG generator writes them in millimetres, rounded
// to six digits: 800 pixels become 211.667 mm, which a reader sizes at 801.
class SvgSizeDevice : public QIODevice {
public:
    SvgSizeDevice(QIODevice& target, QSize pixels);

    // Passes on what is still held back; false where the target took less.
    bool finish();

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 length) override;

private:
    bool pass(const QByteArray& bytes);

    QIODevice& target;
    QSize pixels;
    QByteArray head; // the document up to the root element's end, until that is whole
    bool headPassed = false;
    bool failed = false;
};
