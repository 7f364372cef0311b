#include "alphabet/AlphabetFile.h"
#include "import/text/GlyphText.h"
#include "tools/Commands.h"
#include "tools/Files.h"
#include "tools/Options.h"

#include <cstdio>
#include <string>

namespace {

// Text gathered before it is written: a glyph file of any size takes little memory.
constexpr std::size_t textChunkBytes = 1u << 20;

const char* const exportText =
    "Writes the glyphs of a glyph file as text (the format that import reads) to\n"
    "standard output, or to TEXT ('-' for standard output). Every float is written\n"
    "so that importing the text gives back the same bytes. TEXT may not be FILE;\n"
    "a device or FIFO is written straight through; a symlink's target is replaced\n"
    "and the link kept; a replaced file keeps its permissions.\n"
    "Exit status: 0 written, 1 file shorter than its header announces or write\n"
    "failure, 2 usage, unreadable FILE, FILE that is text, or refused output.\n";

// Writes the glyphs as text a few thousand at a time, so that a glyph file of any
// size takes little memory.
bool writeText(std::FILE* out, const AlphabetFile& file) {
    const int points = file.pointsPerGlyph();
    std::string text = glyphTextHeading(points, file.glyphCount());
    for (int i = 0; i < file.glyphCount() && points > 0; ++i) {
        appendGlyphText(text, file.glyph(i), points, i);
        if (text.size() >= textChunkBytes) {
            if (std::fwrite(text.data(), 1, text.size(), out) != text.size())
                return false;
            text.clear();
        }
    }
    return std::fwrite(text.data(), 1, text.size(), out) == text.size();
}

} // namespace

int runExport(int argc, char** argv) {
    const char* input = nullptr;
    const char* output = "-";
    const CommandLine line{
        "export",
        "FILE",
        {outputOption("-o", "[-o TEXT]", [&](const char* file) { output = file; })},
        exportText};
    if (const int status = parseCommandLine(line, argc, argv, oneFileOperand(input)); status >= 0)
        return status;
    if (!input)
        return usageRefusal(line, "no glyph file given");
    std::string error;
    GlyphHeader header;
    if (!canRead(input, error) || !readGlyphHeader(input, header, error)) {
        std::fprintf(stderr, "alphabet-tool export: %s\n", error.c_str());
        return 2;
    }
    if (refuseText("export", input, header))
        return 2;

    // The loader reports a bad header or a short file on standard error itself.
    AlphabetFile file;
    const bool opened = file.open(input);
    const int glyphCount = file.glyphCount();
    if (!opened || (glyphCount == 0 && file.pointsPerGlyph() == 0 && !file.problem().empty())) {
        std::fprintf(stderr, "alphabet-tool export: %s: no sound header, nothing to export\n",
                     input);
        return 1;
    }

    OutputFile out;
    if (const int status = openOutput("export", out, output, {input, true}))
        return status;
    const bool written = writeText(out.stream(), file);
    if (const int status = commitOutput("export", out, written))
        return status;
    // A pipe's header was taken by the loader; only a regular file's can be checked.
    const bool whole = header.fileSize < 0 || header.counts.glyphCount == glyphCount;
    return whole ? 0 : 1;
}
