#include "alphabet/AlphabetFile.h"

#include "alphabet/Counted.h"

#include "alphabet/AlphabetHeader.h"
#include "alphabet/MappingFaultGuard.h"

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

// What the file behind a descriptor tells of its size.
struct Extent {
    std::int64_t bytes = -1; // -1 where it can't be known in advance
    bool regular = false;    // a regular file, which can be mapped
};

// Pipes, character devices and pseudo-files that can't seek to their end have no known size.
Extent extentOf(int descriptor) {
    struct stat status {};
    Extent extent;
    if (fstat(descriptor, &status) != 0 || !(S_ISREG(status.st_mode) || S_ISBLK(status.st_mode)))
        return extent;
    extent.regular = S_ISREG(status.st_mode);
    extent.bytes = static_cast<std::int64_t>(std::max<off_t>(-1, lseek(descriptor, 0, SEEK_END)));
    return extent;
}

// Reads up to `wanted` bytes at `offset`, fewer where the file ends first.
std::int64_t readAt(int descriptor, char* into, std::int64_t wanted, std::int64_t offset) {
    std::int64_t done = 0;
    while (done < wanted) {
        const ssize_t got = pread(descriptor, into + done, static_cast<std::size_t>(wanted - done),
                                  static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        done += got;
    }
    return done;
}

// Reads a stream of unknown size (a pipe): the buffer grows with what arrives,
// so the header alone never decides how much is allocated.
std::vector<char> readUnsizedBytes(int descriptor, std::int64_t wanted) {
    constexpr std::int64_t chunk = 1 << 20;
    std::vector<char> bytes;
    while (static_cast<std::int64_t>(bytes.size()) < wanted) {
        const std::size_t old = bytes.size();
        bytes.resize(old + static_cast<std::size_t>(std::min(chunk, wanted - std::int64_t(old))));
        const ssize_t got = read(descriptor, bytes.data() + old, bytes.size() - old);
        bytes.resize(old + static_cast<std::size_t>(std::max<ssize_t>(got, 0)));
        if (got == 0 || (got < 0 && errno != EINTR))
            break;
    }
    return bytes;
}

} // namespace

AlphabetFile::~AlphabetFile() {
    if (mapping) {
        releaseMappingGuard(guardSlot);
        munmap(mapping, mappedBytes);
    }
}

AlphabetFile::AlphabetFile(AlphabetFile&& other) noexcept {
    swap(other);
}

AlphabetFile& AlphabetFile::operator=(AlphabetFile&& other) noexcept {
    AlphabetFile taken(std::move(other));
    swap(taken);
    return *this;
}

void AlphabetFile::swap(AlphabetFile& other) noexcept {
    std::swap(perGlyph, other.perGlyph);
    std::swap(count, other.count);
    std::swap(announced, other.announced);
    std::swap(points, other.points);
    std::swap(memory, other.memory);
    std::swap(mapping, other.mapping);
    std::swap(mappedBytes, other.mappedBytes);
    std::swap(guardSlot, other.guardSlot);
    std::swap(reason, other.reason);
}

bool AlphabetFile::damaged() const {
    return mapping && mappingDamaged(guardSlot);
}

Point3* AlphabetFile::releaseMemory() {
    if (mapping)
        return nullptr;
    Point3* block = memory.release();
    *this = AlphabetFile();
    return block;
}

bool AlphabetFile::open(const char* path, Storage storage, Kinds kinds) {
    // Looked at before the open, which would wait for a pipe's writer or wake a device.
    struct stat status;
    if (kinds == Kinds::RegularOnly && ::stat(path, &status) == 0 && !S_ISREG(status.st_mode)) {
        AlphabetFile refused;
        refused.refuseKind(status.st_mode, path, kinds);
        swap(refused);
        return true;
    }
    // Non-blocking: should a pipe take the file's place meanwhile, the open still returns.
    const int flags = O_RDONLY | O_CLOEXEC | (kinds == Kinds::RegularOnly ? O_NONBLOCK : 0);
    const int descriptor = ::open(path, flags);
    if (descriptor < 0) {
        reason = std::string("can't open: ") + std::strerror(errno);
        std::printf("Unable to write file: %s.", path);
        return false;
    }
    AlphabetFile opened;
    opened.load(descriptor, path, storage, kinds);
    close(descriptor);
    swap(opened);
    return true;
}

// Says why a file of `mode` is not read, where it isn't: a folder never is, and
// nothing but a regular file is where `kinds` asks for regular files alone.
bool AlphabetFile::refuseKind(mode_t mode, const char* path, Kinds kinds) {
    if (S_ISDIR(mode)) {
        report(path, "is a folder, not a glyph file; no glyphs loaded");
        return true;
    }
    if (kinds == Kinds::Any || S_ISREG(mode))
        return false;
    const char* kind = S_ISFIFO(mode)   ? "named pipe"
                       : S_ISSOCK(mode) ? "socket"
                       : S_ISCHR(mode)  ? "character device"
                       : S_ISBLK(mode)  ? "block device"
                                        : "special file";
    report(path, "is a %s, not a regular file; no glyphs loaded", kind);
    return true;
}

