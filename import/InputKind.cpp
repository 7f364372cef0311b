#include "import/InputKind.h"

#include "alphabet/AlphabetHeader.h"
#include "import/pen/HersheyFont.h"
#include "import/pen/svg/SvgStrokes.h"
#include "import/text/TextEncoding.h"

InputKind kindOf(std::string_view data) {
    if (looksLikeXml(data))
        return InputKind::Svg;
    return looksLikeHershey(data) ? InputKind::Hershey : InputKind::Text;
}

FileSniff sniffFile(std::string_view start, std::int64_t fileSize) {
    FileSniff sniff;
    const AlphabetHeader header = alphabetHeaderOf(start);
    const std::string_view first = start.substr(0, sniffBytes);
    // Only a header that can't be right is worth a look at the bytes as text.
    if (!header.fitsIn(fileSize)) {
        sniff.looksLikeText = looksLikeText(first);
        sniff.kind = kindOf(first);
    } else {
        sniff.glyphFile = !looksLikeText(first);
    }
    return sniff;
}

const char* kindName(InputKind kind) {
    return kind == InputKind::Hershey ? "a Hershey font" : kind == InputKind::Svg ? "SVG" : "text";
}

std::string shellWord(const std::string& path) {
    const bool plain =
        !path.empty() && path.find_first_not_of("abcdefghijklmnopqrstuvwxyz"
                                                "ABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                                "0123456789_-./+,:@%") == std::string::npos;
    if (plain)
        return path;
    std::string quoted = "'";
    for (char c : path)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::string importAdvice(const std::string& path, InputKind kind) {
    return path + " looks like " + kindName(kind) +
           ", not a glyph file; make a glyph file from it with: alphabet-tool import " +
           shellWord(path) + " -o OUT.alphabet";
}
