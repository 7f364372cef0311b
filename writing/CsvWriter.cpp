#include "writing/CsvWriter.h"

#include "import/text/GlyphText.h"

CsvWriter::CsvWriter(std::FILE* file) : out(file) {
    out.append("x,y,z\n", 6);
}

void CsvWriter::point(const RoutePoint& p) {
    char row[160];
    char* const last = row + sizeof row;
    char* end = formatNumber(float(p.x), row, last);
    *end++ = ',';
    end = formatNumber(float(p.y), end, last);
    *end++ = ',';
    end = formatNumber(float(p.z), end, last);
    *end++ = '\n';
    out.append(row, std::size_t(end - row));
}
