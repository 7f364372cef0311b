#include "alphabet/AlphabetLoader.h"
#include "alphabet/GlyphText.h"
#include "tools/Commands.h"
#include "tools/Files.h"
#include "tools/Options.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>

namespace {

const char* const exportHelp =
    "usage: alphabet-tool export FILE [-o TEXT]\n"
    "Writes the glyphs of a glyph file as text (the format that import reads) to\n"
    "standard output or to TEXT. Every float is written so that importing the\n"
    "text gives back the same bytes.\n"
    "Exit status: 0 written, 1 file shorter than its header announces or write\n"
    "failure, 2 usage or unreadable FILE.\n";

// The glyph count the header announces, or -1 where the file has no sound header.
std::int64_t announcedGlyphs(const char* path) {
    std::ifstream in(path, std::ios::binary);
    std::int32_t header[2] = {0, 0};
    in.read(reinterpret_cast<char*>(header), sizeof header);
    return in.gcount() == sizeof header && header[0] >= 0 && header[1] >= 0 ? header[1] : -1;
}

bool writeAll(std::FILE* out, const std::string& text) {
    return std::fwrite(text.data(), 1, text.size(), out) == text.size() && std::fflush(out) == 0;
}

} // namespace

int runExport(int argc, char** argv) {
    const char* input = nullptr;
    std::string output;
    for (int i = 0; i < argc; ++i) {
        if (isHelpOption(argv[i])) {
            std::fputs(exportHelp, stdout);
            return 0;
        }
        if (!std::strcmp(argv[i], "-o") && i + 1 < argc) {
            output = argv[++i];
        } else if (!input && argv[i][0] != '-') {
            input = argv[i];
        } else {
            std::fprintf(stderr, "alphabet-tool export: unexpected argument '%s'\n%s", argv[i],
                         exportHelp);
            return 2;
        }
    }
    if (!input) {
        std::fprintf(stderr, "alphabet-tool export: no glyph file given\n%s", exportHelp);
        return 2;
    }
    std::string error;
    if (!canRead(input, error)) {
        std::fprintf(stderr, "alphabet-tool export: %s\n", error.c_str());
        return 2;
    }

    // The loader reports a bad header or a short file on standard error itself.
    int pointsPerGlyph = 0;
    int glyphCount = 0;
    std::unique_ptr<Point3[]> points(loadAlphabet(input, pointsPerGlyph, glyphCount));
    if (!points) {
        std::fprintf(stderr, "alphabet-tool export: %s: no sound header, nothing to export\n",
                     input);
        return 1;
    }
    const std::string text = formatGlyphText(points.get(), pointsPerGlyph, glyphCount);
    points.reset();

    if (output.empty()) {
        if (!writeAll(stdout, text)) {
            std::fprintf(stderr, "alphabet-tool export: can't write to standard output\n");
            return 1;
        }
    } else {
        ReplacingFile file;
        if (!file.open(output, error) || !writeAll(file.stream(), text) || !file.commit(error)) {
            std::fprintf(stderr, "alphabet-tool export: %s\n",
                         error.empty() ? (output + ": can't write").c_str() : error.c_str());
            return 1;
        }
    }
    return announcedGlyphs(input) == glyphCount ? 0 : 1;
}
