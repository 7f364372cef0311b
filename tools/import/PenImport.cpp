#include "tools/import/PenImport.h"

#include "alphabet/AlphabetWriter.h"
#include "geometry/GlyphCamera.h"
#include "geometry/GlyphDepth.h"
#include "import/pen/HersheyFont.h"
#include "import/pen/PenPath.h"
#include "import/pen/RouteFit.h"
#include "import/pen/svg/SvgStrokes.h"
#include "import/text/GlyphText.h"
#include "tools/import/PenMessages.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace {

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

// The glyphs whose routes `points` leave beyond 1/200 of their size, and of
// those the one that needs the most points (0 where it needs more than the
// most chosen without --points); nothing where every route keeps its shape.
std::string shapeLoss(const std::vector<PickedGlyph>& picked, const std::vector<PenRoute>& routes,
                      int points, bool asked) {
    int glyphs = 0, most = 0;
    std::size_t neediest = 0;
    for (std::size_t i = 0; i < routes.size(); ++i) {
        if (keepsShape(routes[i], points))
            continue;
        ++glyphs;
        const int needed = pointsForShape(routes[i], points + 1, mostChosenPoints);
        const int rank = needed == 0 ? mostChosenPoints + 1 : needed;
        if (rank > most) {
            most = rank;
            neediest = i;
        }
    }
    if (glyphs == 0)
        return {};
    return shapeMessage(picked[neediest], glyphs, points, most > mostChosenPoints ? 0 : most,
                        mostChosenPoints, asked);
}

// Joins each glyph's strokes into its pen route and resamples every route to
// the same `points`, the glyphs one after another in `all`; `reason` says
// what chose the number where --points did not.
bool joinAndResample(const PenImport& job, const std::vector<PickedGlyph>& picked, int& points,
                     std::string& reason, std::vector<Point3>& all, PenImportResult& result) {
    std::vector<PenRoute> routes;
    routes.reserve(picked.size());
    int needed = 2;
    std::size_t neediest = 0;
    for (std::size_t i = 0; i < picked.size(); ++i) {
        routes.push_back(penRoute(*picked[i].glyph, picked[i].lift));
        if (routes.back().fixedCount > needed) {
            needed = routes.back().fixedCount;
            neediest = i;
        }
    }
    if (job.points > 0) {
        points = job.points;
    } else {
        const PointChoice choice =
            choosePoints(routes, std::min(needed, mostChosenPoints), mostChosenPoints);
        points = choice.points;
        reason = pointsReason(picked[choice.shapeAsked ? choice.asker : neediest],
                              choice.shapeAsked, needed > 2 || choice.shapeAsked);
    }
    if (needed > points)
        result.messages.push_back(tooFewMessage(picked, routes, points, job.points > 0));
    const std::string lost = shapeLoss(picked, routes, points, job.points > 0);
    if (!lost.empty())
        result.messages.push_back(lost);
    if (static_cast<long long>(picked.size()) * points > maxTextPoints)
        return fail(result, 1,
                    std::to_string(picked.size()) + " glyphs of " + std::to_string(points) +
                        " points make more than " + std::to_string(maxTextPoints) + " points");
    all.reserve(picked.size() * std::size_t(points));
    std::vector<std::size_t> empty, single;
    for (std::size_t i = 0; i < routes.size(); ++i) {
        if (routes[i].points.size() < 2)
            (routes[i].points.empty() ? empty : single).push_back(i);
        const std::vector<Point3> glyph = resampleRoute(routes[i], points);
        all.insert(all.end(), glyph.begin(), glyph.end());
    }
    if (!empty.empty() || !single.empty())
        result.messages.push_back(collapsedMessage(picked, empty, single, points));
    return true;
}

// Multiplies every point by --scale; false where one then lies beyond a float.
bool scale(const PenImport& job, std::vector<Point3>& all, PenImportResult& result) {
    if (job.scale == 1)
        return true;
    for (Point3& p : all) {
        p = {float(p.x * job.scale), float(p.y * job.scale), float(p.z * job.scale)};
        if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z))
            return fail(result, 1, scaleTooLargeMessage(job.scale));
    }
    return true;
}

// Warns of glyphs the viewer's camera would clip, with the --scale that fits every glyph.
void checkDepth(const std::vector<PickedGlyph>& picked, int points, const std::vector<Point3>& all,
                PenImportResult& result) {
    std::vector<std::size_t> tooSmall, tooLarge;
    ScaleRange fitting;
    for (std::size_t i = 0; i < picked.size(); ++i) {
        const GlyphDepth depth = glyphDepth(all.data() + i * std::size_t(points), points);
        fitting.fit(depth);
        if (withinDepthRange(depth))
            continue;
        (depth.farthest > glyphFarPlane ? tooLarge : tooSmall).push_back(i);
    }
    if (!tooSmall.empty() || !tooLarge.empty())
        result.messages.push_back(depthMessage(picked, tooSmall, tooLarge, roundScale(fitting)));
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
                    int points, const std::string& reason, const std::u32string& skipped) {
    std::vector<SourceSummary> summaries;
    for (const Source& source : sources)
        summaries.push_back(
            {source.kindName, source.lift, source.pens.height, source.pens.heightName});
    return summaryLine({OutputFile::shownName(job.output), summaries, glyphs, points, reason,
                        job.liftGiven, job.scale, skipped});
}

} // namespace

PenImportResult importPenData(PenImport& job) {
    PenImportResult result;
    std::vector<Source> sources;
    std::vector<PickedGlyph> picked;
    std::u32string skipped;
    int points = 0;
    std::string reason;
    std::vector<Point3> all;
    if (!readSources(job, sources, result) || !pickGlyphs(job, sources, picked, skipped, result) ||
        !joinAndResample(job, picked, points, reason, all, result) || !scale(job, all, result))
        return result;
    checkDepth(picked, points, all, result);
    if (write(job, static_cast<int>(picked.size()), points, all, result))
        result.messages.push_back(
            summary(job, sources, static_cast<int>(picked.size()), points, reason, skipped));
    return result;
}
