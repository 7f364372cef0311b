#include "tools/Files.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string describe(const std::string& path, const char* what) {
    return path + ": " + what + " (" + std::strerror(errno) + ")";
}

} // namespace

ReplacingFile::~ReplacingFile() {
    discard();
}

bool ReplacingFile::open(const std::string& path, std::string& error) {
    discard();
    target = path;
    temporary = path + ".XXXXXX";
    const int descriptor = mkstemp(temporary.data());
    if (descriptor < 0) {
        error = describe(path, "can't create a temporary file beside it");
        temporary.clear();
        return false;
    }
    file = fdopen(descriptor, "wb");
    if (!file) {
        error = describe(path, "can't open the temporary file");
        close(descriptor);
        discard();
        return false;
    }
    return true;
}

bool ReplacingFile::commit(std::string& error) {
    if (!file) {
        error = target + ": nothing to write";
        return false;
    }
    bool written = !std::ferror(file) && std::fflush(file) == 0;
    written = fsync(fileno(file)) == 0 && written;
    const bool closed = std::fclose(file) == 0;
    file = nullptr;
    if (!written || !closed) {
        error = describe(target, "can't write");
        discard();
        return false;
    }
    // mkstemp makes the file private to its owner; an output file is an ordinary document.
    const mode_t mask = umask(0);
    umask(mask);
    chmod(temporary.c_str(), 0666 & ~mask);
    if (std::rename(temporary.c_str(), target.c_str()) != 0) {
        error = describe(target, "can't replace");
        discard();
        return false;
    }
    temporary.clear();
    return true;
}

void ReplacingFile::discard() {
    if (file) {
        std::fclose(file);
        file = nullptr;
    }
    if (!temporary.empty()) {
        unlink(temporary.c_str());
        temporary.clear();
    }
}

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
