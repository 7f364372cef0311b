#include "tools/Files.h"

#include "alphabet/AlphabetHeader.h"
#include "import/text/TextEncoding.h"
#include "tools/import/PenInputs.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Bytes looked at to tell text from a glyph file.
constexpr std::size_t sniffBytes = 512;

std::string describe(const std::string& path, const char* what) {
    return path + ": " + what + " (" + std::strerror(errno) + ")";
}

// `path` as a shell takes it back: as it is where that is safe, else in single quotes.
std::string shellWord(const std::string& path) {
    const bool plain =
        !path.empty() && path.find_first_not_of("abcdefghijklmnopqrstuvwxyz"
                                                "ABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                                "0123456789_-./+,:@%") == std::string::npos;
    if (plain)
        return path;
    std::string quoted = "'";
    for (char c : path)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
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
    header.counts = readAlphabetHeader(in);
    // Only a header that can't be right is worth a look at the bytes as text.
    if (!header.counts.fitsIn(header.fileSize)) {
        char start[sniffBytes];
        const ssize_t got = pread(in, start, sizeof start, 0);
        const std::string_view bytes(start, static_cast<std::size_t>(std::max<ssize_t>(got, 0)));
        header.looksLikeText = looksLikeText(bytes);
        const InputKind kind = kindOf(std::string(bytes));
        header.textKind = kind == InputKind::Hershey ? "a Hershey font"
                          : kind == InputKind::Svg   ? "SVG"
                                                     : "text";
    }
    close(in);
    return true;
}

bool refuseText(const char* command, const std::string& path, const GlyphHeader& header) {
    if (!header.looksLikeText)
        return false;
    std::fprintf(stderr,
                 "alphabet-tool %s: %s looks like %s, not a glyph file; make a glyph file from "
                 "it with: alphabet-tool import %s -o OUT.alphabet\n",
                 command, path.c_str(), header.textKind, shellWord(path).c_str());
    return true;
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
