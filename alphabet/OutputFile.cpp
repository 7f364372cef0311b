#include "alphabet/OutputFile.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// As many links as the kernel follows before it gives up with ELOOP.
constexpr int maxLinks = 40;

std::string describe(const std::string& path, const char* what) {
    return OutputFile::shownName(path) + ": " + what + " (" + std::strerror(errno) + ")";
}

// The descriptor `path` names as the shell reads it, or -1 for an ordinary path.
int namedDescriptor(const std::string& path) {
    if (path == "-" || path == "/dev/stdout")
        return 1;
    if (path == "/dev/stderr")
        return 2;
    for (const std::string_view prefix : {"/dev/fd/", "/proc/self/fd/"}) {
        const std::string digits =
            path.compare(0, prefix.size(), prefix) == 0 ? path.substr(prefix.size()) : "";
        if (!digits.empty() && digits.size() < 9 &&
            digits.find_first_not_of("0123456789") == std::string::npos)
            return std::atoi(digits.c_str());
    }
    return -1;
}

// The status of the file `path` writes to, following links; false where there is none.
bool statOutput(const std::string& path, struct stat& status) {
    const int descriptor = namedDescriptor(path);
    return descriptor >= 0 ? fstat(descriptor, &status) == 0 : stat(path.c_str(), &status) == 0;
}

bool statInput(const std::string& input, struct stat& status) {
    return input == "-" ? fstat(0, &status) == 0 : stat(input.c_str(), &status) == 0;
}

// The file a chain of symbolic links ends at, which need not exist yet.
bool followLinks(const std::string& given, std::string& target, std::string& error) {
    std::string path = given;
    for (int hop = 0; hop <= maxLinks; ++hop) {
        struct stat status;
        if (lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) {
            target = path;
            return true;
        }
        std::string link(4096, '\0');
        const ssize_t length = readlink(path.c_str(), link.data(), link.size());
        if (length < 0) {
            error = describe(path, "can't read the link");
            return false;
        }
        link.resize(static_cast<std::size_t>(length));
        const std::size_t slash = path.rfind('/');
        path =
            link[0] == '/' || slash == std::string::npos ? link : path.substr(0, slash + 1) + link;
    }
    errno = ELOOP;
    error = describe(given, "can't follow the links");
    return false;
}

mode_t newFileMode() {
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

} // namespace

OutputFile::~OutputFile() {
    discard();
}

std::string OutputFile::shownName(const std::string& path) {
    return path == "-" ? "standard output" : path;
}

bool OutputFile::isStream(const std::string& path) {
    struct stat status;
    return namedDescriptor(path) >= 0 ||
           (stat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode));
}

OutputStatus OutputFile::check(const std::string& path, const OutputRules& rules,
                               std::string& error) {
    struct stat any;
    if (!rules.replaceExisting && namedDescriptor(path) < 0 && lstat(path.c_str(), &any) == 0) {
        error = path + ": already exists; name the output with -o FILE, or give --force to "
                       "replace it";
        return OutputStatus::Refused;
    }
    struct stat output;
    if (!statOutput(path, output))
        return OutputStatus::Ready;
    if (S_ISDIR(output.st_mode)) {
        error = path + ": is a directory; give the output a file name";
        return OutputStatus::Refused;
    }
    // A terminal or /dev/null may be both read and written; any other file would be destroyed.
    struct stat input;
    if (!rules.input.empty() && !S_ISCHR(output.st_mode) && statInput(rules.input, input) &&
        input.st_dev == output.st_dev && input.st_ino == output.st_ino) {
        error = shownName(path) +
                (rules.input == path && path != "-"
                     ? std::string(": is the input file")
                     : ": is the same file as the input " +
                           (rules.input == "-" ? "(standard input)" : rules.input)) +
                "; nothing written, choose another output";
        return OutputStatus::Refused;
    }
    return OutputStatus::Ready;
}

OutputStatus OutputFile::open(const std::string& path_, const OutputRules& rules,
                              std::string& error) {
    discard();
    path = path_;
    const OutputStatus allowed = check(path, rules, error);
    if (allowed != OutputStatus::Ready)
        return allowed;
    const int descriptor = namedDescriptor(path);
    if (descriptor >= 0)
        return openDescriptor(descriptor, error);
    return isStream(path) ? openStraight(error) : openReplacement(error);
}

OutputStatus OutputFile::openDescriptor(int descriptor, std::string& error) {
    // The standard streams are used as they are, so their bytes stay in order with other output.
    if (descriptor == 1 || descriptor == 2) {
        file = descriptor == 1 ? stdout : stderr;
        ownsStream = false;
        return OutputStatus::Ready;
    }
    return adopt(dup(descriptor), "can't write to this descriptor", error);
}

OutputStatus OutputFile::openStraight(std::string& error) {
    return adopt(::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC), "can't open", error);
}

OutputStatus OutputFile::adopt(int descriptor, const char* failure, std::string& error) {
    file = descriptor < 0 ? nullptr : fdopen(descriptor, "wb");
    if (file)
        return OutputStatus::Ready;
    error = describe(path, failure);
    if (descriptor >= 0)
        close(descriptor);
    return OutputStatus::Failed;
}

OutputStatus OutputFile::openReplacement(std::string& error) {
    if (!followLinks(path, target, error))
        return OutputStatus::Failed;
    temporary = target + ".XXXXXX";
    const int descriptor = mkstemp(temporary.data());
    if (descriptor < 0) {
        error = describe(path, "can't create a temporary file beside it");
        temporary.clear();
        return OutputStatus::Failed;
    }
    // mkstemp makes the file private to its owner; the output takes the place of what was there.
    struct stat old;
    if (stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
        if ((old.st_uid != geteuid() || old.st_gid != getegid()) &&
            fchown(descriptor, old.st_uid, old.st_gid) != 0)
            old.st_mode &= ~mode_t(S_ISUID | S_ISGID); // not our file to give away such bits
        fchmod(descriptor, old.st_mode & 07777);
    } else {
        fchmod(descriptor, newFileMode());
    }
    const OutputStatus status = adopt(descriptor, "can't open the temporary file", error);
    if (status != OutputStatus::Ready)
        discard();
    return status;
}

bool OutputFile::commit(bool written, std::string& error) {
    if (commit(error) && written)
        return true;
    if (error.empty())
        error = "the output was not written in full";
    return false;
}

bool OutputFile::commit(std::string& error) {
    if (!file) {
        error = shownName(path) + ": nothing to write";
        return false;
    }
    bool written = !std::ferror(file) && std::fflush(file) == 0;
    if (!temporary.empty())
        written = fsync(fileno(file)) == 0 && written;
    const bool closed = !ownsStream || std::fclose(file) == 0;
    file = nullptr;
    if (!written || !closed) {
        error = describe(path, "can't write");
        discard();
        return false;
    }
    if (!temporary.empty() && std::rename(temporary.c_str(), target.c_str()) != 0) {
        error = describe(path, "can't replace");
        discard();
        return false;
    }
    temporary.clear();
    return true;
}

void OutputFile::discard() {
    if (file && ownsStream)
        std::fclose(file);
    file = nullptr;
    ownsStream = true;
    if (!temporary.empty()) {
        unlink(temporary.c_str());
        temporary.clear();
    }
}
