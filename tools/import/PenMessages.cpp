#include "tools/import/PenMessages.h"

#include "alphabet/Counted.h"
#include "geometry/GlyphCamera.h"
#include "import/pen/RouteFit.h"
#include "import/text/TextEncoding.h"

#include <cstdio>

namespace {

// The most characters one message lists by name.
constexpr std::size_t mostListed = 20;

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

std::string listed(const std::u32string& chars) {
    std::string list;
    for (std::size_t i = 0; i < chars.size() && i < mostListed; ++i)
        list += (i ? " " : "") + shownChar(chars[i]);
    if (chars.size() > mostListed)
        list += " and " + std::to_string(chars.size() - mostListed) + " more";
    return list;
}

std::string glyphName(const PickedGlyph& picked) {
    if (picked.glyph->character)
        return shownChar(picked.glyph->character) + " of " + *picked.sourceName;
    return "glyph " + std::to_string(picked.index) + " of " + *picked.sourceName;
}

// The glyphs at `which` by name, the first few of them.
std::string glyphList(const std::vector<PickedGlyph>& picked,
                      const std::vector<std::size_t>& which) {
    std::string list;
    for (std::size_t i = 0; i < which.size() && i < mostListed; ++i)
        list += (i ? ", " : "") + glyphName(picked[which[i]]);
    if (which.size() > mostListed)
        list += " and " + std::to_string(which.size() - mostListed) + " more";
    return list;
}

const std::string tolerance = "1/" + std::to_string(shapeToleranceDivisor);

// "--points 20 is" or "4096 points, the most chosen without --points, are".
std::string pointsAre(int points, bool asked) {
    return asked ? "--points " + std::to_string(points) + " is"
                 : std::to_string(points) + " points, the most chosen without --points, are";
}

// "Hershey font", or "32 Hershey fonts and 1 SVG font" where there are several.
std::string kinds(const std::vector<SourceSummary>& sources) {
    if (sources.size() == 1)
        return sources[0].kind;
    std::vector<std::pair<std::string, int>> counts;
    for (const SourceSummary& source : sources) {
        auto found = counts.begin();
        while (found != counts.end() && found->first != source.kind)
            ++found;
        if (found == counts.end())
            counts.push_back({source.kind, 1});
        else
            ++found->second;
    }
    std::string text;
    for (const auto& [kind, count] : counts)
        text += (text.empty() ? "" : " and ") + counted(count, kind.c_str());
    return text;
}

std::string lift(const PenSummary& summary) {
    const SourceSummary& first = summary.sources[0];
    if (first.lift == 0)
        return "lift 0 (strokes joined flat)";
    if (summary.liftAsked)
        return "lift " + number(first.lift) + " (--lift)";
    float low = first.lift, high = first.lift;
    for (const SourceSummary& source : summary.sources) {
        low = std::min(low, source.lift);
        high = std::max(high, source.lift);
    }
    if (low == high)
        return "lift " + number(first.lift) + " (a quarter of " + number(first.height) + ", " +
               first.heightName + ")";
    return "lift " + number(low) + " to " + number(high) +
           " (a quarter of each input's cap height or height)";
}

} // namespace

std::string missingMessage(const std::string& source, const std::u32string& missing, bool strict) {
    return source + " lacks " + std::to_string(missing.size()) +
           " of the characters asked for: " + listed(missing) +
           (strict ? "; nothing written (--strict)" : "; skipped");
}

std::string tooFewMessage(const std::vector<PickedGlyph>& picked,
                          const std::vector<PenRoute>& routes, int points, bool asked) {
    std::size_t most = 0;
    int glyphs = 0;
    for (std::size_t i = 0; i < routes.size(); ++i) {
        if (routes[i].fixedCount > points)
            ++glyphs;
        if (routes[i].fixedCount > routes[most].fixedCount)
            most = i;
    }
    const int needed = routes[most].fixedCount;
    return pointsAre(points, asked) + " too few to keep every corner and stroke end of " +
           counted(glyphs, "glyph") + "; " + glyphName(picked[most]) + " needs the most, " +
           std::to_string(needed) + " (" + std::to_string(needed - points) +
           " more); corners give way first, then the corners of lifts, stroke ends last";
}

