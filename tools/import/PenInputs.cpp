#include "tools/import/PenInputs.h"

#include "import/pen/HersheyFont.h"
#include "import/pen/svg/SvgStrokes.h"

#include <vector>

namespace {

// The most characters one character list may stand for: all of Unicode.
constexpr std::size_t mostChars = 0x110000;

// Decodes UTF-8; false at the first malformed sequence.
bool decode(const std::string& text, std::u32string& out) {
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

} // namespace

InputKind kindOf(const std::string& data) {
    if (looksLikeXml(data))
        return InputKind::Svg;
    return looksLikeHershey(data) ? InputKind::Hershey : InputKind::Text;
}

bool parseKind(const std::string& name, InputKind& kind) {
    const std::pair<const char*, InputKind> names[] = {
        {"jhf", InputKind::Hershey}, {"svg", InputKind::Svg}, {"text", InputKind::Text}};
    for (const auto& [text, value] : names)
        if (name == text) {
            kind = value;
            return true;
        }
    return false;
}

bool parseCharList(const std::string& list, std::u32string& chars, std::string& problem) {
    std::u32string text;
    if (!decode(list, text) || text.empty()) {
        problem = list.empty() ? "is empty" : "is not UTF-8";
        return false;
    }
    chars.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (i + 2 < text.size() && text[i + 1] == U'-') {
            const char32_t low = text[i], high = text[i + 2];
            if (high < low) {
                problem = "the run " + shownChar(low) + "-" + shownChar(high) + " runs backwards";
                return false;
            }
            if (chars.size() + (high - low) >= mostChars) {
                problem = "stands for more characters than Unicode has";
                return false;
            }
            for (char32_t c = low; c <= high; ++c)
                chars += c;
            i += 2;
        } else {
            chars += text[i];
        }
    }
    return true;
}
