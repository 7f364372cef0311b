#include "tools/import/PenMessages.h"

#include "alphabet/Counted.h"
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
    return (asked ? "--points " + std::to_string(points) + " is"
                  : std::to_string(points) + " points, the most chosen without --points, are") +
           " too few to keep every corner and stroke end of " + counted(glyphs, "glyph") + "; " +
           glyphName(picked[most]) + " needs the most, " + std::to_string(needed) + " (" +
           std::to_string(needed - points) + " more); corners give way before stroke ends";
}

std::string summaryLine(const PenSummary& summary) {
    std::string line = "wrote " + summary.output + ": " + kinds(summary.sources) + ", " +
                       counted(summary.glyphs, "glyph") + " of " + std::to_string(summary.points) +
                       " points";
    line +=
        summary.pointsAsked ? " (--points)" : " (the fewest that keep every corner and stroke end)";
    line += ", " + lift(summary) + ", ";
    if (summary.skipped.empty())
        line += "no characters skipped";
    else
        line += counted(std::int64_t(summary.skipped.size()), "character") +
                " skipped: " + listed(summary.skipped);
    return line;
}
