#include "tools/import/PenInputs.h"

#include "import/pen/HersheyFont.h"
#include "import/pen/svg/SvgStrokes.h"
#include "import/text/TextEncoding.h"

namespace {

// The most characters one character list may stand for: all of Unicode.
constexpr std::size_t mostChars = 0x110000;

} // namespace

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
    if (!decodeUtf8(list, text) || text.empty()) {
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
