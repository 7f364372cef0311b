#include "tools/Commands.h"
#include "tools/Files.h"
#include "tools/Options.h"
#include "tools/import/PenInputs.h"
#include "tools/import/PenMessages.h"
#include "writing/WriteJob.h"
#include "writing/WriteText.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

const char* const writeDescription =
    "Sets the text with the glyphs of SOURCE and writes it as one 3-D pen route:\n"
    "from one glyph to the next the pen goes straight up to the travel height T,\n"
    "across and down. Each TEXT is a line; a newline in one starts another; '--'\n"
    "ends the options. Lengths are millimetres.\n"
    "Pen data (fonts, glyph files as import writes them) are drawn where z = 0,\n"
    "T = 0.25 x size (or the glyph file's lift height); 3-D letters (any other\n"
    "glyph file) travel 0.25 x size above their highest point.\n"
    "Outputs: .gcode/.nc/.ngc G-code, .svg plotter page, .hpgl/.plt HPGL, .csv\n"
    "points, .alphabet one glyph of the whole route for the viewer.\n"
    "\n"
    "{--with}\n{--text-file}\n{-o}\n{--format}\n{--size}\n{--spacing}\n{--line-height}\n"
    "{--align}\n{--width}\n{--strict}\n{--lift}\n{--tolerance}\n{--feed}\n{--travel-feed}\n"
    "{--pen-width}\n{--margin}\n{--flatten}\n"
    "\n"
    "Characters SOURCE lacks are named and skipped. OUT may not be SOURCE or the\n"
    "text file; a device or FIFO is written straight through; a symlink's target\n"
    "is replaced and the link kept; a replaced file keeps its permissions.\n"
    "Exit status: 0 written, 1 bad SOURCE, lacking characters with --strict or\n"
    "write failure, 2 usage, unreadable or refused input, refused output.\n";

// The command line as read.
struct WriteArguments {
    WriteOptions options;
    std::string source;   // --with
    std::string textFile; // --text-file
    std::string output = "-";
    bool outputGiven = false;
    std::string format; // --format, as given
    std::vector<std::string> texts;
};

Option described(Option option, const char* help) {
    option.help = help;
    return option;
}

Option wordOption(const char* name, const char* usage, const char* needs, std::string& target) {
    return textOption(name, usage, needs, "", [&target](const char* value, std::string&) {
        target = value;
        return true;
    });
}

// The options of write, in the order the help lists them.
std::vector<Option> writeOptions(WriteArguments& a) {
    WriteOptions& o = a.options;
    using Range = RealRange;
    return {
        described(wordOption("--with", "--with SOURCE", "a glyph file or font", a.source),
                  "the glyph file, Hershey font (.jhf) or SVG font to write with\n"),
        described(wordOption("--text-file", "[--text-file FILE]", "a file name", a.textFile),
                  "the text's lines from FILE ('-': standard input)\n"),
        described(outputOption("-o", "[-o OUT]",
                               [&a](const char* file) {
                                   a.output = file;
                                   a.outputGiven = true;
                               }),
                  "the output ('-': standard output, the default)\n"),
        described(
            wordOption("--format", "[--format F]", "alphabet, csv, gcode, svg or hpgl", a.format),
            "the output's kind: alphabet, csv, gcode, svg or hpgl\n"
            "(default: by OUT's extension; G-code without -o)\n"),
        described(realOption("--size", "[--size MM]", Range::Positive, o.layout.size),
                  "the height of a capital H (default 10)\n"),
        described(realOption("--spacing", "[--spacing MM]", Range::Finite, o.layout.spacing,
                             &o.spacingGiven),
                  "added after each character (default 0.2 x size for\n"
                  "glyph files, 0 for fonts)\n"),
        described(realOption("--line-height", "[--line-height MM]", Range::Positive,
                             o.layout.lineHeight, &o.lineHeightGiven),
                  "from one baseline to the next (default 1.6 x size)\n"),
        described(textOption("--align", "[--align A]", "left, center or right",
                             "left, center or right",
                             [&o](const char* value, std::string&) {
                                 const std::string align = value;
                                 if (align != "left" && align != "center" && align != "right")
                                     return false;
                                 o.layout.align = align == "left"     ? Align::Left
                                                  : align == "center" ? Align::Center
                                                                      : Align::Right;
                                 return true;
                             }),
                  "where lines start: left (the default), center or right\n"),
        described(realOption("--width", "[--width MM]", Range::Positive, o.layout.width),
                  "break lines at spaces to stay this narrow\n"),
        described(flagOption("--strict", "[--strict]", o.strict),
                  "refuse, writing nothing, where SOURCE lacks a character\n"),
        described(realOption("--lift", "[--lift MM]", Range::Positive, o.lift, &o.liftGiven),
                  "the travel height T (pen data: lifts scale with it;\n"
                  "3-D letters: must clear every point)\n"),
        described(realOption("--tolerance", "[--tolerance MM]", Range::NonNegative, o.tolerance),
                  "drop points within this of the route between their\n"
                  "neighbours (default 0: keep all)\n"),
        described(realOption("--feed", "[--feed MM/MIN]", Range::Positive, o.feed),
                  "the drawing feed rate (default 1000)\n"),
        described(
            realOption("--travel-feed", "[--travel-feed MM/MIN]", Range::Positive, o.travelFeed),
            "the travel rate for the time estimate (default 3000)\n"),
        described(realOption("--pen-width", "[--pen-width MM]", Range::Positive, o.penWidth),
                  "the SVG pen's width (default 0.3)\n"),
        described(realOption("--margin", "[--margin MM]", Range::NonNegative, o.margin),
                  "the SVG page's margin around the drawing (default 5)\n"),
        described(flagOption("--flatten", "[--flatten]", o.flatten),
                  "SVG and HPGL of 3-D letters: each letter's whole route\n"
                  "projected flat\n"),
    };
}

