#include "tools/Commands.h"
#include "tools/Options.h"

#include <cstdio>
#include <cstring>

namespace {

struct Command {
    const char* name;
    int (*run)(int, char**);
    const char* summary;
};

const Command commands[] = {
    {"sample", runSample, "write our sample alphabet A to Z"},
    {"info", runInfo, "describe a glyph file and the problems of its glyphs"},
    {"import", runImport, "make a glyph file from text, Hershey fonts or SVG"},
    {"export", runExport, "write a glyph file's points as text"},
    {"render", runRender, "draw the glyphs as the viewer does on a PNG, SVG or PDF sheet"},
    {"write", runWrite, "set text with an alphabet as one pen route: G-code, SVG, HPGL, CSV"},
};

void printUsage(FILE* out) {
    std::fprintf(out, "usage: alphabet-tool COMMAND [ARGS]\n\ncommands:\n");
    for (const Command& command : commands)
        std::fprintf(out, "  %-8s %s\n", command.name, command.summary);
    std::fprintf(out, "\n'alphabet-tool COMMAND --help' describes a command;\n"
                      "'alphabet-tool --version' prints the version.\n");
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        printUsage(stderr);
        return 2;
    }
    if (!std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h")) {
        printUsage(stdout);
        return 0;
    }
    if (!std::strcmp(argv[1], "--version")) {
        std::printf("alphabet-tool %s\n", ALPHABET_VERSION);
        return 0;
    }
    for (const Command& command : commands) {
        if (!std::strcmp(argv[1], command.name))
            return command.run(argc - 2, argv + 2);
    }
    std::fprintf(stderr, "alphabet-tool: unknown command '%s'\n%s\n", argv[1],
                 helpHint("").c_str());
    return 2;
}
