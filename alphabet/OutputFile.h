#pragma once

// Where a written file goes, by the rules every writer shares.

#include <cstdio>
#include <string>

// What an output may not replace, beyond the rules every output follows.
struct OutputRules {
    // The file the output is made from ("-" for standard input): writing onto it is refused.
    std::string input;
    // False for a default name the user did not give: anything already there is kept.
    bool replaceExisting = true;
};

enum class OutputStatus { Ready, Refused, Failed };

// An output file. "-", /dev/stdout, /dev/stderr and /dev/fd/N write to that
// open descriptor; an existing file that is not a regular file (a device, a
// FIFO) is written straight through, as shell redirection does, and stays what
// it was. Anything else is written to a temporary file beside it (beside a
// symlink's target, so the link stays) and renamed over it by commit(): a file
// is never left half written, and a replaced file keeps its permission bits
// and owner where allowed; a new one gets 0666 less the umask. An output that
// is the input (same device and inode, by any name or link) or a directory is
// refused. A file that is never committed is removed.
class OutputFile {
public:
    OutputFile() = default;
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Refused and Failed set `error`, naming the file.
    OutputStatus open(const std::string& path, const OutputRules& rules, std::string& error);
    std::FILE* stream() const { return file; }
    bool commit(std::string& error);
    // commit() for a writer that says whether all its bytes went out: false,
    // with `error` set, where they did not or the commit failed.
    bool commit(bool written, std::string& error);

    // The refusals of open() alone, so a command can check before its work; creates nothing.
    static OutputStatus check(const std::string& path, const OutputRules& rules,
                              std::string& error);
    // True where `path` is written straight through rather than replaced as a file.
    static bool isStream(const std::string& path);
    // How messages name `path`: "standard output" for "-".
    static std::string shownName(const std::string& path);

private:
    OutputStatus openDescriptor(int descriptor, std::string& error);
    OutputStatus openStraight(std::string& error);
    OutputStatus openReplacement(std::string& error);
    // Writes through `descriptor` from now on; where it is -1 or can't be
    // opened as a stream, closes it and sets `error` to `failure`.
    OutputStatus adopt(int descriptor, const char* failure, std::string& error);
    void discard();

    std::string path;
    std::string target;    // where the temporary file is renamed to
    std::string temporary; // empty unless replacing
    std::FILE* file = nullptr;
    bool ownsStream = true;
};
