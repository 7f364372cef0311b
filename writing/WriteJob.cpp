#include "writing/WriteJob.h"

#include "alphabet/Counted.h"
#include "import/text/TextEncoding.h"
#include "writing/CsvWriter.h"
#include "writing/GcodeWriter.h"
#include "writing/GlyphRouteWriter.h"
#include "writing/HpglWriter.h"
#include "writing/SvgPlotWriter.h"

#include <cmath>
#include <cstdio>

namespace {

// The travel height over the glyphs where no --lift sets it, as a share of --size.
constexpr double travelShare = 0.25;
// The most characters of the text the G-code comment shows.
constexpr std::size_t commentChars = 40;

std::string shortNumber(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", value);
    return text;
}

std::string utf8(const std::u32string& text) {
    std::string out;
    for (char32_t c : text)
        out += encodeUtf8(c);
    return out;
}

std::string duration(double minutes) {
    const long long seconds = std::llround(minutes * 60);
    char text[64];
    if (seconds >= 3600)
        std::snprintf(text, sizeof text, "%lld h %lld min", seconds / 3600, seconds / 60 % 60);
    else if (seconds >= 60)
        std::snprintf(text, sizeof text, "%lld min %lld s", seconds / 60, seconds % 60);
    else
        std::snprintf(text, sizeof text, "%lld s", seconds);
    return text;
}

} // namespace

WriteStatus WriteJob::prepare(WriteSource& source, const std::vector<std::u32string>& text,
                              const WriteOptions& given, std::string& error) {
    lines = &text;
    options = given;
    LayoutOptions& layoutOptions = options.layout;
    const double size = layoutOptions.size;
    if (!options.spacingGiven)
        layoutOptions.spacing = source.isFont() ? 0 : 0.2 * size;
    if (!options.lineHeightGiven)
        layoutOptions.lineHeight = 1.6 * size;

    std::size_t characters = 0;
    for (const std::u32string& line : text)
        characters += line.size();
    if (characters == 0) {
        error = "the text is empty";
        return WriteStatus::Refused;
    }
    const double cap = source.capHeight();
    if (!(cap > 0) || !std::isfinite(cap)) {
        error = options.sourceName + ": its glyphs have no height to scale to --size";
        return WriteStatus::Failed;
    }
    const double s = size / cap;
    settings.scale = s;
    settings.zScale = s;
    settings.tolerance = options.tolerance;
    penData = source.isPenData();
    settings.penData = penData;
    settings.flatten = options.flatten && !penData;
    if (penData) {
        const float height = source.isFont() ? 0.0f : source.penHeight();
        settings.travel = options.liftGiven ? options.lift
                          : height > 0      ? height * s
                                            : travelShare * size;
        if (height > 0 && options.liftGiven)
            settings.zScale = options.lift / height;
        // A font's strokes are joined at the travel height, in its own units.
        const float fontLift = float(settings.travel / s);
        source.setFontLift(fontLift);
        settings.liftHeight = source.isFont() ? fontLift : height;
    }

    layout = std::make_unique<TextLayout>(text, source, layoutOptions);
    if (!layout->missing().empty() && options.strict)
        return WriteStatus::Lacking;
    if (layout->placedCount() == 0) {
        error = "nothing to write: " + options.sourceName + " has none of the text's characters";
        return WriteStatus::Failed;
    }

    if (!penData) {
        // 3-D letters: travel clears the highest point of any glyph placed.
        double highest = -INFINITY;
        char32_t tallest = 0;
        layout->forEach([&](const PlacedGlyph& placed) {
            if (placed.glyph->highest * s > highest) {
                highest = placed.glyph->highest * s;
                tallest = placed.character;
            }
        });
        if (options.liftGiven && !(options.lift > highest)) {
            error = "--lift " + shortNumber(options.lift) +
                    " is not above the letters: " + shownChar(tallest) +
                    " reaches z = " + shortNumber(highest);
            return WriteStatus::Refused;
        }
        settings.travel = options.liftGiven ? options.lift : highest + travelShare * size;
        if (drawsRunsOnly(options.format) && !options.flatten) {
            error = options.sourceName +
                    " holds 3-D letters, and SVG and HPGL draw pen data only; give --flatten to "
                    "draw each letter's whole route projected flat";
            return WriteStatus::Refused;
        }
    }
    return WriteStatus::Ready;
}

void WriteJob::run(RouteSink& sink) const {
    RouteBuilder builder(settings, sink);
    layout->forEach([&](const PlacedGlyph& placed) { builder.add(placed); });
}

std::string WriteJob::comment() const {
    std::u32string shown;
    for (const std::u32string& line : *lines) {
        if (&line != &lines->front())
            shown += U" / ";
        shown += line;
        if (shown.size() > commentChars)
            break;
    }
    if (shown.size() > commentChars)
        shown = shown.substr(0, commentChars) + U"...";
    std::string source;
    for (char c : options.sourceName)
        source += (static_cast<unsigned char>(c) < 0x20) ? '?' : c;
    return "alphabet-tool write \"" + utf8(shown) + "\" with " + source;
}

bool WriteJob::write(std::FILE* out) {
    stats = RouteStats();
    switch (options.format) {
    case WriteFormat::Gcode: {
        GcodeWriter writer(out, settings.travel, options.feed, comment());
        RouteTee both(stats, writer);
        run(both);
        return writer.finish();
    }
    case WriteFormat::Csv: {
        CsvWriter writer(out);
        RouteTee both(stats, writer);
        run(both);
        return writer.finish();
    }
    case WriteFormat::Svg: {
        run(stats);
        SvgPlotWriter writer(out, stats.drawnBox, options.margin, options.penWidth);
        run(writer);
        return writer.finish();
    }
    case WriteFormat::Hpgl: {
        run(stats);
        HpglWriter writer(out, stats.drawnBox);
        run(writer);
        return writer.finish();
    }
    case WriteFormat::Alphabet: {
        GlyphRouteWriter writer;
        RouteTee both(stats, writer);
        run(both);
        return writer.finish(out);
    }
    }
    return false;
}

std::string WriteJob::summary(const std::string& shownOutput) const {
    const Box& box = stats.box;
    const double minutes =
        stats.drawnLength / options.feed + stats.travelLength / options.travelFeed;
    std::string line = "wrote " + shownOutput + ": " +
                       counted(std::int64_t(layout->characterCount()), "character") + " on " +
                       counted(layout->lineCount(), "line");
    if (layout->skippedCount() > 0)
        line += " (" + std::to_string(layout->skippedCount()) + " skipped)";
    line += penData ? ", pen data" : ", 3-D letters";
    line += "; travel height " + shortNumber(settings.travel) + " mm, drawn " +
            shortNumber(stats.drawnLength) + " mm, travel " + shortNumber(stats.travelLength) +
            " mm, " + counted(stats.lifts, "lift") + "; box x " + shortNumber(box.minX) + ".." +
            shortNumber(box.maxX) + ", y " + shortNumber(box.minY) + ".." + shortNumber(box.maxY) +
            ", z " + shortNumber(box.minZ) + ".." + shortNumber(box.maxZ) + " mm; about " +
            duration(minutes) + " at " + shortNumber(options.feed) + " mm/min, travel at " +
            shortNumber(options.travelFeed) + " mm/min";
    return line;
}
