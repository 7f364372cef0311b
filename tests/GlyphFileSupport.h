#pragma once

#include "alphabet/Point3.h"

#include <QByteArray>
#include <QString>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <unistd.h>
#include <vector>

// Captures what a call writes to one of the standard streams.
class Capture {
public:
    explicit Capture(FILE* stream) : stream(stream), descriptor(fileno(stream)) {
        std::fflush(stream);
        saved = dup(descriptor);
        std::FILE* temporary = std::tmpfile();
        file = temporary;
        dup2(fileno(temporary), descriptor);
    }
    QByteArray finish() {
        std::fflush(stream);
        dup2(saved, descriptor);
        close(saved);
        std::rewind(file);
        QByteArray text;
        char buffer[512];
        std::size_t got;
        while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
            text.append(buffer, static_cast<int>(got));
        std::fclose(file);
        return text;
    }

private:
    FILE* stream;
    int descriptor;
    int saved;
    FILE* file;
};

// Point i is (i, i + 0.25, -i): any point read tells where in the file it came from.
inline std::vector<Point3> numberedPoints(int count) {
    std::vector<Point3> points;
    for (int i = 0; i < count; ++i)
        points.push_back({float(i), float(i) + 0.25f, -float(i)});
    return points;
}

// Writes a glyph file byte by byte as given, sound or not.
inline void writeRaw(const QString& path, std::int32_t pointsPerGlyph, std::int32_t glyphCount,
                     const std::vector<Point3>& points, int extraBytes = 0) {
    std::ofstream out(path.toStdString(), std::ios::binary);
    const std::int32_t header[2] = {pointsPerGlyph, glyphCount};
    out.write(reinterpret_cast<const char*>(header), sizeof header);
    out.write(reinterpret_cast<const char*>(points.data()),
              static_cast<std::streamsize>(points.size() * sizeof(Point3)));
    out.write("0123456789abcdef", extraBytes);
}