void AlphabetFile::load(int descriptor, const char* path, Storage storage, Kinds kinds) {
    struct stat status;
    if (fstat(descriptor, &status) == 0 && refuseKind(status.st_mode, path, kinds))
        return;
    const AlphabetHeader header = readAlphabetHeader(descriptor);
    if (!header.whole()) {
        report(path, "file too short for its 8-byte header (%d bytes); no glyphs loaded",
               header.bytesRead);
        return;
    }
    announced = header.glyphCount;
    if (header.negative()) {
        report(path, "negative count in the header (%d points per glyph, %s); no glyphs loaded",
               header.pointsPerGlyph, counted(header.glyphCount, "glyph").c_str());
        return;
    }

    perGlyph = header.pointsPerGlyph;
    if (perGlyph == 0) {
        count = std::min(header.glyphCount, maxEmptyGlyphs);
        if (count < header.glyphCount)
            report(path, "header announces %s of no points; loaded %d",
                   counted(header.glyphCount, "glyph").c_str(), count);
        memory.reset(new Point3[0]);
        points = memory.get();
        return;
    }

    const std::int64_t glyphBytes = std::int64_t(sizeof(Point3)) * perGlyph;
    const Extent extent = extentOf(descriptor);
    std::int64_t loaded = 0;
    try {
        if (extent.bytes >= 0) {
            const std::int64_t fits = std::min<std::int64_t>(
                header.glyphCount,
                std::max<std::int64_t>(0, extent.bytes - alphabetHeaderBytes) / glyphBytes);
            const bool mapped = storage == Storage::MapWherePossible && fits > 0 &&
                                extent.regular && map(descriptor, fits * glyphBytes);
            loaded = mapped ? fits : readSized(descriptor, fits);
        } else {
            loaded = readStream(descriptor, path);
        }
    } catch (const std::bad_alloc&) {
        // A file too large for this process's memory: load nothing rather than stop.
        report(path, "not enough memory for the glyphs of %s each; no glyphs loaded",
               counted(perGlyph, "point").c_str());
        perGlyph = 0;
        memory.reset();
        points = nullptr;
        return;
    }

    count = static_cast<int>(loaded);
    if (loaded < header.glyphCount)
        report(path, "header announces %s but the file holds %d in full; loaded %d",
               counted(header.glyphCount, "glyph").c_str(), count, count);
}

void AlphabetFile::release(int first, int count) const {
    if (!mapping || count <= 0)
        return;
    const std::uintptr_t page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    const std::uintptr_t start = reinterpret_cast<std::uintptr_t>(glyph(first));
    const std::uintptr_t end = reinterpret_cast<std::uintptr_t>(glyph(first + count));
    // Whole pages only: a page shared with the glyphs around stays.
    const std::uintptr_t from = (start + page - 1) / page * page, to = end / page * page;
    if (from < to)
        madvise(reinterpret_cast<void*>(from), to - from, MADV_DONTNEED);
}

// MAP_SHARED: the pages are the page cache's own and are never written, so a
// private mapping's copy-on-write would buy nothing; both see a writer's
// changes alike on Linux. Only the header and the whole glyphs are mapped.
bool AlphabetFile::map(int descriptor, std::int64_t glyphBytes) {
    const auto bytes = static_cast<std::size_t>(alphabetHeaderBytes + glyphBytes);
    void* start = mmap(nullptr, bytes, PROT_READ, MAP_SHARED, descriptor, 0);
    if (start == MAP_FAILED)
        return false;
    const int slot = guardMapping(start, bytes);
    if (slot < 0) {
        munmap(start, bytes);
        return false;
    }
    mapping = start;
    mappedBytes = bytes;
    guardSlot = slot;
    points = reinterpret_cast<const Point3*>(static_cast<const char*>(start) + alphabetHeaderBytes);
    return true;
}

// The points are read straight into the block: no second copy of the file.
std::int64_t AlphabetFile::readSized(int descriptor, std::int64_t glyphs) {
    const std::int64_t glyphBytes = std::int64_t(sizeof(Point3)) * perGlyph;
    memory.reset(new Point3[static_cast<std::size_t>(glyphs * perGlyph)]);
    points = memory.get();
    return readAt(descriptor, reinterpret_cast<char*>(memory.get()), glyphs * glyphBytes,
                  alphabetHeaderBytes) /
           glyphBytes;
}

// Whole glyphs up to the stream limit, which also keeps the byte count from overflowing.
std::int64_t AlphabetFile::readStream(int descriptor, const char* path) {
    const std::int64_t glyphBytes = std::int64_t(sizeof(Point3)) * perGlyph;
    const std::int64_t wanted =
        std::min<std::int64_t>(announced, maxUnsizedBytes / glyphBytes) * glyphBytes;
    const std::vector<char> bytes = readUnsizedBytes(descriptor, wanted);
    const std::int64_t loaded = static_cast<std::int64_t>(bytes.size()) / glyphBytes;
    memory.reset(new Point3[static_cast<std::size_t>(loaded * perGlyph)]);
    points = memory.get();
    std::copy_n(bytes.data(), loaded * glyphBytes, reinterpret_cast<char*>(memory.get()));
    if (loaded < announced && static_cast<std::int64_t>(bytes.size()) == wanted)
        report(path, "stopped at the limit of %lld bytes for a stream of unknown size",
               maxUnsizedBytes);
    return loaded;
}

// Prints "<path>: <text>" on standard error and keeps the text for problem().
void AlphabetFile::report(const char* path, const char* format, ...) {
    char text[256];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    std::fprintf(stderr, "%s: %s\n", path, text);
    reason += (reason.empty() ? "" : "; ") + std::string(text);
}
