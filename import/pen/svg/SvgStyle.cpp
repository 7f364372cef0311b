#include "import/pen/svg/SvgStyle.h"

#include <algorithm>
#include <tuple>

namespace {

bool cssBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
}

std::u16string_view cssTrimmed(std::u16string_view text) {
    while (!text.empty() && cssBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && cssBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::u16string lower(std::u16string_view text) {
    std::u16string result(text);
    for (char16_t& c : result)
        if (c >= u'A' && c <= u'Z')
            c = char16_t(c + 32);
    return result;
}

// A declaration "property: value [!important]", its value without the
// priority; false where it is not one.
bool declaration(std::u16string_view text, std::u16string& property, std::u16string& value,
                 bool& important) {
    const std::size_t colon = text.find(u':');
    if (colon == std::u16string_view::npos)
        return false;
    property = lower(cssTrimmed(text.substr(0, colon)));
    std::u16string_view rest = cssTrimmed(text.substr(colon + 1));
    important = false;
    const std::size_t bang = rest.rfind(u'!');
    if (bang != std::u16string_view::npos &&
        lower(cssTrimmed(rest.substr(bang + 1))) == u"important") {
        important = true;
        rest = cssTrimmed(rest.substr(0, bang));
    }
    value = lower(rest);
    return !property.empty() && !value.empty();
}

// Splits `text` at `separator`, calling `take` with each part.
template <typename Take> void split(std::u16string_view text, char16_t separator, Take take) {
    while (true) {
        const std::size_t end = text.find(separator);
        take(text.substr(0, end));
        if (end == std::u16string_view::npos)
            return;
        text.remove_prefix(end + 1);
    }
}

bool simpleName(std::u16string_view name) {
    return !name.empty() && std::all_of(name.begin(), name.end(), [](char16_t c) {
        return c == u'-' || c == u'_' || c >= 0x80 || (c >= u'0' && c <= u'9') ||
               ((c | 0x20) >= u'a' && (c | 0x20) <= u'z');
    });
}

bool hasClass(std::u16string_view classes, std::u16string_view name) {
    bool found = false;
    std::u16string spaced(classes);
    std::replace_if(spaced.begin(), spaced.end(), cssBlank, u' ');
    split(spaced, u' ', [&](std::u16string_view one) { found = found || one == name; });
    return found;
}

// The text without its comments.
std::u16string uncommented(std::u16string_view css) {
    std::u16string text;
    while (!css.empty()) {
        const std::size_t open = css.find(u"/*");
        text += css.substr(0, open);
        if (open == std::u16string_view::npos)
            break;
        const std::size_t close = css.find(u"*/", open + 2);
        if (close == std::u16string_view::npos)
            break;
        css.remove_prefix(close + 2);
    }
    return text;
}

// Where the block that opens at `open` closes, braces nested; the end where it does not.
std::size_t blockEnd(std::u16string_view text, std::size_t open) {
    int depth = 0;
    for (std::size_t k = open; k < text.size(); ++k) {
        if (text[k] == u'{')
            ++depth;
        else if (text[k] == u'}' && --depth == 0)
            return k;
    }
    return text.size();
}

} // namespace

void SvgStyleSheet::add(std::u16string_view css) {
    const std::u16string whole = uncommented(css);
    std::u16string_view text = whole;
    while (!(text = cssTrimmed(text)).empty()) {
        const std::size_t open = text.find(u'{');
        const std::size_t semicolon = text.find(u';');
        if (text.front() == u'@' && semicolon < open) { // @import ...; and its kind
            text.remove_prefix(semicolon + 1);
            continue;
        }
        if (open == std::u16string_view::npos)
            return;
        const std::size_t close = blockEnd(text, open);
        if (text.front() != u'@') {
            const std::u16string_view body = text.substr(open + 1, close - open - 1);
            split(text.substr(0, open), u',', [&](std::u16string_view selector) {
                selector = cssTrimmed(selector);
                if (selector.size() < 2 || (selector[0] != u'.' && selector[0] != u'#') ||
                    !simpleName(selector.substr(1)))
                    return;
                split(body, u';', [&](std::u16string_view one) {
                    Rule rule{
                        selector[0] == u'#', std::u16string(selector.substr(1)), {}, {}, false};
                    if (declaration(one, rule.property, rule.value, rule.important))
                        rules.push_back(std::move(rule));
                });
            });
        }
        text.remove_prefix(std::min(text.size(), close + 1));
    }
}

SvgShown SvgStyleSheet::shown(const SvgElementStyle& element) const {
    // Each value with what ranks it: important, then inline over sheet over
    // attribute, then id over class, then the later one.
    using Rank = std::tuple<bool, int, int, std::size_t>;
    std::u16string display, visibility;
    Rank displayRank{false, -1, 0, 0}, visibilityRank{false, -1, 0, 0};
    const auto offer = [&](const std::u16string& property, const std::u16string& value,
                           const Rank& rank) {
        const bool isDisplay = property == u"display";
        if (!isDisplay && property != u"visibility")
            return;
        if (!isDisplay && value != u"visible" && value != u"hidden" && value != u"collapse" &&
            value != u"inherit" && value != u"unset" && value != u"initial")
            return; // an invalid value is dropped, as CSS drops it
        std::u16string& kept = isDisplay ? display : visibility;
        Rank& keptRank = isDisplay ? displayRank : visibilityRank;
        if (!(rank < keptRank)) {
            kept = value;
            keptRank = rank;
        }
    };
    if (!cssTrimmed(element.display).empty())
        offer(u"display", lower(cssTrimmed(element.display)), {false, 0, 0, 0});
    if (!cssTrimmed(element.visibility).empty())
        offer(u"visibility", lower(cssTrimmed(element.visibility)), {false, 0, 0, 0});
    for (std::size_t k = 0; k < rules.size(); ++k) {
        const Rule& rule = rules[k];
        if (rule.byId ? rule.name == element.id : hasClass(element.classes, rule.name))
            offer(rule.property, rule.value, {rule.important, 1, rule.byId ? 2 : 1, k});
    }
    std::size_t order = 0;
    split(element.style, u';', [&](std::u16string_view one) {
        std::u16string property, value;
        bool important;
        if (declaration(one, property, value, important))
            offer(property, value, {important, 2, 3, order++});
    });
    SvgShown shown;
    shown.displayed = display != u"none";
    if (visibility == u"visible" || visibility == u"initial")
        shown.visibility = SvgShown::Visibility::Visible;
    else if (visibility == u"hidden" || visibility == u"collapse")
        shown.visibility = SvgShown::Visibility::Hidden;
    return shown;
}
