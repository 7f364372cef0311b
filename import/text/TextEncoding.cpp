#include "import/text/TextEncoding.h"

#include <algorithm>
#include <cstdio>

namespace {

// Pairs of bytes looked at: enough to tell, few enough to stay cheap on any text.
constexpr std::size_t sampledPairs = 512;

constexpr std::string_view utf8Mark = "\xef\xbb\xbf";

} // namespace

Utf16 utf16Order(std::string_view bytes) {
    if (bytes.size() >= 2 && bytes[0] == '\xff' && bytes[1] == '\xfe')
        return Utf16::LittleEndian;
    if (bytes.size() >= 2 && bytes[0] == '\xfe' && bytes[1] == '\xff')
        return Utf16::BigEndian;
    // Text never holds NUL bytes, so three pairs in four with one in the same place is UTF-16.
    const std::size_t pairs = std::min(bytes.size() / 2, sampledPairs);
    std::size_t little = 0;
    std::size_t big = 0;
    for (std::size_t i = 0; i < pairs; ++i) {
        const bool firstNul = bytes[2 * i] == '\0';
        const bool secondNul = bytes[2 * i + 1] == '\0';
        little += !firstNul && secondNul;
        big += firstNul && !secondNul;
    }
    if (pairs >= 2 && 4 * little >= 3 * pairs)
        return Utf16::LittleEndian;
    if (pairs >= 2 && 4 * big >= 3 * pairs)
        return Utf16::BigEndian;
    return Utf16::No;
}

std::size_t utf8MarkLength(std::string_view bytes) {
    return bytes.substr(0, utf8Mark.size()) == utf8Mark ? utf8Mark.size() : 0;
}

bool looksLikeText(std::string_view start) {
    if (utf16Order(start) != Utf16::No)
        return true;
    start.remove_prefix(utf8MarkLength(start));
    for (const char c : start) {
        const unsigned char byte = static_cast<unsigned char>(c);
        const bool allowed = c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
        if ((byte < 0x20 && !allowed) || byte == 0x7f)
            return false;
    }
    return !start.empty();
}

std::string utf8Of(char32_t c) {
    std::string out;
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
    return out;
}

std::string shownChar(char32_t c) {
    if (c < 0x20 || (c >= 0x7F && c < 0xA0)) {
        char code[16];
        std::snprintf(code, sizeof code, "U+%04X", unsigned(c));
        return code;
    }
    return "'" + utf8Of(c) + "'";
}
