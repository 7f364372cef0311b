#pragma once

#include <string>
#include <string_view>

// Reads numbers, flags and separators of SVG attribute text (path data,
// points, transforms, viewBox) as the SVG grammar writes them: "1-2" is two
// numbers, ".5.5" too, an arc flag is one digit with no separator needed.
class SvgScanner {
public:
    explicit SvgScanner(std::u16string_view text) : text(text) {}

    void skipSpaces();
    // Skips blanks with at most one comma among them.
    void skipSeparator();
    bool atEnd() const { return at >= text.size(); }
    char16_t peek() const { return atEnd() ? u'\0' : text[at]; }
    void advance() { ++at; }
    std::size_t position() const { return at; }
    // True where a number starts here.
    bool atNumber() const;

    // Reads a number and the separator after it; false (with `problem` set) where
    // there is none or it is beyond a double.
    bool number(double& value, std::string& problem);
    // Reads an arc flag, 0 or 1, and the separator after it.
    bool flag(bool& value, std::string& problem);

private:
    std::u16string_view text;
    std::size_t at = 0;
};
