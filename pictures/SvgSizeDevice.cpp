#include "pictures/SvgSizeDevice.h"

#include <QRegularExpression>

namespace {

// The root element's start tag, once it is whole in `head`: where its '>' ends, else -1.
int rootTagEnd(const QByteArray& head) {
    const int root = head.indexOf("<svg");
    return root < 0 ? -1 : head.indexOf('>', root);
}

} // namespace

SvgSizeDevice::SvgSizeDevice(QIODevice& target_, QSize pixels_) : target(target_), pixels(pixels_) {
    open(QIODevice::WriteOnly);
}

qint64 SvgSizeDevice::writeData(const char* data, qint64 length) {
    if (headPassed)
        return pass(QByteArray::fromRawData(data, int(length))) ? length : -1;
    head.append(data, int(length));
    const int end = rootTagEnd(head);
    if (end < 0)
        return length;
    QString tag = QString::fromUtf8(head.left(end));
    for (const auto& [name, value] : {std::pair<const char*, int>{"width", pixels.width()},
                                      std::pair<const char*, int>{"height", pixels.height()}})
        tag.replace(QRegularExpression(QString(" %1=\"[^\"]*\"").arg(name)),
                    QString(" %1=\"%2\"").arg(name).arg(value));
    headPassed = true;
    const bool passed = pass(tag.toUtf8() + head.mid(end));
    head.clear();
    return passed ? length : -1;
}

bool SvgSizeDevice::pass(const QByteArray& bytes) {
    failed = failed || target.write(bytes) != bytes.size();
    return !failed;
}

bool SvgSizeDevice::finish() {
    if (!headPassed && !head.isEmpty())
        pass(head);
    head.clear();
    headPassed = true;
    return !failed;
}
