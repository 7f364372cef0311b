#include "import/text/TextEncoding.h"

#include <algorithm>
#include <cstdio>

namespace {

// Pairs of bytes looked at: enough to tell, few enough to stay cheap on any text.
constexpr std::size_t sampledPairs = 512;

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

bool decodeUtf8(std::string_view text, std::u32string& out) {
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        const int length = lead < 0x80                   ? 1
                           : lead >= 0xF0 && lead < 0xF5 ? 4
                           : lead >= 0xE0                ? 3
                           : lead >= 0xC2 && lead < 0xE0 ? 2
                                                         : 0;
        if (length == 0 || i + std::size_t(length) > text.size())
            return false;
        char32_t c = length == 1 ? lead : lead & (0x7F >> length);
        for (int k = 1; k < length; ++k) {
            const unsigned char next = static_cast<unsigned char>(text[i + std::size_t(k)]);
            if ((next & 0xC0) != 0x80)
                return false;
            c = (c << 6) | (next & 0x3F);
        }
        const char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
        if (c < least[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            return false;
        out += c;
        i += std::size_t(length);
    }
    return true;
}

std::string encodeUtf8(char32_t c) {
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

std::string shownChar(char32_t c, Quoted quoted) {
    const bool inQuotes = quoted == Quoted::VisibleAscii ? c > 0x20 && c < 0x7F
                                                         : c >= 0x20 && !(c >= 0x7F && c < 0xA0);
    if (inQuotes)
        return "'" + encodeUtf8(c) + "'";
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", unsigned(c));
    return code;
}
