#pragma once

#include "alphabet/Point3.h"
#include "alphabet/SampleAlphabet.h"

#include <QByteArray>
#include <QString>
#include <QVector>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
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
inline QVector<Point3> numberedPoints(int count) {
    QVector<Point3> points;
    for (int i = 0; i < count; ++i)
        points.push_back({float(i), float(i) + 0.25f, -float(i)});
    return points;
}

// Writes a glyph file byte by byte as given, sound or not: the header, the
// points, then `extraBytes` bytes that belong to no glyph. `path` is the
// file's name as bytes, which need not be text.
inline void writeGlyphBytes(const std::string& path, std::int32_t pointsPerGlyph,
                            std::int32_t glyphCount, const Point3* points, std::size_t count,
                            int extraBytes = 0) {
    std::ofstream out(path, std::ios::binary);
    const std::int32_t header[2] = {pointsPerGlyph, glyphCount};
    out.write(reinterpret_cast<const char*>(header), sizeof header);
    out.write(reinterpret_cast<const char*>(points),
              static_cast<std::streamsize>(count * sizeof(Point3)));
    out.write("0123456789abcdef", extraBytes);
}

inline void writeGlyphFile(const QString& path, std::int32_t pointsPerGlyph,
                           std::int32_t glyphCount, const QVector<Point3>& points,
                           int extraBytes = 0) {
    writeGlyphBytes(path.toStdString(), pointsPerGlyph, glyphCount, points.data(),
                    std::size_t(points.size()), extraBytes);
}

// Adds points to the end of a glyph file, as a writer that is not done yet does.
inline void appendPoints(const QString& path, const Point3* points, std::size_t count) {
    std::ofstream out(path.toStdString(), std::ios::binary | std::ios::app);
    out.write(reinterpret_cast<const char*>(points),
              static_cast<std::streamsize>(count * sizeof(Point3)));
}

// `count` glyphs of the sample letters of `pointsPerGlyph` points from letter
// `first` on, starting over after the last letter.
inline QVector<Point3> sampleLetters(int pointsPerGlyph, int count = sampleGlyphCount,
                                     int first = 0) {
    const std::vector<Point3> letters = sampleAlphabet(pointsPerGlyph);
    QVector<Point3> points;
    for (int i = first; i < first + count; ++i) {
        const auto letter = letters.begin() + i % sampleGlyphCount * pointsPerGlyph;
        points += QVector<Point3>(letter, letter + pointsPerGlyph);
    }
    return points;
}
