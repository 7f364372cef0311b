#include "writing/TextLayout.h"

#include <unordered_set>

TextLayout::TextLayout(const std::vector<std::u32string>& lines, WriteSource& source,
                       const LayoutOptions& options)
    : text(lines), options(options), s(options.size / source.capHeight()),
      base(source.baseline() * s) {
    double fontSpace = 0;
    space = source.spaceAdvance(fontSpace) ? fontSpace * s : 0.5 * options.size;
    std::unordered_set<char32_t> named;
    glyphOf.resize(lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        glyphOf[i].reserve(lines[i].size());
        for (char32_t c : lines[i]) {
            // A glyph file's space is always a blank, whatever glyph its label falls on.
            const SourceGlyph* glyph = c == U' ' && !source.isFont() ? nullptr : source.glyph(c);
            glyphOf[i].push_back(glyph);
            characters += 1;
            placed += glyph != nullptr;
            if (glyph || c == U' ')
                continue;
            skipped += 1;
            if (named.insert(c).second)
                lacking += c;
        }
    }
    for (std::size_t i = 0; i < lines.size(); ++i)
        breakLine(i);
}

double TextLayout::advanceOf(char32_t c, const SourceGlyph*& glyph) const {
    if (glyph)
        return glyph->advance * s + options.spacing;
    return c == U' ' ? space + options.spacing : -1;
}

double TextLayout::widthOf(std::size_t line, std::size_t begin, std::size_t end) const {
    double width = 0;
    bool any = false;
    for (std::size_t k = begin; k < end; ++k) {
        const SourceGlyph* glyph = glyphOf[line][k];
        const double advance = advanceOf(text[line][k], glyph);
        if (advance < 0)
            continue;
        width += advance;
        any = true;
    }
    return any ? width - options.spacing : 0;
}

void TextLayout::breakLine(std::size_t line) {
    const std::u32string& chars = text[line];
    if (!(options.width > 0)) {
        rows.push_back({line, 0, chars.size(), widthOf(line, 0, chars.size())});
        return;
    }
    // Running sums of the advances and of the characters that advance, so that
    // any stretch's width is two subtractions.
    std::vector<double> sum(chars.size() + 1, 0.0);
    std::vector<std::size_t> counted(chars.size() + 1, 0);
    for (std::size_t k = 0; k < chars.size(); ++k) {
        const SourceGlyph* glyph = glyphOf[line][k];
        const double advance = advanceOf(chars[k], glyph);
        sum[k + 1] = sum[k] + (advance < 0 ? 0 : advance);
        counted[k + 1] = counted[k] + (advance < 0 ? 0 : 1);
    }
    const auto width = [&](std::size_t begin, std::size_t end) {
        return counted[end] > counted[begin] ? sum[end] - sum[begin] - options.spacing : 0.0;
    };
    const auto wordEnd = [&](std::size_t from) {
        const std::size_t word = chars.find_first_not_of(U' ', from);
        const std::size_t end =
            word == std::u32string::npos ? std::u32string::npos : chars.find(U' ', word);
        return end == std::u32string::npos ? chars.size() : end;
    };
    // Greedy: a row takes words while it stays within the width; a break drops
    // the spaces it falls on, and a word wider than the width stands alone.
    std::size_t begin = 0;
    while (true) {
        std::size_t end = wordEnd(begin);
        while (end < chars.size()) {
            const std::size_t next = wordEnd(end);
            if (chars.find_first_not_of(U' ', end) == std::u32string::npos ||
                width(begin, next) > options.width)
                break;
            end = next;
        }
        const std::size_t next = chars.find_first_not_of(U' ', end);
        if (next == std::u32string::npos) {
            rows.push_back({line, begin, chars.size(), width(begin, chars.size())});
            return;
        }
        rows.push_back({line, begin, end, width(begin, end)});
        begin = next;
    }
}

void TextLayout::forEach(const std::function<void(const PlacedGlyph&)>& visit) const {
    for (std::size_t k = 0; k < rows.size(); ++k) {
        const Row& row = rows[k];
        double pen = options.align == Align::Left     ? 0
                     : options.align == Align::Center ? -row.width / 2
                                                      : -row.width;
        const double y0 = -double(k) * options.lineHeight - base;
        for (std::size_t i = row.begin; i < row.end; ++i) {
            const SourceGlyph* glyph = glyphOf[row.line][i];
            const double advance = advanceOf(text[row.line][i], glyph);
            if (advance < 0)
                continue;
            if (glyph)
                visit({glyph, text[row.line][i], pen - glyph->left * s, y0});
            pen += advance;
        }
    }
}
