#include "import/pen/svg/SvgViewport.h"

#include "import/pen/svg/SvgNumbers.h"

#include <algorithm>
#include <cmath>

namespace {

struct Unit {
    const char16_t* name;
    double pixels;
};

// CSS's absolute units in user units (px), 96 to the inch.
const Unit units[] = {{u"px", 1},         {u"in", 96},        {u"cm", 96 / 2.54},
                      {u"mm", 96 / 25.4}, {u"pt", 96.0 / 72}, {u"pc", 16}};

bool sameLetters(std::u16string_view text, const char16_t* name) {
    std::size_t k = 0;
    for (; name[k]; ++k)
        if (k >= text.size() || (text[k] | 0x20) != name[k])
            return false;
    return k == text.size();
}

std::u16string_view trimmed(std::u16string_view text) {
    const auto blank = [](char16_t c) {
        return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
    };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

// The n-th blank-separated word of `text`, or nothing.
std::u16string_view word(std::u16string_view text, int n) {
    text = trimmed(text);
    for (int i = 0; i <= n && !text.empty(); ++i) {
        const std::size_t end = std::min(text.find(u' '), text.size());
        if (i == n)
            return text.substr(0, end);
        text = trimmed(text.substr(end));
    }
    return {};
}

} // namespace

bool parseLength(std::u16string_view text, LengthAxis axis, const SvgViewport& viewport,
                 double& value, std::string& problem) {
    text = trimmed(text);
    SvgScanner in(text);
    if (!in.number(value, problem))
        return false;
    const std::u16string_view unit = text.substr(in.position());
    if (unit.empty())
        return true;
    for (const Unit& u : units)
        if (sameLetters(unit, u.name)) {
            value *= u.pixels;
            return true;
        }
    if (unit == u"%") {
        if (!viewport.known) {
            problem = "a percentage needs a viewport: give the <svg> a viewBox or a width and "
                      "height";
            return false;
        }
        const double side =
            axis == LengthAxis::X ? viewport.width
            : axis == LengthAxis::Y
                ? viewport.height
                : std::sqrt((viewport.width * viewport.width + viewport.height * viewport.height) /
                            2);
        value = value * side / 100;
        return true;
    }
    problem = "the unit is none of px, in, cm, mm, pt, pc and %";
    return false;
}

bool parseViewBox(std::u16string_view text, SvgViewBox& box, std::string& problem) {
    SvgScanner in(text);
    in.skipSpaces();
    for (double* value : {&box.x, &box.y, &box.width, &box.height})
        if (!in.number(*value, problem)) {
            problem = ": " + problem;
            return false;
        }
    if (!in.atEnd() || !(box.width > 0) || !(box.height > 0)) {
        problem = " should be four numbers with a width and height above 0";
        return false;
    }
    return true;
}

bool viewBoxMap(const SvgViewBox& box, double x, double y, double width, double height,
                std::u16string_view aspect, Affine& map, std::string& problem) {
    std::u16string_view align = word(aspect, 0);
    if (sameLetters(align, u"defer"))
        align = word(aspect, 1);
    const std::u16string_view fit = word(aspect, sameLetters(word(aspect, 0), u"defer") ? 2 : 1);
    double sx = width / box.width, sy = height / box.height;
    int alignX = 1, alignY = 1; // 0 min, 1 mid, 2 max
    if (align == u"none") {
        alignX = alignY = -1;
    } else if (!align.empty()) {
        const char16_t* const names[] = {u"xminymin", u"xmidymin", u"xmaxymin",
                                         u"xminymid", u"xmidymid", u"xmaxymid",
                                         u"xminymax", u"xmidymax", u"xmaxymax"};
        int found = -1;
        for (int k = 0; k < 9; ++k)
            if (sameLetters(align, names[k]))
                found = k;
        if (found < 0 ||
            (!fit.empty() && !sameLetters(fit, u"meet") && !sameLetters(fit, u"slice"))) {
            problem = "preserveAspectRatio should be none or xMinYMin to xMaxYMax, then meet or "
                      "slice";
            return false;
        }
        alignX = found % 3;
        alignY = found / 3;
    }
    if (alignX >= 0) {
        const double s = sameLetters(fit, u"slice") ? std::max(sx, sy) : std::min(sx, sy);
        sx = sy = s;
    }
    double tx = x - box.x * sx, ty = y - box.y * sy;
    if (alignX > 0)
        tx += (width - box.width * sx) * alignX / 2;
    if (alignY > 0)
        ty += (height - box.height * sy) * alignY / 2;
    map = Affine{sx, 0, 0, sy, tx, ty};
    return true;
}
