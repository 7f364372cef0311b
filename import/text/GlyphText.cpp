#include "import/text/GlyphText.h"

#include "alphabet/Counted.h"
#include "alphabet/GlyphLabel.h"
#include "alphabet/Resample.h"
#include "import/text/TextEncoding.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <system_error>
#include <utility>

namespace {

constexpr std::uint32_t signBit = 0x80000000u;
constexpr std::uint32_t exponentBits = 0x7f800000u;
constexpr std::uint32_t mantissaBits = 0x007fffffu;
constexpr std::uint32_t quietNanMantissa = 0x00400000u;

std::uint32_t bitsOf(float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

float floatOf(std::uint32_t bits) {
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

bool isSeparator(char c) {
    return c == ',' || c == ';';
}

char lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool startsWithNan(std::string_view s) {
    return s.size() >= 3 && lower(s[0]) == 'n' && lower(s[1]) == 'a' && lower(s[2]) == 'n';
}

// Text as it may appear in a message: at most `limit` characters, bytes outside
// printable ASCII escaped.
std::string printable(std::string_view text, std::size_t limit) {
    std::string out;
    const std::size_t shown = text.size() > limit ? limit : text.size();
    for (std::size_t i = 0; i < shown; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20 && c < 0x7f) {
            out += static_cast<char>(c);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", c);
            out += escaped;
        }
    }
    if (shown < text.size())
        out += "...";
    return out;
}

std::string quoted(std::string_view token) {
    return "'" + printable(token, 32) + "'";
}

// The mantissa of "nan" or "nan(0xM)" (sign already removed), or 0 if malformed.
std::uint32_t nanMantissa(std::string_view s) {
    if (s.size() == 3)
        return quietNanMantissa;
    if (s.size() < 8 || s[3] != '(' || s[4] != '0' || lower(s[5]) != 'x' || s.back() != ')')
        return 0;
    const std::string_view digits = s.substr(6, s.size() - 7);
    if (digits.empty() || digits.size() > 6)
        return 0;
    std::uint32_t value = 0;
    auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value, 16);
    if (ec != std::errc() || end != digits.data() + digits.size() || value > mantissaBits)
        return 0;
    return value;
}

// Parses one coordinate; on failure describes what is wrong with it.
bool parseNumber(std::string_view token, float& value, std::string& problem) {
    std::string_view rest = token;
    bool negative = false;
    if (!rest.empty() && (rest[0] == '-' || rest[0] == '+')) {
        negative = rest[0] == '-';
        rest.remove_prefix(1);
    }
    std::uint32_t bits = 0;
    if (startsWithNan(rest)) {
        const std::uint32_t mantissa = nanMantissa(rest);
        if (mantissa == 0) {
            problem = quoted(token) + " is not a NaN of the form nan or nan(0x1) to nan(0x7fffff)";
            return false;
        }
        bits = exponentBits | mantissa;
    } else {
        // from_chars takes no sign of its own here: the sign was read above.
        float magnitude = 0;
        auto [end, ec] = rest.empty() || rest[0] == '-' || rest[0] == '+'
                             ? std::from_chars_result{rest.data(), std::errc::invalid_argument}
                             : std::from_chars(rest.data(), rest.data() + rest.size(), magnitude);
        if (ec == std::errc::result_out_of_range && end == rest.data() + rest.size()) {
            problem = quoted(token) + " is out of the range of a 32-bit float";
            return false;
        }
        if (ec != std::errc() || end != rest.data() + rest.size()) {
            problem = quoted(token) + " is not a number";
            return false;
        }
        bits = bitsOf(magnitude);
    }
    value = floatOf(negative ? bits ^ signBit : bits);
    return true;
}

} // namespace

char* formatNumber(float value, char* out, char* last) {
    const std::uint32_t bits = bitsOf(value);
    if ((bits & exponentBits) == exponentBits && (bits & mantissaBits) != 0) {
        const char* sign = (bits & signBit) ? "-" : "";
        const std::uint32_t mantissa = bits & mantissaBits;
        int length = mantissa == quietNanMantissa
                         ? std::snprintf(out, std::size_t(last - out), "%snan", sign)
                         : std::snprintf(out, std::size_t(last - out), "%snan(0x%x)", sign,
                                         static_cast<unsigned>(mantissa));
        return out + length;
    }
    return std::to_chars(out, last, value).ptr;
}

