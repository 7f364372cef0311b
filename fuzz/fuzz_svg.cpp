// Fuzz target of the SVG reader. A failed read must say what is wrong at a
// line of the input; a sound one gives finite points within a 32-bit float's
// range, and glyphs whose routes resample to any small count of finite points.
#include "FuzzCheck.h"
#include "import/pen/PenPath.h"
#include "import/pen/svg/SvgStrokes.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    PenFont font;
    PenError error;
    SvgKind kind = SvgKind::Drawing;
    if (!readSvg(text, kind, font, error)) {
        FUZZ_REQUIRE(!error.message.empty() && font.glyphs.empty());
        // The XML reader counts a line break as XML does: LF, CR LF or a lone CR.
        long lines = 1;
        for (std::size_t i = 0; i < text.size(); ++i)
            lines += text[i] == '\n' ||
                     (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'));
        FUZZ_REQUIRE(error.line >= 0 && error.line <= lines);
        return 0;
    }
    FUZZ_REQUIRE(!font.glyphs.empty() && std::isfinite(font.height));
    FUZZ_REQUIRE(kind == SvgKind::Font || font.glyphs.size() == 1);
    const int count = 2 + int(size % 7);
    for (const PenGlyph& glyph : font.glyphs) {
        for (const PenStroke& stroke : glyph.strokes)
            for (const PenPoint& p : stroke)
                FUZZ_REQUIRE(std::fabs(p.x) <= FLT_MAX && std::fabs(p.y) <= FLT_MAX);
        const std::vector<Point3> points = resampleRoute(penRoute(glyph, 1.0f), count);
        FUZZ_REQUIRE(points.size() == std::size_t(count));
        for (const Point3& p : points)
            FUZZ_REQUIRE(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z));
    }
    return 0;
}