int fail(int status, const std::string& message) {
    std::fprintf(stderr, "alphabet-tool write: %s\n", message.c_str());
    return status;
}

// What no single option can refuse: the format, the source and the text; false, with
// `problem`, where they don't fit together.
bool checkArguments(WriteArguments& a, std::string& problem) {
    if (!a.format.empty()) {
        if (!parseWriteFormat(a.format, a.options.format)) {
            problem = "--format takes alphabet, csv, gcode, svg or hpgl, not '" + a.format + "'";
            return false;
        }
    } else if (a.output != "-" && !writeFormatOf(a.output, a.options.format) &&
               !OutputFile::isStream(a.output)) {
        problem = "can't tell the format of " + a.output +
                  " by its extension (.gcode, .nc, .ngc, .svg, .hpgl, .plt, .csv, .alphabet); "
                  "give --format";
        return false;
    }
    if (a.source.empty()) {
        problem = "no SOURCE given: name it with --with";
        return false;
    }
    const bool fromFile = !a.textFile.empty();
    if (fromFile == !a.texts.empty()) {
        problem = fromFile ? "give the text as TEXT or --text-file, not both" : "no TEXT given";
        return false;
    }
    if (fromFile && a.textFile == "-" && a.source == "-") {
        problem = "standard input ('-') can be read only once";
        return false;
    }
    return true;
}

} // namespace

int runWrite(int argc, char** argv) {
    WriteArguments arguments;
    CommandLine line{"write", "TEXT...", writeOptions(arguments), writeDescription};
    line.usageLines = "usage: alphabet-tool write TEXT... --with SOURCE [-o OUT] [--format F] "
                      "[OPTIONS]\n"
                      "       alphabet-tool write --text-file FILE --with SOURCE [-o OUT] "
                      "[OPTIONS]\n";
    line.afterDashDash = [&](const char* text) { arguments.texts.push_back(text); };
    const auto operand = [&](const char* argument) {
        if (argument[0] == '-')
            return false;
        arguments.texts.push_back(argument);
        return true;
    };
    if (const int status = parseCommandLine(line, argc, argv, operand); status >= 0)
        return status;
    std::string problem;
    if (!checkArguments(arguments, problem))
        return usageRefusal(line, problem);
    WriteOptions& options = arguments.options;
    const std::string& output = arguments.output;

    const std::string sourcePath = arguments.source;
    std::string sourceBytes, error;
    if ((sourcePath != "-" && !canRead(sourcePath, error)) ||
        !readWholeFile(sourcePath, sourceBytes, error))
        return fail(2, error);

    std::vector<std::u32string> lines;
    const std::string& textFile = arguments.textFile;
    if (!textFile.empty()) {
        std::string bytes;
        if ((textFile != "-" && !canRead(textFile, error)) ||
            !readWholeFile(textFile, bytes, error))
            return fail(2, error);
        if (!readTextLines(bytes, true, lines, error))
            return fail(2, OutputFile::shownName(textFile) + ": " + error);
    } else {
        for (std::size_t i = 0; i < arguments.texts.size(); ++i)
            if (!readTextLines(arguments.texts[i], false, lines, error))
                return fail(2, "TEXT " + std::to_string(i + 1) + ": " + error);
    }

    // Fonts are told apart as import tells them; anything else must be a glyph file.
    const InputKind kind = kindOf(sourceBytes);
    WriteSource source;
    const SourceStatus loaded = source.load(sourcePath, sourceBytes,
                                            kind == InputKind::Hershey ? SourceKind::Hershey
                                            : kind == InputKind::Svg   ? SourceKind::SvgFont
                                                                       : SourceKind::GlyphFile,
                                            error);
    if (loaded != SourceStatus::Ready)
        return fail(loaded == SourceStatus::Refused ? 2 : 1, error);
    sourceBytes.clear();
    sourceBytes.shrink_to_fit();
    for (const std::string& note : source.notes())
        std::fprintf(stderr, "alphabet-tool write: %s: %s\n", sourcePath.c_str(), note.c_str());

    options.sourceName = sourcePath;
    WriteJob job;
    const WriteStatus prepared = job.prepare(source, lines, options, error);
    if (!job.missing().empty())
        std::fprintf(stderr, "alphabet-tool write: %s\n",
                     missingMessage(sourcePath, job.missing(), options.strict).c_str());
    if (prepared == WriteStatus::Lacking)
        return 1;
    if (prepared != WriteStatus::Ready)
        return fail(prepared == WriteStatus::Refused ? 2 : 1, error);

    if (!textFile.empty() &&
        OutputFile::check(output, {textFile, true}, error) != OutputStatus::Ready)
        return fail(2, error);
    OutputFile file;
    if (const int status = openOutput("write", file, output, {sourcePath, true}))
        return status;
    const bool written = job.write(file.stream());
    if (const int status = commitOutput("write", file, written))
        return status;
    std::fprintf(stderr, "alphabet-tool write: %s\n",
                 job.summary(OutputFile::shownName(output)).c_str());
    return 0;
}
