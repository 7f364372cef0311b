#include "import/pen/HersheyFont.h"

#include "import/pen/FontHeight.h"
#include "import/text/TextEncoding.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

// Where the classic files wrap a long record.
constexpr std::size_t wrapColumn = 72;
constexpr char originCode = 'R';

bool fail(PenError& error, int line, std::string message) {
    error.line = line;
    error.message = std::move(message);
    return false;
}

// A right-aligned whole number in a fixed field of spaces and digits; -1 where it is none.
int fieldNumber(std::string_view field) {
    const std::size_t first = field.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return -1;
    int value = 0;
    for (std::size_t i = first; i < field.size(); ++i) {
        if (field[i] < '0' || field[i] > '9')
            return -1;
        value = value * 10 + (field[i] - '0');
    }
    return value;
}

// A byte of a record as a message shows it: the record is read as bytes, not decoded.
std::string shown(char c) {
    if (c >= 0x20 && c < 0x7f)
        return shownChar(char32_t(c));
    char text[16];
    std::snprintf(text, sizeof text, "byte 0x%02x", static_cast<unsigned char>(c));
    return text;
}

// Splits `text` into lines without their line ends.
std::vector<std::string_view> linesOf(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    return lines;
}

bool blank(std::string_view line) {
    return line.find_first_not_of(" \t") == std::string_view::npos;
}

// The strokes of one record's coordinate pairs, the margins removed.
bool readStrokes(std::string_view pairs, int line, PenGlyph& glyph, PenError& error) {
    // The margins: where the glyph starts and ends on its line.
    glyph.left = double(pairs[0] - originCode);
    glyph.advance = double(pairs[1] - originCode) - glyph.left;
    glyph.hasAdvance = true;
    PenStroke stroke;
    for (std::size_t i = 2; i + 1 < pairs.size(); i += 2) {
        const char cx = pairs[i], cy = pairs[i + 1];
        if (cx == ' ' && cy == originCode) {
            if (!stroke.empty())
                glyph.strokes.push_back(std::move(stroke));
            stroke.clear();
            continue;
        }
        for (char c : {cx, cy})
            if (c < '!' || c > '~')
                return fail(error, line,
                            shown(c) + " in coordinate pair " + std::to_string(i / 2) +
                                " is not a coordinate (one of ! to ~) nor the pen lift \" R\"");
        stroke.push_back({double(cx - originCode), -double(cy - originCode)});
    }
    if (!stroke.empty())
        glyph.strokes.push_back(std::move(stroke));
    return true;
}

} // namespace

bool looksLikeHershey(std::string_view text) {
    for (std::string_view line : linesOf(text.substr(0, 4096))) {
        if (blank(line))
            continue;
        if (line.size() < 8 || fieldNumber(line.substr(0, 5)) < 0)
            return false;
        const int count = fieldNumber(line.substr(5, 3));
        // A record of no pairs, not even the margins, is an empty glyph.
        if (count == 0)
            return blank(line.substr(8));
        if (line.size() < 10 || count < 1)
            return false;
        // Margins are letters or signs; a text line of numbers has a digit or blank here.
        const auto margin = [](char c) {
            return c > ' ' && c <= '~' && !(c >= '0' && c <= '9') && c != '-' && c != '+' &&
                   c != '.' && c != ',';
        };
        return margin(line[8]) && margin(line[9]);
    }
    return false;
}

bool readHersheyFont(std::string_view text, PenFont& font, PenError& error) {
    const std::vector<std::string_view> lines = linesOf(text);
    std::vector<PenGlyph> glyphs;
    for (std::size_t n = 0; n < lines.size(); ++n) {
        const int line = static_cast<int>(n + 1);
        if (blank(lines[n]))
            continue;
        if (lines[n].size() < 8 || fieldNumber(lines[n].substr(0, 5)) < 0)
            return fail(error, line,
                        "not a Hershey record: it should start with a glyph number in columns "
                        "1 to 5");
        const int count = fieldNumber(lines[n].substr(5, 3));
        if (count < 0)
            return fail(error, line,
                        "columns 6 to 8 should hold the count of coordinate pairs (the margins "
                        "are the first)");
        std::string pairs(lines[n].substr(8));
        const std::size_t wanted = 2 * std::size_t(count);
        // A classic record goes on in the next line where it fills this one.
        for (std::size_t last = n;
             pairs.size() < wanted && lines[last].size() == wrapColumn && last + 1 < lines.size();)
            pairs += lines[n = ++last];
        if (pairs.size() > wanted && blank(std::string_view(pairs).substr(wanted)))
            pairs.resize(wanted);
        if (pairs.size() != wanted)
            return fail(error, line,
                        "the record announces " + std::to_string(count) + " coordinate pairs (" +
                            std::to_string(wanted) + " characters after column 8) but holds " +
                            std::to_string(pairs.size()) + " characters");
        PenGlyph glyph;
        glyph.character = char32_t(32 + glyphs.size());
        if (!readStrokes(pairs, line, glyph, error))
            return false;
        glyphs.push_back(std::move(glyph));
    }
    if (glyphs.empty())
        return fail(error, 0, "no Hershey records in the file");

    font.glyphs = std::move(glyphs);
    setFontHeight(font);
    return true;
}
