// Fuzz target of the glyph text importer. The first input byte chooses the
// resampling (none, or 1 to 63 points per glyph), the rest is the text. A
// parse that fails must leave the glyph set untouched and say where it
// stopped; one that succeeds must give equal glyphs of the asked size whose
// text, formatted and parsed again, gives back every float bit. Every parsed
// glyph then gets a camera without NaN or infinity.
#include "FuzzCheck.h"
#include "import/text/GlyphText.h"
#include "geometry/GlyphCamera.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    const int resampleTo = data[0] < 64 ? data[0] : 0;
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);

    GlyphSet glyphs;
    glyphs.pointsPerGlyph = -5; // a sentinel that a failed parse must leave alone
    TextError error;
    if (!parseGlyphText(text, resampleTo, glyphs, error)) {
        FUZZ_REQUIRE(glyphs.pointsPerGlyph == -5 && glyphs.glyphCount == 0 &&
                     glyphs.points.empty());
        FUZZ_REQUIRE(!error.message.empty());
        const long lines = static_cast<long>(std::count(text.begin(), text.end(), '\n')) + 1;
        FUZZ_REQUIRE(error.line >= 0 && error.line <= lines);
        return 0;
    }
    FUZZ_REQUIRE(glyphs.pointsPerGlyph > 0 && glyphs.glyphCount > 0);
    FUZZ_REQUIRE(glyphs.points.size() ==
                 std::size_t(glyphs.pointsPerGlyph) * std::size_t(glyphs.glyphCount));
    if (resampleTo > 0)
        FUZZ_REQUIRE(glyphs.pointsPerGlyph == resampleTo);

    const std::string again =
        formatGlyphText(glyphs.points.data(), glyphs.pointsPerGlyph, glyphs.glyphCount);
    GlyphSet reread;
    TextError rereadError;
    FUZZ_REQUIRE(parseGlyphText(again, 0, reread, rereadError));
    FUZZ_REQUIRE(reread.pointsPerGlyph == glyphs.pointsPerGlyph);
    FUZZ_REQUIRE(reread.glyphCount == glyphs.glyphCount);
    FUZZ_REQUIRE(std::memcmp(reread.points.data(), glyphs.points.data(),
                             glyphs.points.size() * sizeof(Point3)) == 0);

    for (int i = 0; i < glyphs.glyphCount; ++i) {
        const GlyphCamera camera = placeGlyphCamera(
            glyphs.points.data() + std::size_t(i) * glyphs.pointsPerGlyph, glyphs.pointsPerGlyph);
        FUZZ_REQUIRE(allFinite(&camera.centroid.x, 3) && allFinite(&camera.eye.x, 3) &&
                     allFinite(&camera.up.x, 3));
    }
    return 0;
}
