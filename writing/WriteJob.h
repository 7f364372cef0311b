#pragma once

// One write: text set with a source, joined into a route and written in a
// format. Returns results and errors; the command says them.

#include "writing/RouteBuilder.h"
#include "writing/RouteStats.h"
#include "writing/TextLayout.h"
#include "writing/WriteFormat.h"
#include "writing/WriteSource.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

struct WriteOptions {
    LayoutOptions layout;
    bool spacingGiven = false;    // else 0.2 * size for glyph files, 0 for fonts
    bool lineHeightGiven = false; // else 1.6 * size
    bool strict = false;
    bool liftGiven = false;
    double lift = 0;
    double tolerance = 0;
    bool flatten = false;
    double feed = 1000;       // mm/min, drawing
    double travelFeed = 3000; // mm/min, travel
    double penWidth = 0.3;
    double margin = 5;
    WriteFormat format = WriteFormat::Gcode;
    std::string sourceName; // as the G-code comment names it
};

// Lacking: --strict, and the source lacks characters of the text (missing()).
enum class WriteStatus { Ready, Refused, Failed, Lacking };

class WriteJob {
public:
    // Sets `lines` with `source` and checks everything that can refuse the
    // job, before any output is opened; `error` says why not.
    WriteStatus prepare(WriteSource& source, const std::vector<std::u32string>& lines,
                        const WriteOptions& options, std::string& error);
    // The characters the source lacks, each once: skipped, or refused with --strict.
    std::u32string missing() const { return layout ? layout->missing() : std::u32string(); }
    // Writes the route to `out`; false where a write failed.
    bool write(std::FILE* out);
    // The line that says what was written to `shownOutput`.
    std::string summary(const std::string& shownOutput) const;

    double travelHeight() const { return settings.travel; }

private:
    void run(RouteSink& sink) const;
    std::string comment() const;

    const std::vector<std::u32string>* lines = nullptr;
    WriteOptions options;
    bool penData = true;
    RouteSettings settings;
    std::unique_ptr<TextLayout> layout;
    RouteStats stats;
};
