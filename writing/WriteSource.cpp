#include "writing/WriteSource.h"

#include "alphabet/AlphabetFile.h"
#include "alphabet/AlphabetHeader.h"
#include "import/pen/HersheyFont.h"
#include "import/pen/PenPath.h"
#include "import/pen/svg/SvgStrokes.h"
#include "import/text/TextEncoding.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Glyphs a character code reaches in a glyph file: codes 0 to 255.
constexpr int labelCodes = 256;

bool finite(const Point3& p) {
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

// The y extent and lowest y of `points`; false where there are none.
bool yRange(const std::vector<Point3>& points, double& low, double& high) {
    if (points.empty())
        return false;
    low = high = points.front().y;
    for (const Point3& p : points) {
        low = std::min(low, double(p.y));
        high = std::max(high, double(p.y));
    }
    return true;
}

// Whether every glyph is pen data: nothing below the paper, and each segment
// on the paper, straight up or down, or at the highest height. `height` is that height.
bool penShaped(const std::vector<std::unique_ptr<SourceGlyph>>& glyphs, float& height) {
    height = 0;
    for (const auto& glyph : glyphs)
        if (glyph)
            height = std::max(height, glyph->highest);
    for (const auto& glyph : glyphs) {
        if (!glyph)
            continue;
        const std::vector<Point3>& points = glyph->points;
        for (std::size_t k = 0; k < points.size(); ++k) {
            const Point3& b = points[k];
            if (b.z < 0)
                return false;
            if (k == 0)
                continue;
            const Point3& a = points[k - 1];
            const bool onPaper = a.z == 0 && b.z == 0;
            const bool upright = a.x == b.x && a.y == b.y;
            const bool atLift = a.z == height && b.z == height;
            if (!onPaper && !upright && !atLift)
                return false;
        }
    }
    return true;
}

} // namespace

const char* WriteSource::kindName() const {
    switch (sourceKind) {
    case SourceKind::Hershey:
        return "Hershey font";
    case SourceKind::SvgFont:
        return "SVG font";
    case SourceKind::GlyphFile:
        break;
    }
    return "glyph file";
}

SourceStatus WriteSource::load(const std::string& name, const std::string& bytes, SourceKind kind,
                               std::string& error) {
    if (kind == SourceKind::GlyphFile)
        return loadGlyphFile(name, bytes, error);
    PenError problem;
    bool read = false;
    if (kind == SourceKind::Hershey) {
        sourceKind = SourceKind::Hershey;
        read = readHersheyFont(bytes, font, problem);
    } else {
        sourceKind = SourceKind::SvgFont;
        SvgKind svg = SvgKind::Drawing;
        read = readSvg(bytes, svg, font, problem);
        if (read && svg == SvgKind::Drawing) {
            error = name + " is an SVG drawing, one glyph; write with an SVG font, a Hershey "
                           "font or a glyph file";
            return SourceStatus::Refused;
        }
    }
    if (!read) {
        error = (problem.line > 0 ? name + ":" + std::to_string(problem.line) : name) + ": " +
                problem.message;
        return SourceStatus::Failed;
    }
    for (std::size_t i = font.glyphs.size(); i-- > 0;)
        firstOf[font.glyphs[i].character] = i;
    glyphs.resize(font.glyphs.size());
    measureFont();
    return SourceStatus::Ready;
}

void WriteSource::measureFont() {
    penData = true;
    liftHeight = 0;
    const auto letterH = firstOf.find(U'H');
    const auto strokesOf = [&](const PenGlyph& glyph, double& low, double& high, bool& any) {
        for (const PenStroke& stroke : glyph.strokes)
            for (const PenPoint& p : stroke) {
                low = any ? std::min(low, p.y) : p.y;
                high = any ? std::max(high, p.y) : p.y;
                any = true;
            }
    };
    double hLow = 0, hHigh = 0, allLow = 0, allHigh = 0;
    bool hasH = false, any = false;
    if (letterH != firstOf.end())
        strokesOf(font.glyphs[letterH->second], hLow, hHigh, hasH);
    for (const PenGlyph& glyph : font.glyphs)
        strokesOf(glyph, allLow, allHigh, any);
    if (hasH && hHigh > hLow)
        cap = hHigh - hLow;
    else if (font.capHeight > 0)
        cap = font.capHeight;
    else if (font.ascent > 0)
        cap = font.ascent;
    else
        cap = allHigh - allLow;
    // SVG fonts are y-up with the baseline at 0; Hershey fonts sit on the foot of their H.
    base = sourceKind == SourceKind::SvgFont ? 0 : hasH ? hLow : allLow;
}

