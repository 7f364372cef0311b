#include "writing/WriteText.h"

#include "import/text/TextEncoding.h"

#include <cstdio>

namespace {

std::string hex(unsigned value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*X", digits, value);
    return text;
}

// The length of the UTF-8 sequence at text[i] and its character; 0 where it is malformed.
int decodeAt(std::string_view text, std::size_t i, char32_t& c) {
    const unsigned char lead = static_cast<unsigned char>(text[i]);
    const int length = lead < 0x80                   ? 1
                       : lead >= 0xF0 && lead < 0xF5 ? 4
                       : lead >= 0xE0 && lead < 0xF0 ? 3
                       : lead >= 0xC2 && lead < 0xE0 ? 2
                                                     : 0;
    if (length == 0 || i + std::size_t(length) > text.size())
        return 0;
    c = length == 1 ? lead : lead & (0x7F >> length);
    for (int k = 1; k < length; ++k) {
        const unsigned char next = static_cast<unsigned char>(text[i + std::size_t(k)]);
        if ((next & 0xC0) != 0x80)
            return 0;
        c = (c << 6) | (next & 0x3F);
    }
    const char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < least[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return 0;
    return length;
}

bool isControl(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c < 0xA0);
}

} // namespace

bool readTextLines(std::string_view text, bool fromFile, std::vector<std::u32string>& lines,
                   std::string& error) {
    const Utf16 order = utf16Order(text);
    if (order != Utf16::No) {
        error = std::string("is UTF-16; convert it to UTF-8 with: iconv -f ") +
                (order == Utf16::LittleEndian ? "UTF-16LE" : "UTF-16BE") + " -t UTF-8";
        return false;
    }
    std::vector<std::u32string> read(1);
    for (std::size_t i = utf8MarkLength(text); i < text.size();) {
        char32_t c = 0;
        const int length = decodeAt(text, i, c);
        if (length == 0) {
            error = "invalid UTF-8 at byte " + std::to_string(i) + " (0x" +
                    hex(static_cast<unsigned char>(text[i]), 2) + ")";
            return false;
        }
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            i += 1;
            continue;
        }
        if (c == '\n') {
            read.emplace_back();
        } else if (isControl(c)) {
            error = "the control character U+" + hex(unsigned(c), 4) + " at byte " +
                    std::to_string(i) + " can't be written; only line breaks are taken";
            return false;
        } else {
            read.back() += c;
        }
        i += std::size_t(length);
    }
    if (fromFile && read.size() > 1 && read.back().empty())
        read.pop_back();
    for (std::u32string& line : read)
        lines.push_back(std::move(line));
    return true;
}
