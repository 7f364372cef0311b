#include "alphabet/AlphabetWriter.h"
#include "alphabet/Counted.h"
#include "import/pen/RouteFit.h"
#include "import/pen/svg/SvgStrokes.h"
#include "import/text/GlyphText.h"
#include "tools/Commands.h"
#include "tools/Files.h"
#include "tools/Options.h"
#include "tools/import/PenImport.h"
#include "tools/import/PenMessages.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace {

std::string importDescription() {
    return "Makes a glyph file from a text file of points, from Hershey fonts (.jhf) or\n"
           "from SVG fonts and drawings; INPUT '-' is standard input. The kind is told from\n"
           "the content; --from forces it.\n"
           "\n"
           "Text: one point 'x y z' per line, a blank line between glyphs, '#' starts a\n"
           "comment. Commas, semicolons and tabs separate numbers too, so CSV imports as\n"
           "it is; a first line without numbers (column names such as x,y,z) is skipped.\n"
           "A UTF-8 byte-order mark is skipped; UTF-16 is refused (convert it with iconv).\n"
           "Every glyph must have the same number of points unless --points is given;\n"
           "with --points N every glyph is resampled along its length to N points.\n"
           "\n"
           "Pen data: a Hershey font or an SVG font gives one glyph per character, an SVG\n"
           "drawing (its path, polyline, polygon, line, circle, ellipse and rect elements)\n"
           "one glyph per file, in the order given. A glyph's strokes are joined in\n"
           "drawing order into one 3-D path: strokes lie at z = 0 and each pen lift goes\n"
           "up to z = H, across and down.\n"
           "{--lift}\n"
           "{--chars}\n"
           "{--strict}\n"
           "{--points}\n"
           "{--scale}\n"
           "SVG curves are flattened to 1/" +
           std::to_string(svgFlatnessDivisor) +
           " of the glyph's size; y is turned up.\n"
           "\n"
           "Writes FILE ('-' for standard output) only if every input is sound, and\n"
           "says on standard error what it wrote. Without -o it writes universal.alphabet,\n"
           "but never over an existing one unless --force is given. FILE may not be an\n"
           "INPUT; a device or FIFO is written straight through; a symlink's target is\n"
           "replaced and the link kept; a replaced file keeps its permissions.\n"
           "Exit status: 0 written, 1 bad input or write failure, 2 usage, unreadable\n"
           "INPUT or refused output.\n";
}

// The line that says what an import wrote.
std::string summary(const std::string& output, const GlyphSet& glyphs, bool resampled,
                    double scale) {
    std::string line = "wrote " + OutputFile::shownName(output) + ": " +
                       counted(glyphs.glyphCount, "glyph") + " of " +
                       counted(glyphs.pointsPerGlyph, "point");
    if (!resampled)
        line += " (not resampled)";
    else if (glyphs.fewestInText == glyphs.mostInText)
        line += " (resampled from " + std::to_string(glyphs.fewestInText) + ")";
    else
        line += " (resampled from " + std::to_string(glyphs.fewestInText) + ".." +
                std::to_string(glyphs.mostInText) + ")";
    if (scale != 1)
        line += ", scaled by " + shownNumber(scale) + " (--scale)";
    if (!glyphs.header.empty())
        line += "; header line \"" + glyphs.header + "\" skipped";
    return line;
}

// Whether `text` is a factor --scale takes: a number above 0.
bool takeScale(const char* text, double& scale) {
    char* end = nullptr;
    scale = std::strtod(text, &end);
    return end != text && !*end && scale > 0 && scale <= 1e30;
}

// Multiplies every point by `scale`; false where one then lies beyond a float.
bool scalePoints(std::vector<Point3>& points, double scale) {
    for (Point3& p : points) {
        p = {float(p.x * scale), float(p.y * scale), float(p.z * scale)};
        if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z))
            return false;
    }
    return true;
}

// Imports one text file as the glyph text format.
int importText(const std::string& input, std::string& text, int points, double scale,
               const char* output, bool force) {
    GlyphSet glyphs;
    TextError problem;
    if (!parseGlyphText(text, points, glyphs, problem)) {
        const std::string where =
            problem.line > 0 ? input + ":" + std::to_string(problem.line) : input;
        const bool lengths = problem.message.find("differing lengths") != std::string::npos;
        std::fprintf(stderr, "alphabet-tool import: %s: %s%s\n", where.c_str(),
                     problem.message.c_str(), lengths ? " (give --points N)" : "");
        return 1;
    }
    text.clear();
    if (scale != 1 && !scalePoints(glyphs.points, scale)) {
        std::fprintf(stderr, "alphabet-tool import: %s: %s\n", input.c_str(),
                     scaleTooLargeMessage(scale).c_str());
        return 1;
    }

    const std::string name = output ? output : "universal.alphabet";
    const WriteOutcome written =
        writeGlyphFile(name, {input, output || force}, glyphs.pointsPerGlyph, glyphs.glyphCount,
                       glyphs.points.data());
    if (written.status) {
        std::fprintf(stderr, "alphabet-tool import: %s\n", written.error.c_str());
        return written.status;
    }
    std::fprintf(stderr, "alphabet-tool import: %s\n",
                 summary(name, glyphs, points > 0, scale).c_str());
    return 0;
}

