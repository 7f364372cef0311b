// Writes a glyph file of repeated sample letters for the benchmarks:
//   bench_make_file PATH POINTS_PER_GLYPH GLYPHS
// GLYPHS may instead be given as a size, e.g. 200M, the glyph count that fills
// that many MiB (the file is then that size plus at most one glyph).
#include "bench/BenchFiles.h"

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: bench_make_file PATH POINTS_PER_GLYPH GLYPHS|<N>M\n");
        return 2;
    }
    const int points = std::atoi(argv[2]);
    const std::string count = argv[3];
    long long glyphs = std::atoll(count.c_str());
    if (!count.empty() && count.back() == 'M') {
        const long long bytes = glyphs * 1024 * 1024;
        const long long glyphBytes = 12LL * points;
        glyphs = (bytes - 8 + glyphBytes - 1) / glyphBytes;
    }
    if (points < 1 || glyphs < 0 || glyphs > 0x7fffffff) {
        std::fprintf(stderr, "bench_make_file: bad counts %s %s\n", argv[2], argv[3]);
        return 2;
    }
    if (!writeRepeatedSample(argv[1], points, static_cast<int>(glyphs))) {
        std::fprintf(stderr, "bench_make_file: can't write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
