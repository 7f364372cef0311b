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
#include <map>
#include <string>
#include <vector>

namespace {

// What an option takes after it.
enum class Takes { Nothing, Word, Positive, NonNegative, Finite };

struct OptionRow {
    const char* name;
    Takes takes;
    const char* value; // as the help names it
    const char* help;
};

// Every option of write, in the order the help lists them.
const OptionRow writeOptions[] = {
    {"--with", Takes::Word, "SOURCE",
     "the glyph file, Hershey font (.jhf) or SVG font to write with"},
    {"--text-file", Takes::Word, "FILE", "the text's lines from FILE ('-': standard input)"},
    {"-o", Takes::Word, "OUT", "the output ('-': standard output, the default)"},
    {"--format", Takes::Word, "alphabet|csv|gcode|svg|hpgl",
     "the output's kind (default: by OUT's\n"
     "                    extension; G-code without -o)"},
    {"--size", Takes::Positive, "MM", "the height of a capital H (default 10)"},
    {"--spacing", Takes::Finite, "MM",
     "added after each character (default 0.2 x size for\n"
     "                    glyph files, 0 for fonts)"},
    {"--line-height", Takes::Positive, "MM", "from one baseline to the next (default 1.6 x size)"},
    {"--align", Takes::Word, "left|center|right", "where lines start (default left)"},
    {"--width", Takes::Positive, "MM", "break lines at spaces to stay this narrow"},
    {"--strict", Takes::Nothing, nullptr,
     "refuse, writing nothing, where SOURCE lacks a character"},
    {"--lift", Takes::Positive, "MM",
     "the travel height T (pen data: lifts scale with it;\n"
     "                    3-D letters: must clear every point)"},
    {"--tolerance", Takes::NonNegative, "MM",
     "drop points within this of the route between their\n"
     "                    neighbours (default 0: keep all)"},
    {"--feed", Takes::Positive, "MM/MIN", "the drawing feed rate (default 1000)"},
    {"--travel-feed", Takes::Positive, "MM/MIN",
     "the travel rate for the time estimate (default 3000)"},
    {"--pen-width", Takes::Positive, "MM", "the SVG pen's width (default 0.3)"},
    {"--margin", Takes::NonNegative, "MM", "the SVG page's margin around the drawing (default 5)"},
    {"--flatten", Takes::Nothing, nullptr,
     "SVG and HPGL of 3-D letters: each letter's whole route\n"
     "                    projected flat"},
};

std::string writeHelp() {
    std::string help =
        "usage: alphabet-tool write TEXT... --with SOURCE [-o OUT] [--format F] [OPTIONS]\n"
        "       alphabet-tool write --text-file FILE --with SOURCE [-o OUT] [OPTIONS]\n"
        "Sets the text with the glyphs of SOURCE and writes it as one 3-D pen route:\n"
        "from one glyph to the next the pen goes straight up to the travel height T,\n"
        "across and down. Each TEXT is a line; a newline in one starts another; '--'\n"
        "ends the options. Lengths are millimetres.\n"
        "Pen data (fonts, glyph files as import writes them) are drawn where z = 0,\n"
        "T = 0.25 x size (or the glyph file's lift height); 3-D letters (any other\n"
        "glyph file) travel 0.25 x size above their highest point.\n"
        "Outputs: .gcode/.nc/.ngc G-code, .svg plotter page, .hpgl/.plt HPGL, .csv\n"
        "points, .alphabet one glyph of the whole route for the viewer.\n\n";
    for (const OptionRow& row : writeOptions) {
        const std::string name =
            std::string(row.name) + (row.value ? std::string(" ") + row.value : "");
        // A name too long for its column puts the help on a line of its own.
        char line[64];
        std::snprintf(line, sizeof line, name.size() > 17 ? "  %s\n%19s" : "  %-17s", name.c_str(),
                      "");
        help += line;
        help += std::string(" ") + row.help + "\n";
    }
    help += "\nCharacters SOURCE lacks are named and skipped. OUT may not be SOURCE or the\n"
            "text file; a device or FIFO is written straight through; a symlink's target\n"
            "is replaced and the link kept; a replaced file keeps its permissions.\n"
            "Exit status: 0 written, 1 bad SOURCE, lacking characters with --strict or\n"
            "write failure, 2 usage, unreadable or refused input, refused output.\n";
    return help;
}

// The command line as read: options by name, the TEXT arguments in order.
struct WriteArguments {
    std::map<std::string, std::string> words;
    std::map<std::string, double> numbers;
    std::map<std::string, bool> flags;
    std::vector<std::string> texts;
    bool help = false;
};

const OptionRow* findOption(const std::string& name) {
    for (const OptionRow& row : writeOptions)
        if (name == row.name)
            return &row;
    return nullptr;
}

// Reads the arguments against the option table; false, with `problem`, on a usage error.
bool parseArguments(int argc, char** argv, WriteArguments& arguments, std::string& problem) {
    bool optionsEnd = false;
    for (int i = 0; i < argc; ++i) {
        const std::string argument = argv[i];
        if (optionsEnd || argument.empty() || argument[0] != '-') {
            arguments.texts.push_back(argument);
            continue;
        }
        if (argument == "--") {
            optionsEnd = true;
            continue;
        }
        if (argument == "--help" || argument == "-h") {
            arguments.help = true;
            return true;
        }
        const OptionRow* row = findOption(argument);
        if (!row) {
            problem = "unexpected argument '" + argument + "'";
            return false;
        }
        if (row->takes == Takes::Nothing) {
            arguments.flags[argument] = true;
            continue;
        }
        if (i + 1 >= argc) {
            problem = argument + " needs " + row->value;
            return false;
        }
        const char* value = argv[++i];
        if (argument == "-o" && value[0] == '-' && value[1] != '\0') {
            problem = "-o needs a file name, not the option '" + std::string(value) + "'";
            return false;
        }
        if (row->takes == Takes::Word) {
            arguments.words[argument] = value;
            continue;
        }
        char* end = nullptr;
        const double number = std::strtod(value, &end);
        const bool read = end != value && *end == '\0' && std::isfinite(number);
        const bool fits = row->takes == Takes::Positive      ? number > 0
                          : row->takes == Takes::NonNegative ? number >= 0
                                                             : true;
        if (!read || !fits) {
            problem = argument + " takes " +
                      (row->takes == Takes::Positive      ? "a number above 0"
                       : row->takes == Takes::NonNegative ? "a number of 0 or more"
                                                          : "a finite number") +
                      ", not '" + value + "'";
            return false;
        }
        arguments.numbers[argument] = number;
    }
    return true;
}

// A usage error: its one line and the hint to --help, as every command says it.
int usage(const std::string& problem) {
    std::fprintf(stderr, "alphabet-tool write: %s\n%s\n", problem.c_str(),
                 helpHint("write").c_str());
    return 2;
}

int fail(int status, const std::string& message) {
    std::fprintf(stderr, "alphabet-tool write: %s\n", message.c_str());
    return status;
}

// The job's options from the arguments; false, with `problem`, where they don't fit together.
bool optionsOf(WriteArguments& arguments, WriteOptions& options, std::string& output,
               std::string& problem) {
    const auto number = [&](const char* name, double& value) {
        const auto found = arguments.numbers.find(name);
        if (found != arguments.numbers.end())
            value = found->second;
        return found != arguments.numbers.end();
    };
    number("--size", options.layout.size);
    options.spacingGiven = number("--spacing", options.layout.spacing);
    options.lineHeightGiven = number("--line-height", options.layout.lineHeight);
    number("--width", options.layout.width);
    options.liftGiven = number("--lift", options.lift);
    number("--tolerance", options.tolerance);
    number("--feed", options.feed);
    number("--travel-feed", options.travelFeed);
    number("--pen-width", options.penWidth);
    number("--margin", options.margin);
    options.strict = arguments.flags["--strict"];
    options.flatten = arguments.flags["--flatten"];

    if (arguments.words.count("--align")) {
        const std::string& align = arguments.words["--align"];
        if (align == "left" || align == "center" || align == "right")
            options.layout.align = align == "left"     ? Align::Left
                                   : align == "center" ? Align::Center
                                                       : Align::Right;
        else {
            problem = "--align takes left, center or right, not '" + align + "'";
            return false;
        }
    }
    output = arguments.words.count("-o") ? arguments.words["-o"] : "-";
    if (arguments.words.count("--format")) {
        if (!parseWriteFormat(arguments.words["--format"], options.format)) {
            problem = "--format takes alphabet, csv, gcode, svg or hpgl, not '" +
                      arguments.words["--format"] + "'";
            return false;
        }
    } else if (output != "-" && !writeFormatOf(output, options.format) &&
               !OutputFile::isStream(output)) {
        problem = "can't tell the format of " + output +
                  " by its extension (.gcode, .nc, .ngc, .svg, .hpgl, .plt, .csv, .alphabet); "
                  "give --format";
        return false;
    }
    if (!arguments.words.count("--with")) {
        problem = "no SOURCE given: name it with --with";
        return false;
    }
    const bool fromFile = arguments.words.count("--text-file") > 0;
    if (fromFile == !arguments.texts.empty()) {
        problem = fromFile ? "give the text as TEXT or --text-file, not both" : "no TEXT given";
        return false;
    }
    if (fromFile && arguments.words["--text-file"] == "-" && arguments.words["--with"] == "-") {
        problem = "standard input ('-') can be read only once";
        return false;
    }
    return true;
}

} // namespace

int runWrite(int argc, char** argv) {
    WriteArguments arguments;
    std::string problem;
    if (!parseArguments(argc, argv, arguments, problem))
        return usage(problem);
    if (arguments.help) {
        std::fputs(writeHelp().c_str(), stdout);
        return 0;
    }
    WriteOptions options;
    std::string output;
    if (!optionsOf(arguments, options, output, problem))
        return usage(problem);

    const std::string sourcePath = arguments.words["--with"];
    std::string sourceBytes, error;
    if ((sourcePath != "-" && !canRead(sourcePath, error)) ||
        !readWholeFile(sourcePath, sourceBytes, error))
        return fail(2, error);

    std::vector<std::u32string> lines;
    std::string textFile;
    if (arguments.words.count("--text-file")) {
        textFile = arguments.words["--text-file"];
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
