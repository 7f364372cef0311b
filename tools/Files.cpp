#include "tools/Files.h"

#include "alphabet/AlphabetHeader.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string describe(const std::string& path, const char* what) {
    return path + ": " + what + " (" + std::strerror(errno) + ")";
}

} // namespace

bool canRead(const std::string& path, std::string& error) {
    struct stat status;
    if (stat(path.c_str(), &status) != 0) {
        error = describe(path, "can't open");
        return false;
    }
    if (S_ISDIR(status.st_mode)) {
        error = path + ": is a directory";
        return false;
    }
    std::FILE* in = std::fopen(path.c_str(), "rb");
    if (!in) {
        error = describe(path, "can't open");
        return false;
    }
    std::fclose(in);
    return true;
}

bool readWholeFile(const std::string& path, std::string& data, std::string& error) {
    const bool standardInput = path == "-";
    std::FILE* in = standardInput ? stdin : std::fopen(path.c_str(), "rb");
    if (!in) {
        error = describe(path, "can't open");
        return false;
    }
    data.clear();
    char buffer[1 << 16];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, in)) > 0)
        data.append(buffer, got);
    const bool failed = std::ferror(in) != 0;
    if (failed)
        error = describe(path, "can't read");
    if (!standardInput)
        std::fclose(in);
    return !failed;
}

bool readGlyphHeader(const std::string& path, GlyphHeader& header, std::string& error) {
    header = GlyphHeader();
    struct stat status;
    if (stat(path.c_str(), &status) != 0) {
        error = describe(path, "can't open");
        return false;
    }
    // A pipe gives its bytes once, and they are the loader's.
    if (!S_ISREG(status.st_mode))
        return true;
    header.fileSize = status.st_size;
    const int in = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) {
        error = describe(path, "can't open");
        return false;
    }
    char start[sniffBytes];
    const ssize_t got = pread(in, start, sizeof start, 0);
    const std::string_view bytes(start, static_cast<std::size_t>(std::max<ssize_t>(got, 0)));
    header.counts = alphabetHeaderOf(bytes);
    header.sniff = sniffFile(bytes, header.fileSize);
    close(in);
    return true;
}

bool refuseText(const char* command, const std::string& path, const GlyphHeader& header) {
    if (!header.sniff.looksLikeText)
        return false;
    std::fprintf(stderr, "alphabet-tool %s: %s\n", command,
                 importAdvice(path, header.sniff.kind).c_str());
    return true;
}

// A glyph file among the inputs needs no import: said once writing onto it is
// known not to be what is asked (that refusal comes first). 0 where there is none.
int refuseGlyphFileImport(const std::vector<std::string>& inputs,
                          const std::vector<std::string>& data, const char* output) {
    for (std::size_t k = 0; k < inputs.size(); ++k) {
        if (!sniffFile(data[k], std::int64_t(data[k].size())).glyphFile)
            continue;
        std::string error;
        if (OutputFile::check(output ? output : "universal.alphabet", {inputs[k], true}, error) ==
            OutputStatus::Refused) {
            std::fprintf(stderr, "alphabet-tool import: %s\n", error.c_str());
            return 2;
        }
        std::fprintf(stderr,
                     "alphabet-tool import: %s is a glyph file already; nothing to import "
                     "('alphabet-tool info %s' describes it)\n",
                     inputs[k].c_str(), shellWord(inputs[k]).c_str());
        return 1;
    }
    return 0;
}

int openOutput(const char* command, OutputFile& file, const std::string& path,
               const OutputRules& rules) {
    std::string error;
    const OutputStatus status = file.open(path, rules, error);
    if (status == OutputStatus::Ready)
        return 0;
    std::fprintf(stderr, "alphabet-tool %s: %s\n", command, error.c_str());
    return status == OutputStatus::Refused ? 2 : 1;
}

int commitOutput(const char* command, OutputFile& file, bool written) {
    std::string error;
    if (file.commit(written, error))
        return 0;
    std::fprintf(stderr, "alphabet-tool %s: %s\n", command, error.c_str());
    return 1;
}
