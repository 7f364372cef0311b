#include "writing/SvgPlotWriter.h"

#include "writing/FixedNumber.h"

namespace {

std::string number(double value) {
    char text[32];
    return std::string(text, formatThousandths(value, text));
}

} // namespace

SvgPlotWriter::SvgPlotWriter(std::FILE* file, const Box& drawn, double margin, double penWidth)
    : out(file), drawn(drawn), margin(margin) {
    const std::string width = number(drawn.maxX - drawn.minX + 2 * margin);
    const std::string height = number(drawn.maxY - drawn.minY + 2 * margin);
    out.append("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" +
               width + "mm\" height=\"" + height + "mm\" viewBox=\"0 0 " + width + " " + height +
               "\">\n");
    pathStart = "<path fill=\"none\" stroke=\"black\" stroke-width=\"" + number(penWidth) +
                "\" stroke-linecap=\"round\" stroke-linejoin=\"round\" d=\"M";
}

void SvgPlotWriter::point(const RoutePoint& p) {
    if (!p.drawn) {
        endRun();
        return;
    }
    char text[64];
    char* end = text;
    if (runPoints == 0)
        out.append(pathStart);
    else if (runPoints == 1)
        *end++ = ' ', *end++ = 'L';
    *end++ = ' ';
    end = formatThousandths(p.x - drawn.minX + margin, end);
    *end++ = ' ';
    end = formatThousandths(drawn.maxY - p.y + margin, end);
    out.append(text, std::size_t(end - text));
    ++runPoints;
}

void SvgPlotWriter::endRun() {
    if (runPoints == 0)
        return;
    // A run of one point is a dot: a line of no length, which the round cap draws.
    out.append(runPoints == 1 ? " l0 0\"/>\n" : "\"/>\n");
    runPoints = 0;
}

bool SvgPlotWriter::finish() {
    endRun();
    out.append("</svg>\n");
    return out.flush();
}
