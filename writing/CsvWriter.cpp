#include "writing/CsvWriter.h"

#include "import/text/GlyphText.h"

#include <cstring>

CsvWriter::CsvWriter(std::FILE* file) : out(file) {
    out.append("x,y,z\n", 6);
}

char* CsvWriter::put(Column& column, float value, char* at) {
    // Compared by bits, so that 0 and -0 keep their own text.
    if (!column.known || std::memcmp(&column.value, &value, sizeof value) != 0) {
        column.length = std::size_t(
            formatNumber(value, column.text, column.text + sizeof column.text) - column.text);
        column.value = value;
        column.known = true;
    }
    std::memcpy(at, column.text, column.length);
    return at + column.length;
}

void CsvWriter::point(const RoutePoint& p) {
    char row[160];
    char* end = put(columns[0], float(p.x), row);
    *end++ = ',';
    end = put(columns[1], float(p.y), end);
    *end++ = ',';
    end = put(columns[2], float(p.z), end);
    *end++ = '\n';
    out.append(row, std::size_t(end - row));
}