namespace {

struct Span {
    int firstLine;
    std::size_t begin;
    std::size_t count;
};

bool fail(TextError& error, int line, std::string message) {
    error.line = line;
    error.message = std::move(message);
    return false;
}

const char* const axisNames[] = {"x", "y", "z"};

// Splits a line into `fields`: blanks, or one comma or semicolon with blanks
// around it, separate them. A line of separators alone has no fields. False
// for an empty field, which `problem` names.
bool splitFields(std::string_view row, std::vector<std::string_view>& fields,
                 std::string& problem) {
    fields.clear();
    bool separated = false; // a comma or semicolon since the last field
    std::size_t empty = 0;  // the first empty field, counting from 1
    const char* where = "";
    for (std::size_t i = 0; i < row.size();) {
        if (isSpace(row[i])) {
            ++i;
        } else if (isSeparator(row[i])) {
            if (!empty && (separated || fields.empty())) {
                empty = fields.size() + 1;
                where = fields.empty() ? "the line starts with a separator"
                                       : "nothing between two separators";
            }
            separated = true;
            ++i;
        } else {
            const std::size_t start = i;
            while (i < row.size() && !isSpace(row[i]) && !isSeparator(row[i]))
                ++i;
            fields.push_back(row.substr(start, i - start));
            separated = false;
        }
    }
    if (fields.empty())
        return true;
    if (!empty && separated) {
        empty = fields.size() + 1;
        where = "the line ends with a separator";
    }
    if (empty)
        problem = "field " + std::to_string(empty) + " is empty (" + where + ")";
    return !empty;
}

bool holdsNumber(const std::vector<std::string_view>& fields) {
    for (std::string_view field : fields) {
        float value;
        std::string problem;
        if (parseNumber(field, value, problem))
            return true;
    }
    return false;
}

// Reads every point of the text into `points`, one span per glyph.
bool readPoints(const std::string& text, std::vector<Point3>& points, std::vector<Span>& spans,
                std::string& header, TextError& error) {
    bool inGlyph = false;
    bool firstFields = true;
    int line = 0;
    std::size_t position = utf8MarkLength(text);
    std::vector<std::string_view> fields;
    while (position < text.size()) {
        if (line == INT_MAX)
            return fail(error, line, "too many lines");
        ++line;
        std::size_t end = text.find('\n', position);
        if (end == std::string::npos)
            end = text.size();
        std::string_view row(text.data() + position, end - position);
        position = end + 1;
        const std::size_t hash = row.find('#');
        const bool commented = hash != std::string_view::npos;
        if (commented)
            row = row.substr(0, hash);

        std::string problem;
        if (!splitFields(row, fields, problem))
            return fail(error, line, problem);
        if (fields.empty()) {
            if (!commented)
                inGlyph = false; // a blank line ends the glyph
            continue;
        }
        if (std::exchange(firstFields, false) && !holdsNumber(fields)) {
            const std::size_t first = row.find_first_not_of(" \t\r\v\f");
            const std::size_t last = row.find_last_not_of(" \t\r\v\f");
            header = printable(row.substr(first, last + 1 - first), 60);
            continue;
        }
        if (fields.size() != 3)
            return fail(error, line,
                        "expected three numbers x y z, found " + std::to_string(fields.size()));
        float xyz[3];
        for (int axis = 0; axis < 3; ++axis) {
            if (!parseNumber(fields[std::size_t(axis)], xyz[axis], problem))
                return fail(error, line, std::string(axisNames[axis]) + ": " + problem);
        }
        if (static_cast<long long>(points.size()) >= maxTextPoints)
            return fail(error, line,
                        "more than " + std::to_string(maxTextPoints) + " points in the text");
        if (!inGlyph)
            spans.push_back({line, points.size(), 0});
        inGlyph = true;
        points.push_back({xyz[0], xyz[1], xyz[2]});
        ++spans.back().count;
    }
    if (spans.empty())
        return fail(error, 0, "no points in the text");
    return true;
}

} // namespace

