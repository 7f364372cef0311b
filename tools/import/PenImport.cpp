#include "tools/import/PenImport.h"

#include "alphabet/AlphabetWriter.h"
#include "import/text/GlyphText.h"
#include "import/pen/HersheyFont.h"
#include "import/pen/PenPath.h"
#include "import/pen/svg/SvgStrokes.h"
#include "tools/Files.h"
#include "tools/import/PenMessages.h"

#include <algorithm>
#include <cstdio>
#include <unordered_map>

namespace {

// The most points per glyph chosen without --points.
constexpr int mostChosenPoints = 4096;

// The largest font or drawing read: far beyond any real one, small enough to read quickly.
constexpr std::size_t largestInput = 32u << 20;

// One input file as read.
struct Source {
    std::string name;
    std::string kindName;
    bool font = true;
    PenFont pens;
    float lift = 0;
};

bool readSource(const std::string& name, const std::string& data, InputKind kind, Source& source) {
    PenError error;
    bool read = false;
    if (data.size() > largestInput) {
        error.message = "is " + std::to_string(data.size() >> 20) +
                        " MiB; fonts and drawings are read up to " +
                        std::to_string(largestInput >> 20) + " MiB";
    } else if (kind == InputKind::Hershey) {
        read = readHersheyFont(data, source.pens, error);
        source.kindName = "Hershey font";
    } else {
        SvgKind svg = SvgKind::Drawing;
        read = readSvg(data, svg, source.pens, error);
        source.font = svg == SvgKind::Font;
        source.kindName = source.font ? "SVG font" : "SVG drawing";
    }
    if (!read) {
        const std::string where = error.line > 0 ? name + ":" + std::to_string(error.line) : name;
        std::fprintf(stderr, "alphabet-tool import: %s: %s\n", where.c_str(),
                     error.message.c_str());
        return false;
    }
    for (const std::string& note : source.pens.notes)
        std::fprintf(stderr, "alphabet-tool import: %s: %s\n", name.c_str(), note.c_str());
    source.name = name;
    return true;
}

// The glyphs of `source` that `chars` asks for, in that order; the missing ones in `missing`.
void pick(const Source& source, const std::u32string& chars, std::vector<PickedGlyph>& picked,
          std::u32string& missing) {
    std::unordered_map<char32_t, std::size_t> first;
    for (std::size_t i = source.pens.glyphs.size(); i-- > 0;)
        first[source.pens.glyphs[i].character] = i;
    for (char32_t c : chars) {
        const auto found = c ? first.find(c) : first.end();
        if (found == first.end())
            missing += c;
        else
            picked.push_back(
                {&source.pens.glyphs[found->second], &source.name, found->second, source.lift});
    }
}

} // namespace

int importPenData(PenImport& job) {
    std::vector<Source> sources(job.inputs.size());
    for (std::size_t i = 0; i < sources.size(); ++i) {
        if (!readSource(job.inputs[i], job.data[i], job.kinds[i], sources[i]))
            return 1;
        job.data[i].clear();
        job.data[i].shrink_to_fit();
        const Source& source = sources[i];
        if (job.pickChars && !source.font) {
            std::fprintf(stderr,
                         "alphabet-tool import: %s is an SVG drawing; --chars picks glyphs from "
                         "fonts\n",
                         source.name.c_str());
            return 2;
        }
        sources[i].lift = static_cast<float>(job.liftGiven ? job.lift : source.pens.height / 4);
    }

    std::vector<PickedGlyph> picked;
    std::u32string skipped;
    bool missingAny = false;
    for (const Source& source : sources) {
        if (!job.pickChars) {
            for (std::size_t i = 0; i < source.pens.glyphs.size(); ++i)
                picked.push_back({&source.pens.glyphs[i], &source.name, i, source.lift});
            continue;
        }
        std::u32string missing;
        pick(source, job.chars, picked, missing);
        if (!missing.empty()) {
            std::fprintf(stderr, "alphabet-tool import: %s\n",
                         missingMessage(source.name, missing, job.strict).c_str());
            skipped += missing;
            missingAny = true;
        }
    }
    if (missingAny && job.strict)
        return 1;
    if (picked.empty()) {
        std::fprintf(stderr, "alphabet-tool import: no glyphs to import: the fonts hold none of "
                             "the characters asked for\n");
        return 1;
    }

    std::vector<PenRoute> routes;
    routes.reserve(picked.size());
    int needed = 2;
    for (const PickedGlyph& glyph : picked) {
        routes.push_back(penRoute(*glyph.glyph, glyph.lift));
        needed = std::max(needed, routes.back().fixedCount);
    }
    const int points = job.points > 0 ? job.points : std::min(needed, mostChosenPoints);
    if (needed > points)
        std::fprintf(stderr, "alphabet-tool import: %s\n",
                     tooFewMessage(picked, routes, points, job.points > 0).c_str());
    if (static_cast<long long>(picked.size()) * points > maxTextPoints) {
        std::fprintf(stderr,
                     "alphabet-tool import: %zu glyphs of %d points make more than %lld points\n",
                     picked.size(), points, maxTextPoints);
        return 1;
    }

    std::vector<Point3> all;
    all.reserve(picked.size() * std::size_t(points));
    for (const PenRoute& route : routes) {
        const std::vector<Point3> glyph = resampleRoute(route, points);
        all.insert(all.end(), glyph.begin(), glyph.end());
    }
    routes.clear();

    for (std::size_t i = 1; i < job.inputs.size(); ++i) {
        std::string error;
        if (OutputFile::check(job.output, {job.inputs[i], true}, error) != OutputStatus::Ready) {
            std::fprintf(stderr, "alphabet-tool import: %s\n", error.c_str());
            return 2;
        }
    }
    OutputFile file;
    if (const int status =
            openOutput("import", file, job.output, {job.inputs[0], job.replaceExisting}))
        return status;
    const bool written =
        writeAlphabet(file.stream(), points, static_cast<int>(picked.size()), all.data());
    if (const int status = commitOutput("import", file, written))
        return status;

    std::vector<SourceSummary> summaries;
    for (const Source& source : sources)
        summaries.push_back(
            {source.kindName, source.lift, source.pens.height, source.pens.heightName});
    PenSummary summary{OutputFile::shownName(job.output),
                       summaries,
                       int(picked.size()),
                       points,
                       job.points > 0,
                       job.liftGiven,
                       skipped};
    std::fprintf(stderr, "alphabet-tool import: %s\n", summaryLine(summary).c_str());
    return 0;
}