// Whether `text` is a height --lift takes, which it puts into `job`: a number as
// the text reader takes a coordinate (a 32-bit float, 1e-50 out of its range),
// from 0 to 1e30, blanks round it let go on both sides.
bool takeLift(const char* text, PenImport& job, std::string& problem) {
    std::string_view value(text);
    while (!value.empty() && (value.front() == ' ' || value.front() == '\t'))
        value.remove_prefix(1);
    while (!value.empty() && (value.back() == ' ' || value.back() == '\t'))
        value.remove_suffix(1);
    if (!value.empty() && value.front() == '+')
        value.remove_prefix(1);
    float height = 0;
    const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), height);
    job.liftGiven = true;
    job.lift = height;
    const bool whole = !value.empty() && end == value.data() + value.size();
    if (whole && ec == std::errc::result_out_of_range)
        problem = "--lift takes a height of 0 or more, not '" + std::string(text) +
                  "': it is out of the range of a 32-bit float";
    return whole && ec == std::errc() && height >= 0 && height <= 1e30f;
}

// Reads every input and tells its kind, unless `forced`.
int readInputs(PenImport& job, bool forced, InputKind forcedKind) {
    for (const std::string& input : job.inputs) {
        std::string data, error;
        if (!readWholeFile(input, data, error)) {
            std::fprintf(stderr, "alphabet-tool import: %s\n", error.c_str());
            return 2;
        }
        job.kinds.push_back(forced ? forcedKind : kindOf(data));
        job.data.push_back(std::move(data));
    }
    return 0;
}

} // namespace

int runImport(int argc, char** argv) {
    PenImport job;
    const char* output = nullptr;
    bool force = false;
    bool forced = false;
    InputKind forcedKind = InputKind::Text;
    CommandLine line{
        "import",
        "INPUT...",
        {outputOption("-o", "[-o FILE]", [&](const char* file) { output = file; }),
         numberOption("--points", "[--points N]", 1, mostPointsPerGlyph, job.points),
         flagOption("--force", "[--force]", force),
         textOption(
             "--from", "[--from jhf|svg|text]", "jhf, svg or text", "jhf, svg or text",
             [&](const char* kind, std::string&) { return forced = parseKind(kind, forcedKind); }),
         textOption("--chars", "[--chars CHARS]", "characters such as A-Z", "",
                    [&](const char* list, std::string& problem) {
                        if (!parseCharList(list, job.chars, problem)) {
                            problem = "--chars '" + std::string(list) + "' " + problem;
                            return false;
                        }
                        return job.pickChars = true;
                    }),
         textOption("--lift", "[--lift H]", "a height", "a height of 0 or more",
                    [&](const char* height, std::string& problem) {
                        return takeLift(height, job, problem);
                    }),
         flagOption("--strict", "[--strict]", job.strict),
         textOption(
             "--scale", "[--scale F]", "a factor", "a factor above 0",
             [&](const char* factor, std::string&) { return takeScale(factor, job.scale); })},
        importDescription(),
        true};
    const std::string pointsHelp = "points per glyph (default: the fewest that keep every glyph\n"
                                   "within 1/" +
                                   std::to_string(shapeToleranceDivisor) +
                                   " of its size and put a point on every corner and\n"
                                   "stroke end, at most " +
                                   std::to_string(mostChosenPoints) +
                                   "); points are spaced evenly along the\n"
                                   "path between those\n";
    line.options[1].help = pointsHelp.c_str();
    line.options[4].help = "the characters to take from fonts, in this order, e.g. A-Z,\n"
                           "0-9a-z or ABC (default: every glyph in file order); missing\n"
                           "ones are named and skipped\n";
    line.options[5].help = "the lift height in the input's units; 0 joins strokes flat\n"
                           "(default: a quarter of the font's cap height or the drawing's\n"
                           "height)\n";
    line.options[6].help = "refuse, writing nothing, where a font lacks one of --chars\n";
    line.options[7].help = "multiply every coordinate written by F (default 1), as for a\n"
                           "glyph too large or too small for the viewer's camera\n";
    const auto operand = [&](const char* argument) {
        if (argument[0] == '-' && std::strcmp(argument, "-"))
            return false;
        job.inputs.push_back(argument);
        return true;
    };
    if (const int status = parseCommandLine(line, argc, argv, operand); status >= 0)
        return status;
    if (job.inputs.empty())
        return usageRefusal(line, "no input file given");
    if (std::count(job.inputs.begin(), job.inputs.end(), "-") > 1)
        return usageRefusal(line, "standard input ('-') can be read only once");
    if (const int status = readInputs(job, forced, forcedKind))
        return status;
    if (const int status = refuseGlyphFileImport(job.inputs, job.data, output))
        return status;
    const auto text = std::find(job.kinds.begin(), job.kinds.end(), InputKind::Text);
    if (text != job.kinds.end()) {
        const std::string& name = job.inputs[std::size_t(text - job.kinds.begin())];
        if (job.inputs.size() > 1)
            return usageRefusal(line, name + " is text; a text import takes one file");
        if (job.pickChars || job.liftGiven || job.strict)
            return usageRefusal(
                line, name + " is text; --chars, --lift and --strict are for fonts and drawings");
        return importText(name, job.data[0], job.points, job.scale, output, force);
    }
    job.output = output ? output : "universal.alphabet";
    job.replaceExisting = output || force;
    const PenImportResult result = importPenData(job);
    for (const std::string& message : result.messages)
        std::fprintf(stderr, "alphabet-tool import: %s\n", message.c_str());
    return result.status;
}