bool parseGlyphText(const std::string& text, int resampleTo, GlyphSet& glyphs, TextError& error) {
    const Utf16 order = utf16Order(text);
    if (order != Utf16::No)
        return fail(error, 0,
                    order == Utf16::LittleEndian
                        ? "is UTF-16 (little-endian), not UTF-8; convert it with: "
                          "iconv -f UTF-16LE -t UTF-8"
                        : "is UTF-16 (big-endian), not UTF-8; convert it with: "
                          "iconv -f UTF-16BE -t UTF-8");
    std::vector<Point3> points;
    std::vector<Span> spans;
    std::string header;
    if (!readPoints(text, points, spans, header, error))
        return false;
    const long long glyphCount = static_cast<long long>(spans.size());
    const auto [fewest, most] = std::minmax_element(
        spans.begin(), spans.end(), [](const Span& a, const Span& b) { return a.count < b.count; });

    int pointsPerGlyph = resampleTo;
    if (resampleTo <= 0) {
        for (const Span& span : spans)
            if (span.count != spans.front().count)
                return fail(error, span.firstLine,
                            "glyph " + std::to_string(&span - spans.data()) + " has " +
                                std::to_string(span.count) + " points where glyph 0 has " +
                                std::to_string(spans.front().count) +
                                "; glyphs of differing lengths need a number of points to be "
                                "resampled to");
        pointsPerGlyph = static_cast<int>(spans.front().count);
    } else {
        if (glyphCount * resampleTo > maxTextPoints)
            return fail(error, 0,
                        std::to_string(glyphCount) + " glyphs of " + std::to_string(resampleTo) +
                            " points make more than " + std::to_string(maxTextPoints) + " points");
        std::vector<Point3> resampled;
        resampled.reserve(static_cast<std::size_t>(glyphCount * resampleTo));
        for (const Span& span : spans) {
            const auto first = points.begin() + static_cast<std::ptrdiff_t>(span.begin);
            const std::vector<Point3> stroke(first,
                                             first + static_cast<std::ptrdiff_t>(span.count));
            const std::vector<Point3> glyph = resampleByArcLength(stroke, resampleTo);
            if (glyph.size() != static_cast<std::size_t>(resampleTo))
                return fail(error, span.firstLine, "glyph could not be resampled");
            resampled.insert(resampled.end(), glyph.begin(), glyph.end());
        }
        points = std::move(resampled);
    }
    glyphs.pointsPerGlyph = pointsPerGlyph;
    glyphs.glyphCount = static_cast<int>(glyphCount);
    glyphs.points = std::move(points);
    glyphs.fewestInText = static_cast<int>(fewest->count);
    glyphs.mostInText = static_cast<int>(most->count);
    glyphs.header = std::move(header);
    return true;
}

std::string glyphTextHeading(int pointsPerGlyph, int glyphCount) {
    return "# " + counted(pointsPerGlyph, "point") + " per glyph, " + counted(glyphCount, "glyph") +
           "\n";
}

void appendGlyphText(std::string& text, const Point3* points, int pointsPerGlyph, int index) {
    char buffer[128];
    // The letter the viewer labels the glyph with, where it is printable ASCII.
    const int letter = glyphLabelCode(index);
    const int length =
        labelIsPrintableAscii(letter)
            ? std::snprintf(buffer, sizeof buffer, "%s# glyph %d: %c\n", index ? "\n" : "", index,
                            letter)
            : std::snprintf(buffer, sizeof buffer, "%s# glyph %d\n", index ? "\n" : "", index);
    text.append(buffer, static_cast<std::size_t>(length));
    for (int k = 0; k < pointsPerGlyph; ++k) {
        char* end = buffer + sizeof buffer;
        char* out = formatNumber(points[k].x, buffer, end);
        *out++ = ' ';
        out = formatNumber(points[k].y, out, end);
        *out++ = ' ';
        out = formatNumber(points[k].z, out, end);
        *out++ = '\n';
        text.append(buffer, static_cast<std::size_t>(out - buffer));
    }
}

std::string formatGlyphText(const Point3* points, int pointsPerGlyph, int glyphCount) {
    std::string text = glyphTextHeading(pointsPerGlyph, glyphCount);
    if (pointsPerGlyph <= 0 || glyphCount <= 0)
        return text;
    text.reserve(text.size() +
                 static_cast<std::size_t>(pointsPerGlyph) * std::size_t(glyphCount) * 40);
    for (int glyph = 0; glyph < glyphCount; ++glyph)
        appendGlyphText(text, points + static_cast<std::size_t>(glyph) * pointsPerGlyph,
                        pointsPerGlyph, glyph);
    return text;
}