std::string shapeMessage(const PickedGlyph& neediest, int glyphs, int points, int needed, int most,
                         bool asked) {
    return pointsAre(points, asked) + " too few to keep " + counted(glyphs, "glyph") + " within " +
           tolerance + " of " + (glyphs == 1 ? "its" : "their") + " size; " + glyphName(neediest) +
           " needs the most, " +
           (needed > 0 ? std::to_string(needed) + " (" + std::to_string(needed - points) + " more)"
                       : "more than " + std::to_string(most));
}

std::string pointsReason(const PickedGlyph& decider, bool shape, bool ranked) {
    if (shape)
        return "the fewest that keep every glyph within " + tolerance +
               " of its size and every corner and stroke end; " + glyphName(decider) +
               " needs them";
    return "the fewest that keep every corner and stroke end, every glyph within " + tolerance +
           " of its size too" + (ranked ? "; " + glyphName(decider) + " needs them" : "");
}

std::string collapsedMessage(const std::vector<PickedGlyph>& picked,
                             const std::vector<std::size_t>& empty,
                             const std::vector<std::size_t>& single, int points) {
    std::string text;
    if (!empty.empty())
        text += counted(std::int64_t(empty.size()), "glyph") + " draw" +
                (empty.size() == 1 ? "s" : "") + " nothing, written as " +
                counted(points, "point") + " at the origin: " + glyphList(picked, empty);
    if (!single.empty())
        text += (text.empty() ? "" : "; ") + counted(std::int64_t(single.size()), "glyph") +
                (single.size() == 1 ? " is" : " are") + " a single point, written as " +
                counted(points, "equal point") + ": " + glyphList(picked, single);
    return text;
}

std::string depthMessage(const std::vector<PickedGlyph>& picked,
                         const std::vector<std::size_t>& tooSmall,
                         const std::vector<std::size_t>& tooLarge, double scale) {
    std::string text;
    if (!tooLarge.empty())
        text += counted(std::int64_t(tooLarge.size()), "glyph") + " reach" +
                (tooLarge.size() == 1 ? "es" : "") +
                " past the viewer's far plane (the camera stands " +
                number(glyphEyeDistanceFactor) +
                " times a glyph's largest point distance away and sees up to " +
                number(glyphFarPlane) + "): " + glyphList(picked, tooLarge);
    if (!tooSmall.empty())
        text += (text.empty() ? "" : "; ") + counted(std::int64_t(tooSmall.size()), "glyph") +
                (tooSmall.size() == 1 ? " is" : " are") +
                " too small for the viewer's camera (nearer than its near plane at " +
                number(glyphNearPlane) + "): " + glyphList(picked, tooSmall);
    return text + (scale > 0 ? "; --scale " + number(scale) + " fits every glyph"
                             : "; no one --scale fits every glyph");
}

std::string shownNumber(double value) {
    return number(value);
}

std::string scaleTooLargeMessage(double scale) {
    return "--scale " + number(scale) + " takes a point beyond the range of a 32-bit float";
}

std::string summaryLine(const PenSummary& summary) {
    std::string line = "wrote " + summary.output + ": " + kinds(summary.sources) + ", " +
                       counted(summary.glyphs, "glyph") + " of " + counted(summary.points, "point");
    line += summary.pointsReason.empty() ? " (--points)" : " (" + summary.pointsReason + ")";
    line += ", " + lift(summary) + ", ";
    if (summary.scale != 1)
        line += "scaled by " + number(summary.scale) + " (--scale), ";
    if (summary.skipped.empty())
        line += "no characters skipped";
    else
        line += counted(std::int64_t(summary.skipped.size()), "character") +
                " skipped: " + listed(summary.skipped);
    return line;
}
