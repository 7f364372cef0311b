#include "import/pen/svg/SvgNumbers.h"

#include "import/text/TextEncoding.h"

#include <charconv>
#include <cmath>

namespace {

// Longest number read: more digits than a double holds, and then some.
constexpr std::size_t longestNumber = 400;

bool isDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

bool isSpace(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
}

} // namespace

void SvgScanner::skipSpaces() {
    while (!atEnd() && isSpace(text[at]))
        ++at;
}

void SvgScanner::skipSeparator() {
    skipSpaces();
    if (peek() == u',') {
        ++at;
        skipSpaces();
    }
}

bool SvgScanner::atNumber() const {
    std::size_t i = at;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        ++i;
    if (i < text.size() && text[i] == u'.')
        ++i;
    return i < text.size() && isDigit(text[i]);
}

bool SvgScanner::number(double& value, std::string& problem) {
    if (!atNumber()) {
        problem = atEnd() ? "a number is missing at the end"
                          : "expected a number, found " + shownChar(peek(), Quoted::VisibleAscii);
        return false;
    }
    const std::size_t start = at;
    if (text[at] == u'+' || text[at] == u'-')
        ++at;
    while (!atEnd() && isDigit(text[at]))
        ++at;
    if (peek() == u'.') {
        ++at;
        while (!atEnd() && isDigit(text[at]))
            ++at;
    }
    // An exponent only where digits follow: "1e" alone is the number 1 and a stray "e".
    if (peek() == u'e' || peek() == u'E') {
        std::size_t i = at + 1;
        if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
            ++i;
        if (i < text.size() && isDigit(text[i])) {
            at = i;
            while (!atEnd() && isDigit(text[at]))
                ++at;
        }
    }
    if (at - start > longestNumber) {
        problem = "a number of more than " + std::to_string(longestNumber) + " characters";
        return false;
    }
    char ascii[longestNumber + 1];
    std::size_t length = 0;
    for (std::size_t i = start; i < at; ++i)
        if (text[i] != u'+')
            ascii[length++] = char(text[i]);
    auto [end, ec] = std::from_chars(ascii, ascii + length, value);
    const std::string_view written(ascii, length);
    const std::size_t exponent = written.find_first_of("eE");
    if (ec == std::errc::result_out_of_range && exponent != std::string_view::npos &&
        written[exponent + 1] == '-') {
        value = 0; // too small for a double: as good as zero here
        ec = std::errc();
        end = ascii + length;
    }
    if (ec == std::errc::result_out_of_range || (ec == std::errc() && !std::isfinite(value))) {
        problem = "the number " + std::string(ascii, length > 40 ? 40 : length) +
                  " is beyond the range of a double";
        return false;
    }
    if (ec != std::errc() || end != ascii + length) {
        problem = "a malformed number";
        return false;
    }
    skipSeparator();
    return true;
}

bool SvgScanner::flag(bool& value, std::string& problem) {
    if (peek() != u'0' && peek() != u'1') {
        problem = atEnd() ? "an arc flag is missing at the end"
                          : "expected an arc flag 0 or 1, found " +
                                shownChar(peek(), Quoted::VisibleAscii);
        return false;
    }
    value = text[at++] == u'1';
    skipSeparator();
    return true;
}
