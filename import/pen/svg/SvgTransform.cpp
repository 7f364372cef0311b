#include "import/pen/svg/SvgTransform.h"

#include "import/pen/svg/SvgNumbers.h"
#include "import/text/TextEncoding.h"

#include <cmath>

namespace {

struct Function {
    const char16_t* name;
    int fewest; // arguments
    int most;
};

// rotate takes one argument or three, which the parser checks apart.
const Function functions[] = {{u"matrix", 6, 6}, {u"translate", 1, 2}, {u"scale", 1, 2},
                              {u"rotate", 1, 3}, {u"skewX", 1, 1},     {u"skewY", 1, 1}};

double radians(double degrees) {
    return degrees * M_PI / 180.0;
}

Affine made(std::u16string_view name, const double* v, int count) {
    Affine m;
    if (name == u"matrix") {
        m = {v[0], v[1], v[2], v[3], v[4], v[5]};
    } else if (name == u"translate") {
        m.e = v[0];
        m.f = count > 1 ? v[1] : 0;
    } else if (name == u"scale") {
        m.a = v[0];
        m.d = count > 1 ? v[1] : v[0];
    } else if (name == u"rotate") {
        const double cosine = std::cos(radians(v[0])), sine = std::sin(radians(v[0]));
        const Affine turn{cosine, sine, -sine, cosine, 0, 0};
        if (count == 1)
            return turn;
        return Affine{1, 0, 0, 1, v[1], v[2]} * turn * Affine{1, 0, 0, 1, -v[1], -v[2]};
    } else if (name == u"skewX") {
        m.c = std::tan(radians(v[0]));
    } else {
        m.b = std::tan(radians(v[0]));
    }
    return m;
}

std::string ascii(std::u16string_view name) {
    std::string out;
    for (char16_t c : name)
        out += c < 0x80 ? char(c) : '?';
    return out;
}

} // namespace

Affine Affine::operator*(const Affine& m) const {
    return {a * m.a + c * m.b, b * m.a + d * m.b,     a * m.c + c * m.d,
            b * m.c + d * m.d, a * m.e + c * m.f + e, b * m.e + d * m.f + f};
}

bool parseTransform(std::u16string_view text, Affine& result, std::string& problem) {
    SvgScanner in(text);
    Affine total;
    in.skipSpaces();
    while (!in.atEnd()) {
        const std::size_t start = in.position();
        while (!in.atEnd() && ((in.peek() >= u'a' && in.peek() <= u'z') ||
                               (in.peek() >= u'A' && in.peek() <= u'Z')))
            in.advance();
        const std::u16string_view name = text.substr(start, in.position() - start);
        const Function* function = nullptr;
        for (const Function& f : functions)
            if (name == f.name)
                function = &f;
        if (!function) {
            problem = name.empty() ? "expected a transform function, found " +
                                         shownChar(in.peek(), Quoted::VisibleAscii)
                                   : "unknown transform function '" + ascii(name) + "'";
            return false;
        }
        in.skipSpaces();
        if (in.peek() != u'(') {
            problem = ascii(name) + " needs its arguments in parentheses";
            return false;
        }
        in.advance();
        in.skipSpaces();
        double values[6];
        int count = 0;
        while (in.peek() != u')') {
            if (count == function->most) {
                problem =
                    ascii(name) + " takes at most " + std::to_string(function->most) + " arguments";
                return false;
            }
            if (!in.number(values[count++], problem)) {
                problem = ascii(name) + ": " + problem;
                return false;
            }
        }
        in.advance();
        if (count < function->fewest || (name == u"rotate" && count == 2)) {
            problem = ascii(name) + " takes " +
                      (name == u"rotate" ? std::string("1 or 3")
                                         : std::to_string(function->fewest) +
                                               (function->most > function->fewest
                                                    ? " or " + std::to_string(function->most)
                                                    : "")) +
                      " arguments, not " + std::to_string(count);
            return false;
        }
        total = total * made(name, values, count);
        in.skipSeparator();
    }
    result = total;
    return true;
}
