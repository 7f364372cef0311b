#include "tools/import/PenImport.h"

#include "alphabet/AlphabetWriter.h"
#include "import/pen/HersheyFont.h"
#include "import/pen/PenPath.h"
#include "import/pen/svg/SvgStrokes.h"
#include "import/text/GlyphText.h"
#include "tools/import/PenMessages.h"

#include <algorithm>
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

// Ends the import with `message` and exit status `status`; false, for the step to return.
bool fail(PenImportResult& result, int status, std::string message) {
    result.messages.push_back(std::move(message));
    result.status = status;
    return false;
}

bool readSource(const std::string& name, const std::string& data, InputKind kind, Source& source,
                PenImportResult& result) {
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
        return fail(result, 1, where + ": " + error.message);
    }
    for (const std::string& note : source.pens.notes)
        result.messages.push_back(name + ": " + note);
    source.name = name;
    return true;
}

// Reads every input in turn, its bytes let go once read, and sets each one's lift.
bool readSources(PenImport& job, std::vector<Source>& sources, PenImportResult& result) {
    sources.resize(job.inputs.size());
    for (std::size_t i = 0; i < sources.size(); ++i) {
        Source& source = sources[i];
        if (!readSource(job.inputs[i], job.data[i], job.kinds[i], source, result))
            return false;
        job.data[i].clear();
        job.data[i].shrink_to_fit();
        if (job.pickChars && !source.font)
            return fail(result, 2,
                        source.name + " is an SVG drawing; --chars picks glyphs from fonts");
        source.lift = static_cast<float>(job.liftGiven ? job.lift : source.pens.height / 4);
    }
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

// The glyphs the import takes: every glyph of every source, or those --chars
// asks for, the characters a font lacks named and gathered in `skipped`.
bool pickGlyphs(const PenImport& job, const std::vector<Source>& sources,
                std::vector<PickedGlyph>& picked, std::u32string& skipped,
                PenImportResult& result) {
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
            result.messages.push_back(missingMessage(source.name, missing, job.strict));
            skipped += missing;
            missingAny = true;
        }
    }
    if (missingAny && job.strict) {
        result.status = 1;
        return false;
    }
    if (picked.empty())
        return fail(result, 1,
                    "no glyphs to import: the fonts hold none of the characters asked for");
    return true;
}

// Joins each glyph's strokes into its pen route and resamples every route to
// the same `points`, the glyphs one after another in `all`.
bool joinAndResample(const PenImport& job, const std::vector<PickedGlyph>& picked, int& points,
                     std::vector<Point3>& all, PenImportResult& result) {
    std::vector<PenRoute> routes;
    routes.reserve(picked.size());
    int needed = 2;
    for (const PickedGlyph& glyph : picked) {
        routes.push_back(penRoute(*glyph.glyph, glyph.lift));
        needed = std::max(needed, routes.back().fixedCount);
    }
    points = job.points > 0 ? job.points : std::min(needed, mostChosenPoints);
    if (needed > points)
        result.messages.push_back(tooFewMessage(picked, routes, points, job.points > 0));
    if (static_cast<long long>(picked.size()) * points > maxTextPoints)
        return fail(result, 1,
                    std::to_string(picked.size()) + " glyphs of " + std::to_string(points) +
                        " points make more than " + std::to_string(maxTextPoints) + " points");
    all.reserve(picked.size() * std::size_t(points));
    for (const PenRoute& route : routes) {
        const std::vector<Point3> glyph = resampleRoute(route, points);
        all.insert(all.end(), glyph.begin(), glyph.end());
    }
    return true;
}

// Writes the glyph file, unless it would replace one of the inputs.
bool write(const PenImport& job, int glyphs, int points, const std::vector<Point3>& all,
           PenImportResult& result) {
    for (std::size_t i = 1; i < job.inputs.size(); ++i) {
        std::string error;
        if (OutputFile::check(job.output, {job.inputs[i], true}, error) != OutputStatus::Ready)
            return fail(result, 2, error);
    }
    const WriteOutcome written = writeGlyphFile(job.output, {job.inputs[0], job.replaceExisting},
                                                points, glyphs, all.data());
    if (written.status != 0)
        return fail(result, written.status, written.error);
    return true;
}

std::string summary(const PenImport& job, const std::vector<Source>& sources, int glyphs,
                    int points, const std::u32string& skipped) {
    std::vector<SourceSummary> summaries;
    for (const Source& source : sources)
        summaries.push_back(
            {source.kindName, source.lift, source.pens.height, source.pens.heightName});
    return summaryLine({OutputFile::shownName(job.output), summaries, glyphs, points,
                        job.points > 0, job.liftGiven, skipped});
}

} // namespace

PenImportResult importPenData(PenImport& job) {
    PenImportResult result;
    std::vector<Source> sources;
    std::vector<PickedGlyph> picked;
    std::u32string skipped;
    int points = 0;
    std::vector<Point3> all;
    if (readSources(job, sources, result) && pickGlyphs(job, sources, picked, skipped, result) &&
        joinAndResample(job, picked, points, all, result) &&
        write(job, static_cast<int>(picked.size()), points, all, result))
        result.messages.push_back(
            summary(job, sources, static_cast<int>(picked.size()), points, skipped));
    return result;
}