SourceStatus WriteSource::loadGlyphFile(const std::string& name, const std::string& bytes,
                                        std::string& error) {
    AlphabetHeader header;
    header.bytesRead = int(std::min<std::size_t>(bytes.size(), alphabetHeaderBytes));
    if (header.whole()) {
        std::memcpy(&header.pointsPerGlyph, bytes.data(), 4);
        std::memcpy(&header.glyphCount, bytes.data() + 4, 4);
    }
    if (!header.fitsIn(std::int64_t(bytes.size()))) {
        error = looksLikeText(std::string_view(bytes).substr(0, 512))
                    ? name +
                          " is text, not a font nor a glyph file; make a glyph file of "
                          "points with: alphabet-tool import " +
                          name + " -o OUT.alphabet"
                    : name + " is not a glyph file: its header announces more than it holds";
        return SourceStatus::Refused;
    }
    if (name == "-") {
        error = "a glyph file is read from a file, not from standard input";
        return SourceStatus::Refused;
    }
    AlphabetFile file;
    if (!file.open(name.c_str(), AlphabetFile::Storage::Memory)) {
        error = name + ": " + file.problem();
        return SourceStatus::Failed;
    }
    sourceKind = SourceKind::GlyphFile;
    const int count = std::min(file.glyphCount(), labelCodes);
    glyphs.resize(std::size_t(count));
    double capLow = 0, capHigh = 0, low = 0, tallest = 0;
    bool any = false;
    for (int i = 0; i < count; ++i) {
        auto glyph = std::make_unique<SourceGlyph>();
        const Point3* points = file.glyph(i);
        for (int k = 0; k < file.pointsPerGlyph(); ++k)
            if (finite(points[k]))
                glyph->points.push_back(points[k]);
        if (glyph->points.empty())
            continue;
        double left = glyph->points.front().x, right = left;
        glyph->highest = glyph->points.front().z;
        for (const Point3& p : glyph->points) {
            left = std::min(left, double(p.x));
            right = std::max(right, double(p.x));
            glyph->highest = std::max(glyph->highest, p.z);
        }
        glyph->left = left;
        glyph->advance = right - left;
        double yLow = 0, yHigh = 0;
        yRange(glyph->points, yLow, yHigh);
        tallest = std::max(tallest, yHigh - yLow);
        low = any ? std::min(low, yLow) : yLow;
        any = true;
        if (i == 'H' - 65) {
            capLow = yLow;
            capHigh = yHigh;
        }
        glyphs[std::size_t(i)] = std::move(glyph);
    }
    const bool hasH = count > 'H' - 65 && glyphs['H' - 65] && capHigh > capLow;
    cap = hasH ? capHigh - capLow : tallest;
    base = hasH ? capLow : low;
    penData = penShaped(glyphs, liftHeight);
    return SourceStatus::Ready;
}

const SourceGlyph* WriteSource::glyph(char32_t c) {
    if (!isFont()) {
        if (c >= char32_t(labelCodes))
            return nullptr;
        const std::size_t index = (c + labelCodes - 65) % labelCodes;
        return index < glyphs.size() ? glyphs[index].get() : nullptr;
    }
    const auto found = firstOf.find(c);
    if (found == firstOf.end())
        return nullptr;
    std::unique_ptr<SourceGlyph>& made = glyphs[found->second];
    if (!made) {
        const PenGlyph& pen = font.glyphs[found->second];
        made = std::make_unique<SourceGlyph>();
        made->points = penRoute(pen, fontLift).points;
        made->left = pen.left;
        if (pen.hasAdvance) {
            made->advance = pen.advance;
        } else if (font.advance > 0) {
            made->advance = font.advance;
        } else {
            // Neither the glyph nor the font gives an advance: the glyph's own width.
            double right = 0;
            for (const Point3& p : made->points)
                right = std::max(right, double(p.x));
            made->advance = right;
        }
        for (const Point3& p : made->points)
            made->highest = std::max(made->highest, p.z);
    }
    return made->points.empty() ? nullptr : made.get();
}

bool WriteSource::spaceAdvance(double& advance) const {
    if (!isFont())
        return false;
    const auto found = firstOf.find(U' ');
    if (found == firstOf.end())
        return false;
    const PenGlyph& space = font.glyphs[found->second];
    if (!space.hasAdvance && !(font.advance > 0))
        return false;
    advance = space.hasAdvance ? space.advance : font.advance;
    return true;
}
